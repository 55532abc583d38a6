#include "platform/StretchDraw.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace gs {

namespace {

void stretch(Raster& dest, const DrawRect& rect, const Raster& source, std::optional<Rgb> transparent) {
    if (isIndexed(dest.format())) throw std::invalid_argument("drawing needs a true-colour destination");
    const long long w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0 || source.empty()) return;
    const int x0 = std::max(rect.left, 0), x1 = std::min(rect.right, dest.width());
    const int y0 = std::max(rect.top, 0), y1 = std::min(rect.bottom, dest.height());
    for (int y = y0; y < y1; ++y) {
        const int sy = int((y - rect.top) * (long long)source.height() / h);
        for (int x = x0; x < x1; ++x) {
            const int sx = int((x - rect.left) * (long long)source.width() / w);
            const Argb c = source.pixel(sx, sy);
            if (transparent && rgbOf(c) == *transparent) continue;
            dest.setPixel(x, y, c | 0xFF000000u);
        }
    }
}

}  // namespace

void stretchDraw(Raster& dest, const DrawRect& rect, const Raster& source) { stretch(dest, rect, source, std::nullopt); }

void stretchDrawTransparent(Raster& dest, const DrawRect& rect, const Raster& source, Rgb transparent) {
    stretch(dest, rect, source, transparent);
}

}  // namespace gs
