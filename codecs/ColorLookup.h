#pragma once
// Colour lookups: each maps a colour to an index of its palette and tells which palette
// colour that is (the ditherers spread the difference).
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/Raster.h"

namespace gs {

class TColorLookup {
public:
    explicit TColorLookup(int colors) : colors_(colors) {}
    virtual ~TColorLookup() = default;
    int Colors() const { return colors_; }
    // Returns the palette index for the colour; chosen receives that palette colour.
    virtual int MatchColor(int red, int green, int blue, TRgb& chosen) = 0;

private:
    int colors_;
};

// Black or white by luminance (77 R + 150 G + 29 B, the weights adding up to 256).
class TMonochromeLookup final : public TColorLookup {
public:
    TMonochromeLookup() : TColorLookup(2) {}
    int MatchColor(int red, int green, int blue, TRgb& chosen) override;
};

// One of 256 greys by the same luminance.
class TGrayScaleLookup final : public TColorLookup {
public:
    TGrayScaleLookup() : TColorLookup(256) {}
    int MatchColor(int red, int green, int blue, TRgb& chosen) override;
};

// The 216-colour cube, computed per channel.
class TNetscapeColorLookup final : public TColorLookup {
public:
    TNetscapeColorLookup();
    int MatchColor(int red, int green, int blue, TRgb& chosen) override;
};

// Nearest colour of any palette (smallest sum of channel differences, the first of equals
// winning), cached per cell of 5 bits per channel: each cell is searched once, and every
// later colour of the same cell gets that cell's answer.
class TFastColorLookup final : public TColorLookup {
public:
    explicit TFastColorLookup(std::span<const TRgb> palette);
    int MatchColor(int red, int green, int blue, TRgb& chosen) override;

private:
    static constexpr int kCells = 1 << 15;
    static int CellOf(int red, int green, int blue) {
        return (red >> 3) | ((green >> 3) << 5) | ((blue >> 3) << 10);
    }
    int Nearest(int red, int green, int blue) const;

    std::vector<TRgb> palette_;
    std::vector<std::int16_t> inverse_;  // -1: not searched yet
};

}  // namespace gs
