#include "app/ui/ListPictureImage.h"

#include <vector>

#include "app/core/ListPicture.h"

namespace gs {

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
