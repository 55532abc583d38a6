#include "app/ui/RasterImage.h"

#include "iconlib/HiResIcon.h"
#include "iconlib/IconPicture.h"

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

QPixmap IconPixmap(const TQBHiResIcon* icon) {
    if (!icon || icon->Empty()) return {};
    return QPixmap::fromImage(ToQImage(*icon->Handle()));
}

}  // namespace gs
