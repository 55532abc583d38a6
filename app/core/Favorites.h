#pragma once
// The favourites tree: folders of any depth holding sub-folders and favourites (a name and
// a target path). It is kept in the settings store under the application key's
// "Favorites": one subkey per folder, one string value per favourite (name = target).
//
// The edits the dialogs make are here too, each with the checks that keep the tree sound:
// no two folders (or two favourites) of one folder share a name regardless of case, and a
// folder name never holds "\" (it would make nested keys when stored).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/QBList.h"
#include "platform/RegistryStore.h"

namespace gs {

inline constexpr const char* kFavoritesSubkey = "Favorites";
inline constexpr const char* kFavoritesRootName = "Favorites";
inline constexpr const char* kMsgFolderExists = "A folder named '%s' already exists.";
inline constexpr const char* kMsgRecordExists = "A record named '%s' already exists.";
inline constexpr const char* kMsgPlainNameOnly = "The name can only contain letters, numbers and space";
// The deepest level a folder may stand at (the root's own folders are at 1). The dialogs
// refuse to nest deeper and the loader reads exactly this far, so whatever the dialogs make
// comes back whole, and a store edited by hand cannot make the loader recurse without bound.
inline constexpr int kMaxFavoritesDepth = 64;
inline constexpr const char* kMsgNestedTooDeep = "Folders cannot be nested more than 64 levels deep.";

// How the last load of a tree went. Only a tree read whole is ever saved: a store that
// could not be read (busy, unreachable, a part that failed) or that holds folders deeper
// than the tree takes is left as it is, so nothing this run never saw is lost.
enum class TFavoritesLoad { Read, Unread, TooDeep };

struct TFavorite {
    std::string Name;
    std::string Target;
};

class TFavoritesFolder {
public:
    std::string Name = kFavoritesRootName;
    TQBList<TFavoritesFolder> Folders;
    TQBList<TFavorite> Favorites;

    // Replaces the contents with the tree stored at Key (sorted); a folder whose reading
    // fails loads empty, and a missing key gives an empty tree.
    TFavoritesLoad Load(TRegistryStore& store, RegRootId root, const std::string& key);
    // Replaces the tree stored at Key (created when missing) with this one, in list order,
    // as one transaction: on any failure the stored tree stays as it was. False then, and
    // without touching the store after a load that did not read the tree whole.
    bool Save(TRegistryStore& store, RegRootId root, const std::string& key) const;

    // A direct sub-folder (favourite) of that name, ignoring the case of a to z.
    bool FolderExists(std::string_view name) const;
    bool FavoriteExists(std::string_view name) const;
    TFavoritesFolder* FindFolder(std::string_view name) const;
    void SortFolders();
    void SortFavorites();
    bool Empty() const { return Folders.Count() == 0 && Favorites.Count() == 0; }
    // This folder or any folder below it is `folder`.
    bool Contains(const TFavoritesFolder* folder) const;

private:
    TFavoritesLoad loadFrom(TRegTransaction& t, RegKeyId key, int level);
    TFavoritesLoad loadState_ = TFavoritesLoad::Read;
    void saveTo(TRegTransaction& t, RegKeyId key) const;
};

// The key of the tree below the application key.
std::string FavoritesKey(const std::string& appKey);

// Names compared as the tree compares them: the letters a to z without case.
bool SameFavoriteName(std::string_view a, std::string_view b);

// The level of `folder` below `root` (0 for the root itself); -1 when it is not in the tree.
int FolderLevel(const TFavoritesFolder& root, const TFavoritesFolder& folder);
// The levels `folder` spans: 1, and the deepest of its sub-folders below it.
int FolderHeight(const TFavoritesFolder& folder);
// Refuses, as a warning, a new folder in `target` (or `moved` with all it holds) that
// would stand deeper than kMaxFavoritesDepth below `root`.
void CheckFolderNesting(const TFavoritesFolder& root, const TFavoritesFolder& target,
                        const TFavoritesFolder* moved = nullptr);

// The edits of the dialogs. Each throws EQBException (and changes nothing) when refused.
// A new favourite appended to `folder`, whose favourites are then sorted (refused, as
// information, when the folder holds one of that name).
TFavorite& AddFavorite(TFavoritesFolder& folder, const std::string& name, const std::string& target);
// The name a new folder of `parent` may take (refused, as information, when taken).
void CheckNewFolderName(const TFavoritesFolder& parent, const std::string& name);
// A new folder appended to `parent`, whose folders are then sorted.
TFavoritesFolder& AddFolder(TFavoritesFolder& parent, const std::string& name);
// Renames in place (the lists keep their order). False, with nothing changed, for an empty
// name; refused when the name is not plain text, or when it differs other than in case and
// the parent holds another of that name.
bool RenameFolder(TFavoritesFolder& parent, TFavoritesFolder& folder, const std::string& name);
bool RenameFavorite(TFavoritesFolder& parent, TFavorite& favorite, const std::string& name);
// Whether a drag may end on `target`: not the dragged folder itself, not its present parent,
// not a folder inside it. (A favourite: anywhere but its present folder.)
bool CanMoveFolder(const TFavoritesFolder& from, const TFavoritesFolder& folder, const TFavoritesFolder& target);
bool CanMoveFavorite(const TFavoritesFolder& from, const TFavoritesFolder& target);
// Moves the folder (favourite) from `from` to the end of `target`'s list, which is then
// sorted. Refused, as a warning, when the move is not allowed or `target` already holds one
// of that name.
TFavoritesFolder& MoveFolder(TFavoritesFolder& from, TFavoritesFolder& folder, TFavoritesFolder& target);
TFavorite& MoveFavorite(TFavoritesFolder& from, TFavorite& favorite, TFavoritesFolder& target);

// One node of the tree as the tree controls and the probe show it: the root, then below
// each folder its sub-folders (recursively) and then its favourites.
struct TFavoritesNode {
    enum Kind { nkRoot, nkFolder, nkFavorite };
    Kind NodeKind = nkRoot;
    int Depth = 0;                          // 0 for the root
    TFavoritesFolder* Parent = nullptr;     // null for the root
    TFavoritesFolder* Folder = nullptr;     // the root or folder shown
    TFavorite* Item = nullptr;              // the favourite shown
};
// Visits the nodes in that order; favourites only when `withFavorites`.
void WalkFavorites(TFavoritesFolder& root, bool withFavorites, const std::function<void(const TFavoritesNode&)>& visit);

// The Favorites menu's run-time entries as the main window builds them.
inline constexpr int kFavoritesFolderImage = 13;
inline constexpr int kFavoriteImage = 15;
struct TFavoritesMenuEntry {
    bool IsFolder = false;
    std::string Caption;
    std::string Hint;  // a folder's name, a favourite's target
    int ImageIndex = -1;
    bool Enabled = true;
    std::vector<TFavoritesMenuEntry> Children;
};
// Folders with an empty name and favourites with an empty name or target are left out; a
// folder entry is enabled exactly when it holds an entry; the first level is enabled only
// when `idle` as well.
std::vector<TFavoritesMenuEntry> FavoritesMenuEntries(const TFavoritesFolder& root, bool idle);
// The state a first-level entry takes when the window's busy state changes.
inline bool FavoritesEntryEnabled(bool flag, bool isFolder, bool hasEntries) { return flag && (!isFolder || hasEntries); }

}  // namespace gs
