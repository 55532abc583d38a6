#include "iconlib/IclWriter.h"
#include "iconlib/ModuleFormat.h"

#include "platform/AtomicFile.h"
#include "platform/Text.h"

namespace gs {

namespace {
std::size_t padded(std::size_t n, std::uint16_t shift) {
    const std::size_t unit = std::size_t(1) << shift;
    return (n + unit - 1) / unit * unit;
}
// A missing icon adds nothing, as for a library's own list.
void dropMissing(std::vector<TIconLibraryEntry>& entries) {
    std::erase_if(entries, [](const TIconLibraryEntry& e) { return e.Icon == nullptr; });
}
}  // namespace

std::vector<TIconLibraryEntry> TQBIconLibrary::Entries() const {
    std::vector<TIconLibraryEntry> entries;
    entries.reserve(std::size_t(Icons.Count()));
    for (int i = 0; i < Icons.Count(); ++i) entries.push_back({Icons.Name(i), Icons.GetIcon(i)});
    return entries;
}

void TQBIconLibrary::SaveToFile(const std::filesystem::path& fileName) const { SaveIconLibrary(fileName, Entries()); }

void SaveIconLibrary(const std::filesystem::path& fileName, std::vector<TIconLibraryEntry> entries) {
    dropMissing(entries);
    if (entries.empty()) throw EQBICLWriteError("Unable to write Icon Library with no icons.");
    if (entries.size() > format::kIclMaxIcons) throw EQBICLWriteError("Icon Libraries with more than 32767 are not possible.");
    TQB16BitWriter(std::move(entries)).SaveToFile(fileName);
}

TQB16BitWriter::TQB16BitWriter(const TQBIconLibrary& library) : TQB16BitWriter(library.Entries()) {}

TQB16BitWriter::TQB16BitWriter(std::vector<TIconLibraryEntry> entries) : Entries(std::move(entries)) {
    dropMissing(Entries);
    for (const TIconLibraryEntry& e : Entries) TotalImages += e.Icon->Images().Count();
    ImageRecordPos.resize(TotalImages);
    GroupRecordPos.resize(Entries.size());
}

std::string TQB16BitWriter::FileName(const std::string& name, int index) {
    std::string out = utf8ToCp1252(name);
    if (out.size() > format::kIclMaxNameLength) out.resize(format::kIclMaxNameLength);  // one byte is one character
    if (out.empty()) out = "Icon " + std::to_string(index + 1);
    return out;
}

void TQB16BitWriter::WriteHeader() {
    Stream.U16(format::kMzSignature);
    Stream.Zeros(58);
    Stream.U16(format::kIclNeHeaderAt);
    Stream.Zeros(64);
    Stream.Chars("IM");
    Stream.U16(format::kNeSignature);
    Stream.Zeros(32);
    Stream.U16(format::kIclResourceTableRel);  // NE + 0x22
    Stream.U16(format::kIclResourceTableRel);  // NE + 0x24: resource table
    NamesFieldPos = Stream.Pos();
    Stream.U16(0);  // NE + 0x26: resident names, patched by WriteNames
    Stream.Zeros(14);
    Stream.U16(2);  // target system: Windows
    Stream.Zeros(7);
    Stream.U8(3);  // Windows 3
}

void TQB16BitWriter::WriteResourceTable() {
    ResTablePos = Stream.Pos();
    Stream.U16(0);  // AlignShift, patched by ComputeAlignShift
    const int icons = int(Entries.size());
    Stream.U16(format::kIclGroupType);
    Stream.U16(std::uint16_t(icons));
    Stream.U32(0);
    for (int i = 0; i < icons; ++i) {
        GroupRecordPos[std::size_t(i)] = Stream.Pos();
        Stream.U16(0x00FF);
        Stream.U16(0xFF00);
        Stream.U16(format::kIclRecordFlags);
        Stream.U16(std::uint16_t((i + 1) | format::kNeIdFlag));
        Stream.U32(0);
    }
    Stream.U16(format::kIclIconType);
    Stream.U16(std::uint16_t(TotalImages));
    Stream.U32(0);
    for (std::size_t j = 0; j < TotalImages; ++j) {
        ImageRecordPos[j] = Stream.Pos();
        Stream.U16(0x00FF);
        Stream.U16(0xFF00);
        Stream.U16(format::kIclRecordFlags);
        Stream.U16(std::uint16_t((j + 1) | format::kNeIdFlag));
        Stream.U32(0);
    }
    Stream.U16(0);
}

void TQB16BitWriter::WriteNames() {
    Stream.PatchU16(NamesFieldPos, std::uint16_t(Stream.Pos() - format::kIclNeHeaderAt));
    Stream.U8(3);
    Stream.Chars("ICL");
    for (int i = 0; i < int(Entries.size()); ++i) {
        std::string name = FileName(Entries[std::size_t(i)].Name, i);
        Stream.U8(std::uint8_t(name.size()));
        Stream.Chars(name);
    }
    Stream.U8(0);
}

bool TQB16BitWriter::LayoutFits(std::uint16_t shift) const {
    // Every offset and length of a name record counts units of 2^shift in 16 bits.
    auto fits = [&](std::size_t start, std::size_t length) {
        return (start >> shift) <= 0xFFFF && (length >> shift) <= 0xFFFF;
    };
    std::size_t pos = padded(Stream.Pos(), shift);
    for (int i = 0; i < int(Entries.size()); ++i) {
        std::size_t len = padded(format::kIconHeaderSize + format::kGroupEntrySize * Entries[std::size_t(i)].Icon->Images().Count(), shift);
        if (!fits(pos, len)) return false;
        pos += len;
    }
    for (int i = 0; i < int(Entries.size()); ++i) {
        const TQBIconImageList& images = Entries[std::size_t(i)].Icon->Images();
        for (std::uint16_t k = 0; k < images.Count(); ++k) {
            std::size_t len = padded(images.GetImage(k)->BytesInRes(), shift);
            if (!fits(pos, len)) return false;
            pos += len;
        }
    }
    return true;
}

void TQB16BitWriter::ComputeAlignShift() {
    std::uint64_t size = Stream.Pos();
    for (int i = 0; i < int(Entries.size()); ++i) {
        const TQBIconImageList& images = Entries[std::size_t(i)].Icon->Images();
        size += format::kIconHeaderSize;
        for (std::uint16_t k = 0; k < images.Count(); ++k) size += images.GetImage(k)->BytesInRes() + format::kGroupEntrySize;
    }
    std::uint16_t shift = 0;
    while (shift < format::kNeMaxAlignShift && (std::uint64_t(0xFFFF) << shift) < size) ++shift;
    // The size above leaves the padding out; take a larger shift when the padded layout
    // would not fit its 16-bit fields.
    while (shift <= format::kNeMaxAlignShift && !LayoutFits(shift)) ++shift;
    if (shift > format::kNeMaxAlignShift) throw EQBICLWriteError("Icon Library is too large to be written.");
    AlignShift = shift;
    Stream.PatchU16(ResTablePos, AlignShift);
}

void TQB16BitWriter::PadToAlignment() { Stream.Zeros(padded(Stream.Pos(), AlignShift) - Stream.Pos()); }

void TQB16BitWriter::PatchNameRecord(std::size_t recordPos, std::size_t start, std::size_t end) {
    Stream.PatchU16(recordPos, std::uint16_t(start >> AlignShift));
    Stream.PatchU16(recordPos + 2, std::uint16_t((end - start) >> AlignShift));
}

void TQB16BitWriter::WriteResources() {
    PadToAlignment();
    std::uint16_t nId = 1;
    for (int i = 0; i < int(Entries.size()); ++i) {
        const TQBIconImageList& images = Entries[std::size_t(i)].Icon->Images();
        const std::size_t start = Stream.Pos();
        Stream.U16(0);
        Stream.U16(1);
        Stream.U16(images.Count());
        for (std::uint16_t k = 0; k < images.Count(); ++k) {
            images.GetImage(k)->head().write(Stream);
            Stream.U16(nId++);
        }
        PadToAlignment();
        PatchNameRecord(GroupRecordPos[std::size_t(i)], start, Stream.Pos());
    }
    std::size_t j = 0;
    for (int i = 0; i < int(Entries.size()); ++i) {
        const TQBIconImageList& images = Entries[std::size_t(i)].Icon->Images();
        for (std::uint16_t k = 0; k < images.Count(); ++k, ++j) {
            const std::size_t start = Stream.Pos();
            images.GetImage(k)->SaveToStream(Stream);
            PadToAlignment();
            PatchNameRecord(ImageRecordPos[j], start, Stream.Pos());
        }
    }
    Stream.U16(0);
}

TBytes TQB16BitWriter::Build() {
    if (TotalImages > format::kIclMaxImages)
        throw EQBICLWriteError("Icon Libraries with more than 32767 images are not possible.");
    WriteHeader();
    WriteResourceTable();
    WriteNames();
    ComputeAlignShift();
    WriteResources();
    return Stream.Take();
}

void TQB16BitWriter::SaveToFile(const std::filesystem::path& fileName) { writeFileAtomically(fileName, Build()); }

}  // namespace gs
