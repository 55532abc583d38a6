#include "framework/core/TipList.h"

#include <exception>

#include "framework/core/StrUtils.h"
#include "platform/ByteSource.h"

namespace gs {

std::vector<std::string> SplitTextLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> ReadTipFile(const std::filesystem::path& fileName) {
    try {
        const TBytes bytes = readWholeFile(fileName);
        return SplitTextLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } catch (const std::exception&) {
        // A tip file that vanished or cannot be read simply has no tips to show.
        return {};
    }
}

void TTipList::Shuffle(std::mt19937& random) {
    ShuffleStrings(tips_, random);
    index_ = 0;
}

std::string TTipList::Current() const { return tips_.empty() ? std::string() : tips_[std::size_t(index_)]; }

void TTipList::Next() {
    if (tips_.empty()) return;
    index_ = (index_ + 1) % int(tips_.size());
}

}  // namespace gs
