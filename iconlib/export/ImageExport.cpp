#include "iconlib/export/ImageExport.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "iconlib/export/JpegWriter.h"
#include "iconlib/export/MetafileWriter.h"
#include "iconlib/export/TiffWriter.h"
#include "platform/AtomicFile.h"

namespace gs {

namespace {

bool hasPicture(const Raster* bitmap) { return bitmap && !bitmap->empty(); }

bool isWmfName(const std::filesystem::path& fileName) {
    std::string ext = fileName.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".wmf";
}

}  // namespace

void SaveBitmapAsJPEG(const Raster* bitmap, const std::filesystem::path& fileName) {
    if (hasPicture(bitmap)) writeFileAtomically(fileName, encodeJpeg(*bitmap));
}

void SaveBitmapAsMetafile(const Raster* bitmap, const std::filesystem::path& fileName) {
    if (!hasPicture(bitmap)) return;
    writeFileAtomically(fileName, isWmfName(fileName) ? encodeWmf(*bitmap) : encodeEmf(*bitmap));
}

void SaveBitmapAsTIFF(const Raster* bitmap, const std::filesystem::path& fileName) {
    if (hasPicture(bitmap)) SaveTIFFToFile(fileName, *bitmap);
}

}  // namespace gs
