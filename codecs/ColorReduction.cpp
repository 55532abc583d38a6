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
struct Target {
    std::vector<Rgb> palette;
    std::unique_ptr<TColorLookup> lookup;
};

Target fastTarget(std::vector<Rgb> palette) {
    if (palette.size() > std::size_t(kTableEntries)) palette.resize(kTableEntries);
    if (palette.empty()) throw GIFException(gifmsg::kEmptyColorMap);
    Target t{std::move(palette), nullptr};
    t.lookup = std::make_unique<TFastColorLookup>(t.palette);
    return t;
}

Target makeTarget(const Raster& source, TColorReduction method, int bits, const std::vector<Rgb>& palette) {
    switch (method) {
        case TColorReduction::rdSystem20: {
            const auto& stock = stockDefaultPalette();
            return fastTarget(std::vector<Rgb>(stock.begin(), stock.end()));
        }
        case TColorReduction::rdHalftone: return fastTarget(halftonePalette());
        case TColorReduction::rdGray4: return fastTarget(gray4Palette());
        case TColorReduction::rdMonochrome: return {monochromePalette(), std::make_unique<TMonochromeLookup>()};
        case TColorReduction::rdGray256: return {gray256Palette(), std::make_unique<TGrayScaleLookup>()};
        case TColorReduction::rdWebCube: return {webCubePalette(), std::make_unique<TNetscapeColorLookup>()};
        case TColorReduction::rdOctree: {
            std::vector<Rgb> p = octreePalette(source, 1 << bits, false);
            p.resize(std::size_t(1) << bits);  // entries the tree did not fill stay black
            return fastTarget(std::move(p));
        }
        case TColorReduction::rdOctreeSystem: return fastTarget(octreePalette(source, kOctreeSystemColors, true));
        case TColorReduction::rdPalette: return fastTarget(palette);
        case TColorReduction::rdNone: break;
    }
    throw GIFException(gifmsg::kInvalidReduction);
}

Raster trueColorCopy(const Raster& source) {
    Raster copy(source.width(), source.height(), PixelFormat::pf24bit);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) copy.setPixel(x, y, source.pixel(x, y) | 0xFF000000u);
    copy.setTransparent(source.transparent());
    if (!source.empty()) copy.setTransparentColor(source.transparentColor());
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

std::vector<Rgb> octreePalette(const Raster& source, int maxColors, bool keepSystem) {
    TColorQuantizer quantizer(maxColors);
    quantizer.addRaster(source);
    std::vector<Rgb> colors = quantizer.palette();
    if (!keepSystem) return colors;
    const auto& stock = stockDefaultPalette();
    std::vector<Rgb> framed(kTableEntries);
    std::copy(stock.begin(), stock.begin() + kStockHalf, framed.begin());
    std::copy(colors.begin(), colors.begin() + std::min<std::ptrdiff_t>(std::ptrdiff_t(colors.size()), kOctreeSystemColors),
              framed.begin() + kStockHalf);
    std::copy(stock.begin() + kStockHalf, stock.end(), framed.end() - kStockHalf);
    return framed;
}

Raster reduceBitmapColors(const Raster& source, TColorReduction method, TDitherMode dither, int reductionBits,
                          const std::vector<Rgb>& palette) {
    checkReductionMethod(method);
    checkDitherMode(dither);
    checkReductionBits(reductionBits);
    if (method == TColorReduction::rdNone) return trueColorCopy(source);
    if (source.empty()) throw GIFException(gifmsg::kInvalidDimensions);

    Target target = makeTarget(source, method, reductionBits, palette);
    std::unique_ptr<TDitherEngine> ditherer = makeDitherer(dither, source.width(), *target.lookup);
    Raster result(source.width(), source.height(), PixelFormat::pf8bit);
    std::vector<Rgb> table = target.palette;
    table.resize(kTableEntries);
    result.setPalette(std::move(table));
    Rgb chosen;
    for (int y = 0; y < source.height(); ++y) {
        std::uint8_t* out = result.indexRow(y);
        for (int n = 0; n < source.width(); ++n) {
            int x = ditherer->column();
            Rgb c = rgbOf(source.pixel(x, y));
            out[x] = std::uint8_t(ditherer->ditherPixel(c.r, c.g, c.b, chosen));
        }
        ditherer->nextRow();
    }
    return result;
}

}  // namespace gs
