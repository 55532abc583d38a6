#pragma once
// The tips of the tip-of-the-day window: one tip per line of the descriptor's tip file,
// shown in a random order, the next one after the last being the first again.
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// A tip file is a few hundred short lines; what one may make us hold is bounded all the same
// (docs/bounds.md): only its first MiB is read, a tip is cut to 4 KiB (the window shows a few
// hundred characters), and the tips together are counted against the file's read budget.
inline constexpr std::uint64_t kMaxTipFileBytes = std::uint64_t(1) << 20;
inline constexpr std::size_t kMaxTipBytes = 4096;

// The tips of a tip file's text: its lines (a line ends at CRLF, LF or CR, none of them kept,
// and a terminator at the very end opens no further line), each cut to
// kMaxTipBytes before a character that would not fit whole, as many as the read budget of a
// file of that text holds (each tip counts its bytes and one object).
std::vector<std::string> TipsOfText(std::string_view text);
// The tips of the first kMaxTipFileBytes of the tip file; a file that cannot be read counts
// as one without lines.
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
