#include "codecs/RxGifEncoder.h"

#include <array>
#include <vector>

#include "codecs/GifLzwDecoder.h"

namespace gs {

namespace {

constexpr int kHashSlots = 17777;
constexpr int kPoolEntries = 4096;
constexpr int kClearAt = 4094;  // codes in use before the table starts again
constexpr int kMaxWidth = 12;
constexpr int kSubBlock = 255;

struct TEntry {
    std::uint16_t prefix = 0, code = 0;
    std::uint8_t suffix = 0;
};

// Codes into sub-blocks: bytes gather until 255 make a block.
class TCodePacker {
public:
    explicit TCodePacker(TByteWriter& out) : out_(out) {}
    void Put(int code, int width) {
        bits_ |= std::uint32_t(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            block_[filled_++] = std::uint8_t(bits_);
            bits_ >>= 8;
            count_ -= 8;
            if (filled_ == kSubBlock) FlushBlock();
        }
    }
    void Finish() {
        if (count_ > 0) block_[filled_++] = std::uint8_t(bits_);
        if (filled_ > 0) FlushBlock();
        out_.U8(0);
    }

private:
    void FlushBlock() {
        out_.U8(std::uint8_t(filled_));
        out_.Bytes(std::span(block_.data(), std::size_t(filled_)));
        filled_ = 0;
    }
    TByteWriter& out_;
    std::array<std::uint8_t, kSubBlock> block_{};
    int filled_ = 0;
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

class TStringTable {
public:
    TStringTable() : slots_(kHashSlots, -1) {}
    void Clear() { std::fill(slots_.begin(), slots_.end(), -1); }
    // The slot of (prefix, suffix): its entry or an empty one. The slot a probe starts from
    // is a hash of the pair itself. A string's running hash (its pixels and length) would
    // give every string its own start as well, but it falls into a cycle of few values, or
    // stays at 0 once a product is a multiple of 17,777 (29 x 613): then every probe walks
    // the whole run of entries, and a picture of a million pixels took minutes. Where the
    // probe starts changes no code written: a string's entry is found by its pair alone.
    int Probe(std::uint16_t prefix, std::uint8_t suffix) const {
        const std::uint32_t key = (std::uint32_t(prefix) << 8) | suffix;
        int slot = int((key * 2654435761u) % std::uint32_t(kHashSlots));
        while (slots_[std::size_t(slot)] >= 0) {
            const TEntry& e = pool_[std::size_t(slots_[std::size_t(slot)])];
            if (e.prefix == prefix && e.suffix == suffix) return slot;
            slot = slot == kHashSlots - 1 ? 0 : slot + 1;
        }
        return slot;
    }
    const TEntry* At(int slot) const {
        const int code = slots_[std::size_t(slot)];
        return code < 0 ? nullptr : &pool_[std::size_t(code)];
    }
    void Store(int slot, const TEntry& e) {
        pool_[e.code] = e;
        slots_[std::size_t(slot)] = e.code;
    }

private:
    std::vector<int> slots_;
    std::array<TEntry, kPoolEntries> pool_{};
};

int pixelOf(const TRaster& picture, int x, int row) { return picture.IndexAt(x, row); }

}  // namespace

void EncodeRxLZW(TByteWriter& out, const TRaster& picture, int bitsPerPixel, bool interlaced, const TGifProgress& progress) {
    const int startWidth = bitsPerPixel == 1 ? 3 : bitsPerPixel + 1;
    const int clear = 1 << (startWidth - 1), end = clear + 1, first = clear + 2;
    out.U8(std::uint8_t(startWidth - 1));
    TCodePacker codes(out);
    auto table = std::make_unique<TStringTable>();
    int width = startWidth, limit = 1 << startWidth, next = first;
    codes.Put(clear, width);

    bool started = false;
    std::uint16_t prefix = 0;
    const auto startString = [&](int pixel) { prefix = std::uint16_t(pixel); };
    TGIFRowOrder rows(picture.Height(), interlaced);
    for (int n = 0; n < picture.Height(); ++n, rows.Advance()) {
        for (int x = 0; x < picture.Width(); ++x) {
            const int pixel = pixelOf(picture, x, rows.Row());
            if (!started) {
                startString(pixel);
                started = true;
                continue;
            }
            const int slot = table->Probe(prefix, std::uint8_t(pixel));
            if (const TEntry* e = table->At(slot)) {
                prefix = e->code;
                continue;
            }
            codes.Put(prefix, width);
            if (next >= kClearAt) {
                // The table is full: the pixel goes out as a string of its own, then all
                // starts again with the next pixel.
                codes.Put(pixel, width);
                codes.Put(clear, width);
                table->Clear();
                width = startWidth;
                limit = 1 << startWidth;
                next = first;
                started = false;
                continue;
            }
            table->Store(slot, TEntry{prefix, std::uint16_t(next), std::uint8_t(pixel)});
            // The decoder widens its codes once it has made the entry one before this one.
            if (next >= limit && width < kMaxWidth) {
                ++width;
                limit <<= 1;
            }
            ++next;
            startString(pixel);
        }
        progress.Step((n + 1) * 100 / picture.Height());
    }
    if (started) codes.Put(prefix, width);
    codes.Put(end, width);
    codes.Finish();
}

}  // namespace gs
