#pragma once
// The GIF graphic that reads the splash picture: a GIF stream kept as frames of encoded data,
// each decoded into an indexed raster when it is first asked for, drawn as the current
// frame, and written back (frames made from pictures are coded then).
//
//     gs::TRxGIFImage gif;
//     gif.ReadData(reader);                 // a 32-bit byte count, then the GIF bytes
//     gs::TRaster canvas(gif.Width(), gif.Height());
//     gif.Draw(canvas, {0, 0, canvas.Width(), canvas.Height()});
//
// Errors are EInvalidGraphicOperation with the texts below, or EReadError "Stream read
// error" for data that ends early or does not hold together.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "codecs/CodecErrors.h"
#include "codecs/GifColorMap.h"
#include "codecs/GifTypes.h"
#include "codecs/GraphicRoutines.h"
#include "codecs/PictureFormats.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Errors.h"
#include "platform/Raster.h"
#include "platform/StretchDraw.h"

namespace gs {

class TAnimatedCursorImage;

namespace rxgifmsg {
inline constexpr const char* kUnknownVersion = "Unknown GIF version";
inline constexpr const char* kEncodingError = "GIF image encoding error";
inline constexpr const char* kCorrupt = "GIF encoded data is corrupt";
inline constexpr const char* kCodeSizeRange = "GIF code size not in range 2 to 9";
inline constexpr const char* kWrongColorCount = "Wrong number of colors; must be a power of 2";
inline constexpr const char* kUnrecognizedExtension = "Unrecognized extension block: %.2x";
inline constexpr const char* kNoData = "No GIF Data to write";
inline constexpr const char* kCannotResize = "Cannot change the Size of a GIF image";
inline constexpr const char* kDescription = "CompuServe GIF Image";
}  // namespace rxgifmsg

enum class TGIFVersion : std::uint8_t { gvUnknown, gv87a, gv89a };

struct TGIFColorTable {
    int count = 0;
    std::array<TRgb, 256> colors{};
    // The smallest b >= 1 with 2^b >= count.
    int Bits() const {
        int b = 1;
        while ((1 << b) < count) ++b;
        return b;
    }
};

// Screen-level data, shared between images after an assignment.
struct TGIFData {
    std::vector<std::string> comment;
    std::uint8_t aspectRatio = 0;
    std::uint8_t bitsPerPixel = 0;
    std::uint8_t colorResBits = 0;
    TGIFColorTable colorTable;
};

// One frame's encoded data (the minimum code size byte, the sub-blocks and their
// terminator, as in the file), shared between frames after an assignment.
struct TRxGIFItem {
    TBytes encoded;
    int width = 0, height = 0;
    std::uint8_t flags = 0;
    std::uint8_t bitsPerPixel = 0;
    TGIFColorTable colorTable;
};

class TRxGIFImage;

class TGIFFrame {
public:
    struct TExtension {
        enum Kind : std::uint8_t { ekGraphicControl, ekPlainText, ekApplication, ekComment };
        Kind kind = ekGraphicControl;
        std::vector<std::string> data;  // one string per data sub-block
        TBytes header;                   // the block's fixed part as read
    };

    explicit TGIFFrame(TRxGIFImage& owner);
    TRxGIFImage& Owner() const { return owner_; }

    // Makes the frame from a picture (an empty one leaves no data): only the picture is kept
    // until the image is written.
    void Assign(const TRaster& picture);
    // Shares the other frame's encoded data and copies its attributes.
    void Assign(const TGIFFrame& source);
    // The image's current frame (frame 0 when its index is negative); an image without
    // frames clears this one.
    void Assign(const TRxGIFImage& image);
    // Any other picture class: the picture it gives as one bitmap (an empty one clears the
    // frame). When it cannot give one, the frame is a fuchsia bitmap of its size, which may
    // be no larger than a frame read from a stream: EInvalidGraphic "Bitmap image is not
    // valid" otherwise, the frame left as it was.
    void Assign(const TGraphic& graphic);
    void Clear();
    // The destination takes this frame (a frame: shares it; an image: becomes this one
    // frame) or its decoded picture, marked transparent in the frame's transparent colour.
    void AssignTo(TGIFFrame& dest) { dest.Assign(*this); }
    void AssignTo(TRxGIFImage& dest);
    void AssignTo(TRaster& dest);

    // The decoded picture (decoded on first use; "GIF encoded data is corrupt" and the other
    // decoding errors pass on).
    const TRaster& Bitmap();
    bool HasBitmap() const { return bitmap_.has_value(); }
    // Replaces the decoded picture (a clipboard's own bitmap of the frame); the data stay.
    void SetBitmap(TRaster picture) { bitmap_ = std::move(picture); }
    bool HasData() const { return item_ && !item_->encoded.empty(); }
    // 0 x 0 for a frame with neither picture nor data.
    int Width() const;
    int Height() const;

    int left = 0, top = 0;
    bool interlaced = false, corrupted = false, grayscale = false, localColors = false;
    TColor transparentColor = clNone;
    int delay = 0;  // milliseconds (the file's hundredths x 10, which a 16-bit value cannot hold)
    std::uint8_t disposal = 0;

