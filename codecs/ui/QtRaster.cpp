#include "codecs/ui/QtRaster.h"

#include "iconlib/HiResIcon.h"
#include "iconlib/IconPicture.h"

namespace gs {

namespace {

// A width by height image of `format` whose pixel (x, y) is PixelAt(x, y); null when the
// size is empty or too large for Qt.
template <class PixelAt>
QImage imageOf(int width, int height, QImage::Format format, PixelAt pixelAt) {
    if (width <= 0 || height <= 0) return {};
    QImage image(width, height, format);
    if (image.isNull()) return {};
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) line[x] = pixelAt(x, y);
    }
    return image;
}

}  // namespace

QImage ToQImage(const TRaster& raster, TRasterAlpha alpha) {
    if (alpha == TRasterAlpha::Opaque)
        return imageOf(raster.Width(), raster.Height(), QImage::Format_RGB32,
                       [&](int x, int y) { return QRgb(raster.Pixel(x, y) | 0xFF000000u); });
    // Only a 32-bit raster's fourth byte can be alpha: a 24-bit raster is written without it.
    const bool withAlpha = raster.Format() == PixelFormat::pf32bit;
    return imageOf(raster.Width(), raster.Height(), QImage::Format_ARGB32, [&](int x, int y) {
        return QRgb(withAlpha ? raster.Pixel(x, y) : raster.Pixel(x, y) | 0xFF000000u);
    });
}

TRaster FromQImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) return {};
    TRaster raster(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) raster.SetPixel(x, y, line[x]);
    }
    return raster;
}

QImage ToQImage(const TIconPicture& picture) {
    return imageOf(picture.width, picture.height, QImage::Format_ARGB32,
                   [&](int x, int y) { return QRgb(picture.rgbaAt(x, y)); });
}

QPixmap IconPixmap(const TQBHiResIcon* icon) {
    if (!icon || icon->Empty()) return {};
    return QPixmap::fromImage(ToQImage(*icon->Handle()));
}

}  // namespace gs
