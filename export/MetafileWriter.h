#pragma once
// Metafiles holding one bitmap drawn at (0, 0) at its own size, one logical unit per pixel.
// A bitmap marked transparent is drawn masked: its transparent pixels leave whatever is
// under the picture as it was.
#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

// A placeable Windows metafile (96 units per inch). EFCreateError for a bitmap wider or taller
// than the format's 16-bit coordinates hold.
TBytes encodeWmf(const TRaster& bitmap);

// An enhanced metafile (reference device of 96 pixels per inch).
TBytes encodeEmf(const TRaster& bitmap);

}  // namespace gs
