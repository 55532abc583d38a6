#include "controls/core/FontFilter.h"

namespace gs {

bool FontPassesOptions(TFontListOptions o, const TFontFacts& f) {
    using enum TFontListOption;
    if (has(o, foAnsiOnly) && f.CharSet != kAnsiCharset) return false;
    if (has(o, foTrueTypeOnly) && !(f.FontType & kTrueTypeFontType)) return false;
    if (has(o, foFixedPitchOnly) && !(f.Pitch & kFixedPitchBit)) return false;
    if (has(o, foOEMFontsOnly) && f.CharSet != kOemCharset) return false;
    if (has(o, foNoOEMFonts) && f.CharSet == kOemCharset) return false;
    if (has(o, foNoSymbolFonts) && f.CharSet == kSymbolCharset) return false;
    if (has(o, foScalableOnly) && (f.FontType & kRasterFontType)) return false;
    return true;
}

bool FontOnDevice(TFontDevice device, const TFontFacts& f) {
    const bool printer = !(f.FontType & kRasterFontType);
    return device != TFontDevice::fdPrinter || printer;
}

}  // namespace gs
