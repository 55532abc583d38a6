// The GIF stream: header and logical screen, each frame (extensions, image descriptor,
// local table, image data), trailer.
#include <memory>

#include "codecs/GifEncoder.h"
#include "codecs/GifImage.h"
#include "codecs/GifTypes.h"
#include "platform/AtomicFile.h"

namespace gs {

namespace {
constexpr int kVersion89a = 2;
}  // namespace

std::uint8_t TGIFHeader::packedFields() const {
    std::uint8_t packed = 0;
    if (!colorMap_.empty()) {
        packed = kGlobalTableFlag;
        if (colorMap_.optimized()) packed |= kSortedFlag;
    }
    // Without any colours the resolution and size fields come out as 7 (bits - 1 of none).
    packed |= std::uint8_t((image_.colorResolution() << 4) & kResolutionBits);
    // A global table is written with 2^its own bits entries, so its size field says that;
    // a larger local table elsewhere must not make readers take more entries than follow.
    int sizeBits = colorMap_.empty() ? image_.bitsPerPixel() : colorMap_.colorBits();
    packed |= std::uint8_t((sizeBits - 1) & kTableSizeBits);
    return packed;
}

void TGIFHeader::saveToStream(ByteWriter& out) const {
    int version = image_.imageVersion();
    if (version == 0) throw GIFException(gifmsg::kUnsupportedVersion);
    out.chars("GIF");
    out.chars(version >= kVersion89a ? "89a" : "87a");
    out.u16(width);
    out.u16(height);
    std::uint8_t packed = packedFields();
    out.u8(packed);
    out.u8(backgroundIndex);
    out.u8(aspectRatio);
    if (packed & kGlobalTableFlag) colorMap_.writeTable(out);
}

void TGIFSubImage::saveToStream(ByteWriter& out) const {
    for (const auto& e : extensions_) e->saveToStream(out);
    if (empty()) return;
    std::uint8_t packed = packedFields();
    out.u8(kSeparator);
    out.u16(std::uint16_t(left_));
    out.u16(std::uint16_t(top_));
    out.u16(std::uint16_t(width_));
    out.u16(std::uint16_t(height_));
    out.u8(packed);
    if (packed & kLocalTableFlag) colorMap_.writeTable(out);
    encodePixels(out);
}

void TGIFSubImage::encodePixels(ByteWriter& out) const {
    int bits;
    int colors;
    if (!colorMap_.empty()) {
        bits = colorMap_.colorBits();
        colors = colorMap_.count();
    } else {
        bits = image_.bitsPerPixel();
        colors = 1 << bits;
    }
    std::unique_ptr<TGIFEncoder> encoder;
    if (image_.compression() == TGIFCompression::gcRLE)
        encoder = std::make_unique<TRLEEncoder>();
    else
        encoder = std::make_unique<TLZWEncoder>();
    encoder->encode(out, TGIFPixels{pixels_.data(), width_, height_, interlaced()}, bits, colors);
}

void TGIFImage::saveToStream(ByteWriter& out) const {
    GifProgress progress(onProgress_, gifmsg::kProgressSave);
    header_.saveToStream(out);
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        frames_[i]->saveToStream(out);
        progress.step(int(i * 100 / frames_.size()));
    }
    out.u8(kGifTrailer);
}

Bytes TGIFImage::saveToBytes() const {
    ByteWriter out;
    saveToStream(out);
    return out.take();
}

void TGIFImage::saveToFile(const std::filesystem::path& path) const {
    Bytes data = saveToBytes();
    writeFileAtomically(path, data);
}

}  // namespace gs
