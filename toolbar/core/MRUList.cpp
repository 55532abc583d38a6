#include "toolbar/core/MRUList.h"

#include <algorithm>
#include <filesystem>

namespace tb {

namespace {
constexpr int kDigitAccelerators = 9;   // "1" to "9"
constexpr int kLetterAccelerators = 26;  // "A" to "Z"
constexpr const char* kMRUListItemCaption = "(MRU List)";
}  // namespace

std::string MRUCaption(int index, const std::string& name) {
    std::string text;
    for (char c : name) text += (c == '&') ? std::string("&&") : std::string(1, c);
    char accel = 0;
    if (index >= 0 && index < kDigitAccelerators) accel = char('1' + index);
    else if (index >= kDigitAccelerators && index < kDigitAccelerators + kLetterAccelerators)
        accel = char('A' + (index - kDigitAccelerators));
    return accel ? std::string("&") + accel + " " + text : text;
}

std::string MRUFileTitle(const std::string& path) {
    std::string title = std::filesystem::path(path).filename().string();
    return title.empty() ? path : title;
}

const std::string& TTBMRUListStrings::Get(int index) const {
    CheckIndex(index);
    return strings_[static_cast<std::size_t>(index)];
}

void TTBMRUListStrings::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw ETBItemError(kItemIndexOutOfRange);
}

void TTBMRUListStrings::Insert(int index, const std::string& s) {
    if (index < 0 || index > Count()) throw ETBItemError(kItemIndexOutOfRange);
    TTBCustomItem* container = list_.container_.get();
    TTBCustomItem* item = list_.CreateMenuItem(container);
    item->SetOnClick([l = &list_](TTBCustomItem* sender) { l->MRUItemClick(sender); });
    try {
        container->Insert(index, item);
    } catch (...) {
        delete item;
        throw;
    }
    strings_.insert(strings_.begin() + index, s);
    list_.RebuildMRUCaptions();
    list_.Changed();
}

void TTBMRUListStrings::Delete(int index) {
    CheckIndex(index);
    list_.RemoveMenuItem(index);
    strings_.erase(strings_.begin() + index);
    list_.RebuildMRUCaptions();
    list_.Changed();
}

void TTBMRUListStrings::Clear() {
    for (int i = Count() - 1; i >= 0; --i) Delete(i);
}

void TTBMRUListStrings::Move(int fromIndex, int toIndex) {
    CheckIndex(fromIndex);
    CheckIndex(toIndex);
    if (fromIndex == toIndex) return;
    list_.container_->Move(fromIndex, toIndex);
    std::string s = std::move(strings_[static_cast<std::size_t>(fromIndex)]);
    strings_.erase(strings_.begin() + fromIndex);
    strings_.insert(strings_.begin() + toIndex, std::move(s));
    list_.RebuildMRUCaptions();
    list_.Changed();
}

void TTBMRUListStrings::Put(int index, const std::string& s) {
    CheckIndex(index);
    strings_[static_cast<std::size_t>(index)] = s;
    list_.RebuildMRUCaptions();
    list_.Changed();
}

void TTBMRUListStrings::Assign(const std::vector<std::string>& strings) {
    std::vector<std::string> copy = strings;  // `strings` may be this list's own
    Clear();
    for (const std::string& s : copy) Add(s);
}

TTBMRUList::TTBMRUList(TComponent* owner) : TComponent(owner), container_(std::make_unique<TTBCustomItem>(nullptr)) {}

TTBMRUList::~TTBMRUList() {
    for (TTBCustomItem* item : doomed_) delete item;
    doomed_.clear();
    container_.reset();  // frees the menu items with it
}

void TTBMRUList::SetMaxItems(int value) {
    maxItems_ = value;
    RebuildMRUCaptions();
}

void TTBMRUList::SetHidePathExtension(bool value) {
    if (value == hidePathExtension_) return;
    hidePathExtension_ = value;
    RebuildMRUCaptions();
}

void TTBMRUList::Changed() {
    if (OnChange && !Loading()) {
        auto handler = OnChange;
        handler(this);
    }
}

void TTBMRUList::RemoveMenuItem(int index) {
    TTBCustomItem* item = container_->Items(index);
    if (clickDepth_ > 0) {
        // The entry may be the one whose click is running: unlink it now, free it after.
        container_->Delete(index);
        doomed_.push_back(item);
    } else {
        delete item;  // leaves the container itself
    }
}

void TTBMRUList::RebuildMRUCaptions() {
    const int limit = std::max(maxItems_, 0);
    bool trimmed = false;
    while (items_.Count() > limit) {
        RemoveMenuItem(items_.Count() - 1);
        items_.strings_.pop_back();
        trimmed = true;
    }
    for (int i = 0; i < container_->Count() && i < items_.Count(); ++i) {
        const std::string& name = items_.strings_[static_cast<std::size_t>(i)];
        container_->Items(i)->SetCaption(MRUCaption(i, hidePathExtension_ ? MRUFileTitle(name) : name));
    }
    if (trimmed) Changed();
}

void TTBMRUList::MRUItemClick(TTBCustomItem* sender) {
    int index = container_->IndexOf(sender);
    if (index < 0) return;
    // Entries deleted while the click runs are freed when the outermost click ends,
    // also when a handler throws.
    struct ClickScope {
        TTBMRUList& list;
        explicit ClickScope(TTBMRUList& l) : list(l) { ++list.clickDepth_; }
        ~ClickScope() {
            if (--list.clickDepth_ > 0) return;
            std::vector<TTBCustomItem*> doomed;
            doomed.swap(list.doomed_);
            for (TTBCustomItem* item : doomed) delete item;
        }
    } scope(*this);
    if (index > 0) items_.Move(index, 0);
    if (OnClick) {
        TTBMRUListClickEvent handler = OnClick;
        handler(this, std::string(items_.Get(0)));
    }
}

TTBMRUListItem::TTBMRUListItem(TComponent* owner) : TTBCustomItem(owner) {
    SetItemStyle(ItemStyle() | tbstEmbedded);
    SetCaption(kMRUListItemCaption);
}

void TTBMRUListItem::SetMRUList(TTBMRUList* value) {
    if (value == mruList_) return;
    if (mruList_) Unwatch(mruList_);
    mruList_ = value;
    if (value) {
        Watch(value);
        SetLinkSubitems(value->Container());
    } else {
        SetLinkSubitems(nullptr);
    }
}

void TTBMRUListItem::NotifierFreed(TNotifier* source) {
    if (source == mruList_) {
        mruList_ = nullptr;
        SetLinkSubitems(nullptr);
    }
    TTBCustomItem::NotifierFreed(source);
}

}  // namespace tb
