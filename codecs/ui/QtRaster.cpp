#include "codecs/ui/QtRaster.h"

namespace gs::ui {

QImage toQImage(const Raster& raster) {
    QImage image(raster.width(), raster.height(), QImage::Format_ARGB32);
    for (int y = 0; y < raster.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < raster.width(); ++x)
            line[x] = raster.format() == PixelFormat::pf32bit ? raster.pixel(x, y) : raster.pixel(x, y) | 0xFF000000u;
    }
    return image;
}

Raster fromQImage(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    Raster raster(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) raster.setPixel(x, y, line[x]);
    }
    return raster;
}

}  // namespace gs::ui
