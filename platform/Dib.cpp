#include "platform/Dib.h"

#include <bit>
#include <string>

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Errors.h"

namespace gs {

namespace {
// Decoded rasters never exceed this many pixels, whatever a header claims.
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 28;

[[noreturn]] void bad(const std::string& what) { throw EReadError("Invalid bitmap: " + what); }

std::uint8_t scaleMasked(std::uint32_t v, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = std::countr_zero(mask);
    std::uint32_t max = mask >> shift;
    return std::uint8_t(((v & mask) >> shift) * 255u / max);
}
}  // namespace

std::uint64_t dibStride(std::uint64_t width, unsigned bitCount) { return ((width * bitCount + 31) / 32) * 4; }

TDibHeader ReadDIBHeader(const IByteSource& src, std::uint64_t offset) {
    TByteReader r(src, offset);
    TDibHeader h;
    h.headerSize = r.U32();
    if (h.headerSize < 40) bad("header size " + std::to_string(h.headerSize));
    h.width = std::int32_t(r.U32());
    h.height = std::int32_t(r.U32());
    h.planes = r.U16();
    h.bitCount = r.U16();
    h.compression = r.U32();
    h.sizeImage = r.U32();
    r.Skip(8);  // resolution
    h.clrUsed = r.U32();
    r.U32();  // clrImportant: also proves the whole 40 bytes are there
    return h;
}

TDecodedDib decodeDib(const IByteSource& src, std::uint64_t offset, std::int32_t rows) {
    TDecodedDib out;
    TDibHeader& h = out.header;
    h = ReadDIBHeader(src, offset);
    const unsigned bits = h.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        bad("bit count " + std::to_string(bits));
    if (h.compression != kBiRgb && !(h.compression == kBiBitfields && (bits == 16 || bits == 32)))
        bad("compression " + std::to_string(h.compression));
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) bad("size");
    const bool topDown = h.height < 0;
    const std::int64_t height = rows > 0 ? rows : (topDown ? -std::int64_t(h.height) : h.height);
    const std::uint64_t width = std::uint64_t(h.width);
    if (width * std::uint64_t(height) > kMaxPixels) bad("too large");

    TByteReader r(src, offset + h.headerSize);
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (h.compression == kBiBitfields) {
        // Masks follow a 40-byte header; later headers hold them inside.
        TByteReader m(src, offset + 40);
        for (auto& v : masks) v = m.U32();
        if (h.headerSize == 40) r.Skip(12);
    }
    std::vector<TRgb> palette;
    if (bits <= 8) {
        std::uint64_t n = h.clrUsed ? h.clrUsed : (1u << bits);
        if (!src.Contains(r.Pos(), n * 4)) bad("colour table beyond the data");
        std::uint64_t keep = std::min<std::uint64_t>(n, 1u << bits);
        // One read for the whole table (its extent is checked above): an icon list decodes
        // thousands of these, and a read per byte was most of the cost of each.
        const TBytes table = src.Read(r.Pos(), keep * 4);
        palette.reserve(std::size_t(1) << bits);
        for (std::size_t i = 0; i < table.size(); i += 4) palette.push_back(TRgb{table[i + 2], table[i + 1], table[i]});
        r.Skip(n * 4);
        palette.resize(std::size_t(1) << bits);  // indices past a short table read black
    }
    const std::uint64_t stride = dibStride(width, bits);
    if (!src.Contains(r.Pos(), stride * std::uint64_t(height))) bad("pixel data beyond the data");
    TBytes data = src.Read(r.Pos(), stride * std::uint64_t(height));
    out.bitsEnd = r.Pos() + data.size();

