#pragma once
// BMP files: a 14-byte file header in front of a DIB.
#include <filesystem>

#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

TBytes encodeBmp(const TRaster& raster);
// Throws EReadError for anything that is not a BMP we can read.
TRaster decodeBmp(const IByteSource& src);

// Written whole (temporary file, then rename); EFCreateError on failure.
void saveBmp(const TRaster& raster, const std::filesystem::path& path);
TRaster loadBmp(const std::filesystem::path& path);

}  // namespace gs
