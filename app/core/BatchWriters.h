#pragma once
// The batch export's writers: one icon into one file of the job's format and size, named
// after its source file and its number there.
#include <filesystem>
#include <optional>
#include <string>

#include "app/core/CmdLine.h"
#include "iconlib/Icon.h"
#include "platform/Raster.h"

namespace gs {

// ".ico", ".bmp", ".gif", ".jpg", ".wmf", ".tif".
const char* BatchFormatExtension(TBatchFormat format);

// A base name made from a file name that cannot leave the folder it is joined to: "/"
// becomes "_", and a name that would be "." or ".." (or nothing) gets "_" in front.
std::string SafeOutputBaseName(const std::string& baseName);

// TargetDir/BaseName_k, without the format's extension; k counts from 1 in each source file.
std::filesystem::path BatchOutputName(const std::string& targetDir, const std::string& baseName, int k);

// 48, 32 or 16 for a size code of one size; 0 for all sizes.
int StandardIconSize(TBatchIconSize size);

// The shared writers of the batch and the window's saves; each answers whether a file was
// written, and write errors raise.
// The icon with all its images; nothing for an icon without images.
bool SaveWholeIcon(const TQBIcon& icon, const std::filesystem::path& file);
// When the icon has an exact square image of `size` (48, 32 or 16): a copy without the
// other two standard sizes (any other sizes stay). Nothing otherwise.
bool SaveIconOfExactSize(const TQBIcon& icon, int size, const std::filesystem::path& file);
// The bitmap as a BMP, GIF, JPEG, metafile or TIFF file; std::invalid_argument for ICO.
void SaveBitmapInFormat(TBatchFormat format, const Raster& bitmap, const std::filesystem::path& file);

class TBatchWriter {
public:
    TBatchWriter(TBatchFormat format, TBatchIconSize size, bool transparent)
        : format_(format), size_(size), transparent_(transparent) {}

    // Writes the icon as `name` plus the format's extension, replacing any file of that
    // name. True when a file was written; false when the icon has nothing of the size
    // asked for (or no images at all). Write errors raise.
    bool Write(const TQBIcon& icon, const std::filesystem::path& name) const;

    bool ExportAsICO(const TQBIcon& icon, const std::filesystem::path& name) const;
    bool ExportAsBMP(const TQBIcon& icon, const std::filesystem::path& name) const;
    bool ExportAsGIF(const TQBIcon& icon, const std::filesystem::path& name) const;
    bool ExportAsJPEG(const TQBIcon& icon, const std::filesystem::path& name) const;
    bool ExportAsWMF(const TQBIcon& icon, const std::filesystem::path& name) const;
    bool ExportAsTIFF(const TQBIcon& icon, const std::filesystem::path& name) const;

private:
    // All sizes: the preview (16, 32 and 48 side by side); one size: its exact bitmap.
    std::optional<Raster> ChooseBitmap(const TQBIcon& icon) const;
    // The chosen bitmap with the job's transparency, written in the format; nothing is
    // written when no bitmap results.
    bool ExportBitmap(const TQBIcon& icon, const std::filesystem::path& name, TBatchFormat format) const;

    TBatchFormat format_;
    TBatchIconSize size_;
    bool transparent_;
};

}  // namespace gs
