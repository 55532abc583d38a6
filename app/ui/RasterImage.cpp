#include "app/ui/RasterImage.h"

#include "app/core/ListPicture.h"
#include "iconlib/IconPicture.h"
#include "platform/Raster.h"

#include <vector>

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

QImage ToQImage(const Raster& bitmap) {
    if (bitmap.empty()) return {};
    QImage image(bitmap.width(), bitmap.height(), QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) line[x] = 0xFF000000u | (bitmap.pixel(x, y) & 0x00FFFFFFu);
    }
    return image;
}

QImage ToPremultipliedQImage(const TListPicture& picture) {
    if (picture.Empty()) return {};
    QImage image(picture.Width(), picture.Height(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    std::vector<Argb> colours;
    colours.reserve(picture.Palette().size());
    for (Argb c : picture.Palette()) colours.push_back(qPremultiply(c));
    for (int y = 0; y < picture.Height(); ++y)
        picture.ExpandRowAs(y, reinterpret_cast<Argb*>(image.scanLine(y)), colours, [](Argb c) { return qPremultiply(c); });
    return image;
}

}  // namespace gs
