#pragma once
// What the file-properties window shows of a file, worked out without a window: the texts
// of its fields and the attributes checked in its list.
#include <array>
#include <cstdint>
#include <string>

#include "framework/core/MimeInfo.h"

namespace gs {

inline constexpr const char* kUnknownValue = "Unknown";
// The type of a file whose name has no extension.
inline constexpr const char* kPlainFileType = "File";

// The attribute items in the window's order, with the bit each one shows.
struct TAttributeItem {
    const char* Caption;
    std::uint32_t Bit;
};
const std::array<TAttributeItem, 5>& FileAttributeItems();

struct TFileProperties {
    std::string FileName;  // the name part
    std::string Location;  // the folder part, with its trailing "/"
    std::string FileType;
    std::string Size;  // "1,234,567 bytes", or "Unknown"
    std::string Created, Modified, Accessed;  // short date and long time, or "Unknown"
    std::array<bool, 5> Attributes{};         // by FileAttributeItems()
};

// "N bytes" with "," between groups of three digits.
std::string FormatByteSize(std::uint64_t size);
// Nothing here throws: whatever cannot be read shows as unknown or unchecked.
TFileProperties GetFileProperties(const std::string& fileName, const TMimeInfo& mime = TMimeInfo::Session());

}  // namespace gs
