#pragma once
// Icons of 16-bit NE modules and icon libraries (resource-only NE modules), parsed from
// the file itself.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "iconlib/IconLibrary.h"
#include "iconlib/ImageDataPool.h"

namespace gs {

// An icon read from a 16-bit module, with the name generated for its group.
class TQBICL16Icon : public TQBIcon {
public:
    std::string Name;
};

class TQB16BitReader : public TQBICLReader {
public:
    // Opens the file (EFOpenError when it cannot be).
    explicit TQB16BitReader(std::filesystem::path fileName, std::shared_ptr<const IByteSource> source = nullptr);
    // Fills Icons and returns true; false when anything about the file is wrong, with the
    // reason in Error. Raises only EOverBudget, when the file names more than its read
    // budget (as the other readers do). Reads the tables first unless ReadTables did.
    bool Read() override;
    // The header and the resource and name tables: the number of icon groups, or -1 (the
    // reason in Error) when they cannot be read. Never raises.
    int ReadTables();
    std::string FailureReason() const override { return Error; }

    // The name record of a resource, in alignment units.
    struct NameInfo {
        std::uint16_t Offset = 0, Length = 0, Flags = 0, ID = 0, Handle = 0, Usage = 0;
    };

    std::uint16_t AlignShift = 0;
    std::uint32_t NEOffset = 0;
    std::uint64_t ResTablePos = 0;
    std::uint64_t NamesPos = 0;
    std::string BaseName;
    std::string Error;  // why the last ReadTables or Read failed

private:
    void ReadNEHeader();
    void ReadResourceTable(TByteReader& r);
    std::vector<std::string> ReadNames(TByteReader& r);
    std::string NameAt(std::uint64_t pos) const;
    // The first icon record of the id, through an index made once per file: groups naming
    // thousands of images each are not each a search of the whole table.
    std::int32_t FindIconIndex(std::uint16_t id);
    // The resource's block, alignment padding included; EReadError past the file's end.
    TByteReader ResourceWindow(const NameInfo& rec) const;
    void LoadGroup(TQBICL16Icon& icon, std::size_t index, TImageDataPool& pool);
    void AddGroupImage(TQBICL16Icon& icon, TByteReader& group, TImageDataPool& pool, std::uint64_t& iconBytes,
                       const std::string& what);

    std::shared_ptr<const IByteSource> Stream;
    std::vector<NameInfo> IconEntries;
    std::vector<NameInfo> GroupEntries;
    std::unordered_map<std::uint16_t, std::int32_t> iconIndex_;
    std::vector<std::string> Names;
    bool tablesRead_ = false;
    bool hasIconType_ = false, hasGroupType_ = false;
    bool anyNamed_ = false;  // a type or resource identified by a string
};

}  // namespace gs
