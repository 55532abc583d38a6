#include "codecs/ColorReduction.h"

#include <memory>

#include "codecs/ColorLookup.h"
#include "codecs/ColorPalettes.h"
#include "codecs/ColorQuantizer.h"
#include "codecs/GifTypes.h"

namespace gs {

namespace {

constexpr int kTableEntries = 256;
constexpr int kOctreeSystemColors = kTableEntries - kStockColorCount;

// The palette a method maps onto and the lookup that goes with it.
struct TTarget {
    std::vector<TRgb> palette;
    std::unique_ptr<TColorLookup> lookup;
};

TTarget fastTarget(std::vector<TRgb> palette) {
    if (palette.size() > std::size_t(kTableEntries)) palette.resize(kTableEntries);
    if (palette.empty()) throw GIFException(gifmsg::kEmptyColorMap);
    TTarget t{std::move(palette), nullptr};
    t.lookup = std::make_unique<TFastColorLookup>(t.palette);
    return t;
}

TTarget makeTarget(const TRaster& source, TColorReduction method, int bits, const std::vector<TRgb>& palette) {
    switch (method) {
        case TColorReduction::rdSystem20: {
            const auto& stock = stockDefaultPalette();
            return fastTarget(std::vector<TRgb>(stock.begin(), stock.end()));
        }
        case TColorReduction::rdHalftone: return fastTarget(halftonePalette());
        case TColorReduction::rdGray4: return fastTarget(gray4Palette());
        case TColorReduction::rdMonochrome: return {monochromePalette(), std::make_unique<TMonochromeLookup>()};
        case TColorReduction::rdGray256: return {gray256Palette(), std::make_unique<TGrayScaleLookup>()};
        case TColorReduction::rdWebCube: return {webCubePalette(), std::make_unique<TNetscapeColorLookup>()};
        case TColorReduction::rdOctree: {
            std::vector<TRgb> p = octreePalette(source, 1 << bits, false);
            p.resize(std::size_t(1) << bits);  // entries the tree did not fill stay black
            return fastTarget(std::move(p));
        }
        case TColorReduction::rdOctreeSystem: return fastTarget(octreePalette(source, kOctreeSystemColors, true));
        case TColorReduction::rdPalette: return fastTarget(palette);
        case TColorReduction::rdNone: break;
    }
    throw GIFException(gifmsg::kInvalidReduction);
}

TRaster trueColorCopy(const TRaster& source) {
    TRaster copy(source.Width(), source.Height(), PixelFormat::pf24bit);
    for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width(); ++x) copy.SetPixel(x, y, source.Pixel(x, y) | 0xFF000000u);
    copy.SetTransparent(source.Transparent());
    if (!source.Empty()) copy.SetTransparentColor(source.TransparentColor());
    return copy;
}

}  // namespace

void checkReductionMethod(TColorReduction method) {
    if (int(method) >= kColorReductionCount) throw GIFException(gifmsg::kInvalidReduction);
}

void checkDitherMode(TDitherMode mode) {
    if (int(mode) >= kDitherModeCount) throw GIFException(gifmsg::kInvalidDither);
}

void checkReductionBits(int bits) {
    if (bits < kMinReductionBits || bits > kMaxReductionBits) throw GIFException(gifmsg::kInvalidReductionBits);
}

std::vector<TRgb> octreePalette(const TRaster& source, int maxColors, bool keepSystem) {
    TColorQuantizer quantizer(maxColors);
    quantizer.AddRaster(source);
    std::vector<TRgb> colors = quantizer.Palette();
    if (!keepSystem) return colors;
    const auto& stock = stockDefaultPalette();
    std::vector<TRgb> framed(kTableEntries);
    std::copy(stock.begin(), stock.begin() + kStockHalf, framed.begin());
    std::copy(colors.begin(), colors.begin() + std::min<std::ptrdiff_t>(std::ptrdiff_t(colors.size()), kOctreeSystemColors),
              framed.begin() + kStockHalf);
    std::copy(stock.begin() + kStockHalf, stock.end(), framed.end() - kStockHalf);
    return framed;
}

TRaster ReduceBitmapColors(const TRaster& source, TColorReduction method, TDitherMode dither, int reductionBits,
                          const std::vector<TRgb>& palette) {
    checkReductionMethod(method);
    checkDitherMode(dither);
    checkReductionBits(reductionBits);
    if (method == TColorReduction::rdNone) return trueColorCopy(source);
    if (source.Empty()) throw GIFException(gifmsg::kInvalidDimensions);

    TTarget target = makeTarget(source, method, reductionBits, palette);
    std::unique_ptr<TDitherEngine> ditherer = makeDitherer(dither, source.Width(), *target.lookup);
    TRaster result(source.Width(), source.Height(), PixelFormat::pf8bit);
    std::vector<TRgb> table = target.palette;
    table.resize(kTableEntries);
    result.SetPalette(std::move(table));
    TRgb chosen;
    for (int y = 0; y < source.Height(); ++y) {
        std::uint8_t* out = result.IndexRow(y);
        for (int n = 0; n < source.Width(); ++n) {
            int x = ditherer->Column();
            TRgb c = rgbOf(source.Pixel(x, y));
            out[x] = std::uint8_t(ditherer->DitherPixel(c.r, c.g, c.b, chosen));
        }
        ditherer->NextRow();
    }
    return result;
}

}  // namespace gs
