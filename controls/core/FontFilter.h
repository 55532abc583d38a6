#pragma once
// Which font families a font picker lists: the filters of its options over what the font
// database says of a family.
#include <cstdint>

namespace gs {

enum class TFontListOption : std::uint8_t {
    foAnsiOnly = 1 << 0,
    foTrueTypeOnly = 1 << 1,
    foFixedPitchOnly = 1 << 2,
    foOEMFontsOnly = 1 << 3,
    foNoOEMFonts = 1 << 4,
    foNoSymbolFonts = 1 << 5,
    foScalableOnly = 1 << 6,
};
using TFontListOptions = std::uint8_t;
constexpr TFontListOptions operator|(TFontListOption a, TFontListOption b) { return TFontListOptions(std::uint8_t(a) | std::uint8_t(b)); }
constexpr bool has(TFontListOptions set, TFontListOption o) { return (set & std::uint8_t(o)) != 0; }

// Character sets and font-type bits as the picker's entries carry them.
constexpr int kAnsiCharset = 0, kSymbolCharset = 2, kOemCharset = 255;
constexpr int kRasterFontType = 1, kDeviceFontType = 2, kTrueTypeFontType = 4;
constexpr int kFixedPitchBit = 1;
// Marks an entry whose character set is not the symbol set (it may be drawn in its face).
constexpr int kNotSymbolMark = 0x100;

struct TFontFacts {
    int CharSet = kAnsiCharset;
    int FontType = kTrueTypeFontType;
    int Pitch = 0;
};

// All the options present hold for the family.
bool FontPassesOptions(TFontListOptions options, const TFontFacts& facts);

// Whose fonts a picker lists. The screen has every family fontconfig knows; a printer
// (printing goes through outlines, PDF or PostScript) only the scalable ones, bitmap
// strikes having no outline to send; both is the union of the two.
enum class TFontDevice { fdScreen, fdPrinter, fdBoth };
bool FontOnDevice(TFontDevice device, const TFontFacts& facts);

}  // namespace gs
