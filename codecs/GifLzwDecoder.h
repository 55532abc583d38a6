#pragma once
// The LZW decoder of the GIF reader: codes are read least significant bit first from the
// data sub-blocks of one frame and handed out as pixels one at a time. Every read goes
// through the bounds-checked reader; a damaged code stream ends the frame with a warning.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/ByteReader.h"

namespace gs {

class TGIFDecoder {
public:
    static constexpr int kMaxBits = 12;
    static constexpr int kTableSize = 1 << kMaxBits;
    // What Next() gives instead of a pixel.
    static constexpr int kEndOfData = -1;  // the sub-blocks ran out before the end code
    static constexpr int kEndCode = -2;    // the end code: no more pixels
    static constexpr int kInvalid = -3;    // a code the table cannot hold: "Invalid GIF data"

    using Warn = std::function<void(const std::string&)>;

    // `in` stands just after the minimum code size byte, which must be 1 to 9.
    TGIFDecoder(TByteReader& in, int minCodeSize, Warn warn);

    static constexpr int kMaxMinCodeSize = 9;

    // The next pixel (0 .. 2^minCodeSize - 1) or one of the negative results above.
    int Next();
    // Skips whatever sub-blocks are left, up to and including the zero block.
    void SkipRest();

private:
    int ReadCode();
    bool FillBlock();
    void ClearTable();
    int FirstAfterClear();

    TByteReader& in_;
    Warn warn_;
    int minCodeSize_;
    int clearCode_, endCode_;
    int codeSize_ = 0, codeLimit_ = 0, nextFree_ = 0;
    int firstCode_ = 0, oldCode_ = 0;
    bool started_ = false;

    std::array<std::uint16_t, kTableSize> prefix_{};
    std::array<std::uint16_t, kTableSize> suffix_{};
    std::array<std::uint16_t, kTableSize + 1> stack_{};
    int stackTop_ = 0;

    // Bit reader: the current sub-block, the bits not yet taken, and where the data ends.
    std::array<std::uint8_t, 255> block_{};
    int blockSize_ = 0, blockPos_ = 0;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
    bool endOfData_ = false;
    bool zeroBlockSeen_ = false;
    bool cutShort_ = false;
};

// The order in which a frame's rows arrive: top to bottom, or in the four interlace passes
// (every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1), a pass
// whose first row lies beyond the height being left out.
class TGIFRowOrder {
public:
    TGIFRowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
    int Row() const { return row_; }
    void Advance();

private:
    int height_;
    bool interlaced_;
    int row_ = 0, pass_ = 0;
};

}  // namespace gs
