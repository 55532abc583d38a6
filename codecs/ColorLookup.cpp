#include "codecs/ColorLookup.h"

#include <cstdlib>

#include "codecs/ColorPalettes.h"

namespace gs {

namespace {
constexpr int kRedWeight = 77;
constexpr int kGreenWeight = 150;
constexpr int kBlueWeight = 29;
constexpr int kMonochromeThreshold = 32513;

int luminanceSum(int red, int green, int blue) {
    return kRedWeight * red + kGreenWeight * green + kBlueWeight * blue;
}
}  // namespace

int TMonochromeLookup::MatchColor(int red, int green, int blue, TRgb& chosen) {
    if (luminanceSum(red, green, blue) < kMonochromeThreshold) {
        chosen = TRgb{0, 0, 0};
        return 0;
    }
    chosen = TRgb{255, 255, 255};
    return 1;
}

int TGrayScaleLookup::MatchColor(int red, int green, int blue, TRgb& chosen) {
    int grey = luminanceSum(red, green, blue) >> 8;
    chosen = TRgb{std::uint8_t(grey), std::uint8_t(grey), std::uint8_t(grey)};
    return grey;
}

TNetscapeColorLookup::TNetscapeColorLookup()
    : TColorLookup(kWebCubeLevels * kWebCubeLevels * kWebCubeLevels) {}

int TNetscapeColorLookup::MatchColor(int red, int green, int blue, TRgb& chosen) {
    constexpr int kBias = 3;
    int r = (red + kBias) / kWebCubeStep;
    int g = (green + kBias) / kWebCubeStep;
    int b = (blue + kBias) / kWebCubeStep;
    chosen = TRgb{std::uint8_t(r * kWebCubeStep), std::uint8_t(g * kWebCubeStep), std::uint8_t(b * kWebCubeStep)};
    return b + kWebCubeLevels * g + kWebCubeLevels * kWebCubeLevels * r;
}

TFastColorLookup::TFastColorLookup(std::span<const TRgb> palette)
    : TColorLookup(int(palette.size())), palette_(palette.begin(), palette.end()), inverse_(kCells, -1) {
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        const TRgb& c = palette_[i];
        std::int16_t& cell = inverse_[std::size_t(CellOf(c.r, c.g, c.b))];
        if (cell < 0) cell = std::int16_t(i);
    }
}

int TFastColorLookup::Nearest(int red, int green, int blue) const {
    constexpr int kWorse = 0x30000;
    int best = 0;
    int bestDistance = kWorse;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        const TRgb& c = palette_[i];
        int d = std::abs(red - c.r) + std::abs(green - c.g) + std::abs(blue - c.b);
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

int TFastColorLookup::MatchColor(int red, int green, int blue, TRgb& chosen) {
    std::int16_t& cell = inverse_[std::size_t(CellOf(red, green, blue))];
    if (cell < 0) cell = std::int16_t(Nearest(red, green, blue));
    chosen = palette_[std::size_t(cell)];
    return cell;
}

}  // namespace gs
