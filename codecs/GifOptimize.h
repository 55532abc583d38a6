#pragma once
// Making a GIF image smaller without changing what it shows: colour tables sorted by use,
// transparency and disposals that do nothing dropped, pixels that repeat the frame before
// made transparent, transparent borders cropped, and extensions nobody reads removed.
#include <cstdint>

#include "codecs/GifImage.h"

namespace gs {

using TGIFOptimizeOptions = std::uint8_t;
inline constexpr TGIFOptimizeOptions opCrop = 0x01, opMerge = 0x02, opCleanup = 0x04, opSortColorMaps = 0x08,
                                     opReduceColors = 0x10;

// Cuts a transparent frame to the box of its pixels that are not transparent; a frame with
// none left becomes empty (0 x 0).
void TrimToContent(TGIFSubImage& frame);
// Makes transparent each pixel of `frame` that shows what `previous` shows at the same
// place (same index of the same table, or the same colour); the frame gets a transparent
// index when it needs one and its table has room.
void ClearRepeatedPixels(TGIFSubImage& frame, const TGIFSubImage& previous);
// All of the above that `options` asks for, in the order: sort, drop unused transparency and
// covered disposals, merge, crop, remove unread extensions; "Optimizing..." progress in six
// steps a frame. opReduceColors reduces nothing: the frames keep their tables. The reduction
// settings are checked as an image's are ("Invalid reduction method", "Invalid dither mode",
// "Invalid reduction bit count") before anything changes, and opReduceColors without
// opCleanup refuses rdPalette, a caller's palette that Compact has no way to be given.
void Compact(TGIFImage& image, TGIFOptimizeOptions options, TColorReduction reduction = TColorReduction::rdNone,
             int reductionBits = 8, TDitherMode ditherMode = TDitherMode::dtNone);

}  // namespace gs
