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

std::uint8_t TGIFHeader::PackedFields() const {
    std::uint8_t packed = 0;
    if (!colorMap_.Empty()) {
        packed = kGlobalTableFlag;
        if (colorMap_.Optimized()) packed |= kSortedFlag;
    }
    // Without any colours the resolution and size fields come out as 7 (bits - 1 of none).
    packed |= std::uint8_t((image_.ColorResolution() << 4) & kResolutionBits);
    // A global table is written with 2^its own bits entries, so its size field says that;
    // a larger local table elsewhere must not make readers take more entries than follow.
    int sizeBits = colorMap_.Empty() ? image_.BitsPerPixel() : colorMap_.ColorBits();
    packed |= std::uint8_t((sizeBits - 1) & kTableSizeBits);
    return packed;
}

void TGIFHeader::SaveToStream(TByteWriter& out) const {
    int version = image_.ImageVersion();
    if (version == 0) throw GIFException(gifmsg::kUnsupportedVersion);
    out.Chars("GIF");
    out.Chars(version >= kVersion89a ? "89a" : "87a");
    out.U16(width);
    out.U16(height);
    std::uint8_t packed = PackedFields();
    out.U8(packed);
    out.U8(backgroundIndex);
    out.U8(aspectRatio);
    if (packed & kGlobalTableFlag) colorMap_.WriteTable(out);
}

void TGIFSubImage::SaveToStream(TByteWriter& out) const {
    for (const auto& e : extensions_) e->SaveToStream(out);
    if (Empty()) return;
    std::uint8_t packed = PackedFields();
    out.U8(kSeparator);
    out.U16(std::uint16_t(left_));
    out.U16(std::uint16_t(top_));
    out.U16(std::uint16_t(width_));
    out.U16(std::uint16_t(height_));
    out.U8(packed);
    if (packed & kLocalTableFlag) colorMap_.WriteTable(out);
    EncodePixels(out);
}

void TGIFSubImage::EncodePixels(TByteWriter& out) const {
    int bits;
    int colors;
    if (!colorMap_.Empty()) {
        bits = colorMap_.ColorBits();
        colors = colorMap_.Count();
    } else {
        bits = image_.BitsPerPixel();
        colors = 1 << bits;
    }
    std::unique_ptr<TGIFEncoder> encoder;
    if (image_.Compression() == TGIFCompression::gcRLE)
        encoder = std::make_unique<TRLEEncoder>();
    else
        encoder = std::make_unique<TLZWEncoder>();
    encoder->Encode(out, TGIFPixels{pixels_.data(), width_, height_, Interlaced()}, bits, colors);
}

void TGIFImage::SaveToStream(TByteWriter& out) const {
    TGifProgress progress(onProgress_, gifmsg::kProgressSave);
    header_.SaveToStream(out);
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        frames_[i]->SaveToStream(out);
        progress.Step(int(i * 100 / frames_.size()));
    }
    out.U8(kGifTrailer);
}

TBytes TGIFImage::SaveToBytes() const {
    TByteWriter out;
    SaveToStream(out);
    return out.Take();
}

void TGIFImage::SaveToFile(const std::filesystem::path& path) const {
    TBytes data = SaveToBytes();
    writeFileAtomically(path, data);
}

}  // namespace gs
