#pragma once
// The recent-folder and recent-file lists of the main window: full paths, newest first, at
// most a limit of them. The window reaches a list only through IRecentList, so the toolbar
// library's list (which also shows itself as menu items) can take the plain one's place.
#include <functional>
#include <string>
#include <vector>

#include "platform/RegistryStore.h"

namespace gs {

class IRecentList {
public:
    virtual ~IRecentList() = default;

    virtual const std::vector<std::string>& Items() const = 0;
    // Replaces the entries (cut to the limit).
    virtual void SetItems(std::vector<std::string> items) = 0;
    virtual int MaxItems() const = 0;
    // Stores the limit and drops the entries past it.
    virtual void SetMaxItems(int limit) = 0;
    // Removes the first entry equal to `path` (letter case ignored); false when none is.
    virtual bool Remove(const std::string& path) = 0;
    // Puts `path` at the top, removing the entry equal to it first (letter case ignored).
    virtual void AddToTop(const std::string& path) = 0;
    // Called after every change of the entries.
    virtual void SetOnChange(std::function<void()> onChange) = 0;
};

class TPlainRecentList : public IRecentList {
public:
    static constexpr int kDefaultMaxItems = 4;

    const std::vector<std::string>& Items() const override { return items_; }
    void SetItems(std::vector<std::string> items) override;
    int MaxItems() const override { return maxItems_; }
    void SetMaxItems(int limit) override;
    bool Remove(const std::string& path) override;
    void AddToTop(const std::string& path) override;
    void SetOnChange(std::function<void()> onChange) override { onChange_ = std::move(onChange); }

private:
    void trimAndNotify();

    std::vector<std::string> items_;
    int maxItems_ = kDefaultMaxItems;
    std::function<void()> onChange_;
};

// A recent list's caption in a menu: "&1 path" .. "&9 path", "&A path" .. "&Z path", then
// the path alone.
std::string RecentCaption(int index, const std::string& path);

// Where the lists live: values of appKey\Storage\<subKey>, one per entry, named by the path.
inline constexpr const char* kStorageSubkey = "Storage";
inline constexpr const char* kMRUFoldersSubkey = "MRUFolders";
inline constexpr const char* kMRUFilesSubkey = "MRUFiles";

// Replaces the list's entries with the stored ones; a missing key keeps the entries.
void LoadRecentList(IRecentList& list, RegistryStore& store, RegRootId root, const std::string& appKey,
                    const char* subKey);
// Replaces the stored entries with the list's; failures are ignored (false).
bool SaveRecentList(const IRecentList& list, RegistryStore& store, RegRootId root, const std::string& appKey,
                    const char* subKey);

}  // namespace gs
