#pragma once
// The arithmetic of a speed button's face: how many glyphs a strip holds, which slice and
// rendering each button state shows, and where glyph, caption and drop-down mark go.
#include <cstdint>
#include <functional>
#include <string>

namespace gs {

// The frame a speed button draws: the new one, the old one, or the new one wherever the
// desktop has the new look (always, here).
enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// In the order the glyph cache keeps them.
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };

struct TFaceSize {
    int Width = 0, Height = 0;
    friend bool operator==(const TFaceSize&, const TFaceSize&) = default;
};

enum class TDropDownMenuPos { dmpBottom, dmpRight };
// Which part of a drop-down menu meets the point it opens at.
enum class TPopupAlignment { paLeft, paRight, paCenter };

struct TFacePoint {
    int X = 0, Y = 0;
    friend bool operator==(const TFacePoint&, const TFacePoint&) = default;
};
// The point a speed button's drop-down menu opens at, in the button's coordinates; the
// menu's left edge, right edge or middle goes there as its alignment says.
TFacePoint DropDownMenuAt(TDropDownMenuPos position, TPopupAlignment alignment, TFaceSize button);

constexpr int kMaxGlyphs = 5;
constexpr int kDropDownMarkWidth = 7;

// Glyphs in a strip: width div height when the width is a whole multiple of the height,
// 1 when that is more than five; `current` otherwise.
int GlyphCountOfStrip(int width, int height, int current);

// How a state's picture is made from the strip.
enum class TGlyphSource { None, Slice, Disabled, Grey };
struct TGlyphChoice {
    TGlyphSource Source = TGlyphSource::None;
    int Slice = 0;  // the strip's slice copied or rendered
};
TGlyphChoice GlyphForState(TButtonState state, int glyphCount, bool emptyStrip);
// The inactive rendering of a colour (0xRRGGBB): its grey level (77 R + 150 G + 29 B) >> 8.
std::uint32_t GreyOf(std::uint32_t rgb);

// Room left for the caption.
TFaceSize CaptionRoom(TFaceSize client, TFaceSize glyph, TButtonLayout layout, int margin, int spacing, bool mark);

struct TFaceLayout {
    int GlyphX = 0, GlyphY = 0;
    int TextX = 0, TextY = 0;
    TFaceSize Text;
};
// Glyph and caption positions in a client rectangle at (left, top) of size `client`;
// `text` is the caption's measured size within the room (0 x 0 without caption); margin
// and spacing -1 are automatic.
TFaceLayout LayoutFace(int left, int top, TFaceSize client, TFaceSize glyph, TFaceSize text, TButtonLayout layout,
                       int margin, int spacing, bool mark);

// The width a text takes when drawn.
using TTextWidth = std::function<int(const std::string&)>;
// A one-line text made to fit `maxWidth`: the text itself when it fits, else the longest
// start of it (cut between UTF-8 characters) followed by "...", or "..." alone when no
// start fits.
std::string MinimizeText(const std::string& text, int maxWidth, const TTextWidth& width);
// A caption as a speed button shows it without word wrap: at most 255 characters, each of
// its lines shortened to the room's width and trimmed of blanks at its right.
std::string ShortenedCaption(const std::string& caption, int roomWidth, const TTextWidth& width);

}  // namespace gs
