#pragma once
// The splash-picture graphic's own LZW coder: a string table hashed into 17,777 slots over a
// pool of 4,096 entries indexed by code, codes packed least significant bit first into data
// sub-blocks of 255 bytes.
#include <cstdint>

#include "codecs/GifTypes.h"
#include "platform/ByteWriter.h"
#include "platform/Raster.h"

namespace gs {

// Writes the minimum code size byte, the data sub-blocks and their 0 terminator for the
// indexed picture's pixels (rows top first, in the four passes when interlaced). Codes start
// bitsPerPixel + 1 bits wide (3 for a 1-bit picture), grow to at most 12 and restart after a
// clear code once 4,094 codes are in use. Progress: the rows done.
void EncodeRxLZW(TByteWriter& out, const TRaster& picture, int bitsPerPixel, bool interlaced, const TGifProgress& progress);

}  // namespace gs
