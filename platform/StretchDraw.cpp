#include "platform/StretchDraw.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace gs {

namespace {

void Stretch(TRaster& dest, const TDrawRect& rect, const TRaster& source, std::optional<TRgb> transparent) {
    if (isIndexed(dest.Format())) throw std::invalid_argument("drawing needs a true-colour destination");
    const long long w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0 || source.Empty()) return;
    const int x0 = std::max(rect.left, 0), x1 = std::min(rect.right, dest.Width());
    const int y0 = std::max(rect.top, 0), y1 = std::min(rect.bottom, dest.Height());
    for (int y = y0; y < y1; ++y) {
        const int sy = int((y - rect.top) * (long long)source.Height() / h);
        for (int x = x0; x < x1; ++x) {
            const int sx = int((x - rect.left) * (long long)source.Width() / w);
            const Argb c = source.Pixel(sx, sy);
            if (transparent && rgbOf(c) == *transparent) continue;
            dest.SetPixel(x, y, c | 0xFF000000u);
        }
    }
}

}  // namespace

void stretchDraw(TRaster& dest, const TDrawRect& rect, const TRaster& source) { Stretch(dest, rect, source, std::nullopt); }

void stretchDrawTransparent(TRaster& dest, const TDrawRect& rect, const TRaster& source, TRgb transparent) {
    Stretch(dest, rect, source, transparent);
}

}  // namespace gs
