#pragma once
// The tips of the tip-of-the-day window: one tip per line of the descriptor's tip file,
// shown in a random order, the next one after the last being the first again.
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// The lines of a text; a line ends at CRLF, LF or CR (none of them is kept), and a
// terminator at the very end opens no further line.
std::vector<std::string> SplitTextLines(std::string_view text);
// The lines of the tip file; a file that cannot be read counts as one without lines.
std::vector<std::string> ReadTipFile(const std::filesystem::path& fileName);

class TTipList {
public:
    explicit TTipList(std::vector<std::string> tips) : tips_(std::move(tips)) {}

    void Shuffle(std::mt19937& random);
    bool Empty() const { return tips_.empty(); }
    int Count() const { return int(tips_.size()); }
    int Index() const { return index_; }
    // The tip shown; empty without tips.
    std::string Current() const;
    // On to the next tip, from the last back to the first; nothing without tips.
    void Next();

private:
    std::vector<std::string> tips_;
    int index_ = 0;
};

}  // namespace gs
