#include <limits>

#include "export/MetafileBlits.h"
#include "export/MetafileWriter.h"
#include "platform/ByteWriter.h"
#include "platform/Errors.h"

namespace gs {

namespace {

constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kEmrStretchDiBits = 81;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kEmfVersion = 0x00010000;
constexpr std::uint32_t kHeaderSize = 108;           // with both header extensions
constexpr std::uint32_t kStretchDiBitsFixedSize = 80;
constexpr std::uint32_t kEofSize = 20;
constexpr std::uint16_t kReservedHandles = 1;        // handle 0 is the metafile's own

// The reference device the frame is measured on: a 1920 x 1080 screen at 96 pixels per inch.
constexpr std::int32_t kDeviceWidth = 1920, kDeviceHeight = 1080;
constexpr std::int32_t kMicrometresPerInch = 25400;

std::int32_t micrometres(std::int32_t pixels) { return pixels * kMicrometresPerInch / kMetafileDpi; }
// Frame coordinates are hundredths of a millimetre, rounded.
std::int32_t hundredthsOfMm(std::int32_t pixels) {
    return std::int32_t((std::int64_t(pixels) * 2540 + kMetafileDpi / 2) / kMetafileDpi);
}

void rect(TByteWriter& w, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    for (std::int32_t v : {left, top, right, bottom}) w.U32(std::uint32_t(v));
}

void writeHeader(TByteWriter& w, std::int32_t width, std::int32_t height, std::uint32_t bytes,
                 std::uint32_t records) {
    w.U32(kEmrHeader);
    w.U32(kHeaderSize);
    rect(w, 0, 0, width - 1, height - 1);  // bounds in device pixels, inclusive
    rect(w, 0, 0, hundredthsOfMm(width) - 1, hundredthsOfMm(height) - 1);
    w.U32(kEmfSignature);
    w.U32(kEmfVersion);
    w.U32(bytes);
    w.U32(records);
    w.U16(kReservedHandles);
    w.U16(0);
    w.U32(0);  // no description
    w.U32(0);
    w.U32(0);  // no palette
    w.U32(std::uint32_t(kDeviceWidth));
    w.U32(std::uint32_t(kDeviceHeight));
    w.U32(std::uint32_t((micrometres(kDeviceWidth) + 500) / 1000));  // millimetres
    w.U32(std::uint32_t((micrometres(kDeviceHeight) + 500) / 1000));
    w.U32(0);  // no pixel format, no OpenGL
    w.U32(0);
    w.U32(0);
    w.U32(std::uint32_t(micrometres(kDeviceWidth)));
    w.U32(std::uint32_t(micrometres(kDeviceHeight)));
}

void writeStretchDiBits(TByteWriter& w, const TMetafileBlit& b, std::int32_t width, std::int32_t height) {
    w.U32(kEmrStretchDiBits);
    w.U32(kStretchDiBitsFixedSize + std::uint32_t(b.dib.size()));
    rect(w, 0, 0, width - 1, height - 1);
    for (std::int32_t v : {0, 0, 0, 0, width, height}) w.U32(std::uint32_t(v));  // dest x, y; source x, y, cx, cy
    w.U32(kStretchDiBitsFixedSize);
    w.U32(b.infoSize);
    w.U32(kStretchDiBitsFixedSize + b.infoSize);
    w.U32(b.bitsSize());
    w.U32(kDibRgbColours);
    w.U32(b.rasterOp);
    w.U32(std::uint32_t(width));
    w.U32(std::uint32_t(height));
    w.Bytes(b.dib);
}

void writeEof(TByteWriter& w) {
    w.U32(kEmrEof);
    w.U32(kEofSize);
    w.U32(0);  // no palette entries, which would start at offset 16
    w.U32(16);
    w.U32(kEofSize);
}

}  // namespace

TBytes encodeEmf(const TRaster& bitmap) {
    const std::int32_t width = bitmap.Width(), height = bitmap.Height();
    TByteWriter body;
    const std::vector<TMetafileBlit> blits = metafileBlits(bitmap);
    for (const TMetafileBlit& b : blits) writeStretchDiBits(body, b, width, height);
    writeEof(body);
    const std::uint64_t total = kHeaderSize + body.Data().size();
    if (total > std::numeric_limits<std::uint32_t>::max())
        throw EFCreateError("The picture is too large for an enhanced metafile.");
    TByteWriter w;
    writeHeader(w, width, height, std::uint32_t(total), std::uint32_t(blits.size() + 2));
    w.Bytes(body.Data());
    return w.Take();
}

}  // namespace gs
