#include "framework/core/StrUtils.h"

#include <algorithm>

namespace gs {

namespace {
// Length of the UTF-8 sequence at s[i], 1 for a malformed byte.
std::size_t sequenceLength(std::string_view s, std::size_t i) {
    auto b = static_cast<unsigned char>(s[i]);
    std::size_t len = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF8 ? 4 : 1;
    if (i + len > s.size()) return 1;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
    return len;
}

std::string join(std::vector<std::string_view>::const_iterator first,
                 std::vector<std::string_view>::const_iterator last) {
    std::string out;
    for (; first != last; ++first) out += *first;
    return out;
}
}  // namespace

std::vector<std::string_view> utf8Characters(std::string_view s) {
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < s.size();) {
        std::size_t len = sequenceLength(s, i);
        chars.push_back(s.substr(i, len));
        i += len;
    }
    return chars;
}

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }
bool IsLetterChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string LeftText(std::string_view s, int n) {
    auto chars = utf8Characters(s);
    std::size_t count = n <= 0 ? 0 : std::min(chars.size(), std::size_t(n));
    return join(chars.begin(), chars.begin() + count);
}

std::string RightText(std::string_view s, int n) {
    auto chars = utf8Characters(s);
    std::size_t count = n <= 0 ? 0 : std::min(chars.size(), std::size_t(n));
    return join(chars.end() - count, chars.end());
}

std::string ReverseText(std::string_view s) {
    auto chars = utf8Characters(s);
    std::reverse(chars.begin(), chars.end());
    return join(chars.begin(), chars.end());
}

std::string GroupDigits(std::string_view s, std::string_view separator) {
    auto chars = utf8Characters(s);
    std::string out;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        std::size_t fromRight = chars.size() - i;
        if (i > 0 && fromRight % 3 == 0) out += separator;
        out += chars[i];
    }
    return out;
}

void ShuffleStrings(std::vector<std::string>& strings, std::mt19937& random) {
    std::shuffle(strings.begin(), strings.end(), random);
}

void ShuffleStrings(std::vector<std::string>& strings) {
    std::mt19937 random{std::random_device{}()};
    ShuffleStrings(strings, random);
}

}  // namespace gs
