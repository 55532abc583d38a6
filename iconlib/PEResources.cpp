#include "iconlib/PEResources.h"
#include "iconlib/ModuleFormat.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/ByteReader.h"
#include "platform/Errors.h"
#include "platform/Text.h"

namespace gs {

namespace {
// Languages tried, in order, for a request in the neutral language.
constexpr std::array<std::uint16_t, 4> kLanguagePreference = {0x0000, 0x0400, 0x0800, 0x0409};

// Where a language directory's data entry of the preferred language stands: the best of
// kLanguagePreference, else the first data entry listed; none when it holds no data entry.
template <class Entries>
std::optional<std::size_t> preferredLanguage(const Entries& entries) {
    std::optional<std::size_t> chosen;
    std::size_t chosenRank = kLanguagePreference.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].isDir || !entries[i].name.isId) continue;  // a third level holds data only
        const auto rank = std::size_t(std::find(kLanguagePreference.begin(), kLanguagePreference.end(), entries[i].name.id) -
                                      kLanguagePreference.begin());
        if (!chosen || rank < chosenRank) chosen = i, chosenRank = rank;
    }
    return chosen;
}

[[noreturn]] void notPe(const std::string& why) { throw EReadError("Not a valid PE module: " + why); }

std::string hex(std::uint64_t v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "0x%llX", static_cast<unsigned long long>(v));
    return buf;
}
}  // namespace

TPeModule::TPeModule(std::shared_ptr<const IByteSource> source) : src_(std::move(source)) {
    using namespace format;
    directoryBytesLeft_ = src_->Size();
    TByteReader r(*src_);
    if (r.U16At(0) != kMzSignature) notPe("no MZ header");
    const std::uint32_t pe = r.U32At(kNewHeaderOffsetField);
    if (r.U32At(pe) != format::kPeSignature) notPe("no PE signature");
    const std::uint16_t sectionCount = r.U16At(std::uint64_t(pe) + kCoffSectionCountField);
    const std::uint16_t optSize = r.U16At(std::uint64_t(pe) + kCoffOptionalSizeField);
    const std::uint64_t opt = std::uint64_t(pe) + kOptionalHeaderAt;
    const std::uint16_t magic = r.U16At(opt);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus) notPe("optional header magic");
    is64_ = magic == kMagicPe32Plus;
    const std::uint64_t countAt = opt + (is64_ ? kDirCountField64 : kDirCountField32);
    const std::uint64_t dirsAt = opt + (is64_ ? kDirsAt64 : kDirsAt32);
    if (dirsAt > opt + optSize) notPe("optional header too small");
    const std::uint32_t dirCount = r.U32At(countAt);
    const std::uint64_t rsrcAt = dirsAt + kDataDirectorySize * kResourceDirectoryIndex;
    if (dirCount > kResourceDirectoryIndex && rsrcAt + kDataDirectorySize <= opt + optSize) {
        rsrcRva_ = r.U32At(rsrcAt);
        rsrcSize_ = r.U32At(rsrcAt + 4);
    }
    if (sectionCount > kMaxSections) notPe("too many sections");
    TByteReader t = r.Window(opt + optSize, std::uint64_t(sectionCount) * kSectionHeaderSize);
    for (std::uint16_t i = 0; i < sectionCount; ++i) {
        t.Seek(std::uint64_t(i) * kSectionHeaderSize + kSectionVirtualSizeField);
        Section s{};
        s.vsize = t.U32();
        s.va = t.U32();
        s.rawSize = t.U32();
        s.rawPtr = t.U32();
        sections_.push_back(s);
    }
}

std::unique_ptr<TPeModule> TPeModule::open(const std::filesystem::path& path) {
    return std::make_unique<TPeModule>(openFileSource(path));
}

