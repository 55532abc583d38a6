#include "iconlib/NEReader.h"
#include "iconlib/ModuleFormat.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/ByteReader.h"
#include "platform/Errors.h"
#include "platform/ReadBudget.h"
#include "platform/Text.h"

namespace gs {

namespace {
// The module name our own icon libraries put first in their name strings.
constexpr const char* kIclModuleName = "ICL";
constexpr std::size_t kMaxExtensionLength = 30;

TQB16BitReader::NameInfo readNameInfo(TByteReader& r) {
    TQB16BitReader::NameInfo n;
    n.Offset = r.U16();
    n.Length = r.U16();
    n.Flags = r.U16();
    n.ID = r.U16();
    n.Handle = r.U16();
    n.Usage = r.U16();
    return n;
}
}  // namespace

TQB16BitReader::TQB16BitReader(std::filesystem::path fileName, std::shared_ptr<const IByteSource> source)
    : TQBICLReader(std::move(fileName), std::move(source)) {
    Stream = Source ? Source : openFileSource(FileName);
    std::string name = FileName.filename().string();
    auto dot = name.rfind('.');
    if (dot != std::string::npos && name.size() - dot - 1 <= kMaxExtensionLength) name.erase(dot);
    BaseName = name;
}

void TQB16BitReader::ReadNEHeader() {
    TByteReader r(*Stream);
    if (r.U16At(0) != format::kMzSignature) throw EQBICLReadError("Not a valid ICL File.");
    NEOffset = r.U16At(format::kNewHeaderOffsetField);
    if (NEOffset < format::kNewHeaderOffsetField) throw EQBICLReadError("Invalid Windows 16 Offset.");
    if (r.U16At(NEOffset) != format::kNeSignature) throw EQBICLReadError("Invalid Windows 16 Header.");
    const std::uint16_t resTable = r.U16At(NEOffset + format::kNeResourceTableField);
    if (resTable == 0) throw EQBICLReadError("No Resources in file.");
    ResTablePos = std::uint64_t(resTable) + NEOffset;
    const std::uint16_t names = r.U16At(NEOffset + format::kNeResidentNamesField);
    if (names == 0) throw EQBICLReadError("Names Table not found.");
    NamesPos = std::uint64_t(names) + NEOffset;
}

void TQB16BitReader::ReadResourceTable(TByteReader& r) {
    r.Seek(ResTablePos);
    AlignShift = r.U16();
    if (AlignShift > format::kNeMaxAlignShift) throw EQBICLReadError("ResourceTable has an error.");
    for (std::uint16_t typeId = r.U16(); typeId != 0; typeId = r.U16()) {
        const std::uint16_t count = r.U16();
        r.Skip(format::kNeTypeInfoSize - 4);
        if (!r.Contains(r.Pos(), count * format::kNeNameInfoSize)) throw EQBICLReadError("ResourceTable has an error.");
        std::vector<NameInfo>* into = nullptr;
        if (!(typeId & format::kNeIdFlag)) anyNamed_ = true;  // a named type is never an icon type
        else if ((typeId & 0xFF) == RT_ICON && !hasIconType_) into = &IconEntries, hasIconType_ = true;
        else if ((typeId & 0xFF) == RT_GROUP_ICON && !hasGroupType_) into = &GroupEntries, hasGroupType_ = true;
        for (std::uint16_t i = 0; i < count; ++i) {
            NameInfo n = readNameInfo(r);
            if (!(n.ID & format::kNeIdFlag)) anyNamed_ = true;
            if (into) into->push_back(n);
        }
    }
    if (!hasIconType_ || !hasGroupType_) throw EQBICLReadError("ResourceTable has an error.");
}

std::vector<std::string> TQB16BitReader::ReadNames(TByteReader& r) {
    std::vector<std::string> names;
    for (std::uint8_t len = r.U8(); len != 0; len = r.U8()) {
        std::string s = r.Chars(len);
        if (names.empty() && s == kIclModuleName) continue;
        names.push_back(cp1252ToUtf8(s));
    }
    return names;
}

std::string TQB16BitReader::NameAt(std::uint64_t pos) const {
    TByteReader r(*Stream, pos);
    const std::uint8_t len = r.U8();
    return cp1252ToUtf8(r.Chars(len));
}

std::int32_t TQB16BitReader::FindIconIndex(std::uint16_t id) {
    if (iconIndex_.empty())
        for (std::size_t i = IconEntries.size(); i-- > 0;) iconIndex_[IconEntries[i].ID] = std::int32_t(i);  // first wins
    const auto it = iconIndex_.find(std::uint16_t(id | format::kNeIdFlag));
    return it == iconIndex_.end() ? -1 : it->second;
}

TByteReader TQB16BitReader::ResourceWindow(const NameInfo& rec) const {
    const std::uint64_t offset = std::uint64_t(rec.Offset) << AlignShift;
    const std::uint64_t length = std::uint64_t(rec.Length) << AlignShift;
    return TByteReader(*Stream).Window(offset, length);  // EReadError when it reaches past the file
}

void TQB16BitReader::AddGroupImage(TQBICL16Icon& icon, TByteReader& group, TImageDataPool& pool,
                                   std::uint64_t& iconBytes, const std::string& what) {
    TIconImageHead head = TIconImageHead::read(group);
    const std::uint16_t id = group.U16();
    const std::int32_t index = FindIconIndex(id);
    if (index < 0) return;  // a missing image leaves the rest of the group
    const NameInfo& rec = IconEntries[std::size_t(index)];
    std::optional<TByteReader> block;
    try {
        block.emplace(ResourceWindow(rec));
    } catch (const EReadError&) {
        return;  // image data beyond the end of the file: refused
    }
    // The block carries the alignment padding; keep just the image when the entry says less.
    const std::uint64_t length = std::min<std::uint64_t>(head.BytesInRes, block->Size());
    TSharedBytes data = pool.ImageData(*block, 0, length, iconBytes, what);
    if (!data) return;  // larger than any icon image, or than the file
    auto image = std::make_unique<TQBIconImage>(head, std::move(data));
    image->FixSize();
    icon.Images().Add(std::move(image));
}

void TQB16BitReader::LoadGroup(TQBICL16Icon& icon, std::size_t index, TImageDataPool& pool) {
    char number[16];
    std::snprintf(number, sizeof number, "%03zu", index + 1);
    icon.Name = BaseName + " " + number;
    TByteReader r = ResourceWindow(GroupEntries[index]);
    std::uint16_t count = 0;
    if (!icon.ReadHeader(r, count)) return;  // listed without images
    const std::string what = "the images of group " + std::to_string(index + 1);
    std::uint64_t iconBytes = 0;
    for (std::uint16_t i = 0; i < count && r.Contains(r.Pos(), format::kGroupEntrySize); ++i)
        AddGroupImage(icon, r, pool, iconBytes, what);
}

int TQB16BitReader::ReadTables() {
    IconEntries.clear();
    GroupEntries.clear();
    iconIndex_.clear();
    Names.clear();
    hasIconType_ = hasGroupType_ = anyNamed_ = false;
    Error.clear();
    try {
        ReadNEHeader();
        TByteReader r(*Stream);
        ReadResourceTable(r);
        Names = ReadNames(r);
        tablesRead_ = true;
        return int(GroupEntries.size());
    } catch (const std::exception& e) {
        Error = e.what();
        return -1;
    }
}

bool TQB16BitReader::Read() {
    Icons.Clear();
    if (!tablesRead_ && ReadTables() < 0) return false;
    try {
        const bool useNames = Names.size() == GroupEntries.size() && !anyNamed_;
        TQBIconList list;
        TImageDataPool pool(Stream->Size());  // one budget for the whole file
        for (std::size_t i = 0; i < GroupEntries.size(); ++i) {
            pool.TakeObject("group " + std::to_string(i + 1));
            auto icon = std::make_unique<TQBICL16Icon>();
            LoadGroup(*icon, i, pool);
            std::string name;
            if (!(GroupEntries[i].ID & format::kNeIdFlag)) name = NameAt(ResTablePos + GroupEntries[i].ID);
            else if (useNames) name = Names[i];
            else name = icon->Name;
            list.AddIcon(name, std::move(icon));
        }
        Icons.TakeOver(std::move(list));
        return true;
    } catch (const EOverBudget&) {
        throw;  // refused as every reader refuses it, not taken for a damaged table
    } catch (const std::exception& e) {
        Error = e.what();
        return false;
    }
}

}  // namespace gs
