#pragma once
// The recent-folder and recent-file lists of the main window: full paths, newest first, at
// most a limit of them. The window reaches a list only through IRecentList.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/RegistryStore.h"
#include "toolbar/core/MRUList.h"

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
    // Removes the entry equal to `path` (byte for byte: letter case counts); false when none is.
    virtual bool Remove(const std::string& path) = 0;
    // Puts `path` at the top, removing the entry equal to it first.
    virtual void AddToTop(const std::string& path) = 0;
    // Called after every change of the entries.
    virtual void SetOnChange(std::function<void()> onChange) = 0;
};

// The toolbar library's recent-file list behind the interface: the names are mirrored in
// menu items (one per entry, captioned "&1 path" and on, hinted with the path) that a
// TTBMRUListItem shows in its place inside a menu.
class TMRURecentList : public IRecentList {
public:
    static constexpr int kDefaultMaxItems = 4;

    TMRURecentList();
    ~TMRURecentList() override;

    // The library's list, for the menu item that shows it and for its click.
    tb::TTBMRUList& List() { return *list_; }

    const std::vector<std::string>& Items() const override { return list_->Items().Strings(); }
    void SetItems(std::vector<std::string> items) override;
    int MaxItems() const override { return list_->MaxItems(); }
    void SetMaxItems(int limit) override;
    bool Remove(const std::string& path) override;
    void AddToTop(const std::string& path) override;
    void SetOnChange(std::function<void()> onChange) override { onChange_ = std::move(onChange); }

private:
    class Batch;
    int indexOf(const std::string& path) const;
    void changed();

    std::unique_ptr<tb::TTBMRUList> list_;
    std::function<void()> onChange_;
    int batch_ = 0;  // inside one operation of this list: one change report at its end
};

// Where the lists live: values of appKey\Storage\<subKey>, one per entry, named by the path.
inline constexpr const char* kStorageSubkey = "Storage";
inline constexpr const char* kMRUFoldersSubkey = "MRUFolders";
inline constexpr const char* kMRUFilesSubkey = "MRUFiles";

// Replaces the list's entries with the stored ones; a missing key keeps the entries.
void LoadRecentList(IRecentList& list, TRegistryStore& store, RegRootId root, const std::string& appKey,
                    const char* subKey);
// Replaces the stored entries with the list's; failures are ignored (false).
bool SaveRecentList(const IRecentList& list, TRegistryStore& store, RegRootId root, const std::string& appKey,
                    const char* subKey);

// The main window's two lists, the folders' and the files', each in its own place of the store.
struct TRecentLists {
    TMRURecentList Folders;
    TMRURecentList Files;

    void SetMaxItems(int limit);
    void SetOnChange(const std::function<void()>& onChange);
    // False when the store could not be read (busy, unreachable): the list stays, and its
    // save then leaves the stored one alone rather than put this run's over one never seen.
    bool LoadFolders(TRegistryStore& store, RegRootId root, const std::string& appKey);
    bool LoadFiles(TRegistryStore& store, RegRootId root, const std::string& appKey);
    // False when the list could not be stored, or was never read.
    bool SaveFolders(TRegistryStore& store, RegRootId root, const std::string& appKey) const;
    bool SaveFiles(TRegistryStore& store, RegRootId root, const std::string& appKey) const;

private:
    static bool load(IRecentList& list, bool& unread, TRegistryStore& store, RegRootId root,
                     const std::string& appKey, const char* subKey);

    bool foldersUnread_ = false;
    bool filesUnread_ = false;
};

}  // namespace gs
