#include "app/core/BatchWriters.h"

#include <stdexcept>

#include "framework/core/FileUtils.h"
#include "iconlib/IconChoice.h"
#include "export/ImageExport.h"
#include "platform/Bmp.h"

namespace gs {

namespace {

constexpr char kNameSeparator = '_';

std::filesystem::path withExtension(const std::filesystem::path& name, TBatchFormat format) {
    std::filesystem::path p = name;
    p += BatchFormatExtension(format);
    return p;
}

// The two standard sizes a copy of one size drops.
struct DroppedSizes {
    int first;
    int second;
};

DroppedSizes droppedWith(int size) {
    if (size == kIconSize48) return {kIconSize16, kIconSize32};
    if (size == kIconSize32) return {kIconSize16, kIconSize48};
    return {kIconSize32, kIconSize48};
}

bool hasExactSize(const TQBIcon& icon, int size) {
    return size == kIconSize48 ? icon.Has48x48() : size == kIconSize32 ? icon.Has32x32() : icon.Has16x16();
}

}  // namespace

const char* BatchFormatExtension(TBatchFormat format) {
    switch (format) {
    case TBatchFormat::bfBMP: return ".bmp";
    case TBatchFormat::bfGIF: return ".gif";
    case TBatchFormat::bfJPG: return ".jpg";
    case TBatchFormat::bfWMF: return ".wmf";
    case TBatchFormat::bfTIF: return ".tif";
    default: return ".ico";
    }
}

std::string SafeOutputBaseName(const std::string& baseName) {
    std::string safe = baseName;
    for (char& c : safe)
        if (c == '/') c = kNameSeparator;
    if (safe.empty() || safe == "." || safe == "..") safe.insert(safe.begin(), kNameSeparator);
    return safe;
}

std::filesystem::path BatchOutputName(const std::string& targetDir, const std::string& baseName, int k) {
    return AddTrailingBackslash(targetDir) + SafeOutputBaseName(baseName) + kNameSeparator + std::to_string(k);
}

bool TBatchWriter::Write(const TQBIcon& icon, const std::filesystem::path& name) const {
    switch (format_) {
    case TBatchFormat::bfBMP: return ExportAsBMP(icon, name);
    case TBatchFormat::bfGIF: return ExportAsGIF(icon, name);
    case TBatchFormat::bfJPG: return ExportAsJPEG(icon, name);
    case TBatchFormat::bfWMF: return ExportAsWMF(icon, name);
    case TBatchFormat::bfTIF: return ExportAsTIFF(icon, name);
    default: return ExportAsICO(icon, name);
    }
}

int StandardIconSize(TBatchIconSize size) {
    switch (size) {
    case TBatchIconSize::bs48: return kIconSize48;
    case TBatchIconSize::bs32: return kIconSize32;
    case TBatchIconSize::bs16: return kIconSize16;
    default: return 0;
    }
}

bool SaveIconOfExactSize(const TQBIcon& icon, int size, const std::filesystem::path& file) {
    if (!hasExactSize(icon, size)) return false;
    // Other sizes (24 x 24, 64 x 64, non-square ones) stay in the copy.
    TQBIcon copy;
    copy.Assign(icon);
    const DroppedSizes drop = droppedWith(size);
    copy.DeleteImagesOfSize(drop.first);
    copy.DeleteImagesOfSize(drop.second);
    copy.SaveToFile(file);
    return true;
}

bool SaveWholeIcon(const TQBIcon& icon, const std::filesystem::path& file) {
    // An icon without images writes no file, so it is not counted as saved.
    if (icon.Images().Count() == 0) return false;
    icon.SaveToFile(file);
    return true;
}

void SaveBitmapInFormat(TBatchFormat format, const Raster& bitmap, const std::filesystem::path& file) {
    switch (format) {
    case TBatchFormat::bfBMP: saveBmp(bitmap, file); return;
    case TBatchFormat::bfGIF: SaveBitmapAsGIF(&bitmap, file); return;
    case TBatchFormat::bfJPG: SaveBitmapAsJPEG(&bitmap, file); return;
    case TBatchFormat::bfWMF: SaveBitmapAsMetafile(&bitmap, file); return;
    case TBatchFormat::bfTIF: SaveBitmapAsTIFF(&bitmap, file); return;
    default: throw std::invalid_argument("an icon is not a bitmap format");
    }
}

bool TBatchWriter::ExportAsICO(const TQBIcon& icon, const std::filesystem::path& name) const {
    const std::filesystem::path file = withExtension(name, TBatchFormat::bfICO);
    const int size = StandardIconSize(size_);
    return size == 0 ? SaveWholeIcon(icon, file) : SaveIconOfExactSize(icon, size, file);
}

std::optional<Raster> TBatchWriter::ChooseBitmap(const TQBIcon& icon) const {
    switch (size_) {
    case TBatchIconSize::bs48: return GetBitmap48(icon);
    case TBatchIconSize::bs32: return GetBitmap32(icon);
    case TBatchIconSize::bs16: return GetBitmap16(icon);
    default: return GetPreviewBitmap(icon);
    }
}

bool TBatchWriter::ExportBitmap(const TQBIcon& icon, const std::filesystem::path& name, TBatchFormat format) const {
    std::optional<Raster> bitmap = ChooseBitmap(icon);
    if (!bitmap) return false;
    bitmap->setTransparent(transparent_);
    SaveBitmapInFormat(format, *bitmap, withExtension(name, format));
    return true;
}

bool TBatchWriter::ExportAsBMP(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportBitmap(icon, name, TBatchFormat::bfBMP);
}

bool TBatchWriter::ExportAsGIF(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportBitmap(icon, name, TBatchFormat::bfGIF);
}

bool TBatchWriter::ExportAsJPEG(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportBitmap(icon, name, TBatchFormat::bfJPG);
}

bool TBatchWriter::ExportAsWMF(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportBitmap(icon, name, TBatchFormat::bfWMF);
}

bool TBatchWriter::ExportAsTIFF(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportBitmap(icon, name, TBatchFormat::bfTIF);
}

}  // namespace gs
