#include "framework/core/TipList.h"

#include <algorithm>
#include <exception>

#include "framework/core/StrUtils.h"
#include "platform/ByteReader.h"
#include "platform/ByteSource.h"
#include "platform/ReadBudget.h"

namespace gs {

std::vector<std::string> TipsOfText(std::string_view text) {
    std::vector<std::string> tips;
    TReadBudget budget = TReadBudget::ForFile(text.size());
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        std::string_view tip = text.substr(start, end - start);
        if (tip.size() > kMaxTipBytes) {
            // Cut before a character that would not fit whole: back over its continuation bytes.
            std::size_t cut = kMaxTipBytes;
            while (cut > 0 && (static_cast<unsigned char>(tip[cut]) & 0xC0) == 0x80) --cut;
            tip = tip.substr(0, cut);
        }
        // Tips past the budget (a file of little but line breaks) are not kept.
        if (!budget.Fits(TReadBudget::kObjectCost + tip.size())) break;
        budget.Take(TReadBudget::kObjectCost + tip.size(), "the tips");
        tips.emplace_back(tip);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return tips;
}

std::vector<std::string> ReadTipFile(const std::filesystem::path& fileName) {
    try {
        const std::shared_ptr<const IByteSource> src = openFileSource(fileName);
        TByteReader in(*src);
        const TBytes head = in.Bytes(std::min<std::uint64_t>(in.Remaining(), kMaxTipFileBytes));
        return TipsOfText(std::string_view(reinterpret_cast<const char*>(head.data()), head.size()));
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
