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

bool isGifSignature(const Bytes& b) {
    return std::toupper(b[0]) == 'G' && std::toupper(b[1]) == 'I' && std::toupper(b[2]) == 'F';
}

// Pixels a stream of this size may make us allocate (CodecBounds.h): for its frames together,
// and again for its screen, which is checked when the header is read and before each frame,
// which may widen it.
std::uint64_t streamBudget(std::uint64_t streamSize) { return kGifPixelsAnySize + kGifPixelsPerStreamByte * streamSize; }

std::uint64_t screenPixels(int width, int height) { return std::uint64_t(width) * std::uint64_t(height); }

std::uint8_t peek(const ByteReader& in) { return ByteReader(in.source(), in.pos()).u8(); }

void skipZeros(ByteReader& in) {
    while (in.remaining() > 0 && peek(in) == 0) in.skip(1);
}

}  // namespace

void TGIFColorMap::readTable(ByteReader& in, int entries, bool sorted) {
    reset();
    entries = std::min(entries, kMaxColors);
    Bytes b = readGifBytes(in, std::uint64_t(entries) * 3);
    for (int i = 0; i < entries; ++i)
        colors_[std::size_t(i)] = Rgb{b[std::size_t(i) * 3], b[std::size_t(i) * 3 + 1], b[std::size_t(i) * 3 + 2]};
    count_ = entries;
    optimized_ = sorted;
}

void TGIFHeader::loadFromStream(ByteReader& in) {
    const std::uint64_t start = in.pos();
    Bytes signature = readGifBytes(in, kSignatureSize);
    if (!isGifSignature(signature)) {
        in.seek(start + kPrefixSize);
        signature = readGifBytes(in, kSignatureSize);
        if (!isGifSignature(signature)) throw GIFException(gifmsg::kInvalidSignature);
    }
    // Any version text is taken: what a reader needs is in the blocks.
    Bytes d = readGifBytes(in, gifformat::kScreenDescriptorSize);
    width = std::uint16_t(d[0] | (d[1] << 8));
    height = std::uint16_t(d[2] | (d[3] << 8));
    const std::uint8_t packed = d[4];
    backgroundIndex = d[5];
    aspectRatio = d[6];
    if (packed & kGlobalTableFlag)
        colorMap_.readTable(in, 2 << (packed & kTableSizeBits), (packed & kSortedFlag) != 0);
    else
        colorMap_.reset();
}

void TGIFSubImage::loadExtensions(ByteReader& in) {
    while (in.remaining() > 0) {
        const std::uint8_t b = peek(in);
        if (b == kSeparator || b == kGifTrailer) return;
        if (b != kExtensionIntroducer) {
            image_.reportWarning(this, kWarningSeverity, gifmsg::kBadExtensionIntroducer);
            return;
        }
        std::unique_ptr<TGIFExtension> extension = makeExtensionFor(in, this);
        extension->loadFromStream(in);
        addExtension(std::move(extension));
    }
}

TGIFSubImage::PixelBudget TGIFSubImage::PixelBudget::forStream(std::uint64_t bytes) {
    const std::uint64_t pixels = streamBudget(bytes);
    return PixelBudget{pixels, std::min(kMaxGifScreenPixels, pixels)};
}

void TGIFSubImage::loadFromStream(ByteReader& in, PixelBudget& budget) {
    reset();
    loadExtensions(in);
    if (in.remaining() == 0) return;
    const std::uint8_t next = peek(in);
    if (next == kGifTrailer || next == 0) return;  // a frame of extensions only

    Bytes d = readGifBytes(in, 10);
    const int left = d[1] | (d[2] << 8);
    const int top = d[3] | (d[4] << 8);
    int width = d[5] | (d[6] << 8);
    int height = d[7] | (d[8] << 8);
    const std::uint8_t packed = d[9];
    if (width == 0 || height == 0) {
        width = image_.width();
        height = image_.height();
        image_.reportWarning(this, kWarningSeverity, gifmsg::kBadFrameSize);
    }
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    const std::uint64_t screen = screenPixels(std::max(image_.width(), left + width), std::max(image_.height(), top + height));
    if (pixels > kMaxGifFramePixels || pixels > budget.left || screen > budget.screen)
        throw GIFException(gifmsg::kInvalidDimensions);
    budget.left -= pixels;
    setBounds(left, top, width, height);
    packed_ = packed;
    if (packed & kLocalTableFlag) colorMap_.readTable(in, 2 << (packed & kTableSizeBits), (packed & kSortedFlag) != 0);
    decodePixels(in);
}

