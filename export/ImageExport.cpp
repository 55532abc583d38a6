#include "export/ImageExport.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "codecs/GifImage.h"
#include "export/ImageFormats.h"
#include "export/JpegWriter.h"
#include "export/MetafileWriter.h"
#include "export/TiffWriter.h"
#include "platform/AtomicFile.h"

namespace gs {

namespace {

bool hasPicture(const TRaster* bitmap) { return bitmap && !bitmap->Empty(); }

bool isWmfName(const std::filesystem::path& fileName) {
    std::string ext = fileName.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ImageFormatOf(TBatchFormat::bfWMF).Save.Extension;
}

}  // namespace

void SaveBitmapAsGIF(const TRaster* bitmap, const std::filesystem::path& fileName) {
    if (!hasPicture(bitmap)) return;
    TGIFImage gif;  // the codec's own settings: conversion, colour reduction, transparency
    gif.SetWidth(bitmap->Width());
    gif.SetHeight(bitmap->Height());
    gif.Assign(*bitmap);
    gif.SaveToFile(fileName);
}

void SaveBitmapAsJPEG(const TRaster* bitmap, const std::filesystem::path& fileName) {
    if (hasPicture(bitmap)) writeFileAtomically(fileName, encodeJpeg(*bitmap));
}

void SaveBitmapAsMetafile(const TRaster* bitmap, const std::filesystem::path& fileName) {
    if (!hasPicture(bitmap)) return;
    writeFileAtomically(fileName, isWmfName(fileName) ? encodeWmf(*bitmap) : encodeEmf(*bitmap));
}

void SaveBitmapAsTIFF(const TRaster* bitmap, const std::filesystem::path& fileName) {
    if (hasPicture(bitmap)) SaveTIFFToFile(fileName, *bitmap);
}

}  // namespace gs