    PixelFormat pf = bits == 1 ? PixelFormat::pf1bit
                     : bits == 4 ? PixelFormat::pf4bit
                     : bits == 8 ? PixelFormat::pf8bit
                     : bits == 32 ? PixelFormat::pf32bit
                                  : PixelFormat::pf24bit;
    TRaster& ras = out.colour;
    ras = TRaster(int(width), int(height), pf);
    if (bits <= 8) ras.SetPalette(palette);
    for (std::int64_t row = 0; row < height; ++row) {
        const std::uint8_t* p = data.data() + std::uint64_t(row) * stride;
        int y = int(topDown ? row : height - 1 - row);
        for (std::uint64_t x = 0; x < width; ++x) {
            switch (bits) {
                case 1: ras.SetIndexAt(int(x), y, (p[x >> 3] >> (7 - (x & 7))) & 1); break;
                case 4: ras.SetIndexAt(int(x), y, (p[x >> 1] >> ((x & 1) ? 0 : 4)) & 15); break;
                case 8: ras.SetIndexAt(int(x), y, p[x]); break;
                case 16: {
                    std::uint32_t v = p[2 * x] | (p[2 * x + 1] << 8);
                    ras.SetPixel(int(x), y, makeArgb(scaleMasked(v, masks[0]), scaleMasked(v, masks[1]),
                                                     scaleMasked(v, masks[2])));
                    break;
                }
                case 24: ras.SetPixel(int(x), y, makeArgb(p[3 * x + 2], p[3 * x + 1], p[3 * x])); break;
                case 32: {
                    const std::uint8_t* q = p + 4 * x;
                    std::uint32_t v = q[0] | (q[1] << 8) | (q[2] << 16) | (std::uint32_t(q[3]) << 24);
                    if (h.compression == kBiBitfields)
                        ras.SetPixel(int(x), y, makeArgb(scaleMasked(v, masks[0]), scaleMasked(v, masks[1]),
                                                         scaleMasked(v, masks[2]), q[3]));
                    else
                        ras.SetPixel(int(x), y, v);
                    break;
                }
            }
        }
    }
    return out;
}

TBytes encodeDib(const TRaster& ras) {
    const unsigned bits = unsigned(ras.BitCount());
    const std::uint64_t stride = dibStride(std::uint64_t(ras.Width()), bits);
    const std::uint32_t paletteSize = bits <= 8 ? (1u << bits) : 0;
    TByteWriter w;
    w.U32(40);
    w.U32(std::uint32_t(ras.Width()));
    w.U32(std::uint32_t(ras.Height()));
    w.U16(1);
    w.U16(std::uint16_t(bits));
    w.U32(kBiRgb);
    w.U32(std::uint32_t(stride * std::uint64_t(ras.Height())));
    w.U32(0);
    w.U32(0);
    w.U32(paletteSize);
    w.U32(0);
    for (std::uint32_t i = 0; i < paletteSize; ++i) {
        TRgb c = i < ras.Palette().size() ? ras.Palette()[i] : TRgb{};
        w.U8(c.b);
        w.U8(c.g);
        w.U8(c.r);
        w.U8(0);
    }
    TBytes row(stride);
    for (int y = ras.Height() - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < ras.Width(); ++x) {
            switch (bits) {
                case 1: row[x >> 3] |= std::uint8_t((ras.IndexAt(x, y) & 1) << (7 - (x & 7))); break;
                case 4: row[x >> 1] |= std::uint8_t((ras.IndexAt(x, y) & 15) << ((x & 1) ? 0 : 4)); break;
                case 8: row[x] = ras.IndexAt(x, y); break;
                case 24: {
                    Argb c = ras.Pixel(x, y);
                    row[3 * x] = blueOf(c);
                    row[3 * x + 1] = greenOf(c);
                    row[3 * x + 2] = redOf(c);
                    break;
                }
                default: {
                    Argb c = ras.Pixel(x, y);
                    row[4 * x] = blueOf(c);
                    row[4 * x + 1] = greenOf(c);
                    row[4 * x + 2] = redOf(c);
                    row[4 * x + 3] = alphaOf(c);
                }
            }
        }
        w.Bytes(row);
    }
    return w.Take();
}

}  // namespace gs
