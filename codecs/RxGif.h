#pragma once
// The GIF graphic that reads the splash picture: a GIF stream kept as frames of encoded data,
// each decoded into an indexed raster when it is first asked for, drawn as the current
// frame, and written back (frames made from pictures are coded then).
//
//     gs::TRxGIFImage gif;
//     gif.readData(reader);                 // a 32-bit byte count, then the GIF bytes
//     gs::Raster canvas(gif.width(), gif.height());
//     gif.draw(canvas, {0, 0, canvas.width(), canvas.height()});
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
    std::array<Rgb, 256> colors{};
    // The smallest b >= 1 with 2^b >= count.
    int bits() const {
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
    Bytes encoded;
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
        Bytes header;                   // the block's fixed part as read
    };

    explicit TGIFFrame(TRxGIFImage& owner);
    TRxGIFImage& owner() const { return owner_; }

    // Makes the frame from a picture (an empty one leaves no data): only the picture is kept
    // until the image is written.
    void assign(const Raster& picture);
    // Shares the other frame's encoded data and copies its attributes.
    void assign(const TGIFFrame& source);
    // The image's current frame (frame 0 when its index is negative); an image without
    // frames clears this one.
    void assign(const TRxGIFImage& image);
    // Any other picture class: the picture it gives as one bitmap (an empty one clears the
    // frame). When it cannot give one, the frame is a fuchsia bitmap of its size.
    void assign(const TGraphic& graphic);
    void clear();
    // The destination takes this frame (a frame: shares it; an image: becomes this one
    // frame) or its decoded picture, marked transparent in the frame's transparent colour.
    void assignTo(TGIFFrame& dest) { dest.assign(*this); }
    void assignTo(TRxGIFImage& dest);
    void assignTo(Raster& dest);

    // The decoded picture (decoded on first use; "GIF encoded data is corrupt" and the other
    // decoding errors pass on).
    const Raster& bitmap();
    bool hasBitmap() const { return bitmap_.has_value(); }
    // Replaces the decoded picture (a clipboard's own bitmap of the frame); the data stay.
    void setBitmap(Raster picture) { bitmap_ = std::move(picture); }
    bool hasData() const { return item_ && !item_->encoded.empty(); }
    // 0 x 0 for a frame with neither picture nor data.
    int width() const;
    int height() const;

    int left = 0, top = 0;
    bool interlaced = false, corrupted = false, grayscale = false, localColors = false;
    TColor transparentColor = clNone;
    int delay = 0;  // milliseconds (the file's hundredths x 10, which a 16-bit value cannot hold)
    std::uint8_t disposal = 0;

    const TRxGIFItem& item() const { return *item_; }
    std::vector<TExtension>& extensions() { return extensions_; }
    std::vector<std::string> comment() const;
    void setComment(std::vector<std::string> lines);

private:
    friend class TRxGIFImage;
    void decode();
    void encode(TColorMapping mapping);
    void refreshGraphicControl();

    TRxGIFImage& owner_;
    std::optional<Raster> bitmap_;
    std::shared_ptr<TRxGIFItem> item_;
    std::vector<TExtension> extensions_;
};

class TRxGIFImage : public TGraphic {
public:
    TRxGIFImage();
    TRxGIFImage(const TRxGIFImage&) = delete;
    TRxGIFImage& operator=(const TRxGIFImage&) = delete;

    // A 32-bit little-endian byte count, then that many GIF bytes; the first frame decoded.
    void readData(ByteReader& in);
    void writeData(ByteWriter& out);
    // The GIF bytes from the position to the end; the first frame decoded.
    void loadFromStream(ByteReader& in);
    void saveToStream(ByteWriter& out);
    // Reads `size` bytes ("Stream read error" before anything is copied when they are not all
    // there).
    void readGIFStream(std::uint64_t size, ByteReader& in, bool decodeFirst);
    // "No GIF Data to write" without frames or for a frame without data or picture.
    void writeGIFStream(ByteWriter& out, bool withCount);

    // The current frame stretched into the rectangle, its transparent colour left out when
    // the image is transparent. The frame's offset is not applied.
    void draw(Raster& canvas, const DrawRect& rect);

    // The current frame's size; 0 when empty or no frame is current.
    int width() const override;
    int height() const override;
    bool empty() const override;
    // The GIF bytes of the whole source (the picture registry's way in).
    void loadFromSource(const ByteSource& src) override;
    // Empty for an empty image; the current frame's picture (frame 0's when none is current).
    void assignTo(Raster& dest) const override;
    void assignTo(TRxGIFImage& dest) const { dest.assign(*this); }
    // The current picture's palette; none without frames.
    std::vector<Rgb> getPalette();
    bool transparent() const;
    void setTransparent(bool on) { transparent_ = on; }
    // Always "Cannot change the Size of a GIF image".
    [[noreturn]] void setWidth(int);
    [[noreturn]] void setHeight(int);
    bool equals(const TRxGIFImage& other) const { return data_ == other.data_; }

    void clear();
    void assign(const TRxGIFImage& source);
    // One frame, as a copy of the given frame of another image.
    void assign(const TGIFFrame& source);
    void assign(const Raster& picture);
    // Every icon frame of the cursor in order; delays from the cursor's rates (jiffies).
    void assign(const TAnimatedCursorImage& cursor);
    // A new frame made from the picture (or from any picture class, as TGIFFrame::assign
    // makes it), made current; returns its index.
    int appendFrame(const Raster& picture);
    int appendFrame(const TGraphic& graphic);

    // The current frame's picture (frame 0 when the index is out of range); an image without
    // frames gets one empty frame.
    const Raster& currentBitmap();

    int frameCount() const { return int(frames_.size()); }
    TGIFFrame& frame(int index) const { return *frames_[checkedListIndex(index, frames_.size())]; }
    int frameIndex() const { return frameIndex_; }
    void setFrameIndex(int index) { frameIndex_ = index; }

    const TGIFData& data() const { return *data_; }
    std::vector<std::string>& comment() { return data_->comment; }
    TGIFVersion version() const { return version_; }
    int screenWidth() const { return screenWidth_; }
    int screenHeight() const { return screenHeight_; }
    TColor backgroundColor = clNone;
    bool looping = false;
    std::uint16_t repeatCount = 1;
    bool corrupted() const { return corrupted_; }
    // Damaged data only marks frames corrupted (the default); off, it raises errors.
    bool tolerant = true;
    // The mapping for true-colour pictures when frames are coded.
    TColorMapping defaultMapping = kDefaultColorMapping;
    // Decoding and coding a frame report their progress here: a start at 0 %, the share
    // done, an end at 100 % (0 % when they fail).
    TGIFProgressEvent onProgress;

private:
    friend class TGIFFrame;
    void readStream(ByteReader& in);
    void readFrame(ByteReader& in, std::vector<TGIFFrame::TExtension>& gathered);
    template <class Source>
    int append(const Source& source);
    void recomputeScreen();

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
