#include "app/core/PathDisplay.h"

#include <vector>

#include "platform/Text.h"

namespace gs {

namespace {

// Offsets where each character starts; a stray byte counts as a character of its own.
std::vector<std::size_t> characterStarts(const std::string& s) {
    std::vector<std::size_t> starts;
    for (std::string_view c : utf8Characters(s)) starts.push_back(std::size_t(c.data() - s.data()));
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
