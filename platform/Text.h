#pragma once
// Text is UTF-8 inside the program. This is the one place that walks UTF-8: decoding and
// encoding characters, counting and splitting them, folding case; and the conversions for
// names stored by Windows formats (UTF-16 names of PE modules and version blocks,
// Windows-1252 names of NE modules and icon libraries).
//
// Malformed input is never refused: a byte that does not start a well-formed sequence
// stands for itself, one character of its own.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// The character whose sequence starts at s[i], moving i past it; nothing (i unchanged)
// when no well-formed sequence starts there.
std::optional<char32_t> decodeUtf8(std::string_view s, std::size_t& i);
void appendUtf8(std::string& out, char32_t c);
// The characters of s, each as the bytes of its sequence (a stray byte alone).
std::vector<std::string_view> utf8Characters(std::string_view s);
std::size_t utf8Length(std::string_view s);
// Case folding used for every comparison of names without regard to case (ASCII and the
// lower-case mapping of the C.UTF-8 locale); stray bytes are kept as they are.
std::string foldCaseUtf8(std::string_view s);

std::string utf16ToUtf8(std::u16string_view s);
// A stray byte becomes U+FFFD; characters beyond U+FFFF become surrogate pairs.
std::u16string utf8ToUtf16(std::string_view s);
std::string cp1252ToUtf8(std::string_view s);
// Characters with no Windows-1252 form become '?'.
std::string utf8ToCp1252(std::string_view s);

}  // namespace gs
