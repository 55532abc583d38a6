#pragma once
// Constants of the file formats the icon library reads and writes, named once for readers
// and writers alike.
#include <cstddef>
#include <cstdint>

namespace gs {

// Resource types, as PE directories and NE type records (with kNeIdFlag) name them.
constexpr std::uint16_t RT_ICON = 3;
constexpr std::uint16_t RT_GROUP_ICON = 14;
constexpr std::uint16_t RT_VERSION = 16;

}  // namespace gs

namespace gs::format {

// The DOS stub every module starts with.
constexpr std::uint16_t kMzSignature = 0x5A4D;  // "MZ"
constexpr std::uint64_t kNewHeaderOffsetField = 60;

// Icon files and icon-group resources.
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;         // the same layout, hot spots for planes and bits
constexpr std::size_t kIconHeaderSize = 6;       // Reserved, Type, Count
constexpr std::size_t kIconFileEntrySize = 16;   // image head (12 bytes), then the data's offset
constexpr std::size_t kGroupEntrySize = 14;      // image head (12 bytes), then the image's id
constexpr std::size_t kImageHeadSize = 12;
constexpr std::uint64_t kIconEntryBytesField = 8;  // where an entry holds its data's size
constexpr std::uint64_t kIconEntryOffsetField = 12;

// PE modules.
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint64_t kCoffSectionCountField = 6;   // from the signature
constexpr std::uint64_t kCoffOptionalSizeField = 20;
constexpr std::uint64_t kOptionalHeaderAt = 24;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint64_t kDirCountField32 = 92, kDirCountField64 = 108;  // in the optional header
constexpr std::uint64_t kDirsAt32 = 96, kDirsAt64 = 112;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::size_t kDataDirectorySize = 8;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::uint64_t kSectionVirtualSizeField = 8;  // then address, raw size, raw pointer
constexpr std::uint16_t kMaxSections = 96;             // what the loader accepts
constexpr std::size_t kResourceDirHeaderSize = 16;     // the entry counts are its last 4 bytes
constexpr std::uint64_t kResourceDirCountsField = 12;
constexpr std::size_t kResourceDirEntrySize = 8;
constexpr std::size_t kResourceDataEntrySize = 16;
constexpr std::uint32_t kResourceSubdirFlag = 0x80000000u;  // also marks a named entry

// NE modules and icon libraries.
constexpr std::uint16_t kNeSignature = 0x454E;  // "NE"
constexpr std::uint64_t kNeResourceTableField = 0x24;
constexpr std::uint64_t kNeResidentNamesField = 0x26;
constexpr std::uint16_t kNeIdFlag = 0x8000;  // integer type or id, not a name offset
constexpr std::uint16_t kNeMaxAlignShift = 15;
constexpr std::size_t kNeTypeInfoSize = 8;
constexpr std::size_t kNeNameInfoSize = 12;

// Icon libraries as the writer lays them out: the NE header right after a bare DOS stub,
// the resource table right after the NE header's fields.
constexpr std::uint16_t kIclNeHeaderAt = 128;
constexpr std::uint16_t kIclResourceTableRel = 64;  // from the NE header
constexpr std::uint16_t kIclGroupType = RT_GROUP_ICON | kNeIdFlag;
constexpr std::uint16_t kIclIconType = RT_ICON | kNeIdFlag;
constexpr std::uint16_t kIclRecordFlags = 0x1C30;  // movable, shareable, preloaded
constexpr std::size_t kIclMaxIcons = 32767;        // ids and counts are 15-bit
constexpr std::size_t kIclMaxImages = 32767;
constexpr std::size_t kIclMaxNameLength = 255;     // a length byte

}  // namespace gs::format
