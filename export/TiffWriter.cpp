#include "export/TiffWriter.h"

#include <limits>
#include <string_view>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/Dib.h"
#include "platform/Errors.h"

namespace gs {

namespace {

// ASCII fields end in a NUL, which their count includes.
constexpr std::string_view kSoftware = "Tavorn lab";
constexpr std::uint32_t kResolutionNumerator = 877;   // 87.7 pixels per inch
constexpr std::uint32_t kResolutionDenominator = 10;
constexpr std::uint16_t kResolutionUnitInch = 2;
constexpr std::uint16_t kTiffMagic = 42;
constexpr std::uint32_t kHeaderSize = 8;
constexpr std::size_t kIfdOffsetField = 4;
constexpr std::uint16_t kNoCompression = 1;
constexpr std::uint16_t kChunky = 1;
// Every offset is a 32-bit number; leave room for the blocks around the pixels.
constexpr std::uint64_t kMaxPixelBytes = std::numeric_limits<std::uint32_t>::max() - (1u << 20);

enum Tag : std::uint16_t {
    kNewSubfileType = 254,
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometric = 262,
    kStripOffsets = 273,
    kSamplesPerPixel = 277,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kXResolution = 282,
    kYResolution = 283,
    kPlanarConfiguration = 284,
    kResolutionUnit = 296,
    kSoftwareTag = 305,
    kColorMap = 320,
};

constexpr std::uint32_t kSoftwareCount = std::uint32_t(kSoftware.size()) + 1;  // with its NUL

enum FieldType : std::uint16_t { kAscii = 2, kShort = 3, kLong = 4, kRational = 5 };

enum Photometric : std::uint16_t { kBlackIsZero = 1, kRgb = 2, kPaletteColour = 3 };

// One file under construction: header first, then data blocks, then the directory, whose
// offset is patched into the header at the end.
class TTiffFile {
public:
    TTiffFile() {
        w_.U8('I');  // little-endian byte order, "II"
        w_.U8('I');
        w_.U16(kTiffMagic);
        w_.U32(kHeaderSize);
    }
    TByteWriter& out() { return w_; }
    std::uint32_t pos() const { return std::uint32_t(w_.Pos()); }

