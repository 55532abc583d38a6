#pragma once
// The pictures the Find and Select Image Format dialogs show beside their fields, drawn in
// code at 32 pixels, shaded for high-colour screens and in flat colours for 256-colour ones.
#include <QPixmap>

namespace gs {

enum class TDialogPicture { Find, ImageFormat };

inline constexpr int kDialogPictureSize = 32;

QPixmap DialogPicture(TDialogPicture which, bool highColour);

// The program's colour flag: false on screens of 256 colours or fewer.
bool HighColourScreen();

}  // namespace gs
