#pragma once
// The program's own TIFF writer: uncompressed, little-endian, one strip, with a fixed layout
// for each kind of picture (bilevel, palette, RGB) so that every file it makes is the same
// byte for byte on every machine.
#include <filesystem>

#include "platform/ByteSource.h"
#include "platform/ByteWriter.h"
#include "platform/Raster.h"

namespace gs {

// Appends the TIFF file of `bitmap` to `stream` (offsets count from where it starts).
// An empty bitmap writes nothing.
void WriteTIFF(TByteWriter& stream, const TRaster& bitmap);

// The TIFF file of a device-independent bitmap (header, colour table, rows). Its rows are
// located by strides computed from width and bit count; depths without a layout of their own
// (16 bits, bit fields) are written as RGB. EReadError when the DIB is damaged.
TBytes encodeTiffFromDib(const IByteSource& dib);

// Writes the file whole (temporary file, then rename); EFCreateError on failure. An empty
// bitmap creates no file.
void SaveTIFFToFile(const std::filesystem::path& fileName, const TRaster& bitmap);

}  // namespace gs
