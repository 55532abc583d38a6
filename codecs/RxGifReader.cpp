// Reading a GIF stream into frames of encoded data, and decoding a frame into an indexed
// raster on demand. Reads go through the bounds-checked reader; data that ends early is
// "Stream read error".
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "codecs/GifFormat.h"
#include "codecs/GifLzwDecoder.h"
#include "codecs/GifTypes.h"
#include "codecs/RxGif.h"
#include "platform/Errors.h"

namespace gs {

namespace {

using namespace gifformat;
constexpr std::uint8_t kImageIntroducer = kImageSeparator;
constexpr std::uint8_t kLoopIdSize = kApplicationIdSize;
constexpr int kMaxRepeatCount = 30000;
constexpr int kMinCodeSizeLow = 2, kMinCodeSizeHigh = 9;
const TRgb kMissingEntry{128, 128, 128};

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

TGIFColorTable readTable(TByteReader& in, int entries) {
    TGIFColorTable t;
    if (!in.Contains(in.Pos(), std::uint64_t(entries) * 3)) throw EReadError(kStreamRead);
    t.count = entries;
    for (std::size_t i = 0; i < std::size_t(entries); ++i) {
        const std::uint8_t r = in.U8(), g = in.U8(), b = in.U8();
        t.colors[i] = TRgb{r, g, b};
    }
    return t;
}

// The next byte that is not 0; 0 at the end of the data.
std::uint8_t nextIntroducer(TByteReader& in) {
    while (in.Remaining() > 0)
        if (std::uint8_t b = in.U8()) return b;
    return 0;
}

// Data sub-blocks as strings, up to a zero count or the end of the data.
std::vector<std::string> readSubBlocks(TByteReader& in) {
    std::vector<std::string> lines;
    while (in.Remaining() > 0) {
        std::uint8_t n = in.U8();
        if (n == 0) break;
        lines.push_back(in.Chars(n));
    }
    return lines;
}

bool isLoopingBlock(const TGIFFrame::TExtension& e) {
    if (e.header.size() != 1 + kLoopIdSize || e.header[0] != kLoopIdSize) return false;
    std::string id(e.header.begin() + 1, e.header.end());
    return (id == "NETSCAPE2.0" || id == "ANIMEXTS1.0") && !e.data.empty() && e.data[0].size() >= 3 &&
           e.data[0][0] == 1;
}


}  // namespace

void TRxGIFImage::ReadGIFStream(std::uint64_t size, TByteReader& in, bool decodeFirst) {
    Clear();
    // The picture is read where it lies, in a window of `size` bytes checked against the data.
    if (size > in.Remaining()) throw EReadError(kStreamRead);
    TByteReader r = in.Window(in.Pos(), size);
    in.Skip(size);
    if (size == 0) return;
    try {
        ReadStream(r);
    } catch (const EReadError&) {
        throw EReadError(kStreamRead);
    }
    if (frames_.empty()) return;
    frameIndex_ = 0;
    if (!decodeFirst) return;
    try {
        frames_[0]->Bitmap();
    } catch (...) {
        frames_.erase(frames_.begin());
        if (frames_.empty()) frameIndex_ = -1;
        throw;
    }
}

void TRxGIFImage::ReadStream(TByteReader& in) {
    if (lower(in.Chars(3)) != "gif") throw EInvalidGraphicOperation(rxgifmsg::kUnknownVersion);
    const std::string version = lower(in.Chars(3));
    if (version == "87a")
        version_ = TGIFVersion::gv87a;
    else if (version == "89a")
        version_ = TGIFVersion::gv89a;
    else
        throw EInvalidGraphicOperation(rxgifmsg::kUnknownVersion);
    screenWidth_ = in.U16();
    screenHeight_ = in.U16();
    // Every frame is kept once decoded: all of them together stay within the stream's budget.
    framePixelsLeft_ = kGifPixelsAnySize + kGifPixelsPerStreamByte * in.Size();
    const std::uint8_t flags = in.U8();
    const std::uint8_t background = in.U8();
    data_->aspectRatio = in.U8();
    data_->bitsPerPixel = std::uint8_t((flags & 7) + 1);
    data_->colorResBits = std::uint8_t(((flags >> 4) & 7) + 1);
    if (flags & 0x80) {
        data_->colorTable = readTable(in, 1 << data_->bitsPerPixel);
        if (background < data_->colorTable.count) backgroundColor = colorOf(data_->colorTable.colors[background]);
    }

    std::vector<TGIFFrame::TExtension> gathered;
    std::uint8_t introducer = nextIntroducer(in);
    while (introducer != 0 && introducer != kGifTrailer) {
        while (introducer == kExtensionIntroducer) {
            TGIFFrame::TExtension e;
            const std::uint8_t label = in.U8();
            switch (label) {
                case kLabelGraphicControl:
                    e.kind = TGIFFrame::TExtension::ekGraphicControl;
                    e.header = in.Bytes(kGraphicControlBytes);
                    gathered.push_back(std::move(e));
                    break;
                case kLabelComment:
                    e.kind = TGIFFrame::TExtension::ekComment;
                    e.data = readSubBlocks(in);
                    gathered.push_back(std::move(e));
                    break;
                case kLabelPlainText:
                    in.Bytes(kPlainTextBytes);
                    readSubBlocks(in);
                    gathered.clear();
                    break;
                case kLabelApplication: {
                    // Read by its own block size: a looping block needs all 11 identifier bytes.
                    const std::uint8_t n = in.U8();
                    e.kind = TGIFFrame::TExtension::ekApplication;
                    e.header = in.Bytes(n);
                    e.header.insert(e.header.begin(), n);
                    e.data = readSubBlocks(in);
                    if (isLoopingBlock(e)) {
                        looping = true;
                        const auto& d = e.data[0];
                        repeatCount = std::uint16_t(std::min(std::uint8_t(d[1]) + 256 * std::uint8_t(d[2]), kMaxRepeatCount));
                    }
                    break;
                }
                default: {
                    char text[64];
                    std::snprintf(text, sizeof text, "Unrecognized extension block: %.2x", label);
                    throw EInvalidGraphicOperation(text);
                }
            }
            if (in.Remaining() == 0) {
                introducer = kGifTrailer;
                break;
            }
            introducer = nextIntroducer(in);
        }
        if (introducer == kImageIntroducer) {
            ReadFrame(in, gathered);
            if (in.Remaining() == 0) {
                introducer = kGifTrailer;
            } else {
                introducer = nextIntroducer(in);
                if (introducer != kExtensionIntroducer && introducer != kImageIntroducer && introducer != kGifTrailer)
                    introducer = 0;  // reading stops quietly
            }
        } else if (data_->comment.empty() && !gathered.empty()) {
            for (const auto& e : gathered) {
                if (e.kind != TGIFFrame::TExtension::ekComment) continue;
                if (!data_->comment.empty()) data_->comment.push_back("\r\n\r\n");
                data_->comment.insert(data_->comment.end(), e.data.begin(), e.data.end());
            }
            gathered.clear();
        } else if (introducer != 0 && introducer != kGifTrailer) {
            throw EReadError(kStreamRead);
        }
    }
}

void TRxGIFImage::ReadFrame(TByteReader& in, std::vector<TGIFFrame::TExtension>& gathered) {
    auto frame = std::make_unique<TGIFFrame>(*this);
    TRxGIFItem& item = *frame->item_;
    if (data_->colorTable.count > 0) {
        const int count = data_->colorTable.count;
        if (count < 2 || (count & (count - 1)) != 0) throw EInvalidGraphicOperation(rxgifmsg::kWrongColorCount);
        item.bitsPerPixel = std::uint8_t(data_->colorTable.Bits());
    }
    frame->extensions_ = std::move(gathered);
    gathered.clear();

    frame->left = in.U16();
    frame->top = in.U16();
    int width = in.U16();
    int height = in.U16();
    item.flags = in.U8();
    frame->interlaced = (item.flags & 0x40) != 0;
    if (item.flags & 0x80) {
        item.bitsPerPixel = std::uint8_t((item.flags & 7) + 1);
        item.colorTable = readTable(in, 1 << item.bitsPerPixel);
        frame->localColors = true;
    } else {
        // Taken before the control blocks are read: their transparent index refers to it.
        item.colorTable = data_->colorTable;
    }

    if (in.Remaining() > 0) item.encoded.push_back(in.U8());
    while (in.Remaining() > 0) {
        const std::uint8_t n = in.U8();
        item.encoded.push_back(n);
        if (n == 0) break;
        if (n > in.Remaining()) {
            if (!tolerant) throw EReadError(kStreamRead);
            frame->corrupted = true;
            TBytes rest = in.Bytes(in.Remaining());
            item.encoded.insert(item.encoded.end(), rest.begin(), rest.end());
            break;
        }
        TBytes block = in.Bytes(n);
        item.encoded.insert(item.encoded.end(), block.begin(), block.end());
    }

    if (width == 0) width = screenWidth_;
    if (height == 0) height = screenHeight_;
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    if (pixels > kMaxGifFramePixels || pixels > framePixelsLeft_) throw EInvalidGraphicOperation(rxgifmsg::kCorrupt);
    framePixelsLeft_ -= pixels;
    item.width = width;
    item.height = height;

    for (const auto& e : frame->extensions_) {
        if (e.kind != TGIFFrame::TExtension::ekGraphicControl) continue;
        const std::uint8_t flags = e.header[1];
        const int index = e.header[4];
        if (!(flags & 1))
            frame->transparentColor = clNone;
        else if (index < item.colorTable.count)
            frame->transparentColor = colorOf(item.colorTable.colors[std::size_t(index)]);
        frame->delay = std::max(frame->delay, 10 * (e.header[2] | (e.header[3] << 8)));
        frame->disposal = std::uint8_t((flags >> 2) & 7);
    }
    frames_.push_back(std::move(frame));
}

void TGIFFrame::Decode() {
    const TRxGIFItem& item = *item_;
    const int bits = item.bitsPerPixel;
    PixelFormat pf;
    if (bits == 1)
        pf = PixelFormat::pf1bit;
    else if (bits >= 2 && bits <= 4)
        pf = PixelFormat::pf4bit;
    else if (bits >= 5 && bits <= 8)
        pf = PixelFormat::pf8bit;
    else
        throw EInvalidGraphicOperation(rxgifmsg::kWrongColorCount);
    if (std::uint64_t(item.width) * std::uint64_t(item.height) > kMaxGifFramePixels)
        throw EInvalidGraphicOperation(rxgifmsg::kCorrupt);
    TRaster picture(item.width, item.height, pf);
    std::vector<TRgb> palette(std::size_t(1) << bitCountOf(pf), kMissingEntry);
    std::copy_n(item.colorTable.colors.begin(), std::min<std::size_t>(std::size_t(item.colorTable.count), palette.size()),
                palette.begin());
    picture.SetPalette(std::move(palette));

    TSpanSource src(item.encoded);
    TByteReader in(src);
    bool damaged = src.Size() == 0 && item.width > 0 && item.height > 0;
    if (src.Size() > 0) {
        TGifProgress progress(owner_.onProgress, "");
        int minCodeSize = in.U8();
        if (minCodeSize < kMinCodeSizeLow || minCodeSize > kMinCodeSizeHigh) {
            if (!owner_.tolerant) throw EInvalidGraphicOperation(rxgifmsg::kCodeSizeRange);
            minCodeSize = std::clamp(minCodeSize, kMinCodeSizeLow, kMinCodeSizeHigh);
            damaged = true;
        }
        TGIFDecoder decoder(in, minCodeSize, [&](const std::string&) { damaged = true; });
        const int mask = (1 << bits) - 1;
        TGIFRowOrder rows(item.height, interlaced);
        bool done = false;
        for (int n = 0; n < item.height && !done; ++n, rows.Advance()) {
            for (int x = 0; x < item.width; ++x) {
                const int pixel = decoder.Next();
                if (pixel == TGIFDecoder::kInvalid && !owner_.tolerant) throw EInvalidGraphicOperation(rxgifmsg::kCorrupt);
                if (pixel == TGIFDecoder::kEndOfData && !owner_.tolerant) throw EReadError(kStreamRead);
                if (pixel < 0) {
                    damaged = damaged || pixel != TGIFDecoder::kEndCode;
                    done = true;
                    break;
                }
                picture.SetIndexAt(x, rows.Row(), std::uint8_t(pixel & mask));
            }
            progress.Step(int(in.Pos() * 100 / src.Size()));
        }
    }
    corrupted = corrupted || damaged;
    bitmap_ = std::move(picture);
}

}  // namespace gs
