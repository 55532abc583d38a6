#include "codecs/GraphicRoutines.h"

#include <array>
#include <vector>

#include "platform/Bmp.h"

namespace gs {

namespace {

constexpr Rgb kGrey{128, 128, 128};
constexpr int kPaletteSize = 256;

constexpr std::array<Rgb, 2> kMonoColors{{{0, 0, 0}, {255, 255, 255}}};
constexpr std::array<Rgb, 16> kVgaColors{{{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                          {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                          {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                          {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}}};

// Index of the nearest colour of the table; the first of equal distances wins.
template <class Table>
int nearest(const Table& table, std::size_t count, Rgb c) {
    int best = 0, bestDistance = colorDistance2(table[0], c);
    for (std::size_t i = 1; i < count; ++i) {
        int d = colorDistance2(table[i], c);
        if (d < bestDistance) best = int(i), bestDistance = d;
    }
    return best;
}

// For every channel value, the index of the nearest level of a ramp (the first of a tie).
template <std::size_t N>
struct LevelTable {
    std::array<int, N> levels;
    std::array<std::uint8_t, 256> index{};
    constexpr explicit LevelTable(std::array<int, N> l) : levels(l) {
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
constexpr LevelTable<4> kLevels4({0, 85, 170, 255});
constexpr LevelTable<6> kLevels6({0, 51, 102, 153, 204, 255});
constexpr LevelTable<7> kLevels7({0, 43, 85, 128, 170, 213, 255});
constexpr LevelTable<8> kLevels8({0, 36, 73, 109, 146, 182, 219, 255});

Raster indexedLike(const Raster& picture, PixelFormat pf, std::vector<Rgb> palette) {
    Raster out(picture.width(), picture.height(), pf);
    palette.resize(std::size_t(1) << bitCountOf(pf), kGrey);
    out.setPalette(std::move(palette));
    return out;
}

template <class PerPixel>
void mapEachPixel(const Raster& picture, Raster& out, PerPixel index) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) out.setIndexAt(x, y, std::uint8_t(index(rgbOf(picture.pixel(x, y)), x, y)));
}

// The nearest colour of a table for every pixel; runs of one colour are looked up once.
template <class Table>
void mapNearest(const Raster& picture, Raster& out, const Table& table) {
    Rgb last = rgbOf(picture.pixel(0, 0));
    int lastIndex = nearest(table, table.size(), last);
    mapEachPixel(picture, out, [&](Rgb c, int, int) {
        if (!(c == last)) last = c, lastIndex = nearest(table, table.size(), c);
        return lastIndex;
    });
}

Raster mapTruncated784(const Raster& picture) {
    std::vector<Rgb> palette;
    for (int r : kLevels7.levels)
        for (int g : kLevels8.levels)
            for (int b : kLevels4.levels) palette.push_back({std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    Raster out = indexedLike(picture, PixelFormat::pf8bit, palette);
    mapEachPixel(picture, out, [](Rgb c, int, int) {
        return kLevels7.index[c.r] * 32 + kLevels8.index[c.g] * 4 + kLevels4.index[c.b];
    });
    return out;
}

Raster mapTruncated666(const Raster& picture) {
    std::vector<Rgb> palette;
    for (int r : kLevels6.levels)
        for (int g : kLevels6.levels)
            for (int b : kLevels6.levels) palette.push_back({std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    Raster out = indexedLike(picture, PixelFormat::pf8bit, palette);
    mapEachPixel(picture, out, [](Rgb c, int, int) {
        return kLevels6.index[c.r] * 36 + kLevels6.index[c.g] * 6 + kLevels6.index[c.b];
    });
    return out;
}

Raster mapTripleRamps(const Raster& picture) {
    std::vector<Rgb> palette(kPaletteSize, Rgb{});
    for (int i = 0; i < 64; ++i) {
        auto v = std::uint8_t(4 * i);
        palette[std::size_t(i)] = {v, 0, 0};
        palette[std::size_t(64 + i)] = {0, v, 0};
        palette[std::size_t(128 + i)] = {0, 0, v};
    }
    Raster out = indexedLike(picture, PixelFormat::pf8bit, palette);
    const int bottom = picture.height() - 1;
    // Rows are counted from the bottom, as they lie in a DIB.
    mapEachPixel(picture, out, [bottom](Rgb c, int x, int y) {
        switch ((x + bottom - y) % 3) {
            case 0: return c.r >> 2;
            case 1: return (c.g >> 2) + 64;
            default: return (c.b >> 2) + 128;
        }
    });
    return out;
}

Raster mapGreyRamp(const Raster& picture) {
    std::vector<Rgb> palette;
    for (int i = 0; i < kPaletteSize; ++i) palette.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    Raster out = indexedLike(picture, PixelFormat::pf8bit, palette);
    mapEachPixel(picture, out, [](Rgb c, int, int) { return (77 * c.r + 150 * c.g + 29 * c.b) >> 8; });
    return out;
}

}  // namespace

// In ColorMappings.cpp.
Raster mapHistogramColors(const Raster& picture, int wanted);
Raster mapMedianCutColors(const Raster& picture, int wanted);

int colorsOfPixelFormat(PixelFormat pf) {
    switch (pf) {
        case PixelFormat::pf1bit: return 2;
        case PixelFormat::pf4bit: return 16;
        case PixelFormat::pf8bit: return 256;
        default: return 0;
    }
}

std::uint32_t scanLineBytes(std::uint32_t width, int bits) {
    return std::uint32_t((std::uint64_t(width) * std::uint64_t(bits) + 31) / 32 * 4);
}

Raster mapColors(const Raster& picture, TColorMapping mapping, int wanted) {
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

Raster toPixelFormat(const Raster& picture, PixelFormat pf, TColorMapping mapping) {
    if (picture.empty()) throw EInvalidGraphic(graphicmsg::kInvalidBitmap);
    if (pf == PixelFormat::pf32bit) throw EInvalidGraphicOperation(graphicmsg::kNotImplemented);
    if (picture.format() == pf && mapping != TColorMapping::mapGrey) return picture;
    switch (pf) {
        case PixelFormat::pf1bit: {
            Raster out = indexedLike(picture, pf, {kMonoColors.begin(), kMonoColors.end()});
            mapNearest(picture, out, kMonoColors);
            return out;
        }
        case PixelFormat::pf4bit: {
            Raster out = indexedLike(picture, pf, {kVgaColors.begin(), kVgaColors.end()});
            mapNearest(picture, out, kVgaColors);
            return out;
        }
        case PixelFormat::pf8bit: return mapColors(picture, mapping, kPaletteSize);
        default: {
            Raster out(picture.width(), picture.height(), PixelFormat::pf24bit);
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) out.setPixel(x, y, picture.pixel(x, y) | 0xFF000000u);
            return out;
        }
    }
}

Bytes bitmapToPixelFormat(const Raster& picture, PixelFormat pf, TColorMapping mapping) {
    return encodeBmp(toPixelFormat(picture, pf, mapping));
}

Bytes bitmapToColorCount(const Raster& picture, int colors) {
    PixelFormat pf = colors <= 2 ? PixelFormat::pf1bit
                     : colors <= 16 ? PixelFormat::pf4bit
                     : colors <= 256 ? PixelFormat::pf8bit
                                     : PixelFormat::pf24bit;
    return bitmapToPixelFormat(picture, pf, kDefaultColorMapping);
}

}  // namespace gs
