#include "codecs/GifExtensions.h"

#include <algorithm>

#include "codecs/GifSubImage.h"
#include "codecs/GifTypes.h"

namespace gs {

namespace {
constexpr std::size_t kMaxSubBlock = 255;
constexpr std::uint8_t kTerminator = 0;
constexpr std::uint8_t kLoopBlockId = 1;
constexpr std::uint8_t kBufferBlockId = 2;
}  // namespace

void TGIFExtension::writeLines(ByteWriter& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        for (std::size_t at = 0; at < line.size(); at += kMaxSubBlock) {
            std::size_t n = std::min(kMaxSubBlock, line.size() - at);
            out.u8(std::uint8_t(n));
            out.chars(std::string_view(line).substr(at, n));
        }
    }
    out.u8(kTerminator);
}

void TGIFGraphicControlExtension::setTransparent(bool on) {
    packed_ = on ? (packed_ | kTransparentFlag) : (packed_ & ~kTransparentFlag);
}

void TGIFGraphicControlExtension::setUserInput(bool on) {
    packed_ = on ? (packed_ | kUserInputFlag) : (packed_ & ~kUserInputFlag);
}

void TGIFGraphicControlExtension::setDisposal(int method) {
    packed_ = std::uint8_t((packed_ & ~kDisposalMask) | ((method << 2) & kDisposalMask));
}

void TGIFGraphicControlExtension::setTransparentColorIndex(std::uint8_t index) {
    if (subImage()) {
        const int colors = subImage()->effectiveColorMap().count();
        if (colors > 0 && index >= colors) {
            reportWarning(gifmsg::kBadColorIndex);
            index = 0;
        }
    }
    transparentIndex_ = index;
}

void TGIFGraphicControlExtension::saveToStream(ByteWriter& out) const {
    out.u8(kIntroducer);
    out.u8(kLabel);
    out.u8(gifformat::kGraphicControlSize);
    out.u8(packed_);
    out.u16(delay_);
    out.u8(transparentIndex_);
    out.u8(kTerminator);
}

void TGIFCommentExtension::saveToStream(ByteWriter& out) const {
    out.u8(kIntroducer);
    out.u8(kLabel);
    writeLines(out, lines);
}

void TGIFTextExtension::saveToStream(ByteWriter& out) const {
    out.u8(kIntroducer);
    out.u8(kLabel);
    out.u8(gifformat::kPlainTextSize);
    out.u16(left);
    out.u16(top);
    out.u16(gridWidth);
    out.u16(gridHeight);
    out.u8(cellWidth);
    out.u8(cellHeight);
    out.u8(foregroundIndex);
    out.u8(backgroundIndex);
    writeLines(out, lines);
}

void TGIFApplicationExtension::saveToStream(ByteWriter& out) const {
    out.u8(kIntroducer);
    out.u8(kLabel);
    out.u8(gifformat::kApplicationIdSize);
    out.chars(std::string_view(identifier.data(), identifier.size()));
    out.chars(std::string_view(authentication.data(), authentication.size()));
    writeBlocks(out);
}

void TGIFUnknownAppExtension::writeBlocks(ByteWriter& out) const {
    for (const auto& block : blocks) {
        std::size_t n = std::min(kMaxSubBlock, block.size());
        if (n == 0) continue;  // a zero count would end the extension early
        out.u8(std::uint8_t(n));
        out.bytes(std::span(block.data(), n));
    }
    out.u8(kTerminator);
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* subImage) : TGIFApplicationExtension(subImage) {
    identifier = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E'};
    authentication = {'2', '.', '0'};
}

void TGIFAppExtNSLoop::writeBlocks(ByteWriter& out) const {
    out.u8(3);
    out.u8(kLoopBlockId);
    out.u16(loops);
    if (bufferSize != 0) {
        out.u8(5);
        out.u8(kBufferBlockId);
        out.u32(bufferSize);
    }
    out.u8(kTerminator);
}

}  // namespace gs
