#pragma once
// A picture made into a BMP of a wanted depth. True-colour pictures going to 8 bits are
// reduced to a palette by one of six colour mappings; 1- and 4-bit pictures take each
// pixel's nearest colour of the black-and-white or the 16-colour table.
#include <cstdint>

#include "codecs/CodecErrors.h"
#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

// A picture that cannot be converted ("Bitmap image is not valid").
class EInvalidGraphic : public ECodecError {
public:
    using ECodecError::ECodecError;
};

// An operation the graphic does not allow; also the "Function not yet implemented" notice,
// which is raised to the caller and never shown.
class EInvalidGraphicOperation : public ECodecError {
public:
    using ECodecError::ECodecError;
};

namespace graphicmsg {
inline constexpr const char* kInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* kNotImplemented = "Function not yet implemented";
}  // namespace graphicmsg

enum class TColorMapping : std::uint8_t { mapHistogram, mapMedianCut, mapTrunc784, mapTrunc666, mapTriple, mapGrey };
inline constexpr TColorMapping kDefaultColorMapping = TColorMapping::mapHistogram;

// Squared RGB distance, by which the mappings take the nearest colour.
inline int colorDistance2(TRgb a, TRgb b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

// 2, 16, 256 for 1, 4, 8 bits; 0 for any other format.
int ColorsOfPixelFormat(PixelFormat pf);
// Bytes of a DIB row of `width` pixels, 32-bit aligned.
std::uint32_t ScanLineBytes(std::uint32_t width, int bits);

// The picture at 1, 4, 8 or 24 bits (formats beyond those: "Function not yet implemented";
// an empty picture: "Bitmap image is not valid"). A picture already in the format comes back
// as it is, unless the grey mapping is asked for.
TRaster toPixelFormat(const TRaster& picture, PixelFormat pf, TColorMapping mapping);
// The same as a BMP file.
TBytes BitmapToPixelFormat(const TRaster& picture, PixelFormat pf, TColorMapping mapping);
// 1 bit for up to 2 colours, 4 for up to 16, 8 for up to 256, else 24; the default mapping.
TBytes BitmapToColorCount(const TRaster& picture, int colors);

// The six mappings: a true-colour picture to 8-bit indices and a palette. `wanted` is the
// number of colours asked of the histogram and median cut.
TRaster mapColors(const TRaster& picture, TColorMapping mapping, int wanted = 256);

}  // namespace gs
