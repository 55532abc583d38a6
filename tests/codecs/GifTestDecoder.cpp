#include "GifTestDecoder.h"

#include <algorithm>

namespace gstest {

namespace {

class Cursor {
public:
    explicit Cursor(const std::vector<std::uint8_t>& b) : b_(b) {}
    std::uint8_t u8() {
        if (pos_ >= b_.size()) throw GifFormatError("data ends early");
        return b_[pos_++];
    }
    int u16() {
        int lo = u8();
        return lo | (u8() << 8);
    }
    std::vector<gs::TRgb> table(int entries) {
        std::vector<gs::TRgb> t(static_cast<std::size_t>(entries));
        for (auto& c : t) c = gs::TRgb{u8(), u8(), u8()};
        return t;
    }
    bool atEnd() const { return pos_ == b_.size(); }

private:
    const std::vector<std::uint8_t>& b_;
    std::size_t pos_ = 0;
};

std::vector<std::uint8_t> subBlocks(Cursor& c, std::vector<int>* sizes) {
    std::vector<std::uint8_t> data;
    for (int n = c.u8(); n != 0; n = c.u8()) {
        if (sizes) sizes->push_back(n);
        for (int i = 0; i < n; ++i) data.push_back(c.u8());
    }
    return data;
}

}  // namespace

std::vector<std::uint8_t> deinterlace(const std::vector<std::uint8_t>& stored, int width, int height) {
    std::vector<std::uint8_t> out(stored.size());
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    std::size_t row = 0;
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass], ++row)
            std::copy_n(stored.begin() + std::ptrdiff_t(row * std::size_t(width)), width,
                        out.begin() + std::ptrdiff_t(std::size_t(y) * std::size_t(width)));
    return out;
}

std::vector<std::uint8_t> decodeLzw(const std::vector<std::uint8_t>& data, int minCodeSize, std::size_t expected,
                                    LzwStats* stats) {
    if (minCodeSize < 2 || minCodeSize > 8) throw GifFormatError("bad minimum code size");
    const int clear = 1 << minCodeSize, eoi = clear + 1;
    std::vector<int> prefix(4096, -1);
    std::vector<std::uint8_t> suffix(4096), first(4096);
    for (int i = 0; i < clear; ++i) suffix[std::size_t(i)] = first[std::size_t(i)] = std::uint8_t(i);
    int width = minCodeSize + 1, next = clear + 2, prev = -1;
    std::size_t bitPos = 0;
    std::vector<std::uint8_t> out, stack;
    auto emit = [&](int code) {
        stack.clear();
        for (int c = code; c >= 0; c = prefix[std::size_t(c)]) stack.push_back(suffix[std::size_t(c)]);
        out.insert(out.end(), stack.rbegin(), stack.rend());
    };
    for (;;) {
        if (bitPos + std::size_t(width) > data.size() * 8) throw GifFormatError("no end code");
        int code = 0;
        for (int i = 0; i < width; ++i, ++bitPos)
            code |= ((data[bitPos / 8] >> (bitPos % 8)) & 1) << i;
        if (stats) stats->maxWidth = std::max(stats->maxWidth, width);
        if (code == clear) {
            if (stats) ++stats->clears;
            width = minCodeSize + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (code == eoi) break;
        if (prev < 0) {
            if (code >= clear) throw GifFormatError("first code after clear is not a pixel");
            emit(code);
            prev = code;
            continue;
        }
        if (code > next) throw GifFormatError("unknown code");
        std::uint8_t head = code == next ? first[std::size_t(prev)] : first[std::size_t(code)];
        if (next < 4096) {
            prefix[std::size_t(next)] = prev;
            suffix[std::size_t(next)] = head;
            first[std::size_t(next)] = first[std::size_t(prev)];
            ++next;
        }
        emit(code);
        prev = code;
        if (next == (1 << width) && width < 12) ++width;
    }
    if ((data.size() * 8 - bitPos) >= 8) throw GifFormatError("data after the end code");
    if (out.size() != expected) throw GifFormatError("pixel count differs");
    return out;
}

DecodedGif decodeGif(const std::vector<std::uint8_t>& bytes) {
    Cursor c(bytes);
    DecodedGif gif;
    for (int i = 0; i < 6; ++i) gif.version.push_back(char(c.u8()));
    if (gif.version != "GIF87a" && gif.version != "GIF89a") throw GifFormatError("bad signature");
    gif.width = c.u16();
    gif.height = c.u16();
    gif.packed = c.u8();
    gif.background = c.u8();
    gif.aspect = c.u8();
    if (gif.packed & 0x80) gif.globalTable = c.table(2 << (gif.packed & 7));
    DecodedFrame pending;
    for (;;) {
        std::uint8_t tag = c.u8();
        if (tag == 0x3B) break;
        if (tag == 0x21) {
            std::uint8_t label = c.u8();
            if (label == 0xF9) {
                if (c.u8() != 4) throw GifFormatError("bad control block size");
                pending.hasControl = true;
                pending.controlPacked = c.u8();
                c.u16();
                pending.transparentIndex = c.u8();
                if (c.u8() != 0) throw GifFormatError("control block not terminated");
            } else {
                subBlocks(c, nullptr);
            }
            continue;
        }
        if (tag != 0x2C) throw GifFormatError("unknown block");
        DecodedFrame f = pending;
        pending = DecodedFrame{};
        f.left = c.u16();
        f.top = c.u16();
        f.width = c.u16();
        f.height = c.u16();
        f.packed = c.u8();
        f.interlaced = (f.packed & 0x40) != 0;
        if (f.packed & 0x80) f.localTable = c.table(2 << (f.packed & 7));
        f.minCodeSize = c.u8();
        std::vector<std::uint8_t> data = subBlocks(c, &f.subBlockSizes);
        std::size_t n = std::size_t(f.width) * std::size_t(f.height);
        f.indices = decodeLzw(data, f.minCodeSize, n);
        if (f.interlaced) f.indices = deinterlace(f.indices, f.width, f.height);
        gif.frames.push_back(std::move(f));
    }
    if (!c.atEnd()) throw GifFormatError("bytes after the trailer");
    return gif;
}

}  // namespace gstest
