#include "framework/core/FileIcons.h"

#include <filesystem>
#include <stdexcept>

#include "framework/core/SysUtils.h"
#include "iconlib/IconLibrary.h"
#include "platform/ByteReader.h"
#include "platform/ByteSource.h"
#include "platform/ByteWriter.h"

namespace gs {

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint64_t kPngHeaderEnd = 24;  // signature, IHDR length and tag, width, height
constexpr std::uint32_t kMaxIconSide = 256;
constexpr std::uint32_t kIconDirSize = 6 + 16;

std::uint32_t bigEndian32(const TBytes& b, std::size_t at) {
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// A PNG picture of at most 256 x 256 pixels as an icon file of one PNG image; none for
// anything else.
std::unique_ptr<TQBIcon> pngAsIcon(const IByteSource& src) {
    TByteReader in(src);
    if (in.Remaining() < kPngHeaderEnd || in.Remaining() > UINT32_MAX - kIconDirSize) return nullptr;
    const TBytes png = in.Bytes(in.Remaining());
    if (!std::equal(std::begin(kPngSignature), std::end(kPngSignature), png.begin())) return nullptr;
    const std::uint32_t width = bigEndian32(png, 16), height = bigEndian32(png, 20);
    if (width == 0 || height == 0 || width > kMaxIconSide || height > kMaxIconSide) return nullptr;
    TByteWriter ico;
    ico.U16(0);
    ico.U16(1);  // an icon file
    ico.U16(1);
    ico.U8(std::uint8_t(width));  // 256 is written 0
    ico.U8(std::uint8_t(height));
    ico.U8(0);
    ico.U8(0);
    ico.U16(1);
    ico.U16(32);
    ico.U32(std::uint32_t(png.size()));
    ico.U32(kIconDirSize);
    ico.Bytes(png);
    auto icon = std::make_unique<TQBIcon>();
    if (!icon->LoadFromSource(TMemorySource(ico.Take())) || icon->Images().Count() == 0) return nullptr;
    return icon;
}

std::unique_ptr<TQBIcon> moduleIcon(const std::filesystem::path& file, int index) {
    // The first icon, the one File Properties asks for, is read alone, not with every group.
    if (index == 0) return ReadFirstIcon(file);
    TQBIconLibrary library;
    if (library.Read(file).Result != TLoadResult::Read) return nullptr;
    const TQBIconList& icons = library.Icons;
    int at = -1;
    if (index >= 0) at = index < icons.Count() ? index : -1;
    for (int i = 0; index < 0 && i < icons.Count(); ++i)
        if (icons.Name(i) == std::to_string(-static_cast<long long>(index))) at = i;
    if (at < 0) return nullptr;
    auto icon = std::make_unique<TQBIcon>();
    icon->Assign(*icons.GetIcon(at));
    return icon;
}

}  // namespace

std::unique_ptr<TQBIcon> ExtractIconFromFile(const std::string& fileName, int index) {
    // The whole name: a cut one would name another file (the one at its prefix).
    const std::filesystem::path file(fileName);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return nullptr;
    std::shared_ptr<const IByteSource> src;
    try {
        src = openFileSource(file);
    } catch (const std::exception&) {
        return nullptr;
    }
    if (ProbeModule(*src) != TModuleKind::None) return moduleIcon(file, index);
    auto icon = std::make_unique<TQBIcon>();
    bool isIconFile = false;
    try {
        isIconFile = icon->LoadFromSource(*src) && icon->Images().Count() > 0;
    } catch (const std::exception&) {
        isIconFile = false;
    }
    if (!isIconFile) icon = pngAsIcon(*src);
    if (!icon) throw std::runtime_error(kMsgNotAnExecutable);
    return index == 0 ? std::move(icon) : nullptr;
}

std::unique_ptr<TQBIcon> GetFileIcon(const std::string& fileName, const TMimeInfo& mime) {
    std::string iconFile;
    int iconIndex = 0;
    if (GetFileDefaultIcon(fileName, iconFile, iconIndex, mime)) {
        if (auto icon = ExtractIconFromFile(iconFile, iconIndex)) return icon;
        if (auto icon = ExtractIconFromFile(iconFile, iconIndex - 1)) return icon;
    }
    return ExtractIconFromFile(fileName, 0);
}

}  // namespace gs
