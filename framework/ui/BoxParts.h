#pragma once
// Pieces both boxes are made of: their font, their pictures, the word-wrapped text that
// makes a box taller instead of cutting its words off, and their place on the screen.
#include <QFont>
#include <QStyle>
#include <string>

#include "framework/ui/DialogFrame.h"

class QLabel;
class QScrollArea;
class QWidget;

namespace gs {

inline constexpr int kQBPictureSize = 32;
inline constexpr int kQBPictureOffset = 8;  // pictures sit at (8, 8)
inline constexpr int kQBButtonWidth = 75;
inline constexpr int kQBButtonHeight = 25;
// Title bar and borders of a dialog, what a window height has over its client height.
inline constexpr int kQBFrameHeight = 27;

// A dialog border: a title with a close box, never resized by the user.
inline constexpr Qt::WindowFlags kQBBoxWindowFlags = kFixedDialogWindowFlags;

// The program's face (kDefaultFontName) at 8 pt, or the named family when it is an installed font.
QFont BoxFont(const std::string& fontName);
// A hidden 32 x 32 picture at (8, 8) of parent, drawn by the style.
QLabel* MakeBoxPicture(QWidget* parent, const char* name, QStyle::StandardPixmap which);
// Shows the picture and makes it the box's window icon too, so the title bar and the task
// list show what kind of message it is rather than a blank window.
void ShowBoxPicture(QWidget* box, QLabel* picture);

// A word-wrapped plain-text label in a frameless area that scrolls only when even a box as
// tall as the screen cannot show the whole text.
struct TQBWrappedText {
    QScrollArea* Area = nullptr;
    QLabel* Label = nullptr;
};
TQBWrappedText MakeWrappedText(QWidget* parent, const char* areaName, const char* labelName);
// Shows text (raw bytes, any line breaks) in the label.
void SetWrappedText(const TQBWrappedText& text, const std::string& bytes);
// Pixels the text needs beyond baseHeight at the given width, at most maxExtra.
int ExtraTextHeight(const TQBWrappedText& text, int width, int baseHeight, int maxExtra);
// How much taller than baseClientHeight a box may become on the screen it opens on.
int MaxExtraHeight(int baseClientHeight);
// The window caption: the caller's, the program's title, or the application's name.
void SetBoxCaption(QWidget* box, const std::string& caption);
void CenterOnScreen(QWidget* box);

}  // namespace gs
