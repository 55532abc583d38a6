#pragma once
// A placeable Windows metafile as a picture a GIF frame can be made from. Only its bitmap
// records draw (StretchDIB and DIBStretchBlt, with copy, AND, OR and XOR raster
// operations), through the window origin and extent it sets; every other record is passed
// over. That is what the metafiles this program writes hold.
#include <cstdint>
#include <memory>

#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

class TMetafile {
public:
    // The picture of the whole file. EReadError, saying what is wrong, for data that is no
    // placeable metafile, a record reaching past the end, a bitmap that cannot be read, or
    // a picture above 2^24 pixels or 256 pixels per byte of the file.
    static TMetafile FromSource(const IByteSource& source);

    // Pixels at 96 per inch, from the placeable header's box.
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    // A 24-bit picture of its size, `background` where nothing draws.
    TRaster Draw(Argb background) const;

private:
    std::shared_ptr<const TBytes> data_;
    int left_ = 0, top_ = 0, boxWidth_ = 0, boxHeight_ = 0;  // logical units
    int width_ = 0, height_ = 0;                             // pixels
};

}  // namespace gs
