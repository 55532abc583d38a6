#pragma once
// The program's own bitmap: what the class library's bitmap was to the original design.
// True-colour rasters hold 32-bit BGRA pixels; indexed rasters (1, 4, 8 bits) hold one
// palette index per pixel and a palette. A 24-bit raster stores BGRA too but is written
// without its alpha byte. No GUI type is involved, so rasters are made on any thread.
#include <cstdint>
#include <optional>
#include <vector>

namespace gs {

enum class PixelFormat { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

int bitCountOf(PixelFormat pf);
bool isIndexed(PixelFormat pf);

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A pixel as stored in memory on a little-endian machine: bytes B, G, R, A.
using Argb = std::uint32_t;
constexpr Argb makeArgb(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    return (Argb(a) << 24) | (Argb(r) << 16) | (Argb(g) << 8) | Argb(b);
}
constexpr std::uint8_t alphaOf(Argb c) { return std::uint8_t(c >> 24); }
constexpr std::uint8_t redOf(Argb c) { return std::uint8_t(c >> 16); }
constexpr std::uint8_t greenOf(Argb c) { return std::uint8_t(c >> 8); }
constexpr std::uint8_t blueOf(Argb c) { return std::uint8_t(c); }
constexpr Rgb rgbOf(Argb c) { return Rgb{redOf(c), greenOf(c), blueOf(c)}; }
constexpr Argb argbOf(Rgb c, std::uint8_t a = 255) { return makeArgb(c.r, c.g, c.b, a); }

constexpr Argb kWhite = makeArgb(255, 255, 255);

class Raster {
public:
    Raster() = default;
    // A new true-colour raster is opaque white everywhere (one uniform background, which the
    // exports that take the transparent colour from a corner rely on). A new indexed raster
    // has an all-black palette of 2^bits entries and every index 0.
    Raster(int width, int height, PixelFormat pf = PixelFormat::pf32bit);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    PixelFormat format() const { return format_; }
    int bitCount() const { return bitCountOf(format_); }

    // Colour of a pixel whatever the format (indexed pixels through the palette, opaque).
    Argb pixel(int x, int y) const;
    // True-colour rasters only.
    void setPixel(int x, int y, Argb c) { pixels_[index(x, y)] = c; }
    Argb* row(int y) { return pixels_.data() + std::size_t(y) * std::size_t(width_); }
    const Argb* row(int y) const { return pixels_.data() + std::size_t(y) * std::size_t(width_); }
    void fill(Argb c);

    // Indexed rasters only.
    std::uint8_t indexAt(int x, int y) const { return indices_[index(x, y)]; }
    void setIndexAt(int x, int y, std::uint8_t i) { indices_[index(x, y)] = i; }
    std::uint8_t* indexRow(int y) { return indices_.data() + std::size_t(y) * std::size_t(width_); }
    const std::uint8_t* indexRow(int y) const { return indices_.data() + std::size_t(y) * std::size_t(width_); }
    const std::vector<Rgb>& palette() const { return palette_; }
    void setPalette(std::vector<Rgb> p) { palette_ = std::move(p); }

    // Transparency as the class library's bitmap has it: off by default; the transparent
    // colour is the bottom-left pixel's unless one was set.
    bool transparent() const { return transparent_; }
    void setTransparent(bool t) { transparent_ = t; }
    Rgb transparentColor() const;
    void setTransparentColor(Rgb c) { transparentColor_ = c; }
    void clearTransparentColor() { transparentColor_.reset(); }

    // The same picture as 32-bit BGRA (palette resolved).
    Raster toArgb32() const;

    friend bool operator==(const Raster&, const Raster&) = default;

private:
    std::size_t index(int x, int y) const { return std::size_t(y) * std::size_t(width_) + std::size_t(x); }

    int width_ = 0, height_ = 0;
    PixelFormat format_ = PixelFormat::pf32bit;
    std::vector<Argb> pixels_;
    std::vector<std::uint8_t> indices_;
    std::vector<Rgb> palette_;
    bool transparent_ = false;
    std::optional<Rgb> transparentColor_;
};

}  // namespace gs
