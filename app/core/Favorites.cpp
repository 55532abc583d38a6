#include "app/core/Favorites.h"
#include "platform/Text.h"

#include <algorithm>
#include <exception>

#include "framework/core/Exceptions.h"
#include "framework/core/RegUtils.h"
#include "framework/core/SysUtils.h"

namespace gs {

namespace {

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

int compareNames(std::string_view a, std::string_view b) { return upperAscii(a).compare(upperAscii(b)); }

[[noreturn]] void refuse(const char* pattern, const std::string& name, TQBSeverity severity) {
    throw EQBException(FormatOne(pattern, name), "", severity);
}

// A name that may become a subkey: "\" would split it into nested keys.
void checkFolderName(const std::string& name) {
    if (name.find('\\') != std::string::npos) throw EQBException(kMsgPlainNameOnly, "", TQBSeverity::Warning);
}

void checkPlainName(const std::string& name) {
    if (!IsPlainText(name)) throw EQBException(kMsgPlainNameOnly, "", TQBSeverity::Warning);
}

template <class T>
bool holdsName(const TQBList<T>& list, std::string_view name, const T* except = nullptr) {
    return std::any_of(list.begin(), list.end(),
                       [&](const auto& item) { return item.get() != except && SameFavoriteName(item->Name, name); });
}

}  // namespace

bool SameFavoriteName(std::string_view a, std::string_view b) {
    // The store folds case beyond a to z: names it would take as one are one here too, so
    // a save never merges two folders or drops a favourite.
    return foldCaseUtf8(a) == foldCaseUtf8(b);
}

std::string FavoritesKey(const std::string& appKey) { return appKey + "\\" + kFavoritesSubkey; }

bool TFavoritesFolder::FolderExists(std::string_view name) const { return holdsName(Folders, name); }

bool TFavoritesFolder::FavoriteExists(std::string_view name) const { return holdsName(Favorites, name); }

TFavoritesFolder* TFavoritesFolder::FindFolder(std::string_view name) const {
    for (const auto& f : Folders)
        if (SameFavoriteName(f->Name, name)) return f.get();
    return nullptr;
}

void TFavoritesFolder::SortFolders() {
    Folders.Sort([](const TFavoritesFolder* a, const TFavoritesFolder* b) { return compareNames(a->Name, b->Name); });
}

void TFavoritesFolder::SortFavorites() {
    Favorites.Sort([](const TFavorite* a, const TFavorite* b) { return compareNames(a->Name, b->Name); });
}

bool TFavoritesFolder::Contains(const TFavoritesFolder* folder) const {
    if (folder == this) return true;
    return std::any_of(Folders.begin(), Folders.end(), [&](const auto& f) { return f->Contains(folder); });
}

TFavoritesLoad TFavoritesFolder::Load(TRegistryStore& store, RegRootId root, const std::string& key) {
    Folders.Clear();
    Favorites.Clear();
    loadState_ = TFavoritesLoad::Unread;
    // One read transaction: the tree comes from one state of the store.
    if (std::optional<TRegTransaction> t = RegBeginRead(store)) {
        try {
            std::optional<RegKeyId> k = t->OpenKey(root, key);
            loadState_ = k ? loadFrom(*t, *k, 0) : TFavoritesLoad::Read;
            t->Commit();
        } catch (const std::exception&) {
            Folders.Clear();
            Favorites.Clear();
            loadState_ = TFavoritesLoad::Unread;
        }
    }
    return loadState_;
}

namespace {

// The worse of two loads: a part unread outweighs a part too deep.
TFavoritesLoad worse(TFavoritesLoad a, TFavoritesLoad b) { return int(a) > int(b) ? a : b; }

}  // namespace

TFavoritesLoad TFavoritesFolder::loadFrom(TRegTransaction& t, RegKeyId key, int level) {
    TFavoritesLoad state = TFavoritesLoad::Read;
    try {
        for (const std::string& name : t.SubkeyNames(key)) {
            if (level >= kMaxFavoritesDepth) {  // deeper than the tree holds: left in the store
                state = worse(state, TFavoritesLoad::TooDeep);
                break;
            }
            auto folder = std::make_unique<TFavoritesFolder>();
            folder->Name = name;
            if (std::optional<RegKeyId> sub = t.OpenSubkey(key, name))
                state = worse(state, folder->loadFrom(t, *sub, level + 1));
            Folders.Add(std::move(folder));
        }
        SortFolders();
        for (const std::string& name : t.ValueNames(key)) {
            std::string target;
            try {
                std::optional<TRegValue> v = t.ReadValue(key, name);
                if (v && v->Text()) target = *v->Text();
            } catch (const ERegistryError&) {
                // an unreadable value is a favourite without a target
            }
            Favorites.Add(std::make_unique<TFavorite>(TFavorite{name, target}));
        }
        SortFavorites();
    } catch (const std::exception&) {
        Folders.Clear();
        Favorites.Clear();
        return TFavoritesLoad::Unread;
    }
    return state;
}

bool TFavoritesFolder::Save(TRegistryStore& store, RegRootId root, const std::string& key) const {
    if (loadState_ != TFavoritesLoad::Read) return false;
    try {
        TRegTransaction t = store.begin(TRegistryStore::Mode::Write);
        saveTo(t, t.CreateKey(root, key));
        t.Commit();
        return true;
    } catch (const std::exception&) {
        return false;  // undone: the stored tree stays whole
    }
}

void TFavoritesFolder::saveTo(TRegTransaction& t, RegKeyId key) const {
    for (const std::string& name : t.SubkeyNames(key))
        if (std::optional<RegKeyId> sub = t.OpenSubkey(key, name)) t.DeleteKey(*sub);
    for (const std::string& name : t.ValueNames(key)) t.DeleteValue(key, name);
    for (const auto& folder : Folders) {
        checkFolderName(folder->Name);
        if (folder->Name.empty()) continue;  // an empty path part would be the key itself
        folder->saveTo(t, t.CreateSubkey(key, folder->Name));
    }
    for (const auto& favorite : Favorites) t.WriteValue(key, favorite->Name, TRegValue::Sz(favorite->Target));
}

int FolderLevel(const TFavoritesFolder& root, const TFavoritesFolder& folder) {
    if (&root == &folder) return 0;
    for (const auto& sub : root.Folders)
        if (const int level = FolderLevel(*sub, folder); level >= 0) return level + 1;
    return -1;
}

int FolderHeight(const TFavoritesFolder& folder) {
    int below = 0;
    for (const auto& sub : folder.Folders) below = std::max(below, FolderHeight(*sub));
    return below + 1;
}

void CheckFolderNesting(const TFavoritesFolder& root, const TFavoritesFolder& target, const TFavoritesFolder* moved) {
    const int level = FolderLevel(root, target);
    if (level < 0 || level + (moved ? FolderHeight(*moved) : 1) > kMaxFavoritesDepth)
        throw EQBException(kMsgNestedTooDeep, "", TQBSeverity::Warning);
}

TFavorite& AddFavorite(TFavoritesFolder& folder, const std::string& name, const std::string& target) {
    if (folder.FavoriteExists(name)) refuse(kMsgRecordExists, name, TQBSeverity::Information);
    auto favorite = std::make_unique<TFavorite>(TFavorite{name, target});
    TFavorite& added = *favorite;
    folder.Favorites.Add(std::move(favorite));
    folder.SortFavorites();
    return added;
}

void CheckNewFolderName(const TFavoritesFolder& parent, const std::string& name) {
    checkFolderName(name);
    if (parent.FolderExists(name)) refuse(kMsgFolderExists, name, TQBSeverity::Information);
}

TFavoritesFolder& AddFolder(TFavoritesFolder& parent, const std::string& name) {
    CheckNewFolderName(parent, name);
    auto folder = std::make_unique<TFavoritesFolder>();
    folder->Name = name;
    TFavoritesFolder& added = *folder;
    parent.Folders.Add(std::move(folder));
    parent.SortFolders();
    return added;
}

namespace {

template <class T>
bool renameIn(const TQBList<T>& siblings, T& item, const std::string& name, const char* taken) {
    if (name.empty()) return false;
    checkPlainName(name);
    if (!SameFavoriteName(name, item.Name) && holdsName(siblings, name, &item)) refuse(taken, name, TQBSeverity::Warning);
    item.Name = name;
    return true;
}

}  // namespace

bool RenameFolder(TFavoritesFolder& parent, TFavoritesFolder& folder, const std::string& name) {
    return renameIn(parent.Folders, folder, name, kMsgFolderExists);
}

bool RenameFavorite(TFavoritesFolder& parent, TFavorite& favorite, const std::string& name) {
    return renameIn(parent.Favorites, favorite, name, kMsgRecordExists);
}

bool CanMoveFolder(const TFavoritesFolder& from, const TFavoritesFolder& folder, const TFavoritesFolder& target) {
    return &target != &from && !folder.Contains(&target);
}

bool CanMoveFavorite(const TFavoritesFolder& from, const TFavoritesFolder& target) { return &target != &from; }

TFavoritesFolder& MoveFolder(TFavoritesFolder& from, TFavoritesFolder& folder, TFavoritesFolder& target) {
    if (!CanMoveFolder(from, folder, target) || from.Folders.IndexOf(&folder) < 0)
        throw EQBException("The folder cannot be moved there.", folder.Name, TQBSeverity::Warning);
    checkFolderName(folder.Name);
    if (target.FolderExists(folder.Name)) refuse(kMsgFolderExists, folder.Name, TQBSeverity::Warning);
    target.Folders.Add(from.Folders.TakeItem(&folder));
    target.SortFolders();
    return folder;
}

TFavorite& MoveFavorite(TFavoritesFolder& from, TFavorite& favorite, TFavoritesFolder& target) {
    if (!CanMoveFavorite(from, target) || from.Favorites.IndexOf(&favorite) < 0)
        throw EQBException("The favorite cannot be moved there.", favorite.Name, TQBSeverity::Warning);
    if (target.FavoriteExists(favorite.Name)) refuse(kMsgRecordExists, favorite.Name, TQBSeverity::Warning);
    target.Favorites.Add(from.Favorites.TakeItem(&favorite));
    target.SortFavorites();
    return favorite;
}

namespace {

void walkFolder(TFavoritesFolder& folder, int depth, bool withFavorites,
                const std::function<void(const TFavoritesNode&)>& visit) {
    for (const auto& sub : folder.Folders) {
        visit({TFavoritesNode::nkFolder, depth + 1, &folder, sub.get(), nullptr});
        walkFolder(*sub, depth + 1, withFavorites, visit);
    }
    if (!withFavorites) return;
    for (const auto& favorite : folder.Favorites)
        visit({TFavoritesNode::nkFavorite, depth + 1, &folder, nullptr, favorite.get()});
}

void menuEntries(const TFavoritesFolder& folder, std::vector<TFavoritesMenuEntry>& out) {
    for (const auto& sub : folder.Folders) {
        if (sub->Name.empty()) continue;
        TFavoritesMenuEntry entry{true, sub->Name, sub->Name, kFavoritesFolderImage, true, {}};
        menuEntries(*sub, entry.Children);
        entry.Enabled = !entry.Children.empty();
        out.push_back(std::move(entry));
    }
    for (const auto& favorite : folder.Favorites) {
        if (favorite->Name.empty() || favorite->Target.empty()) continue;
        out.push_back({false, favorite->Name, favorite->Target, kFavoriteImage, true, {}});
    }
}

}  // namespace

void WalkFavorites(TFavoritesFolder& root, bool withFavorites, const std::function<void(const TFavoritesNode&)>& visit) {
    visit({TFavoritesNode::nkRoot, 0, nullptr, &root, nullptr});
    walkFolder(root, 0, withFavorites, visit);
}

std::vector<TFavoritesMenuEntry> FavoritesMenuEntries(const TFavoritesFolder& root, bool idle) {
    std::vector<TFavoritesMenuEntry> entries;
    menuEntries(root, entries);
    // While busy nothing on the first level may start a listing: a folder's favourites are
    // reached through it, so it is closed as well.
    for (TFavoritesMenuEntry& e : entries) e.Enabled = FavoritesEntryEnabled(idle, e.IsFolder, !e.Children.empty());
    return entries;
}

}  // namespace gs
