// The two adaptive colour mappings: the most frequent colours of a hashed histogram, and
// median cut over colours of 4 bits per channel.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "codecs/GraphicRoutines.h"

namespace gs {

namespace {

constexpr TRgb kGrey{128, 128, 128};
constexpr int kPaletteSize = 256;

// Distinct colours counted through a hash table; when a colour beyond the entries appears
// the counting starts over with one bit less of blue, then red, then green, in turn.
class TColorHistogram {
public:
    static constexpr int kMaxEntries = 2049;
    static constexpr int kSlots = 5191;
    static constexpr std::uint16_t kEmpty = 0xFFFF;

    struct Entry {
        std::uint64_t count = 0;
        TRgb color;
        std::uint8_t index = 0;
    };

    explicit TColorHistogram(const TRaster& picture) {
        while (!CountAll(picture)) Coarsen();
    }

    std::vector<Entry>& Entries() { return entries_; }
    const Entry& EntryOf(TRgb c) const { return entries_[slots_[std::size_t(Find(Mask(c)))]]; }

private:
    TRgb Mask(TRgb c) const { return {std::uint8_t(c.r & red_), std::uint8_t(c.g & green_), std::uint8_t(c.b & blue_)}; }

    int Find(TRgb c) const {
        int slot = int(((c.r + c.g) * (c.b + c.g) * (c.r + c.b)) % kSlots);
        while (slots_[std::size_t(slot)] != kEmpty && entries_[slots_[std::size_t(slot)]].color != c)
            slot = slot + 1 == kSlots ? 0 : slot + 1;
        return slot;
    }

    bool CountAll(const TRaster& picture) {
        entries_.clear();
        slots_.fill(kEmpty);
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x) {
                TRgb c = Mask(rgbOf(picture.Pixel(x, y)));
                auto& slot = slots_[std::size_t(Find(c))];
                if (slot == kEmpty) {
                    if (int(entries_.size()) == kMaxEntries) return false;
                    slot = std::uint16_t(entries_.size());
                    entries_.push_back({0, c, 0});
                }
                ++entries_[slot].count;
            }
        return true;
    }

    void Coarsen() {
        if (red_ < green_)
            green_ = std::uint8_t(green_ << 1);
        else if (blue_ < red_)
            red_ = std::uint8_t(red_ << 1);
        else
            blue_ = std::uint8_t(blue_ << 1);
    }

    std::uint8_t red_ = 255, green_ = 255, blue_ = 255;
    std::vector<Entry> entries_;
    std::array<std::uint16_t, kSlots> slots_{};
};

struct TBox {
    std::array<int, 3> low{0, 0, 0}, high{256, 256, 256};
    std::vector<std::uint16_t> colors;  // 12-bit colours, 4 bits per channel, red highest
    std::uint64_t pixels = 0;
};

int channelOf(std::uint16_t color, int axis) { return (color >> (8 - 4 * axis)) & 15; }

}  // namespace

TRaster mapHistogramColors(const TRaster& picture, int wanted) {
    TColorHistogram histogram(picture);
    auto& entries = histogram.Entries();
    std::vector<TRgb> palette;
    std::vector<bool> chosen(entries.size(), false);
    std::vector<std::uint64_t> counts;
    for (const auto& e : entries) counts.push_back(e.count);
    const int n = std::min<int>(wanted, int(entries.size()));
    for (int i = 0; i < n; ++i) {
        std::size_t best = std::size_t(std::max_element(counts.begin(), counts.end()) - counts.begin());
        counts[best] = 0;
        chosen[best] = true;
        entries[best].index = std::uint8_t(i);
        palette.push_back(entries[best].color);
    }
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (chosen[k]) continue;
        int best = 0;
        for (int i = 1; i < n; ++i)
            if (colorDistance2(palette[std::size_t(i)], entries[k].color) <
                colorDistance2(palette[std::size_t(best)], entries[k].color))
                best = i;
        entries[k].index = std::uint8_t(best);
    }
    palette.resize(kPaletteSize, kGrey);
    TRaster out(picture.Width(), picture.Height(), PixelFormat::pf8bit);
    out.SetPalette(palette);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) out.SetIndexAt(x, y, histogram.EntryOf(rgbOf(picture.Pixel(x, y))).index);
    return out;
}

TRaster mapMedianCutColors(const TRaster& picture, int wanted) {
    auto reduce = [](TRgb c) { return std::uint16_t(((c.r >> 4) << 8) | ((c.g >> 4) << 4) | (c.b >> 4)); };
    std::vector<std::uint64_t> counts(4096, 0);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) ++counts[reduce(rgbOf(picture.Pixel(x, y)))];
    std::vector<TBox> boxes(1);
    for (std::uint16_t c = 0; c < 4096; ++c)
        if (counts[c]) boxes[0].colors.push_back(c), boxes[0].pixels += counts[c];

    while (int(boxes.size()) < wanted) {
        int pick = -1, axis = 0, widest = -1;
        for (std::size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].colors.size() < 2) continue;
            for (int a = 0; a < 3; ++a)
                if (boxes[b].high[std::size_t(a)] - boxes[b].low[std::size_t(a)] > widest)
                    pick = int(b), axis = a, widest = boxes[b].high[std::size_t(a)] - boxes[b].low[std::size_t(a)];
        }
        if (pick < 0) break;
        TBox& box = boxes[std::size_t(pick)];
        std::stable_sort(box.colors.begin(), box.colors.end(),
                         [axis](std::uint16_t l, std::uint16_t r) { return channelOf(l, axis) < channelOf(r, axis); });
        std::size_t split = 0;
        for (std::uint64_t sum = 0; split + 1 < box.colors.size(); ++split) {
            sum += counts[box.colors[split]];
            if (sum * 2 >= box.pixels) break;
        }
        split = std::min(split + 1, box.colors.size() - 1);  // both halves keep a colour
        TBox upper;
        upper.low = box.low;
        upper.high = box.high;
        upper.colors.assign(box.colors.begin() + std::ptrdiff_t(split), box.colors.end());
        box.colors.resize(split);
        const int meet = channelOf(upper.colors.front(), axis) * 16;
        box.high[std::size_t(axis)] = meet;
        upper.low[std::size_t(axis)] = meet;
        box.pixels = 0;
        for (auto c : box.colors) box.pixels += counts[c];
        for (auto c : upper.colors) upper.pixels += counts[c];
        boxes.push_back(std::move(upper));
    }

    std::vector<TRgb> palette;
    std::vector<std::uint8_t> boxOf(4096, 0);
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        std::array<unsigned, 3> sum{};
        for (auto c : boxes[b].colors) {
            boxOf[c] = std::uint8_t(b);
            for (int a = 0; a < 3; ++a) sum[std::size_t(a)] += unsigned(channelOf(c, a));
        }
        const unsigned n = unsigned(std::max<std::size_t>(boxes[b].colors.size(), 1));
        std::array<std::uint8_t, 3> mean{};
        for (int a = 0; a < 3; ++a) mean[std::size_t(a)] = std::uint8_t(std::min(255u, (sum[std::size_t(a)] * 16 + 15) / n));
        if (mean[0] <= 16 && mean[1] <= 16 && mean[2] <= 16) mean = {0, 0, 0};
        palette.push_back({mean[0], mean[1], mean[2]});
    }
    TRaster out(picture.Width(), picture.Height(), PixelFormat::pf8bit);
    out.SetPalette(palette);  // entries beyond the boxes stay black
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) out.SetIndexAt(x, y, boxOf[reduce(rgbOf(picture.Pixel(x, y)))]);
    return out;
}

}  // namespace gs
