#include "codecs/GifColorMap.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "codecs/GifTypes.h"

namespace gs {

void TGIFColorMap::Reset() {
    count_ = 0;
    optimized_ = false;
}

void TGIFColorMap::Assign(const TGIFColorMap& source) {
    colors_ = source.colors_;
    count_ = source.count_;
    optimized_ = source.optimized_;
    ColorsChanged();
}

void TGIFColorMap::LoadFromPalette(std::span<const TRgb> palette) {
    std::size_t n = std::min<std::size_t>(palette.size(), kMaxColors);
    std::copy_n(palette.begin(), n, colors_.begin());
    count_ = int(n);
    optimized_ = false;
    ColorsChanged();
}

void TGIFColorMap::LoadFromQuads(std::span<const std::array<std::uint8_t, 4>> quads) {
    std::vector<TRgb> palette;
    palette.reserve(std::min<std::size_t>(quads.size(), kMaxColors));
    for (const auto& q : quads.first(std::min<std::size_t>(quads.size(), kMaxColors))) palette.push_back(TRgb{q[2], q[1], q[0]});
    LoadFromPalette(palette);
}

int TGIFColorMap::AppendColor(TRgb color) {
    if (count_ >= kMaxColors) throw GIFException(gifmsg::kColorTableOverflow);
    colors_[std::size_t(count_)] = color;
    optimized_ = false;
    ColorsChanged();
    return count_++;
}

int TGIFColorMap::FindOrAppendColor(TRgb color) {
    int i = FindColor(color);
    return i >= 0 ? i : AppendColor(color);
}

int TGIFColorMap::FindColor(TRgb color) const {
    if (optimized_) {
        for (int i = 0; i < count_; ++i)
            if (colors_[std::size_t(i)] == color) return i;
    } else {
        for (int i = count_ - 1; i >= 0; --i)
            if (colors_[std::size_t(i)] == color) return i;
    }
    return -1;
}

void TGIFColorMap::DeleteColor(int index) {
    if (index < 0 || index >= count_) throw GIFException(gifmsg::kBadColorIndex);
    std::copy(colors_.begin() + index + 1, colors_.begin() + count_, colors_.begin() + index);
    --count_;
    optimized_ = false;
    ColorsChanged();
}

TRgb TGIFColorMap::ColorAt(int index) const {
    if (index < 0 || index >= count_) {
        ReportWarning(gifmsg::kBadColorIndex);
        if (count_ == 0) throw GIFException(gifmsg::kEmptyColorMap);
        index = 0;
    }
    return colors_[std::size_t(index)];
}

int TGIFColorMap::ColorBits() const {
    if (count_ == 0) return 0;
    int bits = 1;
    while ((1 << bits) < count_) ++bits;
    return bits;
}

namespace {

struct TUsePair {
    std::uint64_t count;
    int index;
};

// Quicksort by use count, largest first. Its handling of equal counts decides the order of
// colours used equally often, and with it the bytes of the file, so it is kept as it is
// rather than replaced by a library sort.
void sortPairs(std::vector<TUsePair>& pairs, int low, int high) {
    int left;
    do {
        left = low;
        int right = high;
        std::uint64_t pivot = pairs[std::size_t((low + high) / 2)].count;
        do {
            while (pairs[std::size_t(left)].count > pivot) ++left;
            while (pairs[std::size_t(right)].count < pivot) --right;
            if (left <= right) {
                std::swap(pairs[std::size_t(left)], pairs[std::size_t(right)]);
                ++left;
                --right;
            }
        } while (left <= right);
        if (low < right) sortPairs(pairs, low, right);
        low = left;
    } while (left < high);
}

}  // namespace

bool TGIFColorMap::SortByUse() {
    if (count_ < 2) return false;
    optimized_ = true;
    UseCounts uses{};
    CountUses(uses);
    std::vector<TUsePair> pairs(static_cast<std::size_t>(count_));
    for (int i = 0; i < count_; ++i) pairs[std::size_t(i)] = {uses[std::size_t(i)], i};
    sortPairs(pairs, 0, count_ - 1);

    bool inOrder = true;
    for (int i = 0; i < count_; ++i) inOrder = inOrder && pairs[std::size_t(i)].index == i;
    if (inOrder) return true;

    // Pixel values outside the table keep their value: they stay outside the (shorter) table.
    IndexTable oldToNew;
    for (int i = 0; i < kMaxColors; ++i) oldToNew[std::size_t(i)] = std::uint8_t(i);
    for (int i = 0; i < count_; ++i) oldToNew[std::size_t(pairs[std::size_t(i)].index)] = std::uint8_t(i);
    RemapPixels(oldToNew);

    std::array<TRgb, kMaxColors> sorted{};
    int used = count_;
    for (int i = 0; i < count_; ++i) {
        sorted[std::size_t(i)] = colors_[std::size_t(pairs[std::size_t(i)].index)];
        if (pairs[std::size_t(i)].count == 0 && used == count_) used = i;
    }
    colors_ = sorted;
    count_ = used;
    ColorsChanged();
    return true;
}

void TGIFColorMap::WriteTable(TByteWriter& out) const {
    if (count_ == 0) return;
    for (int i = 0; i < count_; ++i) {
        const TRgb& c = colors_[std::size_t(i)];
        out.U8(c.r);
        out.U8(c.g);
        out.U8(c.b);
    }
    out.Zeros(std::size_t((1 << ColorBits()) - count_) * 3);
}

}  // namespace gs
