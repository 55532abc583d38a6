#include "app/core/RecentList.h"
#include "platform/Text.h"

#include <algorithm>
#include <set>

#include "framework/core/RegUtils.h"

namespace gs {

namespace {

// Paths are bytes: /data/A and /data/a are two folders.
bool samePath(const std::string& a, const std::string& b) { return a == b; }

std::string storageKey(const std::string& appKey) { return appKey + "\\" + kStorageSubkey; }

// The store's value names ignore case, so an entry equal to an earlier one but for case
// goes under a name of its own and carries its path as the value's data; every other
// entry is stored as before, its name the path and its data empty.
struct TStoredForm {
    StringList names;
    std::vector<std::pair<std::string, std::string>> spelled;  // name, path
};

TStoredForm storedForm(const std::vector<std::string>& items) {
    TStoredForm form;
    std::set<std::string> taken;
    for (const std::string& path : items) taken.insert(foldCaseUtf8(path));
    std::set<std::string> used;
    for (const std::string& path : items) {
        if (used.insert(foldCaseUtf8(path)).second) {
            form.names.push_back(path);
            continue;
        }
        std::string name;
        for (int n = 2; name.empty() || taken.count(foldCaseUtf8(name)); ++n) name = path + " (" + std::to_string(n) + ")";
        taken.insert(foldCaseUtf8(name));
        form.names.push_back(name);
        form.spelled.emplace_back(name, path);
    }
    return form;
}

}  // namespace

// Many changes of the library's list make one change of this one.
class TMRURecentList::Batch {
public:
    explicit Batch(TMRURecentList& list) : list_(list) { ++list_.batch_; }
    ~Batch() {
        if (--list_.batch_ == 0) list_.changed();
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

private:
    TMRURecentList& list_;
};

TMRURecentList::TMRURecentList() : list_(std::make_unique<tb::TTBMRUList>(nullptr)) {
    // The menus show whole paths: a folder's last part alone would say too little.
    list_->SetHidePathExtension(false);
    list_->SetMaxItems(kDefaultMaxItems);
    list_->OnChange = [this](tb::TTBMRUList*) {
        if (batch_ == 0) changed();
    };
}

TMRURecentList::~TMRURecentList() = default;

void TMRURecentList::changed() {
    // Each entry's hint is its path, for the status bar while a menu points at it.
    tb::TTBCustomItem* container = list_->Container();
    for (int i = 0; i < container->Count() && i < list_->Items().Count(); ++i)
        container->Items(i)->SetHint(list_->Items().Get(i));
    if (onChange_) onChange_();
}

void TMRURecentList::SetItems(std::vector<std::string> items) {
    Batch batch(*this);
    list_->SetItems(items);
}

void TMRURecentList::SetMaxItems(int limit) {
    Batch batch(*this);
    list_->SetMaxItems(std::max(0, limit));
}

int TMRURecentList::indexOf(const std::string& path) const {
    const std::vector<std::string>& items = Items();
    auto it = std::find_if(items.begin(), items.end(), [&](const std::string& s) { return samePath(s, path); });
    return it == items.end() ? -1 : int(it - items.begin());
}

bool TMRURecentList::Remove(const std::string& path) {
    const int index = indexOf(path);
    if (index < 0) return false;
    Batch batch(*this);
    list_->Items().Delete(index);
    return true;
}

void TMRURecentList::AddToTop(const std::string& path) {
    Batch batch(*this);
    if (const int index = indexOf(path); index >= 0) list_->Items().Delete(index);
    list_->Items().Insert(0, path);
}

void LoadRecentList(IRecentList& list, TRegistryStore& store, RegRootId root, const std::string& appKey,
                    const char* subKey) {
    std::optional<StringList> stored = RegReadStringList(store, root, storageKey(appKey), subKey);
    if (!stored) return;
    const std::string key = storageKey(appKey) + "\\" + subKey;
    for (std::string& name : *stored)
        if (std::string path = RegReadString(store, root, key, name, ""); !path.empty()) name = std::move(path);
    list.SetItems(std::move(*stored));
}

bool SaveRecentList(const IRecentList& list, TRegistryStore& store, RegRootId root, const std::string& appKey,
                    const char* subKey) {
    const TStoredForm form = storedForm(list.Items());
    if (form.spelled.empty()) return RegWriteStringList(store, root, storageKey(appKey), subKey, form.names);
    try {  // names and spellings together, or neither
        TRegTransaction t = store.begin(TRegistryStore::Mode::Write);
        if (!RegWriteStringList(store, root, storageKey(appKey), subKey, form.names)) return false;
        const std::string key = storageKey(appKey) + "\\" + subKey;
        for (const auto& [name, path] : form.spelled)
            if (!RegWriteString(store, root, key, name, path)) return false;
        t.Commit();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TRecentLists::SetMaxItems(int limit) {
    Folders.SetMaxItems(limit);
    Files.SetMaxItems(limit);
}

void TRecentLists::SetOnChange(const std::function<void()>& onChange) {
    Folders.SetOnChange(onChange);
    Files.SetOnChange(onChange);
}

bool TRecentLists::load(IRecentList& list, bool& unread, TRegistryStore& store, RegRootId root,
                        const std::string& appKey, const char* subKey) {
    std::optional<TRegTransaction> snapshot = RegBeginRead(store);
    unread = !snapshot;
    if (!snapshot) return false;
    LoadRecentList(list, store, root, appKey, subKey);
    try {
        snapshot->Commit();
    } catch (const std::exception&) {
    }
    return true;
}

bool TRecentLists::LoadFolders(TRegistryStore& store, RegRootId root, const std::string& appKey) {
    return load(Folders, foldersUnread_, store, root, appKey, kMRUFoldersSubkey);
}

bool TRecentLists::LoadFiles(TRegistryStore& store, RegRootId root, const std::string& appKey) {
    return load(Files, filesUnread_, store, root, appKey, kMRUFilesSubkey);
}

bool TRecentLists::SaveFolders(TRegistryStore& store, RegRootId root, const std::string& appKey) const {
    return !foldersUnread_ && SaveRecentList(Folders, store, root, appKey, kMRUFoldersSubkey);
}

bool TRecentLists::SaveFiles(TRegistryStore& store, RegRootId root, const std::string& appKey) const {
    return !filesUnread_ && SaveRecentList(Files, store, root, appKey, kMRUFilesSubkey);
}

}  // namespace gs
