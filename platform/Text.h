#pragma once
// Text conversions for names stored by Windows formats: UTF-16 resource names of PE
// modules and Windows-1252 names of NE modules and icon libraries. Text is UTF-8 inside.
#include <string>
#include <string_view>

namespace gs {

std::string utf16ToUtf8(std::u16string_view s);
std::string cp1252ToUtf8(std::string_view s);
// Characters with no Windows-1252 form become '?'.
std::string utf8ToCp1252(std::string_view s);

}  // namespace gs
