#pragma once
// Writing a bitmap as a picture file: GIF, JPEG, Windows metafile and TIFF. Each file is
// written whole (temporary file in the target folder, then rename), so a failure leaves no
// partial file and keeps the file it would have replaced. A null or empty bitmap writes
// nothing and creates no file. Errors of the encoders and of file creation pass to the caller.
#include <filesystem>

#include "platform/Raster.h"

namespace gs {

// Through the GIF codec: its own conversion and colour reduction of the bitmap.
void SaveBitmapAsGIF(const TRaster* bitmap, const std::filesystem::path& fileName);

// RGB, baseline, quality 90, floating-point DCT.
void SaveBitmapAsJPEG(const TRaster* bitmap, const std::filesystem::path& fileName);

// A placeable Windows metafile when the extension is ".wmf" (in any case), an enhanced
// metafile otherwise.
void SaveBitmapAsMetafile(const TRaster* bitmap, const std::filesystem::path& fileName);

// Uncompressed TIFF (see TiffWriter.h).
void SaveBitmapAsTIFF(const TRaster* bitmap, const std::filesystem::path& fileName);

}  // namespace gs
