#include "framework/core/RxUtils.h"
#include "platform/Text.h"

#include <algorithm>

#include "framework/core/StrUtils.h"

namespace gs {

namespace {

constexpr const char* kHexDigits = "0123456789abcdef";
constexpr const char* kInvalidNameTextChars = "<>\"[]|";

bool isDelim(char c, std::string_view delims) { return delims.find(c) != std::string_view::npos; }

char keyed(char c, std::string_view key, std::size_t i) { return key.empty() ? c : char(c ^ key[i % key.size()]); }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool isSeparator(char c) { return static_cast<unsigned char>(c) <= ' ' && c != '\0'; }

}  // namespace

std::string ReplaceSubstring(std::string_view s, std::string_view search, std::string_view replace) {
    if (search.empty()) return std::string(s);
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = s.find(search, from)) != std::string_view::npos; from = at + search.size())
        out.append(s.substr(from, at - from)).append(replace);
    return out.append(s.substr(from));
}

std::size_t NthWordStart(int n, std::string_view s, std::string_view delims) {
    int count = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (!isDelim(s[i], delims) && (i == 0 || isDelim(s[i - 1], delims)) && ++count == n) return i + 1;
    return 0;
}

int CountWordsIn(std::string_view s, std::string_view delims) {
    int count = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (!isDelim(s[i], delims) && (i == 0 || isDelim(s[i - 1], delims))) ++count;
    return count;
}

std::string NthWord(int n, std::string_view s, std::string_view delims) {
    const std::size_t start = NthWordStart(n, s, delims);
    if (start == 0) return {};
    std::size_t end = start - 1;
    while (end < s.size() && !isDelim(s[end], delims)) ++end;
    return std::string(s.substr(start - 1, end - (start - 1)));
}

std::string NextDelimitedToken(std::string_view s, std::size_t& pos, std::string_view delims) {
    const std::size_t begin = std::min(pos > 0 ? pos - 1 : 0, s.size());
    std::size_t end = begin;
    while (end < s.size() && !isDelim(s[end], delims)) ++end;
    pos = end < s.size() ? end + 2 : s.size() + 1;
    return std::string(s.substr(begin, end - begin));
}

std::string XorEncodeString(std::string_view key, std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(keyed(s[i], key, i));
        out += kHexDigits[c >> 4];
        out += kHexDigits[c & 0x0F];
    }
    return out;
}

std::string XorDecodeString(std::string_view key, std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
        const int hi = hexValue(s[i]), lo = hexValue(s[i + 1]);
        const char c = hi < 0 || lo < 0 ? ' ' : char(hi * 16 + lo);
        out += keyed(c, key, i / 2);
    }
    return out;
}

std::vector<std::string> CommandLineParams(std::string_view commandLine) {
    std::vector<std::string> params;
    std::size_t i = 0;
    while (i < commandLine.size()) {
        while (i < commandLine.size() && isSeparator(commandLine[i])) ++i;
        std::string param;
        bool any = false;
        while (i < commandLine.size() && !isSeparator(commandLine[i])) {
            if (commandLine[i] == '"') {
                const std::size_t close = commandLine.find('"', i + 1);
                const std::size_t end = close == std::string_view::npos ? commandLine.size() : close;
                param.append(commandLine.substr(i + 1, end - i - 1));
                i = close == std::string_view::npos ? end : end + 1;
            } else {
                param += commandLine[i++];
            }
            any = true;
        }
        if (any && !param.empty()) params.push_back(std::move(param));
    }
    return params;
}

void SplitProgramAndParams(std::string_view commandLine, std::string& program, std::string& params) {
    const std::vector<std::string> all = CommandLineParams(commandLine);
    program.clear();
    params.clear();
    if (all.empty()) return;
    program = all.front();
    for (std::size_t i = 1; i < all.size(); ++i) {
        if (i > 1) params += ' ';
        params += all[i].find(' ') != std::string::npos ? "\"" + all[i] + "\"" : all[i];
    }
}

std::string StripTrailingBackslash(std::string_view path) {
    if (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return std::string(path);
}

bool HasAnyChar(std::string_view s, std::string_view chars) { return s.find_first_of(chars) != std::string_view::npos; }

bool IsValidFileNameText(std::string_view name) { return !name.empty() && !HasAnyChar(name, kInvalidNameTextChars); }

TScreenRect ClampRectToScreen(TScreenRect r, int screenWidth, int screenHeight) {
    auto clampAxis = [](int& low, int& high, int limit) {
        const int size = high - low;
        if (high > limit) {
            high = limit;
            low = high - size;
        }
        if (low < 0) {
            low = 0;
            high = size;
        }
    };
    clampAxis(r.Left, r.Right, screenWidth);
    clampAxis(r.Top, r.Bottom, screenHeight);
    return r;
}

TScreenRect CenterRectOnScreen(const TScreenRect& r, int screenWidth, int screenHeight) {
    const int left = (screenWidth - r.Width()) / 2, top = (screenHeight - r.Height()) / 2;
    return ClampRectToScreen({left, top, left + r.Width(), top + r.Height()}, screenWidth, screenHeight);
}

std::string ShortenTextToWidth(const std::string& text, const std::function<int(const std::string&)>& width,
                               int maxWidth) {
    const std::vector<std::string_view> chars = utf8Characters(text);
    const std::size_t length = chars.size();
    std::string result = text;
    for (std::size_t i = 1; i <= length && width(result) > maxWidth; ++i) {
        result.clear();
        for (std::size_t k = 0; k + i + 1 < length; ++k) result += chars[k];
        result += "...";
    }
    return result;
}

}  // namespace gs
