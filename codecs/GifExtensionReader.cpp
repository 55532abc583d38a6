// Reading the extension blocks, and the two registries that say which class reads a block:
// by label, and for application blocks by their identifier. Both are searched from the
// last entry back, so a later entry overrides an earlier one.
#include <algorithm>
#include <iterator>
#include <string_view>

#include "codecs/GifFormat.h"
#include "codecs/GifExtensions.h"
#include "codecs/GifImage.h"
#include "codecs/GifSubImage.h"
#include "codecs/GifTypes.h"

namespace gs {

namespace {

constexpr std::uint8_t kAppIdSize = gifformat::kApplicationIdSize;
constexpr std::uint8_t kShortAppIdSize = 10;
constexpr std::uint8_t kLoopBlockId = 1;
constexpr std::uint8_t kBufferBlockId = 2;
constexpr std::uint8_t kSubBlockIdMask = 0x07;

using Factory = std::unique_ptr<TGIFExtension> (*)(TGIFSubImage*);

template <class T>
std::unique_ptr<TGIFExtension> make(TGIFSubImage* subImage) {
    return std::make_unique<T>(subImage);
}

struct TLabelEntry {
    std::uint8_t label;
    Factory factory;
};
constexpr TLabelEntry kExtensionRegistry[] = {
    {TGIFTextExtension::kLabel, make<TGIFTextExtension>},
    {TGIFGraphicControlExtension::kLabel, make<TGIFGraphicControlExtension>},
    {TGIFCommentExtension::kLabel, make<TGIFCommentExtension>},
    {TGIFApplicationExtension::kLabel, make<TGIFUnknownAppExtension>},
};

struct TAppEntry {
    std::string_view identifier;  // 8 identifier bytes and 3 authentication bytes
    Factory factory;
};
constexpr TAppEntry kAppExtensionRegistry[] = {
    {"NETSCAPE2.0", make<TGIFAppExtNSLoop>},
    {"ANIMEXTS1.0", make<TGIFAppExtNSLoop>},
};

template <class Table, class Match>
Factory findBackwards(const Table& table, Match match) {
    for (auto it = std::rbegin(table); it != std::rend(table); ++it)
        if (match(*it)) return it->factory;
    return nullptr;
}

}  // namespace

TBytes readGifBytes(TByteReader& in, std::uint64_t n) {
    if (in.Remaining() < n) throw GIFException(gifmsg::kPrematureEnd);
    return in.Bytes(n);
}

std::unique_ptr<TGIFExtension> makeExtensionFor(const TByteReader& at, TGIFSubImage* subImage) {
    TByteReader in(at.Source(), at.Pos());
    in.Skip(1);  // the introducer
    if (in.Remaining() < 1) throw GIFException(gifmsg::kPrematureEnd);
    const std::uint8_t label = in.U8();
    Factory factory = findBackwards(kExtensionRegistry, [&](const TLabelEntry& e) { return e.label == label; });
    if (!factory) throw GIFException(gifmsg::kUnknownExtension);
    if (label == TGIFApplicationExtension::kLabel && in.Remaining() >= 1 + kAppIdSize && in.U8() == kAppIdSize) {
        const std::string id = in.Chars(kAppIdSize);
        if (Factory known = findBackwards(kAppExtensionRegistry, [&](const TAppEntry& e) { return e.identifier == id; }))
            factory = known;
    }
    return factory(subImage);
}

void TGIFExtension::ReportWarning(const std::string& message) const {
    if (subImage_) subImage_->Image().ReportWarning(this, kWarningSeverity, message);
}

void TGIFExtension::LoadFromStream(TByteReader& in) {
    TBytes head = readGifBytes(in, 2);
    if (head[0] != kIntroducer) throw GIFException(gifmsg::kBadExtensionIntroducer);
    if (head[1] != ExtensionLabel()) throw GIFException(gifmsg::kExtensionMismatch);
    LoadBody(in);
}

std::vector<std::string> TGIFExtension::ReadLines(TByteReader& in) {
    std::vector<std::string> lines;
    while (in.Remaining() > 0) {
        std::uint8_t count = in.U8();
        if (count == 0) break;
        TBytes b = readGifBytes(in, count);
        lines.emplace_back(b.begin(), b.end());
    }
    return lines;
}

void TGIFGraphicControlExtension::LoadBody(TByteReader& in) {
    if (in.Remaining() < gifformat::kGraphicControlBytes) {
        // The extension stays, with what it had; the frame reading goes on from here.
        ReportWarning(gifmsg::kPrematureEnd);
        in.Skip(in.Remaining());
        return;
    }
    in.U8();  // block size
    packed_ = in.U8();
    delay_ = in.U16();
    transparentIndex_ = in.U8();  // kept as read, whatever the colour table holds
    in.U8();                      // terminator
}

void TGIFCommentExtension::LoadBody(TByteReader& in) { lines = ReadLines(in); }

void TGIFTextExtension::LoadBody(TByteReader& in) {
    TBytes b = readGifBytes(in, gifformat::kPlainTextBytes);
    auto u16at = [&](std::size_t i) { return std::uint16_t(b[i] | (b[i + 1] << 8)); };
    left = u16at(1);
    top = u16at(3);
    gridWidth = u16at(5);
    gridHeight = u16at(7);
    cellWidth = b[9];
    cellHeight = b[10];
    foregroundIndex = b[11];
    backgroundIndex = b[12];
    lines = ReadLines(in);
}

void TGIFApplicationExtension::LoadBody(TByteReader& in) {
    const std::uint8_t size = readGifBytes(in, 1)[0];
    if (size < kShortAppIdSize) throw GIFException(gifmsg::kUnsupportedAppBlockSize);
    TBytes id = readGifBytes(in, std::min(size, kAppIdSize));
    id.resize(kAppIdSize, 0);
    std::copy_n(id.begin(), identifier.size(), identifier.begin());
    std::copy_n(id.begin() + std::ptrdiff_t(identifier.size()), authentication.size(), authentication.begin());
    if (size > kAppIdSize) readGifBytes(in, size - kAppIdSize);  // the rest of an oversized block
    ReadBlocks(in);
}

void TGIFUnknownAppExtension::ReadBlocks(TByteReader& in) {
    blocks.clear();
    while (in.Remaining() > 0) {
        std::uint8_t count = in.U8();
        if (count == 0) break;
        blocks.push_back(readGifBytes(in, count));
    }
}

void TGIFAppExtNSLoop::ReadBlocks(TByteReader& in) {
    for (;;) {
        const std::uint8_t count = readGifBytes(in, 1)[0];
        if (count == 0) break;
        TBytes b = readGifBytes(in, count);
        switch (b[0] & kSubBlockIdMask) {
            case kLoopBlockId:
                if (count < 3) throw GIFException(gifmsg::kInvalidData);
                loops = std::uint16_t(b[1] | (b[2] << 8));
                break;
            case kBufferBlockId:
                if (count < 5) throw GIFException(gifmsg::kInvalidData);
                bufferSize = std::uint32_t(b[1]) | (std::uint32_t(b[2]) << 8) | (std::uint32_t(b[3]) << 16) |
                             (std::uint32_t(b[4]) << 24);
                break;
            default:
                break;
        }
    }
}

}  // namespace gs
