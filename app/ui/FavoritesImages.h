#pragma once
// The pictures of the favourites: the tree's root, a folder (closed and open) and a
// favourite, drawn in code; the menu's folder and favourite entries use them too.
#include <QIcon>

namespace gs {

enum class TFavoritesPicture { Root, Folder, OpenFolder, Favorite };

// Flat colours for 256-colour screens, shaded ones otherwise.
QIcon FavoritesPicture(TFavoritesPicture which, bool highColour = true);
// The menu's picture for an image index of a run-time entry (folder or favourite).
QIcon FavoritesMenuPicture(int imageIndex, bool highColour = true);

}  // namespace gs
