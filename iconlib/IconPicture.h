#pragma once
// A decoded icon image: what an icon handle was on the desktop the program was designed
// for. Holds colour bits and AND mask (or straight alpha) so that drawing can do what the
// platform's icon drawing did: transparent, opaque and inverted pixels, and alpha blending.
#include <cstdint>
#include <span>
#include <vector>

#include "iconlib/IconErrors.h"
#include "platform/Raster.h"

namespace gs {

struct TIconPicture {
    int width = 0;
    int height = 0;
    // Colour of each pixel, rows top-down; with alpha when hasAlpha.
    std::vector<Argb> colour;
    // 1 where the AND mask is set (screen shows through, or is inverted by a non-black colour).
    std::vector<std::uint8_t> mask;
    bool hasAlpha = false;

    // Straight-alpha RGBA as seen by a viewer: masked pixels transparent. A place outside
    // the picture raises EQBICLReadError.
    Argb rgbaAt(int x, int y) const;
    // The same for the pixel at this place of the rows (x + y * width).
    Argb rgbaAt(std::size_t i) const {
        if (i >= colour.size()) throw indexOutOfBounds(std::int64_t(i));
        if (hasAlpha) return colour[i];
        return i < mask.size() && mask[i] ? (colour[i] & 0x00FFFFFFu) : (colour[i] | 0xFF000000u);
    }
    // Its colours (and, without alpha, its mask) hold one value per pixel.
    bool wellFormed() const;
    // Draws at (x, y) of the canvas, clipped to it.
    void drawOn(TRaster& canvas, int x, int y) const;
};

// Decodes icon image data (a DIB with AND mask, or a PNG). Throws EReadError when it cannot.
TIconPicture decodeIconImage(std::span<const std::uint8_t> data);

bool isPngData(std::span<const std::uint8_t> data);

}  // namespace gs
