#include "codecs/ColorPalettes.h"

namespace gs {

const std::array<TRgb, kStockColorCount>& stockDefaultPalette() {
    static const std::array<TRgb, kStockColorCount> table{{
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
    }};
    return table;
}

std::vector<TRgb> webCubePalette() {
    std::vector<TRgb> p;
    p.reserve(kWebCubeLevels * kWebCubeLevels * kWebCubeLevels);
    for (int r = 0; r < kWebCubeLevels; ++r)
        for (int g = 0; g < kWebCubeLevels; ++g)
            for (int b = 0; b < kWebCubeLevels; ++b)
                p.push_back(TRgb{std::uint8_t(r * kWebCubeStep), std::uint8_t(g * kWebCubeStep),
                                std::uint8_t(b * kWebCubeStep)});
    return p;
}

std::vector<TRgb> gray256Palette() {
    std::vector<TRgb> p(256);
    for (int i = 0; i < 256; ++i) p[std::size_t(i)] = TRgb{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    return p;
}

std::vector<TRgb> monochromePalette() { return {TRgb{0, 0, 0}, TRgb{255, 255, 255}}; }

std::vector<TRgb> gray4Palette() {
    return {TRgb{0, 0, 0}, TRgb{128, 128, 128}, TRgb{192, 192, 192}, TRgb{255, 255, 255}};
}

std::vector<TRgb> halftonePalette() {
    constexpr int kGreys = 20;
    const auto& stock = stockDefaultPalette();
    std::vector<TRgb> p(stock.begin(), stock.begin() + kStockHalf);
    for (const TRgb& c : webCubePalette()) p.push_back(c);
    for (int k = 1; k <= kGreys; ++k) {
        auto v = std::uint8_t((k * 255 * 2 + (kGreys + 1)) / (2 * (kGreys + 1)));
        p.push_back(TRgb{v, v, v});
    }
    p.insert(p.end(), stock.begin() + kStockHalf, stock.end());
    return p;
}

}  // namespace gs
