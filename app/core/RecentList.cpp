#include "app/core/RecentList.h"
#include "platform/Text.h"

#include <algorithm>

#include "framework/core/RegUtils.h"

namespace gs {

namespace {

constexpr int kDigitAccelerators = 9;    // "1" to "9"
constexpr int kLetterAccelerators = 26;  // "A" to "Z"

bool samePath(const std::string& a, const std::string& b) { return foldCaseUtf8(a) == foldCaseUtf8(b); }

std::string storageKey(const std::string& appKey) { return appKey + "\\" + kStorageSubkey; }

}  // namespace

void TPlainRecentList::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    trimAndNotify();
}

void TPlainRecentList::SetMaxItems(int limit) {
    maxItems_ = std::max(0, limit);
    trimAndNotify();
}

bool TPlainRecentList::Remove(const std::string& path) {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const std::string& s) { return samePath(s, path); });
    if (it == items_.end()) return false;
    items_.erase(it);
    trimAndNotify();
    return true;
}

void TPlainRecentList::AddToTop(const std::string& path) {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const std::string& s) { return samePath(s, path); });
    if (it != items_.end()) items_.erase(it);
    items_.insert(items_.begin(), path);
    trimAndNotify();
}

void TPlainRecentList::trimAndNotify() {
    if (items_.size() > std::size_t(maxItems_)) items_.resize(std::size_t(maxItems_));
    if (onChange_) onChange_();
}

std::string RecentCaption(int index, const std::string& path) {
    char accelerator = 0;
    const int letter = index - kDigitAccelerators;
    if (index >= 0 && index < kDigitAccelerators) accelerator = char('1' + index);
    else if (letter >= 0 && letter < kLetterAccelerators) accelerator = char('A' + letter);
    if (!accelerator) return path;
    std::string caption = {'&', accelerator, ' '};
    caption += path;
    return caption;
}

void LoadRecentList(IRecentList& list, RegistryStore& store, RegRootId root, const std::string& appKey,
                    const char* subKey) {
    std::optional<StringList> stored = RegReadStringList(store, root, storageKey(appKey), subKey);
    if (stored) list.SetItems(std::move(*stored));
}

bool SaveRecentList(const IRecentList& list, RegistryStore& store, RegRootId root, const std::string& appKey,
                    const char* subKey) {
    return RegWriteStringList(store, root, storageKey(appKey), subKey, list.Items());
}

}  // namespace gs
