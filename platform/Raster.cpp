#include "platform/Raster.h"

#include <algorithm>
#include <stdexcept>

namespace gs {

int bitCountOf(PixelFormat pf) {
    switch (pf) {
        case PixelFormat::pf1bit: return 1;
        case PixelFormat::pf4bit: return 4;
        case PixelFormat::pf8bit: return 8;
        case PixelFormat::pf24bit: return 24;
        case PixelFormat::pf32bit: return 32;
    }
    return 32;
}

bool isIndexed(PixelFormat pf) { return bitCountOf(pf) <= 8; }

TRaster::TRaster(int width, int height, PixelFormat pf) : format_(pf) {
    if (width < 0 || height < 0) throw std::invalid_argument("negative raster size");
    width_ = width;
    height_ = height;
    std::size_t n = std::size_t(width) * std::size_t(height);
    if (isIndexed(pf)) {
        indices_.assign(n, 0);
        palette_.assign(std::size_t(1) << bitCountOf(pf), TRgb{});
    } else {
        pixels_.assign(n, kWhite);
    }
}

Argb TRaster::Pixel(int x, int y) const {
    if (!isIndexed(format_)) return pixels_[Index(x, y)];
    std::uint8_t i = indices_[Index(x, y)];
    return i < palette_.size() ? argbOf(palette_[i]) : makeArgb(0, 0, 0);
}

void TRaster::Fill(Argb c) {
    if (!isIndexed(format_)) std::fill(pixels_.begin(), pixels_.end(), c);
}

TRgb TRaster::TransparentColor() const {
    if (transparentColor_) return *transparentColor_;
    if (Empty()) return TRgb{};
    return rgbOf(Pixel(0, height_ - 1));
}

TRaster TRaster::ToArgb32() const {
    if (format_ == PixelFormat::pf32bit) return *this;
    TRaster out(width_, height_, PixelFormat::pf32bit);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) out.SetPixel(x, y, Pixel(x, y));
    out.transparent_ = transparent_;
    out.transparentColor_ = transparentColor_;
    return out;
}

}  // namespace gs
