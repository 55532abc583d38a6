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

struct Mapping {
    int orgX = 0, orgY = 0, extX = 1, extY = 1;
    int width = 0, height = 0;  // of the canvas
    int x(int logical) const { return int(std::int64_t(logical - orgX) * width / extX); }
    int y(int logical) const { return int(std::int64_t(logical - orgY) * height / extY); }
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
void playBitmap(ByteReader& record, bool withColourUse, const Mapping& map, Raster& canvas, std::uint64_t& budget) {
    const std::uint32_t rop = record.u32();
    if (withColourUse) record.u16();
    std::int16_t v[8];
    for (std::int16_t& p : v) p = std::int16_t(record.u16());
    const int srcH = v[0], srcW = v[1], ySrc = v[2], xSrc = v[3], destH = v[4], destW = v[5], yDest = v[6], xDest = v[7];
    const Bytes dibBytes = record.bytes(record.remaining());
    if (!knownRop(rop) || srcW <= 0 || srcH <= 0 || destW == 0 || destH == 0) return;
    const SpanSource dibSource(dibBytes);
    const Raster dib = decodeDib(dibSource, 0).colour;
    const int x0 = map.x(xDest), x1 = map.x(xDest + destW), y0 = map.y(yDest), y1 = map.y(yDest + destH);
    const int left = std::max(std::min(x0, x1), 0), right = std::min(std::max(x0, x1), canvas.width());
    const int top = std::max(std::min(y0, y1), 0), bottom = std::min(std::max(y0, y1), canvas.height());
    if (left >= right || top >= bottom) return;
    const std::uint64_t pixels = std::uint64_t(right - left) * std::uint64_t(bottom - top);
    if (pixels > budget) bad("it draws more than its picture holds many times over");
    budget -= pixels;
    for (int y = top; y < bottom; ++y) {
        const int sy = ySrc + int(std::int64_t(y - y0) * srcH / (y1 - y0));
        if (sy < 0 || sy >= dib.height()) continue;
        Argb* row = canvas.row(y);
        for (int x = left; x < right; ++x) {
            const int sx = xSrc + int(std::int64_t(x - x0) * srcW / (x1 - x0));
            if (sx >= 0 && sx < dib.width()) row[x] = combine(rop, row[x], dib.pixel(sx, sy));
        }
    }
}

}  // namespace

TMetafile TMetafile::FromSource(const ByteSource& source) {
    ByteReader in(source);
    if (in.size() < wmf::kPlaceableHeaderSize || in.u32At(0) != wmf::kPlaceableKey) bad("no placeable header");
    TMetafile m;
    const auto box = [&](std::uint64_t at) { return int(std::int16_t(in.u16At(at))); };
    m.left_ = box(6);
    m.top_ = box(8);
    m.boxWidth_ = box(10) - m.left_;
    m.boxHeight_ = box(12) - m.top_;
    const int inch = in.u16At(14);
    if (inch == 0) bad("no units per inch");
    const std::int64_t w = std::int64_t(m.boxWidth_) * kScreenDpi / inch;
    const std::int64_t h = std::int64_t(m.boxHeight_) * kScreenDpi / inch;
    const std::uint64_t limit = std::min(kMaxPixels, in.size() * kPixelsPerFileByte);
    if (w < 0 || h < 0 || std::uint64_t(w) * std::uint64_t(h) > limit) bad("its size");
    m.width_ = int(w);
    m.height_ = int(h);
    m.data_ = std::make_shared<const Bytes>(in.bytesAt(0, in.size()));
    m.Draw(0);  // every record is checked now, so that drawing later cannot fail
    return m;
}

Raster TMetafile::Draw(Argb background) const {
    Raster canvas(width_, height_, PixelFormat::pf24bit);
    canvas.fill(background | 0xFF000000u);
    if (!data_ || Empty()) return canvas;
    const SpanSource src(*data_);
    ByteReader in(src);
    in.seek(wmf::kPlaceableHeaderSize);
    if (in.remaining() < wmf::kHeaderWords * 2u) bad("no header");
    const std::uint16_t headerWords = in.u16At(in.pos() + 2);
    if (headerWords < wmf::kHeaderWords) bad("its header");
    in.seek(in.pos() + std::uint64_t(headerWords) * 2);
    Mapping map{left_, top_, std::max(boxWidth_, 1), std::max(boxHeight_, 1), width_, height_};
    std::uint64_t budget = std::uint64_t(width_) * std::uint64_t(height_) * kDrawsPerPixel;
    while (in.remaining() >= wmf::kRecordHeaderSize) {
        const std::uint64_t at = in.pos();
        const std::uint32_t words = in.u32();
        const std::uint16_t function = in.u16();
        if (words < wmf::kMinRecordWords || std::uint64_t(words) * 2 > in.remaining() + wmf::kRecordHeaderSize)
            bad("a record reaches past the end at " + std::to_string(at));
        if (function == wmf::kMetaEof) break;
        ByteReader record = in.window(in.pos(), std::uint64_t(words) * 2 - wmf::kRecordHeaderSize);
        in.seek(at + std::uint64_t(words) * 2);
        switch (function) {
            case wmf::kMetaSetWindowOrg:
                map.orgY = std::int16_t(record.u16());
                map.orgX = std::int16_t(record.u16());
                break;
            case wmf::kMetaSetWindowExt: {
                const int extY = std::int16_t(record.u16()), extX = std::int16_t(record.u16());
                if (extX == 0 || extY == 0) bad("a window extent of nothing");
                map.extX = extX;
                map.extY = extY;
                break;
            }
            case wmf::kMetaStretchDib:
                if (record.size() < kStretchDibParams) bad("a bitmap record cut short");
                playBitmap(record, true, map, canvas, budget);
                break;
            case wmf::kMetaDibStretchBlt:
                if (record.size() < kDibStretchBltParams) bad("a bitmap record cut short");
                playBitmap(record, false, map, canvas, budget);
                break;
            default: break;
        }
    }
    return canvas;
}

}  // namespace gs
