#include "app/core/PathDisplay.h"

#include <vector>

namespace gs {

namespace {

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Offsets where each character starts; a stray byte counts as a character of its own.
std::vector<std::size_t> characterStarts(const std::string& s) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (i == 0 || !isContinuationByte(s[i])) starts.push_back(i);
    return starts;
}

}  // namespace

std::string ShortenPath(const std::string& path) {
    const std::vector<std::size_t> starts = characterStarts(path);
    if (starts.size() <= kShortPathLimit) return path;
    const std::size_t headEnd = starts[kShortPathHead];
    const std::size_t tailBegin = starts[starts.size() - kShortPathTail];
    return path.substr(0, headEnd) + "..." + path.substr(tailBegin);
}

}  // namespace gs
