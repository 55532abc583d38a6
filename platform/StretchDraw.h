#pragma once
// Drawing one raster into a rectangle of another, stretched (nearest pixel), as the class
// library's canvas stretch and its transparent stretch did.
#include "platform/Raster.h"

namespace gs {

struct TDrawRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The whole source into the rectangle of a true-colour destination, clipped to it.
void stretchDraw(TRaster& dest, const TDrawRect& rect, const TRaster& source);
// The same, leaving out the source pixels of the transparent colour.
void stretchDrawTransparent(TRaster& dest, const TDrawRect& rect, const TRaster& source, TRgb transparent);

}  // namespace gs
