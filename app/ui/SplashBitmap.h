#pragma once
// The splash picture of the start-up: the holder form's picture, carried as a resource.
#include <QImage>
#include <optional>

#include "platform/Raster.h"

namespace gs {

// The resource's form picture data (count prefix, then the GIF); empty when missing.
QByteArray SplashPictureData();
// The picture drawn onto a raster of its size; nothing when it cannot be made.
std::optional<TRaster> GetSplashBitmap();

}  // namespace gs
