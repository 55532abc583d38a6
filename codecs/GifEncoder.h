#pragma once
// The two pixel encoders of the GIF writer and the data sub-block packer they write through.
// TLZWEncoder is the ordinary LZW compressor; TRLEEncoder emits valid GIF code streams that
// only ever describe runs of one pixel value, so it needs no string table.
#include <array>
#include <cstdint>

#include "platform/ByteWriter.h"

namespace gs {

// Packs bytes into data sub-blocks (a count byte of 1 to 255, then the bytes). No empty
// sub-block is ever written: the block terminator is the caller's.
class TGIFWriter {
public:
    static constexpr int kMaxBlock = 255;

    explicit TGIFWriter(TByteWriter& out) : out_(out) {}
    void Write(std::uint8_t byte) {
        buffer_[std::size_t(fill_++)] = byte;
        if (fill_ > kMaxBlock) FlushBlock();
    }
    // Writes the last, partial sub-block.
    void Release() {
        if (fill_ > 1) FlushBlock();
    }

private:
    void FlushBlock();

    TByteWriter& out_;
    std::array<std::uint8_t, kMaxBlock + 1> buffer_{};
    int fill_ = 1;  // byte 0 is the count
};

// What an encoder codes: one byte per pixel, rows top first.
struct TGIFPixels {
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    bool interlaced = false;
};

class TGIFEncoder {
public:
    static constexpr int kMaxBits = 12;
    static constexpr int kMaxCodes = 1 << kMaxBits;

    virtual ~TGIFEncoder() = default;
    // Writes the minimum code size, the code stream in sub-blocks and the terminator.
    // Every pixel must be below colorCount, else "Color not in color table".
    void Encode(TByteWriter& out, const TGIFPixels& pixels, int bitsPerPixel, int colorCount);

protected:
    virtual void Compress() = 0;
    // The next pixel in walk order (interlace passes when asked), or -1 after the last.
    int ReadPixel();
    // Puts a code of the current width into the bit bucket, least significant bit first.
    void Output(int code);

    int initialBits_ = 0;
    int bitsPerCode_ = 0;
    int maxCode_ = 0;
    int clearCode_ = 0;
    int eoiCode_ = 0;
    int firstFreeCode_ = 0;

private:
    void AdvanceRow();

    TGIFWriter* writer_ = nullptr;
    std::uint32_t bucket_ = 0;
    int bucketBits_ = 0;
    int colorCount_ = 0;
    TGIFPixels pixels_;
    const std::uint8_t* pixel_ = nullptr;
    std::size_t pixelsLeft_ = 0;
    int pass_ = 0;
    int row_ = 0;
    bool finished_ = false;
};

// The LZW string table: open addressing over a prime number of 32-bit slots, each holding
// key << 12 | code, where key = prefix code << 8 | pixel.
class THashTable {
public:
    static constexpr int kSize = 8009;
    THashTable() { Clear(); }
    void Clear() { slots_.fill(kEmpty); }
    void Insert(std::uint32_t key, int code);
    // The code stored for key, or -1.
    int Lookup(std::uint32_t key) const;

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
    static constexpr std::uint32_t kEmptyFrom = 0xFFFFF000;
    static int Home(std::uint32_t key) { return int((key ^ (key >> 4)) % kSize); }
    static int Step(int home) { return home == 0 ? 1 : kSize - home; }

    std::array<std::uint32_t, kSize> slots_;
};

class TLZWEncoder final : public TGIFEncoder {
protected:
    void Compress() override;

private:
    static constexpr int kLastCode = kMaxCodes - 2;  // highest code ever assigned: 4094

    void Send(int code);
    void ClearTable();

    THashTable table_;
    int nextCode_ = 0;
    bool clearFlag_ = false;
};

class TRLEEncoder final : public TGIFEncoder {
protected:
    void Compress() override;

private:
    void SendCode(int code);
    void Clear();
    void FlushRun(std::int64_t count);
    void FlushFromClear(std::int64_t count);
    void FlushClearOrRepeat(std::int64_t count);
    void FlushWithTable(std::int64_t count);
    void LiftClearPoint() { clearPoint_ = maxRunCodes_; }
    void ResetClearPoint();
    int RunCode(int length) const { return firstFreeCode_ + length - 2; }
    std::int64_t TriangleCost(std::int64_t count) const;

    int runPixel_ = -1;
    int codesSent_ = 0;
    int bumpPoint_ = 0, bumpInit_ = 0;
    int clearPoint_ = 0, clearInit_ = 0;
    int tableMax_ = 0;
    int tablePixel_ = -1;
    int maxRunCodes_ = 0;
    bool clearFlag_ = false;
};

}  // namespace gs
