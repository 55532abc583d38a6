#pragma once
// What the file-name and folder edits make of their text, of a dialog's answer and of a
// dropped name, apart from the widgets. Paths are Linux paths: any character but NUL may
// stand in a name, and a folder path is taken whole, blanks and all.
#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace gs {

using TPathTest = std::function<bool(const std::string&)>;

constexpr const char* kMsgInvalidFileName = "Invalid file name - %s";

// The file a file-name edit's text names: the text itself when such a file exists, else
// the first parameter of the text read as a command line (a quoted path loses its quotes
// and whatever follows it).
std::string FileNameOfText(const std::string& text, const TPathTest& fileExists);
// A name a file-name edit takes: anything without NUL.
bool IsValidEditFileName(std::string_view name);
// As the edit shows a file name: in double quotes when it holds a blank and does not start
// with one, so that reading it back gives the whole name.
std::string QuotedFileName(const std::string& name);

// Where a folder dialog opens: the text when it is an existing folder; for an empty text
// the initial folder, or "/" when that is empty too; any other text "/".
std::string FolderDialogStart(const std::string& text, const std::string& initialDir, const TPathTest& dirExists);
// A folder edit's text after a folder is chosen or dropped: with several folders allowed
// and text already there, appended after ";", otherwise the folder alone.
std::string FolderEditText(const std::string& text, const std::string& folder, bool multipleDirs);
// The folder a dropped name stands for: its folder when it is an existing file.
std::string FolderOfDroppedName(const std::string& name, const TPathTest& fileExists);

// The picture on a combo edit's button: the user's own, the edit's default one, a combo
// box's arrow, or three dots.
enum class TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
constexpr int kComboButtonWidth = 21;
// The button width a glyph kind asks for when it is chosen: the default glyph's width and
// 6 (no less than the present width), the scroll bar's width for the arrow, else unchanged.
int ButtonWidthForKind(TGlyphKind kind, int currentWidth, int glyphWidth, int glyphCount, int scrollBarWidth);
// The width a kind's button has unless set otherwise (what is not stored).
int DefaultButtonWidth(TGlyphKind kind, int glyphWidth, int glyphCount, int scrollBarWidth);
// How many pictures a kind's glyph strip holds.
int GlyphCountForKind(TGlyphKind kind, int customCount, int defaultCount);

// The three 2 x 2 dots of an ellipsis button glyph (x of each dot, y 1) for a button of
// the given width; the glyph is max(1, width - 6) wide and 4 high.
std::array<int, 3> EllipsisDotsX(int buttonWidth);

}  // namespace gs
