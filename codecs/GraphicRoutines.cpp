#include "codecs/GraphicRoutines.h"

#include <array>
#include <vector>

#include "platform/Bmp.h"

namespace gs {

namespace {

constexpr TRgb kGrey{128, 128, 128};
constexpr int kPaletteSize = 256;

constexpr std::array<TRgb, 2> kMonoColors{{{0, 0, 0}, {255, 255, 255}}};
constexpr std::array<TRgb, 16> kVgaColors{{{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                          {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                          {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                          {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}}};

// Index of the nearest colour of the table; the first of equal distances wins.
template <class Table>
int nearest(const Table& table, std::size_t count, TRgb c) {
    int best = 0, bestDistance = colorDistance2(table[0], c);
    for (std::size_t i = 1; i < count; ++i) {
        int d = colorDistance2(table[i], c);
        if (d < bestDistance) best = int(i), bestDistance = d;
    }
    return best;
}

// For every channel value, the index of the nearest level of a ramp (the first of a tie).
template <std::size_t N>
struct TLevelTable {
    std::array<int, N> levels;
    std::array<std::uint8_t, 256> index{};
    constexpr explicit TLevelTable(std::array<int, N> l) : levels(l) {
        for (int v = 0; v < 256; ++v) {
            int best = 0;
            for (std::size_t k = 1; k < N; ++k) {
                int d = levels[k] > v ? levels[k] - v : v - levels[k];
                int bd = levels[std::size_t(best)] > v ? levels[std::size_t(best)] - v : v - levels[std::size_t(best)];
                if (d < bd) best = int(k);
            }
            index[std::size_t(v)] = std::uint8_t(best);
        }
    }
};
constexpr TLevelTable<4> kLevels4({0, 85, 170, 255});
constexpr TLevelTable<6> kLevels6({0, 51, 102, 153, 204, 255});
constexpr TLevelTable<7> kLevels7({0, 43, 85, 128, 170, 213, 255});
constexpr TLevelTable<8> kLevels8({0, 36, 73, 109, 146, 182, 219, 255});

TRaster indexedLike(const TRaster& picture, PixelFormat pf, std::vector<TRgb> palette) {
    TRaster out(picture.Width(), picture.Height(), pf);
    palette.resize(std::size_t(1) << bitCountOf(pf), kGrey);
    out.SetPalette(std::move(palette));
    return out;
}

template <class PerPixel>
void mapEachPixel(const TRaster& picture, TRaster& out, PerPixel index) {
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) out.SetIndexAt(x, y, std::uint8_t(index(rgbOf(picture.Pixel(x, y)), x, y)));
}

// The nearest colour of a table for every pixel; runs of one colour are looked up once.
template <class Table>
void mapNearest(const TRaster& picture, TRaster& out, const Table& table) {
    TRgb last = rgbOf(picture.Pixel(0, 0));
    int lastIndex = nearest(table, table.size(), last);
    mapEachPixel(picture, out, [&](TRgb c, int, int) {
        if (!(c == last)) last = c, lastIndex = nearest(table, table.size(), c);
        return lastIndex;
    });
}

TRaster mapTruncated784(const TRaster& picture) {
    std::vector<TRgb> palette;
    for (int r : kLevels7.levels)
        for (int g : kLevels8.levels)
            for (int b : kLevels4.levels) palette.push_back({std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    TRaster out = indexedLike(picture, PixelFormat::pf8bit, palette);
    mapEachPixel(picture, out, [](TRgb c, int, int) {
        return kLevels7.index[c.r] * 32 + kLevels8.index[c.g] * 4 + kLevels4.index[c.b];
    });
    return out;
}

TRaster mapTruncated666(const TRaster& picture) {
    std::vector<TRgb> palette;
    for (int r : kLevels6.levels)
        for (int g : kLevels6.levels)
            for (int b : kLevels6.levels) palette.push_back({std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    TRaster out = indexedLike(picture, PixelFormat::pf8bit, palette);
    mapEachPixel(picture, out, [](TRgb c, int, int) {
        return kLevels6.index[c.r] * 36 + kLevels6.index[c.g] * 6 + kLevels6.index[c.b];
    });
    return out;
}

TRaster mapTripleRamps(const TRaster& picture) {
    std::vector<TRgb> palette(kPaletteSize, TRgb{});
    for (int i = 0; i < 64; ++i) {
        auto v = std::uint8_t(4 * i);
        palette[std::size_t(i)] = {v, 0, 0};
        palette[std::size_t(64 + i)] = {0, v, 0};
        palette[std::size_t(128 + i)] = {0, 0, v};
    }
    TRaster out = indexedLike(picture, PixelFormat::pf8bit, palette);
    const int bottom = picture.Height() - 1;
    // Rows are counted from the bottom, as they lie in a DIB.
    mapEachPixel(picture, out, [bottom](TRgb c, int x, int y) {
        switch ((x + bottom - y) % 3) {
            case 0: return c.r >> 2;
            case 1: return (c.g >> 2) + 64;
            default: return (c.b >> 2) + 128;
        }
    });
    return out;
}

TRaster mapGreyRamp(const TRaster& picture) {
    std::vector<TRgb> palette;
    for (int i = 0; i < kPaletteSize; ++i) palette.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    TRaster out = indexedLike(picture, PixelFormat::pf8bit, palette);
    mapEachPixel(picture, out, [](TRgb c, int, int) { return (77 * c.r + 150 * c.g + 29 * c.b) >> 8; });
    return out;
}

}  // namespace

// In ColorMappings.cpp.
TRaster mapHistogramColors(const TRaster& picture, int wanted);
TRaster mapMedianCutColors(const TRaster& picture, int wanted);

int ColorsOfPixelFormat(PixelFormat pf) {
    switch (pf) {
        case PixelFormat::pf1bit: return 2;
        case PixelFormat::pf4bit: return 16;
        case PixelFormat::pf8bit: return 256;
        default: return 0;
    }
}

std::uint32_t ScanLineBytes(std::uint32_t width, int bits) {
    return std::uint32_t((std::uint64_t(width) * std::uint64_t(bits) + 31) / 32 * 4);
}

TRaster mapColors(const TRaster& picture, TColorMapping mapping, int wanted) {
    switch (mapping) {
        case TColorMapping::mapHistogram: return mapHistogramColors(picture, wanted);
        case TColorMapping::mapMedianCut: return mapMedianCutColors(picture, wanted);
        case TColorMapping::mapTrunc784: return mapTruncated784(picture);
        case TColorMapping::mapTrunc666: return mapTruncated666(picture);
        case TColorMapping::mapTriple: return mapTripleRamps(picture);
        case TColorMapping::mapGrey: return mapGreyRamp(picture);
    }
    throw EInvalidGraphicOperation(graphicmsg::kNotImplemented);
}

TRaster toPixelFormat(const TRaster& picture, PixelFormat pf, TColorMapping mapping) {
    if (picture.Empty()) throw EInvalidGraphic(graphicmsg::kInvalidBitmap);
    if (pf == PixelFormat::pf32bit) throw EInvalidGraphicOperation(graphicmsg::kNotImplemented);
    if (picture.Format() == pf && mapping != TColorMapping::mapGrey) return picture;
    switch (pf) {
        case PixelFormat::pf1bit: {
            TRaster out = indexedLike(picture, pf, {kMonoColors.begin(), kMonoColors.end()});
            mapNearest(picture, out, kMonoColors);
            return out;
        }
        case PixelFormat::pf4bit: {
            TRaster out = indexedLike(picture, pf, {kVgaColors.begin(), kVgaColors.end()});
            mapNearest(picture, out, kVgaColors);
            return out;
        }
        case PixelFormat::pf8bit: return mapColors(picture, mapping, kPaletteSize);
        default: {
            TRaster out(picture.Width(), picture.Height(), PixelFormat::pf24bit);
            for (int y = 0; y < picture.Height(); ++y)
                for (int x = 0; x < picture.Width(); ++x) out.SetPixel(x, y, picture.Pixel(x, y) | 0xFF000000u);
            return out;
        }
    }
}

TBytes BitmapToPixelFormat(const TRaster& picture, PixelFormat pf, TColorMapping mapping) {
    return encodeBmp(toPixelFormat(picture, pf, mapping));
}

TBytes BitmapToColorCount(const TRaster& picture, int colors) {
    PixelFormat pf = colors <= 2 ? PixelFormat::pf1bit
                     : colors <= 16 ? PixelFormat::pf4bit
                     : colors <= 256 ? PixelFormat::pf8bit
                                     : PixelFormat::pf24bit;
    return BitmapToPixelFormat(picture, pf, kDefaultColorMapping);
}

}  // namespace gs
