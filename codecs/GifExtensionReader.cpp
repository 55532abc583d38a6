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

struct LabelEntry {
    std::uint8_t label;
    Factory factory;
};
constexpr LabelEntry kExtensionRegistry[] = {
    {TGIFTextExtension::kLabel, make<TGIFTextExtension>},
    {TGIFGraphicControlExtension::kLabel, make<TGIFGraphicControlExtension>},
    {TGIFCommentExtension::kLabel, make<TGIFCommentExtension>},
    {TGIFApplicationExtension::kLabel, make<TGIFUnknownAppExtension>},
};

struct AppEntry {
    std::string_view identifier;  // 8 identifier bytes and 3 authentication bytes
    Factory factory;
};
constexpr AppEntry kAppExtensionRegistry[] = {
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

Bytes readGifBytes(ByteReader& in, std::uint64_t n) {
    if (in.remaining() < n) throw GIFException(gifmsg::kPrematureEnd);
    return in.bytes(n);
}

std::unique_ptr<TGIFExtension> makeExtensionFor(const ByteReader& at, TGIFSubImage* subImage) {
    ByteReader in(at.source(), at.pos());
    in.skip(1);  // the introducer
    if (in.remaining() < 1) throw GIFException(gifmsg::kPrematureEnd);
    const std::uint8_t label = in.u8();
    Factory factory = findBackwards(kExtensionRegistry, [&](const LabelEntry& e) { return e.label == label; });
    if (!factory) throw GIFException(gifmsg::kUnknownExtension);
    if (label == TGIFApplicationExtension::kLabel && in.remaining() >= 1 + kAppIdSize && in.u8() == kAppIdSize) {
        const std::string id = in.chars(kAppIdSize);
        if (Factory known = findBackwards(kAppExtensionRegistry, [&](const AppEntry& e) { return e.identifier == id; }))
            factory = known;
    }
    return factory(subImage);
}

void TGIFExtension::reportWarning(const std::string& message) const {
    if (subImage_) subImage_->image().reportWarning(this, kWarningSeverity, message);
}

void TGIFExtension::loadFromStream(ByteReader& in) {
    Bytes head = readGifBytes(in, 2);
    if (head[0] != kIntroducer) throw GIFException(gifmsg::kBadExtensionIntroducer);
    if (head[1] != extensionLabel()) throw GIFException(gifmsg::kExtensionMismatch);
    loadBody(in);
}

std::vector<std::string> TGIFExtension::readLines(ByteReader& in) {
    std::vector<std::string> lines;
    while (in.remaining() > 0) {
        std::uint8_t count = in.u8();
        if (count == 0) break;
        Bytes b = readGifBytes(in, count);
        lines.emplace_back(b.begin(), b.end());
    }
    return lines;
}

void TGIFGraphicControlExtension::loadBody(ByteReader& in) {
    if (in.remaining() < gifformat::kGraphicControlBytes) {
        // The extension stays, with what it had; the frame reading goes on from here.
        reportWarning(gifmsg::kPrematureEnd);
        in.skip(in.remaining());
        return;
    }
    in.u8();  // block size
    packed_ = in.u8();
    delay_ = in.u16();
    transparentIndex_ = in.u8();  // kept as read, whatever the colour table holds
    in.u8();                      // terminator
}

void TGIFCommentExtension::loadBody(ByteReader& in) { lines = readLines(in); }

void TGIFTextExtension::loadBody(ByteReader& in) {
    Bytes b = readGifBytes(in, gifformat::kPlainTextBytes);
    auto u16at = [&](std::size_t i) { return std::uint16_t(b[i] | (b[i + 1] << 8)); };
    left = u16at(1);
    top = u16at(3);
    gridWidth = u16at(5);
    gridHeight = u16at(7);
    cellWidth = b[9];
    cellHeight = b[10];
    foregroundIndex = b[11];
    backgroundIndex = b[12];
    lines = readLines(in);
}

void TGIFApplicationExtension::loadBody(ByteReader& in) {
    const std::uint8_t size = readGifBytes(in, 1)[0];
    if (size < kShortAppIdSize) throw GIFException(gifmsg::kUnsupportedAppBlockSize);
    Bytes id = readGifBytes(in, std::min(size, kAppIdSize));
    id.resize(kAppIdSize, 0);
    std::copy_n(id.begin(), identifier.size(), identifier.begin());
    std::copy_n(id.begin() + std::ptrdiff_t(identifier.size()), authentication.size(), authentication.begin());
    if (size > kAppIdSize) readGifBytes(in, size - kAppIdSize);  // the rest of an oversized block
    readBlocks(in);
}

void TGIFUnknownAppExtension::readBlocks(ByteReader& in) {
    blocks.clear();
    while (in.remaining() > 0) {
        std::uint8_t count = in.u8();
        if (count == 0) break;
        blocks.push_back(readGifBytes(in, count));
    }
}

void TGIFAppExtNSLoop::readBlocks(ByteReader& in) {
    for (;;) {
        const std::uint8_t count = readGifBytes(in, 1)[0];
        if (count == 0) break;
        Bytes b = readGifBytes(in, count);
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
