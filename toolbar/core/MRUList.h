#pragma once
// A short list of recently used names shown as menu items: every change of the names is
// mirrored in the items of a container that a TTBMRUListItem shows in place inside a
// menu. Clicking an entry moves it to the top and reports it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolbar/core/Item.h"

namespace tb {

class TTBMRUList;

// The names, most recent first. Every operation keeps the container's items in step,
// recaptions them and reports the change.
class TTBMRUListStrings {
public:
    explicit TTBMRUListStrings(TTBMRUList& list) : list_(list) {}

    int Count() const { return static_cast<int>(strings_.size()); }
    const std::string& Get(int index) const;
    const std::vector<std::string>& Strings() const { return strings_; }
    void Insert(int index, const std::string& s);
    void Add(const std::string& s) { Insert(Count(), s); }
    void Delete(int index);
    void Clear();
    void Move(int fromIndex, int toIndex);
    void Put(int index, const std::string& s);
    void Assign(const std::vector<std::string>& strings);

private:
    friend class TTBMRUList;
    void CheckIndex(int index) const;
    TTBMRUList& list_;
    std::vector<std::string> strings_;
};

class TTBMRUList : public TComponent {
public:
    using TTBMRUListClickEvent = std::function<void(TTBMRUList* sender, const std::string& filename)>;

    explicit TTBMRUList(TComponent* owner);
    ~TTBMRUList() override;

    bool AddFullPath = true;
    std::string Prefix = "MRU";
    std::function<void(TTBMRUList*)> OnChange;
    TTBMRUListClickEvent OnClick;

    TTBMRUListStrings& Items() { return items_; }
    const TTBMRUListStrings& Items() const { return items_; }
    void SetItems(const std::vector<std::string>& names) { items_.Assign(names); }
    int MaxItems() const { return maxItems_; }
    // A limit below 0 counts as 0 (an empty list).
    void SetMaxItems(int value);
    bool HidePathExtension() const { return hidePathExtension_; }
    void SetHidePathExtension(bool value);
    // The menu items, one per name, in the same order.
    TTBCustomItem* Container() const { return container_.get(); }

    void RebuildMRUCaptions();

protected:
    // The class of the menu items made for new names.
    virtual TTBCustomItem* CreateMenuItem(TComponent* owner) { return new TTBCustomItem(owner); }

private:
    friend class TTBMRUListStrings;
    void MRUItemClick(TTBCustomItem* sender);
    void RemoveMenuItem(int index);
    void Changed();

    TTBMRUListStrings items_{*this};
    std::unique_ptr<TTBCustomItem> container_;
    int maxItems_ = 4;
    bool hidePathExtension_ = true;
    int clickDepth_ = 0;
    std::vector<TTBCustomItem*> doomed_;  // entries deleted during a click, freed after it
};

// Shows the items of an MRU list in its place inside a menu.
class TTBMRUListItem : public TTBCustomItem {
public:
    explicit TTBMRUListItem(TComponent* owner);
    TTBMRUList* MRUList() const { return mruList_; }
    void SetMRUList(TTBMRUList* value);

protected:
    void NotifierFreed(TNotifier* source) override;

private:
    TTBMRUList* mruList_ = nullptr;
};

// Caption of entry `index` for `name`: "&1 name" ... "&9", "&A" ... "&Z", then the bare
// name; every `&` of the name doubled so that it shows as itself.
std::string MRUCaption(int index, const std::string& name);
// The name shown for a path with the folders hidden: its file name, or the whole text
// when it has none.
std::string MRUFileTitle(const std::string& path);

}  // namespace tb