    // Values and the directory begin on a word boundary.
    void align() {
        if (pos() % 2) w_.U8(0);
    }
    std::uint32_t writeResolution() {
        align();
        std::uint32_t at = pos();
        w_.U32(kResolutionNumerator);
        w_.U32(kResolutionDenominator);
        return at;
    }
    std::uint32_t writeSoftware() {
        align();
        std::uint32_t at = pos();
        w_.Chars(kSoftware);
        w_.U8(0);
        align();
        return at;
    }
    // Entries must be added in ascending tag order.
    void entry(Tag tag, FieldType type, std::uint32_t count, std::uint32_t value) {
        entries_.push_back({tag, type, count, value});
    }
    // Sizes are SHORT as the layouts have them, LONG only when they do not fit.
    void sizeEntry(Tag tag, std::uint32_t value) {
        entry(tag, value <= std::numeric_limits<std::uint16_t>::max() ? kShort : kLong, 1, value);
    }
    TBytes finish() {
        align();
        const std::uint32_t ifd = pos();
        w_.U16(std::uint16_t(entries_.size()));
        for (const Entry& e : entries_) {
            w_.U16(e.tag);
            w_.U16(e.type);
            w_.U32(e.count);
            w_.U32(e.value);  // a SHORT value lands in the low two bytes
        }
        w_.U32(0);  // no further directory
        w_.PatchU32(kIfdOffsetField, ifd);
        return w_.Take();
    }

private:
    struct Entry {
        Tag tag;
        FieldType type;
        std::uint32_t count, value;
    };
    TByteWriter w_;
    std::vector<Entry> entries_;
};

// Where each block of a layout went, for the directory.
struct TBlocks {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t bitsPerSampleAt = 0;  // offset of three values for RGB, 0 for a single value
    Photometric photometric = kBlackIsZero;
    std::uint16_t samples = 1;
    std::uint32_t strip = 0, stripBytes = 0;
    std::uint32_t xResolution = 0, yResolution = 0, software = 0;
    std::uint32_t colorMap = 0, colours = 0;  // palette layout only
};

TBytes finishDirectory(TTiffFile& f, const TBlocks& b) {
    f.entry(kNewSubfileType, kLong, 1, 0);
    f.sizeEntry(kImageWidth, b.width);
    f.sizeEntry(kImageLength, b.height);
    if (b.bitsPerSampleAt)
        f.entry(kBitsPerSample, kShort, b.samples, b.bitsPerSampleAt);
    else
        f.entry(kBitsPerSample, kShort, 1, b.bitsPerSample);
    f.entry(kCompression, kShort, 1, kNoCompression);
    f.entry(kPhotometric, kShort, 1, b.photometric);
    f.entry(kStripOffsets, kLong, 1, b.strip);
    f.entry(kSamplesPerPixel, kShort, 1, b.samples);
    f.entry(kRowsPerStrip, kLong, 1, b.height);
    f.entry(kStripByteCounts, kLong, 1, b.stripBytes);
    f.entry(kXResolution, kRational, 1, b.xResolution);
    f.entry(kYResolution, kRational, 1, b.yResolution);
    if (b.photometric == kRgb) f.entry(kPlanarConfiguration, kShort, 1, kChunky);
    f.entry(kResolutionUnit, kShort, 1, kResolutionUnitInch);
    f.entry(kSoftwareTag, kAscii, kSoftwareCount, b.software);
    if (b.colorMap) f.entry(kColorMap, kShort, 3 * b.colours, b.colorMap);
    return f.finish();
}

TRgb paletteEntry(const TRaster& r, std::size_t i) { return i < r.Palette().size() ? r.Palette()[i] : TRgb{}; }

std::uint32_t stripSize(const TRaster& r, std::uint64_t rowBytes) {
    std::uint64_t n = rowBytes * std::uint64_t(r.Height());
    if (n > kMaxPixelBytes) throw EFCreateError("The picture is too large for a TIFF file.");
    return std::uint32_t(n);
}

// Rows top first, each packed to whole bytes, the leftmost pixel in the highest bits.
void writeIndexRows(TByteWriter& w, const TRaster& r, int bits, std::uint8_t flip) {
    const std::uint8_t mask = std::uint8_t((1u << bits) - 1);
    const int perByte = 8 / bits;
    for (int y = 0; y < r.Height(); ++y) {
        const std::uint8_t* idx = r.IndexRow(y);
        for (int x = 0; x < r.Width(); x += perByte) {
            std::uint8_t byte = 0;
            for (int k = 0; k < perByte; ++k) {
                std::uint8_t v = x + k < r.Width() ? std::uint8_t((idx[x + k] ^ flip) & mask) : 0;
                byte = std::uint8_t(byte | (v << (8 - bits * (k + 1))));
            }
            w.U8(byte);
        }
    }
}

bool isWhite(TRgb c) { return c == TRgb{255, 255, 255}; }
bool isBlack(TRgb c) { return c == TRgb{0, 0, 0}; }

// A two-colour picture in black and white; bit 0 is black in the file whichever order the
// palette has.
bool isBlackAndWhite(const TRaster& r) {
    TRgb a = paletteEntry(r, 0), b = paletteEntry(r, 1);
    return (isBlack(a) && isWhite(b)) || (isWhite(a) && isBlack(b));
}

TBytes writeBilevel(const TRaster& r) {
    TTiffFile f;
    TBlocks b{std::uint32_t(r.Width()), std::uint32_t(r.Height()), 1};
    b.strip = f.pos();
    b.stripBytes = stripSize(r, (std::uint64_t(r.Width()) + 7) / 8);
    writeIndexRows(f.out(), r, 1, isWhite(paletteEntry(r, 0)) ? 1 : 0);
    b.xResolution = f.writeResolution();
    b.yResolution = f.writeResolution();
    b.software = f.writeSoftware();
    return finishDirectory(f, b);
}

TBytes writePalette(const TRaster& r) {
    const int bits = r.BitCount();
    TTiffFile f;
    TBlocks b{std::uint32_t(r.Width()), std::uint32_t(r.Height()), std::uint16_t(bits)};
    b.photometric = kPaletteColour;
    b.colours = 1u << bits;
    b.stripBytes = stripSize(r, (std::uint64_t(r.Width()) * std::uint64_t(bits) + 7) / 8);
    b.colorMap = f.pos();
    // 16-bit components: 255 must become 65535, so the byte goes into both halves.
    for (auto part : {&TRgb::r, &TRgb::g, &TRgb::b})
        for (std::uint32_t i = 0; i < b.colours; ++i) f.out().U16(std::uint16_t(paletteEntry(r, i).*part * 257u));
    b.xResolution = f.writeResolution();
    b.yResolution = f.writeResolution();
    b.software = f.writeSoftware();
    b.strip = f.pos();
    writeIndexRows(f.out(), r, bits, 0);
    return finishDirectory(f, b);
}

TBytes writeRgb(const TRaster& r) {
    constexpr std::uint16_t kSamples = 3;
    TTiffFile f;
    TBlocks b{std::uint32_t(r.Width()), std::uint32_t(r.Height()), 8};
    b.photometric = kRgb;
    b.samples = kSamples;
    b.stripBytes = stripSize(r, std::uint64_t(r.Width()) * kSamples);
    b.xResolution = f.writeResolution();
    b.yResolution = f.writeResolution();
    b.bitsPerSampleAt = f.pos();
    for (int i = 0; i < kSamples; ++i) f.out().U16(8);
    b.software = f.writeSoftware();
    b.strip = f.pos();
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x) {
            Argb c = r.Pixel(x, y);
            f.out().U8(redOf(c));
            f.out().U8(greenOf(c));
            f.out().U8(blueOf(c));
        }
    return finishDirectory(f, b);
}

TBytes encodeTiff(const TRaster& r) {
    if (r.Empty()) return {};
    switch (r.Format()) {
        case PixelFormat::pf1bit: return isBlackAndWhite(r) ? writeBilevel(r) : writeRgb(r);
        case PixelFormat::pf4bit:
        case PixelFormat::pf8bit: return writePalette(r);
        default: return writeRgb(r);
    }
}

}  // namespace

void WriteTIFF(TByteWriter& stream, const TRaster& bitmap) { stream.Bytes(encodeTiff(bitmap)); }

TBytes encodeTiffFromDib(const IByteSource& dib) { return encodeTiff(decodeDib(dib, 0).colour); }

void SaveTIFFToFile(const std::filesystem::path& fileName, const TRaster& bitmap) {
    if (bitmap.Empty()) return;
    writeFileAtomically(fileName, encodeTiff(bitmap));
}

}  // namespace gs
