#pragma once
// The splash picture as the start-up holder form keeps it: form picture data (a 32-bit
// byte count, then a GIF) drawn onto a raster of the picture's size.
#include <optional>

#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

// The picture, or nothing for data that cannot be read or holds no picture (the splash
// window then shows none; no error reaches anyone).
std::optional<TRaster> SplashBitmapFrom(const TBytes& pictureData);

}  // namespace gs
