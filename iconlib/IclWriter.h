#pragma once
// Writes an icon library: a minimal resource-only 16-bit NE module whose icon-group
// resources carry the icons' names, built in memory and written whole.
#include <array>
#include <filesystem>
#include <vector>

#include "iconlib/IconLibrary.h"
#include "platform/ByteWriter.h"

namespace gs {

class TQB16BitWriter {
public:
    // The library is read, never changed.
    explicit TQB16BitWriter(const TQBIconLibrary& library);
    // Icons referred to, not owned: they must outlive the writer.
    explicit TQB16BitWriter(std::vector<TIconLibraryEntry> entries);
    // The whole file, as it would be written.
    TBytes Build();
    void SaveToFile(const std::filesystem::path& fileName);

    // The icon names as they go into the file: Windows-1252, at most 255 bytes, never empty.
    static std::string FileName(const std::string& name, int index);

    std::uint16_t AlignShift = 0;
    std::size_t TotalImages = 0;

private:
    void WriteHeader();
    void WriteResourceTable();
    void WriteNames();
    void ComputeAlignShift();
    void WriteResources();
    void PadToAlignment();
    void PatchNameRecord(std::size_t recordPos, std::size_t start, std::size_t end);
    bool LayoutFits(std::uint16_t shift) const;

    std::vector<TIconLibraryEntry> Entries;
    TByteWriter Stream;
    std::size_t ResTablePos = 0;
    std::size_t NamesFieldPos = 0;
    std::vector<std::size_t> ImageRecordPos;
    std::vector<std::size_t> GroupRecordPos;
};

}  // namespace gs
