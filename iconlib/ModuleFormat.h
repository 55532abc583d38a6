#pragma once
// Constants of the file formats the icon library reads and writes, named once.
#include <cstddef>
#include <cstdint>

namespace gs::format {

constexpr std::uint16_t kMzSignature = 0x5A4D;  // "MZ"
constexpr std::uint16_t kPeSignature = 0x4550;  // "PE"
constexpr std::uint16_t kNeSignature = 0x454E;  // "NE"
constexpr std::uint64_t kNewHeaderOffsetField = 60;

// Icon files and icon-group resources.
constexpr std::uint16_t kIconType = 1;
constexpr std::size_t kIconHeaderSize = 6;
constexpr std::size_t kIconFileEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;

// NE resource tables.
constexpr std::uint16_t kNeIdFlag = 0x8000;  // integer type or id, not a name offset
constexpr std::uint16_t kNeMaxAlignShift = 15;
constexpr std::size_t kNeNameInfoSize = 12;

}  // namespace gs::format
