#include "app/core/BatchWriters.h"

#include <stdexcept>

#include "framework/core/FileUtils.h"
#include "iconlib/IconChoice.h"
#include "iconlib/export/ImageExport.h"
#include "platform/Bmp.h"

namespace gs {

namespace {

constexpr char kNameSeparator = '_';

std::filesystem::path withExtension(const std::filesystem::path& name, TBatchFormat format) {
    std::filesystem::path p = name;
    p += BatchFormatExtension(format);
    return p;
}

// The exact size a size code asks for and the two standard sizes its copy drops.
struct SizeFilter {
    int keep;
    int drop1;
    int drop2;
};

std::optional<SizeFilter> sizeFilterOf(TBatchIconSize size) {
    switch (size) {
    case TBatchIconSize::bs48: return SizeFilter{kIconSize48, kIconSize16, kIconSize32};
    case TBatchIconSize::bs32: return SizeFilter{kIconSize32, kIconSize16, kIconSize48};
    case TBatchIconSize::bs16: return SizeFilter{kIconSize16, kIconSize32, kIconSize48};
    default: return std::nullopt;
    }
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

bool TBatchWriter::ExportAsICO(const TQBIcon& icon, const std::filesystem::path& name) const {
    const std::filesystem::path file = withExtension(name, TBatchFormat::bfICO);
    const std::optional<SizeFilter> filter = sizeFilterOf(size_);
    if (!filter) {
        // An icon without images writes no file, so it is not counted as saved.
        if (icon.Images().Count() == 0) return false;
        icon.SaveToFile(file);
        return true;
    }
    if (!hasExactSize(icon, filter->keep)) return false;
    // Other sizes (24 x 24, 64 x 64, non-square ones) stay in the copy.
    TQBIcon copy;
    copy.Assign(icon);
    copy.DeleteImagesOfSize(filter->drop1);
    copy.DeleteImagesOfSize(filter->drop2);
    copy.SaveToFile(file);
    return true;
}

std::optional<Raster> TBatchWriter::ChooseBitmap(const TQBIcon& icon) const {
    switch (size_) {
    case TBatchIconSize::bs48: return GetBitmap48(icon);
    case TBatchIconSize::bs32: return GetBitmap32(icon);
    case TBatchIconSize::bs16: return GetBitmap16(icon);
    default: return GetPreviewBitmap(icon);
    }
}

template <class Save>
bool TBatchWriter::ExportBitmap(const TQBIcon& icon, const std::filesystem::path& name, TBatchFormat format,
                                Save save) const {
    std::optional<Raster> bitmap = ChooseBitmap(icon);
    if (!bitmap) return false;
    bitmap->setTransparent(transparent_);
    save(*bitmap, withExtension(name, format));
    return true;
}

bool TBatchWriter::ExportAsBMP(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportBitmap(icon, name, TBatchFormat::bfBMP,
                        [](const Raster& b, const std::filesystem::path& f) { saveBmp(b, f); });
}

bool TBatchWriter::ExportAsGIF(const TQBIcon& icon, const std::filesystem::path& name) const {
#ifdef GS_HAVE_GIF_EXPORT
    return ExportBitmap(icon, name, TBatchFormat::bfGIF,
                        [](const Raster& b, const std::filesystem::path& f) { SaveBitmapAsGIF(&b, f); });
#else
    throw std::runtime_error("GIF export is not part of this build.");
#endif
}

bool TBatchWriter::ExportAsJPEG(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportBitmap(icon, name, TBatchFormat::bfJPG,
                        [](const Raster& b, const std::filesystem::path& f) { SaveBitmapAsJPEG(&b, f); });
}

bool TBatchWriter::ExportAsWMF(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportBitmap(icon, name, TBatchFormat::bfWMF,
                        [](const Raster& b, const std::filesystem::path& f) { SaveBitmapAsMetafile(&b, f); });
}

bool TBatchWriter::ExportAsTIFF(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportBitmap(icon, name, TBatchFormat::bfTIF,
                        [](const Raster& b, const std::filesystem::path& f) { SaveBitmapAsTIFF(&b, f); });
}

}  // namespace gs
