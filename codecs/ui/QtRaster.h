#pragma once
// The one place where the program's own pictures become Qt images and back. Images may be
// made on any thread; pixmaps only on the UI thread (callers see to that).
#include <QImage>
#include <QPixmap>

#include "platform/Raster.h"

namespace gs {

struct TIconPicture;
class TQBHiResIcon;

// What the alpha bytes of a true-colour raster mean. A GIF canvas or frame keeps its
// transparency in them; a bitmap carries none (its transparency flag is for the exports,
// and a 32-bit BMP's fourth byte is often just padding).
enum class TRasterAlpha { Kept, Opaque };

// The raster as ARGB, a 32-bit raster with its alpha (Kept), or as opaque RGB (Opaque);
// 24-bit and indexed rasters (through their palette) are opaque either way. A null image for an
// empty raster or one Qt cannot allocate.
QImage ToQImage(const TRaster& raster, TRasterAlpha alpha = TRasterAlpha::Kept);
// Any image as a 32-bit raster with its alpha; an empty raster for a null image.
TRaster FromQImage(const QImage& image);

// The picture as straight-alpha ARGB, masked pixels transparent.
QImage ToQImage(const TIconPicture& picture);
// The icon's picture as a pixmap; a null pixmap for a missing or empty icon.
QPixmap IconPixmap(const TQBHiResIcon* icon);

}  // namespace gs
