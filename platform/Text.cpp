#include "platform/Text.h"

#include <array>
#include <cstdint>
#include <locale.h>
#include <wctype.h>

namespace gs {

namespace {
// 0x80-0x9F of Windows-1252; the five unassigned bytes keep their U+0080 block value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
constexpr char32_t kReplacement = 0xFFFD;

int sequenceLength(unsigned char lead) {
    return lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
}

// The character at s[i], moving past it; a stray byte is one replacement character.
char32_t nextOrReplacement(std::string_view s, std::size_t& i) {
    if (std::optional<char32_t> c = decodeUtf8(s, i)) return *c;
    ++i;
    return kReplacement;
}
}  // namespace

std::optional<char32_t> decodeUtf8(std::string_view s, std::size_t& i) {
    if (i >= s.size()) return std::nullopt;
    const auto b = static_cast<unsigned char>(s[i]);
    const int len = sequenceLength(b);
    if (len == 0 || i + std::size_t(len) > s.size()) return std::nullopt;
    char32_t c = len == 1 ? b : b & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        const auto cb = static_cast<unsigned char>(s[i + std::size_t(k)]);
        if ((cb & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (cb & 0x3F);
    }
    i += std::size_t(len);
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out += {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
        out += {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
    } else {
        out += {char(0xF0 | (c >> 18)), char(0x80 | ((c >> 12) & 0x3F)), char(0x80 | ((c >> 6) & 0x3F)),
                char(0x80 | (c & 0x3F))};
    }
}

std::vector<std::string_view> utf8Characters(std::string_view s) {
    std::vector<std::string_view> chars;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t start = i;
        if (!decodeUtf8(s, i)) ++i;
        chars.push_back(s.substr(start, i - start));
    }
    return chars;
}

std::size_t utf8Length(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++count)
        if (!decodeUtf8(s, i)) ++i;
    return count;
}

std::string foldCaseUtf8(std::string_view s) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t at = i;
        const std::optional<char32_t> c = decodeUtf8(s, i);
        if (!c) {
            out.push_back(s[at]);
            i = at + 1;
        } else if (*c < 0x80) {
            out.push_back(char(*c >= 'A' && *c <= 'Z' ? *c + 32 : *c));
        } else {
            appendUtf8(out, utf8 ? char32_t(towlower_l(wint_t(*c), utf8)) : *c);
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = kReplacement;  // a lone surrogate
        }
        appendUtf8(out, c);
    }
    return out;
}

std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    for (std::size_t i = 0; i < s.size();) {
        const char32_t c = nextOrReplacement(s, i);
        if (c >= 0x10000) {
            out.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(char16_t(c));
        }
    }
    return out;
}

std::string cp1252ToUtf8(std::string_view s) {
    std::string out;
    for (unsigned char b : s) appendUtf8(out, b >= 0x80 && b < 0xA0 ? char32_t(kHigh[b - 0x80]) : char32_t(b));
    return out;
}

std::string utf8ToCp1252(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const char32_t c = nextOrReplacement(s, i);
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            out.push_back(char(c));
            continue;
        }
        char mapped = '?';
        for (std::size_t k = 0; k < kHigh.size(); ++k)
            if (kHigh[k] == c) mapped = char(0x80 + k);
        out.push_back(mapped);
    }
    return out;
}

}  // namespace gs
