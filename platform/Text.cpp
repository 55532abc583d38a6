#include "platform/Text.h"

#include <array>
#include <cstdint>

namespace gs {

namespace {
// 0x80-0x9F of Windows-1252; 0 marks the five unassigned bytes (kept as U+0080 block).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}
}  // namespace

std::string utf16ToUtf8(std::u16string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;  // a lone surrogate
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string cp1252ToUtf8(std::string_view s) {
    std::string out;
    for (unsigned char b : s) {
        char32_t c = b;
        if (b >= 0x80 && b < 0xA0) c = kHigh[b - 0x80];
        appendUtf8(out, c);
    }
    return out;
}

std::string utf8ToCp1252(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        auto b = static_cast<unsigned char>(s[i]);
        char32_t c;
        std::size_t n;
        if (b < 0x80) c = b, n = 1;
        else if ((b & 0xE0) == 0xC0) c = b & 0x1F, n = 2;
        else if ((b & 0xF0) == 0xE0) c = b & 0x0F, n = 3;
        else if ((b & 0xF8) == 0xF0) c = b & 0x07, n = 4;
        else c = 0xFFFD, n = 1;
        if (i + n > s.size()) n = s.size() - i, c = 0xFFFD;
        for (std::size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += n;
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
