#include "iconlib/PEResources.h"
#include "iconlib/ModuleFormat.h"

#include <algorithm>
#include <array>

#include "platform/ByteReader.h"
#include "platform/Errors.h"
#include "platform/Text.h"

namespace gs {

namespace {
constexpr std::uint32_t kPeSignature = 0x00004550;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kSubdirFlag = 0x80000000u;
constexpr std::uint16_t kMaxSections = 96;  // what the loader accepts
// Languages tried, in order, for a request in the neutral language.
constexpr std::array<std::uint16_t, 4> kLanguagePreference = {0x0000, 0x0400, 0x0800, 0x0409};

[[noreturn]] void notPe(const std::string& why) { throw EReadError("Not a valid PE module: " + why); }
}  // namespace

PeModule::PeModule(std::shared_ptr<const ByteSource> source) : src_(std::move(source)) {
    directoryBytesLeft_ = src_->size();
    ByteReader r(*src_);
    if (r.u16At(0) != format::kMzSignature) notPe("no MZ header");
    const std::uint32_t pe = r.u32At(0x3C);
    if (r.u32At(pe) != kPeSignature) notPe("no PE signature");
    const std::uint16_t sectionCount = r.u16At(std::uint64_t(pe) + 6);
    const std::uint16_t optSize = r.u16At(std::uint64_t(pe) + 20);
    const std::uint64_t opt = std::uint64_t(pe) + 24;
    const std::uint16_t magic = r.u16At(opt);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus) notPe("optional header magic");
    is64_ = magic == kMagicPe32Plus;
    const std::uint64_t countAt = opt + (is64_ ? 108 : 92);
    const std::uint64_t dirsAt = opt + (is64_ ? 112 : 96);
    if (dirsAt > opt + optSize) notPe("optional header too small");
    const std::uint32_t dirCount = r.u32At(countAt);
    if (dirCount > kResourceDirectoryIndex && dirsAt + 8 * (kResourceDirectoryIndex + 1) <= opt + optSize) {
        rsrcRva_ = r.u32At(dirsAt + 8 * kResourceDirectoryIndex);
        rsrcSize_ = r.u32At(dirsAt + 8 * kResourceDirectoryIndex + 4);
    }
    if (sectionCount > kMaxSections) notPe("too many sections");
    Bytes table = src_->read(opt + optSize, std::uint64_t(sectionCount) * 40);
    MemorySource tableSrc(std::move(table));
    ByteReader t(tableSrc);
    for (std::uint16_t i = 0; i < sectionCount; ++i) {
        t.seek(std::uint64_t(i) * 40 + 8);
        Section s{};
        s.vsize = t.u32();
        s.va = t.u32();
        s.rawSize = t.u32();
        s.rawPtr = t.u32();
        sections_.push_back(s);
    }
}

std::unique_ptr<PeModule> PeModule::open(const std::filesystem::path& path) {
    return std::make_unique<PeModule>(openFileSource(path));
}

