#include "app/ui/RasterImage.h"

#include "iconlib/HiResIcon.h"
#include "iconlib/IconPicture.h"

#include "platform/Raster.h"

namespace gs {

QImage ToQImage(const IconPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0) return {};
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    if (image.isNull()) return {};
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x) line[x] = picture.rgbaAt(x, y);
    }
    return image;
}

QImage ToQImage(const Raster& raster) {
    if (raster.empty()) return {};
    QImage image(raster.width(), raster.height(), QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (int y = 0; y < raster.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < raster.width(); ++x) line[x] = raster.pixel(x, y) | 0xFF000000u;
    }
    return image;
}

QPixmap IconPixmap(const TQBHiResIcon* icon) {
    if (!icon || icon->Empty()) return {};
    return QPixmap::fromImage(ToQImage(*icon->Handle()));
}

}  // namespace gs