    const TRxGIFItem& Item() const { return *item_; }
    std::vector<TExtension>& Extensions() { return extensions_; }
    std::vector<std::string> Comment() const;
    void SetComment(std::vector<std::string> lines);

private:
    friend class TRxGIFImage;
    void Decode();
    void Encode(TColorMapping mapping);
    void RefreshGraphicControl();

    TRxGIFImage& owner_;
    std::optional<TRaster> bitmap_;
    std::shared_ptr<TRxGIFItem> item_;
    std::vector<TExtension> extensions_;
};

class TRxGIFImage : public TGraphic {
public:
    TRxGIFImage();
    TRxGIFImage(const TRxGIFImage&) = delete;
    TRxGIFImage& operator=(const TRxGIFImage&) = delete;

    // A 32-bit little-endian byte count, then that many GIF bytes; the first frame decoded.
    void ReadData(TByteReader& in);
    void WriteData(TByteWriter& out);
    // The GIF bytes from the position to the end; the first frame decoded.
    void LoadFromStream(TByteReader& in);
    void SaveToStream(TByteWriter& out);
    // Reads `size` bytes ("Stream read error" before anything is copied when they are not all
    // there).
    void ReadGIFStream(std::uint64_t size, TByteReader& in, bool decodeFirst);
    // "No GIF Data to write" without frames or for a frame without data or picture.
    void WriteGIFStream(TByteWriter& out, bool withCount);

    // The current frame stretched into the rectangle, its transparent colour left out when
    // the image is transparent. The frame's offset is not applied.
    void Draw(TRaster& canvas, const TDrawRect& rect);

    // The current frame's size; 0 when empty or no frame is current.
    int Width() const override;
    int Height() const override;
    bool Empty() const override;
    // The GIF bytes of the whole source (the picture registry's way in).
    void LoadFromSource(const IByteSource& src) override;
    // Empty for an empty image; the current frame's picture (frame 0's when none is current).
    // Empty() likewise asks of frame 0 when no frame is current; Width() and Height() are 0.
    void AssignTo(TRaster& dest) const override;
    void AssignTo(TRxGIFImage& dest) const { dest.Assign(*this); }
    // The current picture's palette; none without frames.
    std::vector<TRgb> GetPalette();
    bool Transparent() const;
    void SetTransparent(bool on) { transparent_ = on; }
    // Always "Cannot change the Size of a GIF image".
    [[noreturn]] void SetWidth(int);
    [[noreturn]] void SetHeight(int);
    bool Equals(const TRxGIFImage& other) const { return data_ == other.data_; }

    void Clear();
    void Assign(const TRxGIFImage& source);
    // One frame, as a copy of the given frame of another image.
    void Assign(const TGIFFrame& source);
    void Assign(const TRaster& picture);
    // Every icon frame of the cursor in order; delays from the cursor's rates (jiffies).
    void Assign(const TAnimatedCursorImage& cursor);
    // A new frame made from the picture (or from any picture class, as TGIFFrame::Assign
    // makes it), made current; returns its index.
    int AppendFrame(const TRaster& picture);
    int AppendFrame(const TGraphic& graphic);

    // The current frame's picture (frame 0 when the index is out of range); an image without
    // frames gets one empty frame.
    const TRaster& CurrentBitmap();

    int FrameCount() const { return int(frames_.size()); }
    TGIFFrame& Frame(int index) const { return *frames_[checkedListIndex(index, frames_.size())]; }
    int FrameIndex() const { return frameIndex_; }
    // -1 for no current frame; an index outside the frames is EListError.
    void SetFrameIndex(int index);

    const TGIFData& Data() const { return *data_; }
    std::vector<std::string>& Comment() { return data_->comment; }
    TGIFVersion Version() const { return version_; }
    int ScreenWidth() const { return screenWidth_; }
    int ScreenHeight() const { return screenHeight_; }
    TColor backgroundColor = clNone;
    bool looping = false;
    std::uint16_t repeatCount = 1;
    bool Corrupted() const { return corrupted_; }
    // Damaged data only marks frames corrupted (the default); off, it raises errors.
    bool tolerant = true;
    // The mapping for true-colour pictures when frames are coded.
    TColorMapping defaultMapping = kDefaultColorMapping;
    // Decoding and coding a frame report their progress here: a start at 0 %, the share
    // done, an end at 100 % (0 % when they fail).
    TGIFProgressEvent onProgress;

private:
    friend class TGIFFrame;
    void ReadStream(TByteReader& in);
    void ReadFrame(TByteReader& in, std::vector<TGIFFrame::TExtension>& gathered);
    template <class Source>
    int Append(const Source& source);
    void RecomputeScreen();
    // The current frame; none when the index is -1 or outside the frames (a failed read can
    // leave it so).
    TGIFFrame* CurrentFrame() const;
    // The frame that stands for the image: the current one, else frame 0; none without frames.
    TGIFFrame* ShownFrame() const;

    std::shared_ptr<TGIFData> data_;
    TGIFVersion version_ = TGIFVersion::gvUnknown;
    std::vector<std::unique_ptr<TGIFFrame>> frames_;
    int frameIndex_ = -1;
    std::uint16_t screenWidth_ = 0, screenHeight_ = 0;
    std::uint64_t framePixelsLeft_ = 0;  // what the frames of the stream being read may still have
    bool corrupted_ = false;
    bool transparent_ = true;
};

}  // namespace gs
