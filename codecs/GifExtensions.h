#pragma once
// The extension blocks a frame can carry. Every extension kind belongs to GIF 89a.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "codecs/GifFormat.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace gs {

class TGIFSubImage;

class TGIFExtension {
public:
    static constexpr std::uint8_t kIntroducer = gifformat::kExtensionIntroducer;

    explicit TGIFExtension(TGIFSubImage* subImage) : subImage_(subImage) {}
    virtual ~TGIFExtension() = default;
    TGIFExtension& operator=(const TGIFExtension&) = delete;

    TGIFSubImage* SubImage() const { return subImage_; }
    int ItemVersion() const { return 2; }
    virtual std::uint8_t ExtensionLabel() const = 0;
    virtual void SaveToStream(TByteWriter& out) const = 0;
    // Reads the introducer, the label (which must be this kind's) and the block.
    void LoadFromStream(TByteReader& in);
    // The block alone in a file of its own (written whole), and read back from one.
    void SaveToNamedFile(const std::filesystem::path& path) const;
    void LoadFromNamedFile(const std::filesystem::path& path);
    // A copy of this extension belonging to another frame.
    virtual std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* subImage) const = 0;

protected:
    // Copies are made only through Clone(), which gives them their new frame.
    TGIFExtension(const TGIFExtension&) = default;
    template <class T>
    static std::unique_ptr<TGIFExtension> CloneAs(const T& self, TGIFSubImage* subImage) {
        std::unique_ptr<T> copy(new T(self));
        copy->subImage_ = subImage;
        return copy;
    }
    // Texts are written as data sub-blocks of at most 255 bytes (an empty line writes
    // nothing), then the block terminator.
    static void WriteLines(TByteWriter& out, const std::vector<std::string>& lines);
    // Each data sub-block one line, up to a zero count or the end of the stream.
    static std::vector<std::string> ReadLines(TByteReader& in);
    // Everything after the label.
    virtual void LoadBody(TByteReader& in) = 0;
    void ReportWarning(const std::string& message) const;

private:
    TGIFSubImage* subImage_;
};

class TGIFGraphicControlExtension final : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = gifformat::kLabelGraphicControl;
    static constexpr std::uint8_t kTransparentFlag = 0x01;
    static constexpr std::uint8_t kUserInputFlag = 0x02;
    static constexpr std::uint8_t kDisposalMask = 0x1C;

    using TGIFExtension::TGIFExtension;
    std::uint8_t ExtensionLabel() const override { return kLabel; }
    void SaveToStream(TByteWriter& out) const override;
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* subImage) const override { return CloneAs(*this, subImage); }

    bool Transparent() const { return (packed_ & kTransparentFlag) != 0; }
    void SetTransparent(bool on);
    bool UserInput() const { return (packed_ & kUserInputFlag) != 0; }
    void SetUserInput(bool on);
    int Disposal() const { return (packed_ & kDisposalMask) >> 2; }
    void SetDisposal(int method);
    std::uint16_t Delay() const { return delay_; }
    void SetDelay(std::uint16_t hundredths) { delay_ = hundredths; }
    std::uint8_t TransparentColorIndex() const { return transparentIndex_; }
    // An index at or beyond the count of the frame's active colour table (when it has
    // colours) warns "Invalid color index" and stores 0, so a written frame never points
    // past its table.
    void SetTransparentColorIndex(std::uint8_t index);

protected:
    void LoadBody(TByteReader& in) override;

private:
    std::uint8_t packed_ = 0;
    std::uint16_t delay_ = 0;
    std::uint8_t transparentIndex_ = 0;
};

class TGIFCommentExtension final : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = gifformat::kLabelComment;

    using TGIFExtension::TGIFExtension;
    std::uint8_t ExtensionLabel() const override { return kLabel; }
    void SaveToStream(TByteWriter& out) const override;
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* subImage) const override { return CloneAs(*this, subImage); }

    std::vector<std::string> lines;

protected:
    void LoadBody(TByteReader& in) override;
};

class TGIFTextExtension final : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = 0x01;

    using TGIFExtension::TGIFExtension;
    std::uint8_t ExtensionLabel() const override { return kLabel; }
    void SaveToStream(TByteWriter& out) const override;
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* subImage) const override { return CloneAs(*this, subImage); }

    std::uint16_t left = 0, top = 0, gridWidth = 0, gridHeight = 0;
    std::uint8_t cellWidth = 0, cellHeight = 0, foregroundIndex = 0, backgroundIndex = 0;
    std::vector<std::string> lines;

protected:
    void LoadBody(TByteReader& in) override;
};

class TGIFApplicationExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t kLabel = gifformat::kLabelApplication;

    using TGIFExtension::TGIFExtension;
    std::uint8_t ExtensionLabel() const override { return kLabel; }
    void SaveToStream(TByteWriter& out) const override;

    std::array<char, 8> identifier{};
    std::array<char, 3> authentication{};

protected:
    // The block size and identifier: 10 is taken as an identifier one byte short, a larger
    // block keeps its first 11 bytes, a smaller one raises "Unsupported Application
    // Extension block size". Then the data sub-blocks.
    void LoadBody(TByteReader& in) override;
    // The application data sub-blocks and the terminator.
    virtual void WriteBlocks(TByteWriter& out) const = 0;
    virtual void ReadBlocks(TByteReader& in) = 0;
};

// An application extension kept as its raw sub-blocks.
class TGIFUnknownAppExtension final : public TGIFApplicationExtension {
public:
    using TGIFApplicationExtension::TGIFApplicationExtension;
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* subImage) const override { return CloneAs(*this, subImage); }

    // Each block is one data sub-block; blocks longer than 255 bytes are cut at 255.
    std::vector<std::vector<std::uint8_t>> blocks;

protected:
    void WriteBlocks(TByteWriter& out) const override;
    void ReadBlocks(TByteReader& in) override;
};

// The loop-count extension that animated GIFs carry.
class TGIFAppExtNSLoop final : public TGIFApplicationExtension {
public:
    explicit TGIFAppExtNSLoop(TGIFSubImage* subImage);
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* subImage) const override { return CloneAs(*this, subImage); }

    std::uint16_t loops = 0;
    std::uint32_t bufferSize = 0;

protected:
    void WriteBlocks(TByteWriter& out) const override;
    void ReadBlocks(TByteReader& in) override;
};

// A new extension of the kind found at the reader's position (where its introducer is): by
// label, and for application blocks by their 11-byte identifier; a block of size 10 or
// above 11, or an identifier nobody registered, is kept raw. "Unknown extension type" for a
// label nobody registered. The position is left where it was.
std::unique_ptr<TGIFExtension> makeExtensionFor(const TByteReader& in, TGIFSubImage* subImage);

// Exactly n bytes of a fixed-size part, or "Premature end of data".
TBytes readGifBytes(TByteReader& in, std::uint64_t n);

}  // namespace gs
