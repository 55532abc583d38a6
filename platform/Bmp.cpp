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

TBytes encodeBmp(const TRaster& raster) {
    TBytes dib = encodeDib(raster);
    const std::uint32_t paletteBytes = raster.BitCount() <= 8 ? (4u << raster.BitCount()) : 0;
    TByteWriter w;
    w.U16(kBmSignature);
    w.U32(std::uint32_t(kFileHeaderSize + dib.size()));
    w.U32(0);
    w.U32(kFileHeaderSize + 40 + paletteBytes);
    w.Bytes(dib);
    return w.Take();
}

TRaster decodeBmp(const IByteSource& src) {
    TByteReader r(src);
    if (r.U16() != kBmSignature) throw EReadError("Invalid bitmap: not a BMP file");
    // The pixels follow the colour table in every BMP this program writes or meets; the
    // bits offset of the file header is therefore not needed.
    return std::move(decodeDib(src, kFileHeaderSize).colour);
}

void saveBmp(const TRaster& raster, const std::filesystem::path& path) {
    writeFileAtomically(path, encodeBmp(raster));
}

TRaster loadBmp(const std::filesystem::path& path) {
    TFileSource src(path);
    return decodeBmp(src);
}

}  // namespace gs