std::optional<std::uint64_t> PeModule::fileOffset(std::uint32_t rva, std::uint32_t size) const {
    for (const Section& s : sections_) {
        if (rva < s.va) continue;
        const std::uint64_t rel = std::uint64_t(rva) - s.va;
        // Only bytes that are really in the file: the raw data of the section.
        if (rel + size <= s.rawSize) {
            const std::uint64_t off = std::uint64_t(s.rawPtr) + rel;
            if (src_->contains(off, size)) return off;
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::string PeModule::readName(std::uint32_t offset, std::uint64_t& bytesLeft) const {
    auto at = fileOffset(rsrcRva_ + offset, 2);
    if (!at) throw EReadError("Resource name outside the file");
    ByteReader r(*src_, *at);
    const std::uint16_t len = r.u16();
    // Entries naming the same long string over and over cannot read more than the file holds.
    if (std::uint64_t(len) * 2 > bytesLeft) throw EReadError("Resource names larger than the file");
    bytesLeft -= std::uint64_t(len) * 2;
    Bytes raw = src_->read(*at + 2, std::uint64_t(len) * 2);
    std::u16string s;
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2) s.push_back(char16_t(raw[i] | (raw[i + 1] << 8)));
    return utf16ToUtf8(s);
}

const std::vector<PeModule::DirEntry>& PeModule::readDirectory(std::uint32_t offset) const {
    if (auto it = dirCache_.find(offset); it != dirCache_.end()) return it->second;
    std::vector<DirEntry> out;  // cached only when read whole
    auto at = fileOffset(rsrcRva_ + offset, 16);
    if (!at) return dirCache_.emplace(offset, std::move(out)).first->second;
    ByteReader h(*src_, *at + 12);
    const std::uint32_t count = std::uint32_t(h.u16()) + h.u16();
    // Directories of one module never add up to more than its file: overlapping ones
    // claiming thousands of entries each would otherwise be read and kept again and again.
    const std::uint64_t cost = 16 + std::uint64_t(count) * 8;
    if (cost > directoryBytesLeft_) throw EReadError("Resource directories larger than the file");
    directoryBytesLeft_ -= cost;
    Bytes raw = src_->read(*at + 16, std::uint64_t(count) * 8);  // EReadError when cut short
    MemorySource entries(std::move(raw));
    ByteReader r(entries);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t nameField = r.u32();
        const std::uint32_t dataField = r.u32();
        DirEntry e;
        e.isDir = (dataField & kSubdirFlag) != 0;
        e.offset = dataField & ~kSubdirFlag;
        e.name = (nameField & kSubdirFlag) ? ResourceName::fromString(readName(nameField & ~kSubdirFlag, directoryBytesLeft_))
                                           : ResourceName::fromId(std::uint16_t(nameField));
        out.push_back(std::move(e));
    }
    return dirCache_.emplace(offset, std::move(out)).first->second;
}

std::optional<PeModule::DirEntry> PeModule::findEntry(std::uint32_t dirOffset, const ResourceName& name) const {
    for (auto& e : readDirectory(dirOffset))
        if (e.isDir && e.name == name) return e;
    return std::nullopt;
}

std::vector<ResourceName> PeModule::names(std::uint16_t type) const {
    std::vector<ResourceName> out;
    if (rsrcRva_ == 0) return out;
    auto typeDir = findEntry(0, ResourceName::fromId(type));
    if (!typeDir) return out;
    for (const auto& e : readDirectory(typeDir->offset)) {
        // Each name once, even when a damaged directory repeats it.
        if (e.isDir && std::find(out.begin(), out.end(), e.name) == out.end()) out.push_back(e.name);
    }
    return out;
}

std::optional<Bytes> PeModule::load(std::uint16_t type, const ResourceName& name) const {
    if (rsrcRva_ == 0) return std::nullopt;
    auto typeDir = findEntry(0, ResourceName::fromId(type));
    if (!typeDir) return std::nullopt;
    auto nameDir = findEntry(typeDir->offset, name);
    if (!nameDir) return std::nullopt;
    std::vector<DirEntry> langs;
    for (auto& e : readDirectory(nameDir->offset))
        if (!e.isDir && e.name.isId) langs.push_back(e);  // a third level holds data only
    if (langs.empty()) return std::nullopt;
    const DirEntry* chosen = &langs.front();
    for (std::uint16_t want : kLanguagePreference) {
        auto it = std::find_if(langs.begin(), langs.end(), [&](const DirEntry& e) { return e.name.id == want; });
        if (it != langs.end()) {
            chosen = &*it;
            break;
        }
    }
    auto entryAt = fileOffset(rsrcRva_ + chosen->offset, 16);
    if (!entryAt) throw EReadError("Resource entry outside the file");
    ByteReader r(*src_, *entryAt);
    const std::uint32_t dataRva = r.u32();
    const std::uint32_t size = r.u32();
    auto dataAt = fileOffset(dataRva, size);
    if (!dataAt) throw EReadError("Resource data outside the file");
    return src_->read(*dataAt, size);
}

std::optional<Bytes> readPeResource(const std::filesystem::path& path, std::uint16_t type,
                                    const ResourceName& name) {
    try {
        return PeModule::open(path)->load(type, name);
    } catch (const EPlatformError&) {
        return std::nullopt;
    }
}

std::optional<Bytes> readVersionResource(const std::filesystem::path& path) {
    return readPeResource(path, RT_VERSION, ResourceName::fromId(1));
}

}  // namespace gs