void TGIFSubImage::decodePixels(ByteReader& in) {
    const TGIFGraphicControlExtension* gce = graphicControlExtension();
    std::fill(pixels_.begin(), pixels_.end(), gce && gce->transparent() ? gce->transparentColorIndex() : 0);
    if (in.remaining() == 0) return;  // no image data at all: the frame keeps the fill
    auto warn = [this](const std::string& message) { image_.reportWarning(this, kWarningSeverity, message); };
    const int minCodeSize = in.u8();
    if (minCodeSize < kMinCodeSizeLow || minCodeSize > kMinCodeSizeHigh) {
        warn(gifmsg::kInvalidData);
        TGIFDecoder(in, kMinCodeSizeLow, warn).skipRest();
        return;
    }
    TGIFDecoder decoder(in, minCodeSize, warn);
    TGIFRowOrder rows(height_, interlaced());
    for (int rowsDone = 0; rowsDone < height_; ++rowsDone, rows.advance()) {
        std::uint8_t* dst = pixels_.data() + std::size_t(rows.row()) * std::size_t(width_);
        for (int x = 0; x < width_; ++x) {
            const int pixel = decoder.next();
            if (pixel < 0) {
                decoder.skipRest();
                return;
            }
            dst[x] = std::uint8_t(pixel);
        }
    }
    // Codes left over (normally just the end code) are passed over with the rest of the data.
    decoder.skipRest();
}

void TGIFImage::loadFrames(ByteReader& in, const GifProgress& progress) {
    TGIFSubImage::PixelBudget budget = TGIFSubImage::PixelBudget::forStream(in.size());
    if (screenPixels(width(), height()) > budget.screen) throw GIFException(gifmsg::kInvalidDimensions);
    skipZeros(in);
    while (in.remaining() > 0) {
        const std::uint8_t b = peek(in);
        if (b == kGifTrailer) break;
        if (b != kExtensionIntroducer && b != TGIFSubImage::kSeparator) {
            reportWarning(this, kWarningSeverity, gifmsg::kUnknownBlockType);
            break;
        }
        auto frame = std::make_unique<TGIFSubImage>(*this);
        frame->loadFromStream(in, budget);
        if (renderOnLoad_ && !frame->empty()) frame->renderedBitmap();
        frames_.push_back(std::move(frame));
        progress.step(in.size() ? int(in.pos() * 100 / in.size()) : 100);
        skipZeros(in);
    }
}

void TGIFImage::loadFromStream(ByteReader& in) {
    GifProgress progress(onProgress_, gifmsg::kProgressLoad);
    reset();
    const std::uint64_t start = in.pos();
    try {
        header_.loadFromStream(in);
        loadFrames(in, progress);
        if (in.remaining() > 0 && in.u8() != kGifTrailer) reportWarning(this, kWarningSeverity, gifmsg::kBadTrailer);
    } catch (const EReadError&) {
        in.seek(start);
        throw GIFException(gifmsg::kPrematureEnd);
    } catch (...) {
        in.seek(start);
        throw;
    }
}

void TGIFImage::loadFromSource(const ByteSource& src) {
    ByteReader in(src);
    loadFromStream(in);
}

void TGIFImage::loadFromFile(const std::filesystem::path& path) {
    std::shared_ptr<const ByteSource> src = openFileSource(path);
    loadFromSource(*src);
}

}  // namespace gs
