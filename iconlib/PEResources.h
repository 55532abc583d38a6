#pragma once
// Resources of 32-bit and 64-bit PE modules (optional-header magic 0x10B and 0x20B), read
// from the file itself: no code of the module is loaded, and only the headers, the
// resource directories asked for and the resources read are touched.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "iconlib/ModuleFormat.h"
#include "platform/ByteReader.h"
#include "platform/ByteSource.h"

namespace gs {

// A resource type or name: an integer id or a string.
struct TResourceName {
    bool isId = true;
    std::uint16_t id = 0;
    std::string name;  // UTF-8

    static TResourceName fromId(std::uint16_t id) { return TResourceName{true, id, {}}; }
    static TResourceName fromString(std::string s) { return TResourceName{false, 0, std::move(s)}; }
    // Listed as the decimal id, or as the string.
    std::string display() const { return isId ? std::to_string(id) : name; }
    friend bool operator==(const TResourceName&, const TResourceName&) = default;
};

class TPeModule {
public:
    // Throws EReadError when the source is not a PE module with sane headers.
    explicit TPeModule(std::shared_ptr<const IByteSource> source);
    // Opens the file (EFOpenError) and reads its headers (EReadError).
    static std::unique_ptr<TPeModule> open(const std::filesystem::path& path);

    // Names of the resources of one type, in directory order (named entries first, then
    // ids ascending, as the directory stores them), each once whatever its languages.
    std::vector<TResourceName> names(std::uint16_t type) const;
    // The data of a resource in the preferred language (neutral, process default, system
    // default, US English, else the first listed), as a window on the file; nullopt when
    // there is no such resource. EReadError, saying which resource and where, when its
    // data lies outside the file.
    std::optional<TByteReader> locate(std::uint16_t type, const TResourceName& name) const;
    // The same data, copied out of the file.
    std::optional<TBytes> load(std::uint16_t type, const TResourceName& name) const;
    std::uint64_t sourceSize() const { return src_->Size(); }

    bool is64Bit() const { return is64_; }

private:
    struct Section {
        std::uint32_t va, vsize, rawSize, rawPtr;
    };
    struct DirEntry {
        TResourceName name;
        std::uint32_t offset;  // relative to the resource root
        bool isDir;
    };
    using NameKey = std::tuple<bool, std::uint16_t, std::string>;
    // A directory's entries in order, and where each name's first subdirectory stands: a
    // module of tens of thousands of groups is looked up, not searched, once per image.
    struct Directory {
        std::vector<DirEntry> entries;
        std::map<NameKey, std::size_t> firstDir;
        // As a language directory: its entry of the preferred language, chosen once.
        std::optional<std::size_t> preferredData;
    };

    std::optional<std::uint64_t> fileOffset(std::uint32_t rva, std::uint32_t size) const;
    // Parsed once: a module's icon groups look up every icon image in one directory.
    const Directory& readDirectory(std::uint32_t offset) const;
    std::optional<DirEntry> findEntry(std::uint32_t dirOffset, const TResourceName& name) const;
    // `bytesLeft`: what the names of one directory may still read; EReadError past it.
    std::string readName(std::uint32_t offset, std::uint64_t& bytesLeft) const;
    // The directory entry of the resource's preferred language; nullopt when it is missing.
    std::optional<DirEntry> findData(std::uint16_t type, const TResourceName& name) const;

    std::shared_ptr<const IByteSource> src_;
    std::vector<Section> sections_;
    std::uint32_t rsrcRva_ = 0;
    std::uint32_t rsrcSize_ = 0;
    bool is64_ = false;
    mutable std::unordered_map<std::uint32_t, Directory> dirCache_;
    // What the directories and names read so far may still take: at most the file's size.
    mutable std::uint64_t directoryBytesLeft_ = 0;
};

// One resource of a PE file, or nullopt when the file is no PE module or lacks it.
std::optional<TBytes> readPeResource(const std::filesystem::path& path, std::uint16_t type,
                                    const TResourceName& name);
// The version block (RT_VERSION id 1) of a PE file, when it has one.
std::optional<TBytes> readVersionResource(const std::filesystem::path& path);

}  // namespace gs
