#include "export/MetafileBlits.h"

#include "platform/Dib.h"

namespace gs {

namespace {

constexpr TRgb kMaskOpaque{0, 0, 0};
constexpr TRgb kMaskTransparent{255, 255, 255};

TMetafileBlit blitOf(const TRaster& r, std::uint32_t rop) {
    TMetafileBlit b;
    b.dib = encodeDib(r);
    b.infoSize = kInfoHeaderSize + (r.BitCount() <= 8 ? (4u << r.BitCount()) : 0u);
    b.rasterOp = rop;
    return b;
}

}  // namespace

std::vector<TMetafileBlit> metafileBlits(const TRaster& bitmap) {
    if (!bitmap.Transparent()) return {blitOf(bitmap, kRopSrcCopy)};
    const TRgb key = bitmap.TransparentColor();
    TRaster mask(bitmap.Width(), bitmap.Height(), PixelFormat::pf1bit);
    mask.SetPalette({kMaskOpaque, kMaskTransparent});
    TRaster colours(bitmap.Width(), bitmap.Height(), PixelFormat::pf24bit);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const Argb c = bitmap.Pixel(x, y);
            const bool clear = rgbOf(c) == key;
            mask.SetIndexAt(x, y, clear ? 1 : 0);
            colours.SetPixel(x, y, clear ? makeArgb(0, 0, 0) : argbOf(rgbOf(c)));
        }
    return {blitOf(mask, kRopSrcAnd), blitOf(colours, kRopSrcPaint)};
}

}  // namespace gs
