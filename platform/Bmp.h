#pragma once
// BMP files: a 14-byte file header in front of a DIB.
#include <filesystem>

#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

TBytes EncodeBmp(const TRaster& raster);
// Throws EReadError for anything that is not a BMP we can read.
TRaster DecodeBmp(const IByteSource& src);

// Written whole (temporary file, then rename); EFCreateError on failure.
void SaveBmp(const TRaster& raster, const std::filesystem::path& path);
TRaster LoadBmp(const std::filesystem::path& path);

}  // namespace gs
