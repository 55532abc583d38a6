#pragma once
// Colour reduction: turns a true-colour picture into an 8-bit indexed one of at most 256
// colours, the target palette chosen by method, pixels mapped by a colour lookup and an
// optional ditherer.
#include <cstdint>
#include <vector>

#include "codecs/Dither.h"
#include "platform/Raster.h"

namespace gs {

enum class TColorReduction : std::uint8_t {
    rdNone = 0,          // no reduction: a 24-bit copy
    rdSystem20 = 1,      // the 20 stock colours
    rdHalftone = 2,      // the fixed halftone table
    rdGray4 = 3,         // 4 greys
    rdMonochrome = 4,    // black and white
    rdGray256 = 5,       // 256 greys
    rdWebCube = 6,       // the 216-colour cube
    rdOctree = 7,        // octree, 2^bits colours
    rdOctreeSystem = 8,  // octree of 236 colours framed by the 20 stock colours
    rdPalette = 9,       // the caller's palette
};
inline constexpr int kColorReductionCount = 10;
inline constexpr int kMinReductionBits = 1;
inline constexpr int kMaxReductionBits = 8;

// Refuse settings outside the tables at once: "Invalid reduction method", "Invalid dither
// mode", "Invalid reduction bit count".
void checkReductionMethod(TColorReduction method);
void checkDitherMode(TDitherMode mode);
void checkReductionBits(int bits);

// A new picture; the source is never changed. rdNone gives a 24-bit copy (keeping the
// source's transparency settings); every other method an 8-bit picture whose palette has
// 256 entries (the method's palette padded with black). reductionBits counts for rdOctree
// only but must be 1 to 8 always; palette is used by rdPalette, which refuses an empty one
// ("Color table is empty"). An empty source gives "Invalid image dimensions".
TRaster ReduceBitmapColors(const TRaster& source, TColorReduction method, TDitherMode dither, int reductionBits,
                          const std::vector<TRgb>& palette = {});

// The octree palette of a picture: maxColors entries when the picture has that many.
// With keepSystem the result has 256 entries: the 20 stock colours at both ends, the
// octree's (at most 236) in entries 10 to 245.
std::vector<TRgb> octreePalette(const TRaster& source, int maxColors, bool keepSystem);

}  // namespace gs
