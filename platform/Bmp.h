#pragma once
// BMP files: a 14-byte file header in front of a DIB.
#include <filesystem>

#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

Bytes encodeBmp(const Raster& raster);
// Throws EReadError for anything that is not a BMP we can read.
Raster decodeBmp(const ByteSource& src);

// Written whole (temporary file, then rename); EFCreateError on failure.
void saveBmp(const Raster& raster, const std::filesystem::path& path);
Raster loadBmp(const std::filesystem::path& path);

}  // namespace gs
