#pragma once
// The batch export's writers: one icon into one file of the job's format and size, named
// after its source file and its number there.
#include <filesystem>
#include <string>

#include "export/IconExport.h"
#include "iconlib/Icon.h"

namespace gs {

// ".ico", ".bmp", ".gif", ".jpg", ".wmf", ".tif", from the format table.
const char* BatchFormatExtension(TBatchFormat format);

// A base name made from a file name that cannot leave the folder it is joined to: "/"
// becomes "_", and a name that would be "." or ".." (or nothing) gets "_" in front.
std::string SafeOutputBaseName(const std::string& baseName);

// TargetDir/BaseName_k, without the format's extension; k counts from 1 in each source file.
std::filesystem::path BatchOutputName(const std::string& targetDir, const std::string& baseName, int k);

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
    // The icon's image of the job's size (exact sizes only) in the format, with the job's
    // transparency; nothing is written when the icon has no such image.
    bool ExportIn(TBatchFormat format, const TQBIcon& icon, const std::filesystem::path& name) const;

    TBatchFormat format_;
    TBatchIconSize size_;
    bool transparent_;
};

}  // namespace gs
