#pragma once
// The codecs' rasters as Qt pictures and back.
#include <QImage>

#include "platform/Raster.h"

namespace gs::ui {

// 32-bit ARGB both ways (indexed rasters through their palette).
QImage toQImage(const Raster& raster);
Raster fromQImage(const QImage& image);

}  // namespace gs::ui
