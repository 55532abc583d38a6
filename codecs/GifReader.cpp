// Reading a GIF stream into the model: header and global table, the frames with the
// extensions in front of each, the image data through the LZW decoder, and the trailer.
// Every field comes through the bounds-checked reader; a fixed-size part that is cut short
// is "Premature end of data".
#include <algorithm>
#include <cctype>

#include "codecs/GifFormat.h"
#include "codecs/GifImage.h"
#include "codecs/GifLzwDecoder.h"
#include "codecs/GifSubImage.h"
#include "codecs/GifTypes.h"
#include "platform/Errors.h"

namespace gs {

namespace {

constexpr std::uint8_t kExtensionIntroducer = gifformat::kExtensionIntroducer;
constexpr std::uint64_t kPrefixSize = 4;  // a length in front of the signature
using gifformat::kSignatureSize;
constexpr int kMinCodeSizeLow = 1, kMinCodeSizeHigh = 8;

bool isGifSignature(const TBytes& b) {
    return std::toupper(b[0]) == 'G' && std::toupper(b[1]) == 'I' && std::toupper(b[2]) == 'F';
}

// Pixels a stream of this size may make us allocate (CodecBounds.h): for its frames together,
// and again for its screen, which is checked when the header is read and before each frame,
// which may widen it.
std::uint64_t streamBudget(std::uint64_t streamSize) { return kGifPixelsAnySize + kGifPixelsPerStreamByte * streamSize; }

std::uint64_t screenPixels(int width, int height) { return std::uint64_t(width) * std::uint64_t(height); }

std::uint8_t peek(const TByteReader& in) { return TByteReader(in.Source(), in.Pos()).U8(); }

void skipZeros(TByteReader& in) {
    while (in.Remaining() > 0 && peek(in) == 0) in.Skip(1);
}

}  // namespace

void TGIFColorMap::ReadTable(TByteReader& in, int entries, bool sorted) {
    Reset();
    entries = std::min(entries, kMaxColors);
    TBytes b = readGifBytes(in, std::uint64_t(entries) * 3);
    for (int i = 0; i < entries; ++i)
        colors_[std::size_t(i)] = TRgb{b[std::size_t(i) * 3], b[std::size_t(i) * 3 + 1], b[std::size_t(i) * 3 + 2]};
    count_ = entries;
    optimized_ = sorted;
}

void TGIFHeader::LoadFromStream(TByteReader& in) {
    const std::uint64_t start = in.Pos();
    TBytes signature = readGifBytes(in, kSignatureSize);
    if (!isGifSignature(signature)) {
        in.Seek(start + kPrefixSize);
        signature = readGifBytes(in, kSignatureSize);
        if (!isGifSignature(signature)) throw GIFException(gifmsg::kInvalidSignature);
    }
    // Any version text is taken: what a reader needs is in the blocks.
    TBytes d = readGifBytes(in, gifformat::kScreenDescriptorSize);
    width = std::uint16_t(d[0] | (d[1] << 8));
    height = std::uint16_t(d[2] | (d[3] << 8));
    const std::uint8_t packed = d[4];
    backgroundIndex = d[5];
    aspectRatio = d[6];
    if (packed & kGlobalTableFlag)
        colorMap_.ReadTable(in, 2 << (packed & kTableSizeBits), (packed & kSortedFlag) != 0);
    else
        colorMap_.Reset();
}

void TGIFSubImage::LoadExtensions(TByteReader& in) {
    while (in.Remaining() > 0) {
        const std::uint8_t b = peek(in);
        if (b == kSeparator || b == kGifTrailer) return;
        if (b != kExtensionIntroducer) {
            image_.ReportWarning(this, kWarningSeverity, gifmsg::kBadExtensionIntroducer);
            return;
        }
        std::unique_ptr<TGIFExtension> extension = makeExtensionFor(in, this);
        extension->LoadFromStream(in);
        AddExtension(std::move(extension));
    }
}

TGIFSubImage::PixelBudget TGIFSubImage::PixelBudget::ForStream(std::uint64_t bytes) {
    const std::uint64_t pixels = streamBudget(bytes);
    return PixelBudget{pixels, std::min(kMaxGifScreenPixels, pixels)};
}

void TGIFSubImage::LoadFromStream(TByteReader& in, PixelBudget& budget) {
    Reset();
    LoadExtensions(in);
    if (in.Remaining() == 0) return;
    const std::uint8_t next = peek(in);
    if (next == kGifTrailer || next == 0) return;  // a frame of extensions only

    TBytes d = readGifBytes(in, 10);
    const int left = d[1] | (d[2] << 8);
    const int top = d[3] | (d[4] << 8);
    int width = d[5] | (d[6] << 8);
    int height = d[7] | (d[8] << 8);
    const std::uint8_t packed = d[9];
    if (width == 0 || height == 0) {
        width = image_.Width();
        height = image_.Height();
        image_.ReportWarning(this, kWarningSeverity, gifmsg::kBadFrameSize);
    }
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    const std::uint64_t screen = screenPixels(std::max(image_.Width(), left + width), std::max(image_.Height(), top + height));
    if (pixels > kMaxGifFramePixels || pixels > budget.left || screen > budget.screen)
        throw GIFException(gifmsg::kInvalidDimensions);
    budget.left -= pixels;
    SetBounds(left, top, width, height);
    packed_ = packed;
    if (packed & kLocalTableFlag) colorMap_.ReadTable(in, 2 << (packed & kTableSizeBits), (packed & kSortedFlag) != 0);
    DecodePixels(in);
}

void TGIFSubImage::DecodePixels(TByteReader& in) {
    const TGIFGraphicControlExtension* gce = GraphicControlExtension();
    std::fill(pixels_.begin(), pixels_.end(), gce && gce->Transparent() ? gce->TransparentColorIndex() : 0);
    if (in.Remaining() == 0) return;  // no image data at all: the frame keeps the fill
    auto warn = [this](const std::string& message) { image_.ReportWarning(this, kWarningSeverity, message); };
    const int minCodeSize = in.U8();
    if (minCodeSize < kMinCodeSizeLow || minCodeSize > kMinCodeSizeHigh) {
        warn(gifmsg::kInvalidData);
        TGIFDecoder(in, kMinCodeSizeLow, warn).SkipRest();
        return;
    }
    TGIFDecoder decoder(in, minCodeSize, warn);
    TGIFRowOrder rows(height_, Interlaced());
    for (int rowsDone = 0; rowsDone < height_; ++rowsDone, rows.Advance()) {
        std::uint8_t* dst = pixels_.data() + std::size_t(rows.Row()) * std::size_t(width_);
        for (int x = 0; x < width_; ++x) {
            const int pixel = decoder.Next();
            if (pixel < 0) {
                decoder.SkipRest();
                return;
            }
            dst[x] = std::uint8_t(pixel);
        }
    }
    // Codes left over (normally just the end code) are passed over with the rest of the data.
    decoder.SkipRest();
}

void TGIFImage::LoadFrames(TByteReader& in, const TGifProgress& progress) {
    TGIFSubImage::PixelBudget budget = TGIFSubImage::PixelBudget::ForStream(in.Size());
    if (screenPixels(Width(), Height()) > budget.screen) throw GIFException(gifmsg::kInvalidDimensions);
    skipZeros(in);
    while (in.Remaining() > 0) {
        const std::uint8_t b = peek(in);
        if (b == kGifTrailer) break;
        if (b != kExtensionIntroducer && b != TGIFSubImage::kSeparator) {
            ReportWarning(this, kWarningSeverity, gifmsg::kUnknownBlockType);
            break;
        }
        auto frame = std::make_unique<TGIFSubImage>(*this);
        frame->LoadFromStream(in, budget);
        if (renderOnLoad_ && !frame->Empty()) frame->RenderedBitmap();
        frames_.push_back(std::move(frame));
        progress.Step(in.Size() ? int(in.Pos() * 100 / in.Size()) : 100);
        skipZeros(in);
    }
}

void TGIFImage::LoadFromStream(TByteReader& in) {
    TGifProgress progress(onProgress_, gifmsg::kProgressLoad);
    Reset();
    const std::uint64_t start = in.Pos();
    try {
        header_.LoadFromStream(in);
        LoadFrames(in, progress);
        if (in.Remaining() > 0 && in.U8() != kGifTrailer) ReportWarning(this, kWarningSeverity, gifmsg::kBadTrailer);
    } catch (const EReadError&) {
        in.Seek(start);
        throw GIFException(gifmsg::kPrematureEnd);
    } catch (...) {
        in.Seek(start);
        throw;
    }
}

void TGIFImage::LoadFromSource(const IByteSource& src) {
    TByteReader in(src);
    LoadFromStream(in);
}

void TGIFImage::LoadFromFile(const std::filesystem::path& path) {
    std::shared_ptr<const IByteSource> src = openFileSource(path);
    LoadFromSource(*src);
}

}  // namespace gs
