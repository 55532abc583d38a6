#include "export/MetafileBlits.h"

#include "platform/Dib.h"

namespace gs {

namespace {

constexpr Rgb kMaskOpaque{0, 0, 0};
constexpr Rgb kMaskTransparent{255, 255, 255};

MetafileBlit blitOf(const Raster& r, std::uint32_t rop) {
    MetafileBlit b;
    b.dib = encodeDib(r);
    b.infoSize = kInfoHeaderSize + (r.bitCount() <= 8 ? (4u << r.bitCount()) : 0u);
    b.rasterOp = rop;
    return b;
}

}  // namespace

std::vector<MetafileBlit> metafileBlits(const Raster& bitmap) {
    if (!bitmap.transparent()) return {blitOf(bitmap, kRopSrcCopy)};
    const Rgb key = bitmap.transparentColor();
    Raster mask(bitmap.width(), bitmap.height(), PixelFormat::pf1bit);
    mask.setPalette({kMaskOpaque, kMaskTransparent});
    Raster colours(bitmap.width(), bitmap.height(), PixelFormat::pf24bit);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            const Argb c = bitmap.pixel(x, y);
            const bool clear = rgbOf(c) == key;
            mask.setIndexAt(x, y, clear ? 1 : 0);
            colours.setPixel(x, y, clear ? makeArgb(0, 0, 0) : argbOf(rgbOf(c)));
        }
    return {blitOf(mask, kRopSrcAnd), blitOf(colours, kRopSrcPaint)};
}

}  // namespace gs
