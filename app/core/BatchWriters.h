#pragma once
// The batch export's writers: one icon into one file of the job's format and size, named
// after its source file and its number there.
#include <cstdint>
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

// What the batch may write for one source file: a multiple of its size, with a floor far
// above what any real file's icons come to (each of Debian's wine modules writes at most half
// its size as icon files, a fifth as bitmaps; an icon library of tiny 1-bit icons some 15
// times as bitmaps). Files naming one large image from thousands of groups would otherwise
// write it out thousands of times over. Once what was written for a file passes it, the file
// is refused: nothing more is written for it, and the files written stay, each whole.
class TOutputBudget {
public:
    static constexpr std::uint64_t kFileMultiple = 32;
    static constexpr std::uint64_t kFloor = std::uint64_t(64) << 20;  // 64 MiB

    static std::uint64_t LimitFor(std::uint64_t sourceSize);
    explicit TOutputBudget(std::uint64_t sourceSize) : sourceSize_(sourceSize), limit_(LimitFor(sourceSize)) {}

    // Counts a file of `bytes` written; false once everything written passes the limit.
    bool Take(std::uint64_t bytes);
    // Why the source file is refused: what was written and the limit.
    std::string Reason() const;

private:
    std::uint64_t sourceSize_;
    std::uint64_t limit_;
    std::uint64_t written_ = 0;
};

class TBatchWriter {
public:
    TBatchWriter(TBatchFormat format, TBatchIconSize size, bool transparent)
        : format_(format), size_(size), transparent_(transparent) {}

    // Writes the icon as `name` plus the format's extension, replacing any file of that
    // name. True when a file was written; false when the icon has nothing of the size
    // asked for (or no images at all). Write errors raise.
    bool Write(const TQBIcon& icon, const std::filesystem::path& name) const;
    // The file Write writes for `name`: the name with the format's extension.
    std::filesystem::path OutputFile(const std::filesystem::path& name) const;

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
