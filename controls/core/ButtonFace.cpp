#include "controls/core/ButtonFace.h"

#include <algorithm>

namespace gs {

int GlyphCountOfStrip(int width, int height, int current) {
    if (width <= 0 || height <= 0 || width % height != 0) return current;
    const int n = width / height;
    return n > kMaxGlyphs ? 1 : n;
}

TGlyphChoice GlyphForState(TButtonState state, int glyphCount, bool emptyStrip) {
    if (emptyStrip) return {};
    int index = int(state);
    if (state == TButtonState::bsDown && glyphCount < 3) index = int(TButtonState::bsUp);
    const int slice = index < glyphCount ? index : 0;
    if (state == TButtonState::bsDisabled && glyphCount < 2) return {TGlyphSource::Disabled, slice};
    if (state == TButtonState::bsInactive && glyphCount < 5) return {TGlyphSource::Grey, 0};
    return {TGlyphSource::Slice, slice};
}

TFacePoint DropDownMenuAt(TDropDownMenuPos position, TPopupAlignment alignment, TFaceSize button) {
    if (alignment == TPopupAlignment::paCenter) return {button.Width / 2, button.Height};
    const bool left = alignment == TPopupAlignment::paLeft;
    if (position == TDropDownMenuPos::dmpBottom) return {left ? -1 : button.Width + 1, button.Height};
    return {left ? button.Width : -1, -1};
}

std::uint32_t GreyOf(std::uint32_t rgb) {
    const std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    const std::uint32_t level = (77 * r + 150 * g + 29 * b) >> 8;
    return (level << 16) | (level << 8) | level;
}

namespace {
bool horizontal(TButtonLayout l) { return l == TButtonLayout::blGlyphLeft || l == TButtonLayout::blGlyphRight; }
}  // namespace

TFaceSize CaptionRoom(TFaceSize client, TFaceSize glyph, TButtonLayout layout, int margin, int spacing, bool mark) {
    TFaceSize room = client;
    int& along = horizontal(layout) ? room.Width : room.Height;
    along -= horizontal(layout) ? glyph.Width : glyph.Height;
    if (margin != -1) along -= margin;
    if (spacing != -1) along -= spacing;
    if (mark && horizontal(layout)) along -= 9;
    room.Width = std::max(room.Width, 0);
    room.Height = std::max(room.Height, 0);
    return room;
}

TFaceLayout LayoutFace(int left, int top, TFaceSize client, TFaceSize glyph, TFaceSize text, TButtonLayout layout,
                       int margin, int spacing, bool mark) {
    const bool across = horizontal(layout);
    if (mark) {
        if (glyph.Width == 0 || layout == TButtonLayout::blGlyphLeft) text.Width += 9;
        else glyph.Width += 6;
    }
    TFaceLayout out;
    out.Text = text;
    // Centred across the layout's axis.
    if (across) {
        out.GlyphY = client.Height / 2 - glyph.Height / 2;
        out.TextY = client.Height / 2 - text.Height / 2;
    } else {
        out.GlyphX = client.Width / 2 - glyph.Width / 2;
        out.TextX = client.Width / 2 - text.Width / 2;
    }
    if (text.Width == 0 || glyph.Width == 0) spacing = 0;
    const int length = across ? client.Width : client.Height;
    const int g = across ? glyph.Width : glyph.Height;
    const int t = across ? text.Width : text.Height;
    if (margin == -1 && spacing == -1) {
        spacing = (length - (g + t)) / 3;
        margin = spacing;
    } else if (margin == -1) {
        margin = length / 2 - (g + spacing + t) / 2;
    } else if (spacing == -1) {
        spacing = (length - margin - g) / 2 - t / 2;
    }
    int glyphAt = 0, textAt = 0;
    if (layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphTop) {
        glyphAt = margin;
        textAt = margin + g + spacing;
    } else {
        glyphAt = length - margin - g;
        textAt = glyphAt - spacing - t;
    }
    (across ? out.GlyphX : out.GlyphY) = glyphAt;
    (across ? out.TextX : out.TextY) = textAt;
    out.GlyphX += left;
    out.GlyphY += top;
    out.TextX += left;
    out.TextY += top;
    return out;
}

namespace {
constexpr std::size_t kMaxCaption = 255;
constexpr const char* kEllipsis = "...";

bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

std::string MinimizeText(const std::string& text, int maxWidth, const TTextWidth& width) {
    if (width(text) <= maxWidth) return text;
    std::size_t keep = text.size();
    while (keep > 0) {
        do --keep;
        while (keep > 0 && continuation(text[keep]));
        std::string shortened = text.substr(0, keep) + kEllipsis;
        if (width(shortened) <= maxWidth) return shortened;
    }
    return kEllipsis;
}

std::string ShortenedCaption(const std::string& caption, int roomWidth, const TTextWidth& width) {
    std::size_t cut = std::min(caption.size(), kMaxCaption);
    while (cut < caption.size() && cut > 0 && continuation(caption[cut])) --cut;  // whole characters only
    const std::string text = caption.substr(0, cut);
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        std::string line = MinimizeText(text.substr(start, end - start), roomWidth, width);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
        out += line;
        if (end == std::string::npos) break;
        out += '\n';
        start = end + 1;
    }
    return out;
}

}  // namespace gs
