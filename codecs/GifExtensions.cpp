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

void TGIFExtension::WriteLines(TByteWriter& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        for (std::size_t at = 0; at < line.size(); at += kMaxSubBlock) {
            std::size_t n = std::min(kMaxSubBlock, line.size() - at);
            out.U8(std::uint8_t(n));
            out.Chars(std::string_view(line).substr(at, n));
        }
    }
    out.U8(kTerminator);
}

void TGIFGraphicControlExtension::SetTransparent(bool on) {
    packed_ = on ? (packed_ | kTransparentFlag) : (packed_ & ~kTransparentFlag);
}

void TGIFGraphicControlExtension::SetUserInput(bool on) {
    packed_ = on ? (packed_ | kUserInputFlag) : (packed_ & ~kUserInputFlag);
}

void TGIFGraphicControlExtension::SetDisposal(int method) {
    packed_ = std::uint8_t((packed_ & ~kDisposalMask) | ((method << 2) & kDisposalMask));
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(std::uint8_t index) {
    if (SubImage()) {
        const int colors = SubImage()->EffectiveColorMap().Count();
        if (colors > 0 && index >= colors) {
            ReportWarning(gifmsg::kBadColorIndex);
            index = 0;
        }
    }
    transparentIndex_ = index;
}

void TGIFGraphicControlExtension::SaveToStream(TByteWriter& out) const {
    out.U8(kIntroducer);
    out.U8(kLabel);
    out.U8(gifformat::kGraphicControlSize);
    out.U8(packed_);
    out.U16(delay_);
    out.U8(transparentIndex_);
    out.U8(kTerminator);
}

void TGIFCommentExtension::SaveToStream(TByteWriter& out) const {
    out.U8(kIntroducer);
    out.U8(kLabel);
    WriteLines(out, lines);
}

void TGIFTextExtension::SaveToStream(TByteWriter& out) const {
    out.U8(kIntroducer);
    out.U8(kLabel);
    out.U8(gifformat::kPlainTextSize);
    out.U16(left);
    out.U16(top);
    out.U16(gridWidth);
    out.U16(gridHeight);
    out.U8(cellWidth);
    out.U8(cellHeight);
    out.U8(foregroundIndex);
    out.U8(backgroundIndex);
    WriteLines(out, lines);
}

void TGIFApplicationExtension::SaveToStream(TByteWriter& out) const {
    out.U8(kIntroducer);
    out.U8(kLabel);
    out.U8(gifformat::kApplicationIdSize);
    out.Chars(std::string_view(identifier.data(), identifier.size()));
    out.Chars(std::string_view(authentication.data(), authentication.size()));
    WriteBlocks(out);
}

void TGIFUnknownAppExtension::WriteBlocks(TByteWriter& out) const {
    for (const auto& block : blocks) {
        std::size_t n = std::min(kMaxSubBlock, block.size());
        if (n == 0) continue;  // a zero count would end the extension early
        out.U8(std::uint8_t(n));
        out.Bytes(std::span(block.data(), n));
    }
    out.U8(kTerminator);
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* subImage) : TGIFApplicationExtension(subImage) {
    identifier = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E'};
    authentication = {'2', '.', '0'};
}

void TGIFAppExtNSLoop::WriteBlocks(TByteWriter& out) const {
    out.U8(3);
    out.U8(kLoopBlockId);
    out.U16(loops);
    if (bufferSize != 0) {
        out.U8(5);
        out.U8(kBufferBlockId);
        out.U32(bufferSize);
    }
    out.U8(kTerminator);
}

}  // namespace gs
