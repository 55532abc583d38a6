#include "framework/core/FileProperties.h"

#include <filesystem>
#include <optional>

#include "framework/core/FileUtils.h"
#include "framework/core/StrUtils.h"
#include "framework/core/SysUtils.h"

namespace gs {

namespace {

std::string timeText(const std::optional<FileTime>& when) {
    // A time of zero is one the file system does not keep (a birth time on some of them).
    if (!when || when->time_since_epoch().count() == 0) return kUnknownValue;
    std::string text = FormatFileDate(*when);
    return text.empty() ? std::string(kUnknownValue) : text;
}

}  // namespace

const std::array<TAttributeItem, 5>& FileAttributeItems() {
    static const std::array<TAttributeItem, 5> items{{{"Archive", faArchive},
                                                      {"Read-only", faReadOnly},
                                                      {"Hidden", faHidden},
                                                      {"System", faSysFile},
                                                      {"Compressed", faCompressed}}};
    return items;
}

std::string FormatByteSize(std::uint64_t size) { return GroupDigits(std::to_string(size), ",") + " bytes"; }

TFileProperties GetFileProperties(const std::string& fileName, const TMimeInfo& mime) {
    const std::filesystem::path path(fileName);
    TFileProperties p;
    p.FileName = path.filename().string();
    p.Location = AddTrailingBackslash(path.parent_path().string());
    // A name without an extension has no "EXT File" to be; the type is plainly a file.
    try {
        p.FileType = path.extension().empty() ? kPlainFileType : GetFileTypeName(fileName, mime);
    } catch (const std::exception&) {
        p.FileType = kPlainFileType;
    }
    const std::int64_t size = GetFileSize64(path);
    p.Size = size < 0 ? std::string(kUnknownValue) : FormatByteSize(std::uint64_t(size));
    p.Created = timeText(GetFileCreationTime(path));
    p.Modified = timeText(GetFileWriteTime(path));
    p.Accessed = timeText(GetFileAccessTime(path));
    for (std::size_t i = 0; i < FileAttributeItems().size(); ++i)
        p.Attributes[i] = FileHasAttributes(path, FileAttributeItems()[i].Bit);
    return p;
}

}  // namespace gs
