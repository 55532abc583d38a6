#include "codecs/ColorPalettes.h"

namespace gs {

const std::array<Rgb, kStockColorCount>& stockDefaultPalette() {
    static const std::array<Rgb, kStockColorCount> table{{
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
    }};
    return table;
}

std::vector<Rgb> webCubePalette() {
    std::vector<Rgb> p;
    p.reserve(kWebCubeLevels * kWebCubeLevels * kWebCubeLevels);
    for (int r = 0; r < kWebCubeLevels; ++r)
        for (int g = 0; g < kWebCubeLevels; ++g)
            for (int b = 0; b < kWebCubeLevels; ++b)
                p.push_back(Rgb{std::uint8_t(r * kWebCubeStep), std::uint8_t(g * kWebCubeStep),
                                std::uint8_t(b * kWebCubeStep)});
    return p;
}

std::vector<Rgb> gray256Palette() {
    std::vector<Rgb> p(256);
    for (int i = 0; i < 256; ++i) p[std::size_t(i)] = Rgb{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
    return p;
}

std::vector<Rgb> monochromePalette() { return {Rgb{0, 0, 0}, Rgb{255, 255, 255}}; }

std::vector<Rgb> gray4Palette() {
    return {Rgb{0, 0, 0}, Rgb{128, 128, 128}, Rgb{192, 192, 192}, Rgb{255, 255, 255}};
}

std::vector<Rgb> halftonePalette() {
    constexpr int kGreys = 20;
    const auto& stock = stockDefaultPalette();
    std::vector<Rgb> p(stock.begin(), stock.begin() + kStockHalf);
    for (const Rgb& c : webCubePalette()) p.push_back(c);
    for (int k = 1; k <= kGreys; ++k) {
        auto v = std::uint8_t((k * 255 * 2 + (kGreys + 1)) / (2 * (kGreys + 1)));
        p.push_back(Rgb{v, v, v});
    }
    p.insert(p.end(), stock.begin() + kStockHalf, stock.end());
    return p;
}

}  // namespace gs