std::optional<std::uint64_t> TPeModule::fileOffset(std::uint32_t rva, std::uint32_t size) const {
    for (const Section& s : sections_) {
        if (rva < s.va) continue;
        const std::uint64_t rel = std::uint64_t(rva) - s.va;
        // Only bytes that are really in the file: the raw data of the section.
        if (rel + size <= s.rawSize) {
            const std::uint64_t off = std::uint64_t(s.rawPtr) + rel;
            if (src_->Contains(off, size)) return off;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::string TPeModule::readName(std::uint32_t offset, std::uint64_t& bytesLeft) const {
    auto at = fileOffset(rsrcRva_ + offset, 2);
    if (!at) throw EReadError("Resource name at RVA " + hex(rsrcRva_ + offset) + " lies outside the file");
    TByteReader r(*src_, *at);
    const std::uint16_t len = r.U16();
    // Entries naming the same long string over and over cannot read more than the file holds.
    if (std::uint64_t(len) * 2 > bytesLeft) throw EReadError("Resource names larger than the file");
    bytesLeft -= std::uint64_t(len) * 2;
    TByteReader chars = r.Window(*at + 2, std::uint64_t(len) * 2);
    std::u16string s;
    s.reserve(len);
    for (std::uint16_t i = 0; i < len; ++i) s.push_back(char16_t(chars.U16()));
    return utf16ToUtf8(s);
}

const TPeModule::Directory& TPeModule::readDirectory(std::uint32_t offset) const {
    using namespace format;
    if (auto it = dirCache_.find(offset); it != dirCache_.end()) return it->second;
    Directory dir;  // cached only when read whole
    std::vector<DirEntry>& out = dir.entries;
    auto at = fileOffset(rsrcRva_ + offset, kResourceDirHeaderSize);
    if (!at) return dirCache_.emplace(offset, std::move(dir)).first->second;
    TByteReader h(*src_, *at + kResourceDirCountsField);
    const std::uint32_t count = std::uint32_t(h.U16()) + h.U16();
    // Directories of one module never add up to more than its file: overlapping ones
    // claiming thousands of entries each would otherwise be read and kept again and again.
    const std::uint64_t cost = kResourceDirHeaderSize + std::uint64_t(count) * kResourceDirEntrySize;
    if (cost > directoryBytesLeft_) throw EReadError("Resource directories larger than the file");
    directoryBytesLeft_ -= cost;
    TByteReader r = h.Window(*at + kResourceDirHeaderSize, std::uint64_t(count) * kResourceDirEntrySize);
    out.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t nameField = r.U32();
        const std::uint32_t dataField = r.U32();
        DirEntry e;
        e.isDir = (dataField & kResourceSubdirFlag) != 0;
        e.offset = dataField & ~kResourceSubdirFlag;
        e.name = (nameField & kResourceSubdirFlag)
                     ? TResourceName::fromString(readName(nameField & ~kResourceSubdirFlag, directoryBytesLeft_))
                     : TResourceName::fromId(std::uint16_t(nameField));
        if (e.isDir) dir.firstDir.try_emplace(NameKey{e.name.isId, e.name.id, e.name.name}, out.size());
        out.push_back(std::move(e));
    }
    dir.preferredData = preferredLanguage(out);
    return dirCache_.emplace(offset, std::move(dir)).first->second;
}

std::optional<TPeModule::DirEntry> TPeModule::findEntry(std::uint32_t dirOffset, const TResourceName& name) const {
    const Directory& dir = readDirectory(dirOffset);
    const auto it = dir.firstDir.find(NameKey{name.isId, name.id, name.name});
    if (it == dir.firstDir.end()) return std::nullopt;
    return dir.entries[it->second];
}

std::vector<TResourceName> TPeModule::names(std::uint16_t type) const {
    std::vector<TResourceName> out;
    if (rsrcRva_ == 0) return out;
    auto typeDir = findEntry(0, TResourceName::fromId(type));
    if (!typeDir) return out;
    const Directory& dir = readDirectory(typeDir->offset);
    for (std::size_t i = 0; i < dir.entries.size(); ++i) {
        // Each name once, at its first place, even when a damaged directory repeats it.
        const DirEntry& e = dir.entries[i];
        if (e.isDir && dir.firstDir.at(NameKey{e.name.isId, e.name.id, e.name.name}) == i) out.push_back(e.name);
    }
    return out;
}

std::optional<TPeModule::DirEntry> TPeModule::findData(std::uint16_t type, const TResourceName& name) const {
    if (rsrcRva_ == 0) return std::nullopt;
    auto typeDir = findEntry(0, TResourceName::fromId(type));
    if (!typeDir) return std::nullopt;
    auto nameDir = findEntry(typeDir->offset, name);
    if (!nameDir) return std::nullopt;
    // Chosen when the directory was read: groups sharing one language directory of
    // thousands of entries do not each search it again.
    const Directory& languages = readDirectory(nameDir->offset);
    if (!languages.preferredData) return std::nullopt;
    return languages.entries[*languages.preferredData];
}

std::optional<TByteReader> TPeModule::locate(std::uint16_t type, const TResourceName& name) const {
    auto entry = findData(type, name);
    if (!entry) return std::nullopt;
    const auto where = [&] { return "Resource " + name.display() + " of type " + std::to_string(type); };
    const std::uint32_t entryRva = rsrcRva_ + entry->offset;
    auto entryAt = fileOffset(entryRva, format::kResourceDataEntrySize);
    if (!entryAt) throw EReadError(where() + ": its entry at RVA " + hex(entryRva) + " lies outside the file");
    TByteReader r(*src_, *entryAt);
    const std::uint32_t dataRva = r.U32();
    const std::uint32_t size = r.U32();
    auto dataAt = fileOffset(dataRva, size);
    if (!dataAt)
        throw EReadError(where() + ": its " + std::to_string(size) + " bytes at RVA " + hex(dataRva) +
                         " (entry at file offset " + hex(*entryAt) + ") lie outside the file");
    return TByteReader(*src_).Window(*dataAt, size);
}

std::optional<TBytes> TPeModule::load(std::uint16_t type, const TResourceName& name) const {
    auto data = locate(type, name);
    if (!data) return std::nullopt;
    return data->BytesAt(0, data->Size());
}

std::optional<TBytes> readPeResource(const std::filesystem::path& path, std::uint16_t type,
                                    const TResourceName& name) {
    try {
        return TPeModule::open(path)->load(type, name);
    } catch (const EPlatformError&) {
        return std::nullopt;
    }
}

std::optional<TBytes> readVersionResource(const std::filesystem::path& path) {
    return readPeResource(path, RT_VERSION, TResourceName::fromId(1));
}

}  // namespace gs
