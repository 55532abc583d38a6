#include "codecs/ui/QtRaster.h"

#include "iconlib/HiResIcon.h"
#include "iconlib/IconPicture.h"

namespace gs {

namespace {

// A width by height image of `format` whose pixel (x, y) is pixelAt(x, y); null when the
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

QImage ToQImage(const Raster& raster, TRasterAlpha alpha) {
    if (alpha == TRasterAlpha::Opaque)
        return imageOf(raster.width(), raster.height(), QImage::Format_RGB32,
                       [&](int x, int y) { return QRgb(raster.pixel(x, y) | 0xFF000000u); });
    // Only a 32-bit raster's fourth byte can be alpha: a 24-bit raster is written without it.
    const bool withAlpha = raster.format() == PixelFormat::pf32bit;
    return imageOf(raster.width(), raster.height(), QImage::Format_ARGB32, [&](int x, int y) {
        return QRgb(withAlpha ? raster.pixel(x, y) : raster.pixel(x, y) | 0xFF000000u);
    });
}

Raster FromQImage(const QImage& image) {
    if (image.isNull()) return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull()) return {};
    Raster raster(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) raster.setPixel(x, y, line[x]);
    }
    return raster;
}

QImage ToQImage(const IconPicture& picture) {
    return imageOf(picture.width, picture.height, QImage::Format_ARGB32,
                   [&](int x, int y) { return QRgb(picture.rgbaAt(x, y)); });
}

QPixmap IconPixmap(const TQBHiResIcon* icon) {
    if (!icon || icon->Empty()) return {};
    return QPixmap::fromImage(ToQImage(*icon->Handle()));
}

}  // namespace gs
