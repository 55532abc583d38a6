#include "codecs/Metafile.h"

#include <algorithm>

#include "platform/ByteReader.h"
#include "platform/Dib.h"
#include "platform/Errors.h"
#include "platform/WmfFormat.h"

namespace gs {

namespace {

constexpr int kScreenDpi = 96;
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 24;
// Only bitmap records draw, so a picture far larger than the file that holds it is no
// picture of ours: its size is capped by the file's.
constexpr std::uint64_t kPixelsPerFileByte = 256;
// A file may stretch its bitmaps over the picture this many times over, and no more.
constexpr std::uint64_t kDrawsPerPixel = 16;
constexpr std::size_t kStretchDibParams = 22;     // rop, colour use, 8 coordinates
constexpr std::size_t kDibStretchBltParams = 20;  // rop, 8 coordinates

[[noreturn]] void bad(const std::string& what) { throw EReadError("Invalid metafile: " + what); }

struct TMapping {
    int orgX = 0, orgY = 0, extX = 1, extY = 1;
    int width = 0, height = 0;  // of the canvas
    int X(int logical) const { return int(std::int64_t(logical - orgX) * width / extX); }
    int Y(int logical) const { return int(std::int64_t(logical - orgY) * height / extY); }
};

Argb combine(std::uint32_t rop, Argb dst, Argb src) {
    switch (rop) {
        case wmf::kRopSrcAnd: return (dst & src) | 0xFF000000u;
        case wmf::kRopSrcPaint: return (dst | src) | 0xFF000000u;
        case wmf::kRopSrcInvert: return (dst ^ src) | 0xFF000000u;
        default: return src | 0xFF000000u;
    }
}

bool knownRop(std::uint32_t rop) {
    return rop == wmf::kRopSrcCopy || rop == wmf::kRopSrcAnd || rop == wmf::kRopSrcPaint || rop == wmf::kRopSrcInvert;
}

// One bitmap record: parameters stored last to first, then the DIB.
void playBitmap(TByteReader& record, bool withColourUse, const TMapping& map, TRaster& canvas, std::uint64_t& budget) {
    const std::uint32_t rop = record.U32();
    if (withColourUse) record.U16();
    std::int16_t v[8];
    for (std::int16_t& p : v) p = std::int16_t(record.U16());
    const int srcH = v[0], srcW = v[1], ySrc = v[2], xSrc = v[3], destH = v[4], destW = v[5], yDest = v[6], xDest = v[7];
    const TBytes dibBytes = record.Bytes(record.Remaining());
    if (!knownRop(rop) || srcW <= 0 || srcH <= 0 || destW == 0 || destH == 0) return;
    const TSpanSource dibSource(dibBytes);
    const TRaster dib = decodeDib(dibSource, 0).colour;
    const int x0 = map.X(xDest), x1 = map.X(xDest + destW), y0 = map.Y(yDest), y1 = map.Y(yDest + destH);
    const int left = std::max(std::min(x0, x1), 0), right = std::min(std::max(x0, x1), canvas.Width());
    const int top = std::max(std::min(y0, y1), 0), bottom = std::min(std::max(y0, y1), canvas.Height());
    if (left >= right || top >= bottom) return;
    const std::uint64_t pixels = std::uint64_t(right - left) * std::uint64_t(bottom - top);
    if (pixels > budget) bad("it draws more than its picture holds many times over");
    budget -= pixels;
    for (int y = top; y < bottom; ++y) {
        const int sy = ySrc + int(std::int64_t(y - y0) * srcH / (y1 - y0));
        if (sy < 0 || sy >= dib.Height()) continue;
        Argb* row = canvas.Row(y);
        for (int x = left; x < right; ++x) {
            const int sx = xSrc + int(std::int64_t(x - x0) * srcW / (x1 - x0));
            if (sx >= 0 && sx < dib.Width()) row[x] = combine(rop, row[x], dib.Pixel(sx, sy));
        }
    }
}

}  // namespace

TMetafile TMetafile::FromSource(const IByteSource& source) {
    TByteReader in(source);
    if (in.Size() < wmf::kPlaceableHeaderSize || in.U32At(0) != wmf::kPlaceableKey) bad("no placeable header");
    TMetafile m;
    const auto box = [&](std::uint64_t at) { return int(std::int16_t(in.U16At(at))); };
    m.left_ = box(6);
    m.top_ = box(8);
    m.boxWidth_ = box(10) - m.left_;
    m.boxHeight_ = box(12) - m.top_;
    const int inch = in.U16At(14);
    if (inch == 0) bad("no units per inch");
    const std::int64_t w = std::int64_t(m.boxWidth_) * kScreenDpi / inch;
    const std::int64_t h = std::int64_t(m.boxHeight_) * kScreenDpi / inch;
    const std::uint64_t limit = std::min(kMaxPixels, in.Size() * kPixelsPerFileByte);
    if (w < 0 || h < 0 || std::uint64_t(w) * std::uint64_t(h) > limit) bad("its size");
    m.width_ = int(w);
    m.height_ = int(h);
    m.data_ = std::make_shared<const TBytes>(in.BytesAt(0, in.Size()));
    m.Draw(0);  // every record is checked now, so that drawing later cannot fail
    return m;
}

TRaster TMetafile::Draw(Argb background) const {
    TRaster canvas(width_, height_, PixelFormat::pf24bit);
    canvas.Fill(background | 0xFF000000u);
    if (!data_ || Empty()) return canvas;
    const TSpanSource src(*data_);
    TByteReader in(src);
    in.Seek(wmf::kPlaceableHeaderSize);
    if (in.Remaining() < wmf::kHeaderWords * 2u) bad("no header");
    const std::uint16_t headerWords = in.U16At(in.Pos() + 2);
    if (headerWords < wmf::kHeaderWords) bad("its header");
    in.Seek(in.Pos() + std::uint64_t(headerWords) * 2);
    TMapping map{left_, top_, std::max(boxWidth_, 1), std::max(boxHeight_, 1), width_, height_};
    std::uint64_t budget = std::uint64_t(width_) * std::uint64_t(height_) * kDrawsPerPixel;
    while (in.Remaining() >= wmf::kRecordHeaderSize) {
        const std::uint64_t at = in.Pos();
        const std::uint32_t words = in.U32();
        const std::uint16_t function = in.U16();
        if (words < wmf::kMinRecordWords || std::uint64_t(words) * 2 > in.Remaining() + wmf::kRecordHeaderSize)
            bad("a record reaches past the end at " + std::to_string(at));
        if (function == wmf::kMetaEof) break;
        TByteReader record = in.Window(in.Pos(), std::uint64_t(words) * 2 - wmf::kRecordHeaderSize);
        in.Seek(at + std::uint64_t(words) * 2);
        switch (function) {
            case wmf::kMetaSetWindowOrg:
                map.orgY = std::int16_t(record.U16());
                map.orgX = std::int16_t(record.U16());
                break;
            case wmf::kMetaSetWindowExt: {
                const int extY = std::int16_t(record.U16()), extX = std::int16_t(record.U16());
                if (extX == 0 || extY == 0) bad("a window extent of nothing");
                map.extX = extX;
                map.extY = extY;
                break;
            }
            case wmf::kMetaStretchDib:
                if (record.Size() < kStretchDibParams) bad("a bitmap record cut short");
                playBitmap(record, true, map, canvas, budget);
                break;
            case wmf::kMetaDibStretchBlt:
                if (record.Size() < kDibStretchBltParams) bad("a bitmap record cut short");
                playBitmap(record, false, map, canvas, budget);
                break;
            default: break;
        }
    }
    return canvas;
}

}  // namespace gs
