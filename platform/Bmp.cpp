#include "platform/Bmp.h"

#include "platform/AtomicFile.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Dib.h"
#include "platform/Errors.h"

namespace gs {

namespace {
constexpr std::uint16_t kBmSignature = 0x4D42;  // "BM"
constexpr std::uint32_t kFileHeaderSize = 14;
}  // namespace

Bytes encodeBmp(const Raster& raster) {
    Bytes dib = encodeDib(raster);
    const std::uint32_t paletteBytes = raster.bitCount() <= 8 ? (4u << raster.bitCount()) : 0;
    ByteWriter w;
    w.u16(kBmSignature);
    w.u32(std::uint32_t(kFileHeaderSize + dib.size()));
    w.u32(0);
    w.u32(kFileHeaderSize + 40 + paletteBytes);
    w.bytes(dib);
    return w.take();
}

Raster decodeBmp(const ByteSource& src) {
    ByteReader r(src);
    if (r.u16() != kBmSignature) throw EReadError("Invalid bitmap: not a BMP file");
    // The pixels follow the colour table in every BMP this program writes or meets; the
    // bits offset of the file header is therefore not needed.
    return std::move(decodeDib(src, kFileHeaderSize).colour);
}

void saveBmp(const Raster& raster, const std::filesystem::path& path) {
    writeFileAtomically(path, encodeBmp(raster));
}

Raster loadBmp(const std::filesystem::path& path) {
    FileSource src(path);
    return decodeBmp(src);
}

}  // namespace gs
