#include "framework/core/StrUtils.h"

#include <algorithm>

#include "platform/Text.h"

namespace gs {

namespace {
std::string join(std::vector<std::string_view>::const_iterator first,
                 std::vector<std::string_view>::const_iterator last) {
    std::string out;
    for (; first != last; ++first) out += *first;
    return out;
}
}  // namespace

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
