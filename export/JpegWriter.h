#pragma once
// JPEG files through libjpeg with fixed settings: RGB input, libjpeg's defaults, quality 90
// with baseline tables, floating-point DCT. The same settings as
// `cjpeg -quality 90 -dct float -baseline`, which therefore gives the same bytes.
#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

constexpr int kJpegQuality = 90;

// The JPEG file of `bitmap` (its colours as 24-bit RGB; alpha is dropped). EFCreateError when
// libjpeg refuses the picture (an empty one, or one beyond libjpeg's size limit).
TBytes encodeJpeg(const TRaster& bitmap);

}  // namespace gs
