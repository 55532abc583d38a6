#pragma once
// A GIF image: logical screen, global colour table and frames, written as a GIF 87a or 89a
// stream.
//
// Writing a picture as a GIF file, as the image export does:
//
//     gs::TGIFImage gif;                 // settings: the 216-colour cube, no dither, LZW
//     gif.setWidth(bitmap.width());      // the assignment below sets the size anyway
//     gif.setHeight(bitmap.height());
//     gif.assign(bitmap);                // one frame made from the gs::Raster
//     gif.saveToFile(path);              // written whole: temporary file, then rename
//
// An indexed picture (1, 4 or 8 bits) keeps its indices and palette; a true-colour one is
// reduced to at most 256 colours (setColorReduction, setDitherMode, setReductionBits); a
// picture marked transparent gets a transparent colour. Every failure is a GIFException
// (or EFCreateError from the file write); the target file is then left as it was.
//
// Reading one back (defects that leave a picture are warnings; the rest GIFException):
//
//     gif.setOnWarn([](const void*, int, const std::string& text) { ... });
//     gif.loadFromFile(path);            // frames with their pixels, tables and extensions
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "codecs/ColorReduction.h"
#include "codecs/GifColorMap.h"
#include "codecs/GifSubImage.h"
#include "codecs/GifTypes.h"
#include "codecs/PictureFormats.h"
#include "platform/ByteWriter.h"
#include "platform/Errors.h"
#include "platform/Raster.h"

namespace gs {

class TGIFImage;
class TQBIcon;
class TQBHiResIcon;
class TMetafile;

enum class TGIFCompression : std::uint8_t { gcLZW = 0, gcRLE = 1 };

// Draw options (kept and copied with the image; drawing itself is not part of the writer).
using TGIFDrawOptions = std::uint16_t;
inline constexpr TGIFDrawOptions gdAsync = 0x0001, gdTransparent = 0x0002, gdAnimate = 0x0004, gdLoop = 0x0008,
                                 gdLoopContinuously = 0x0010, gdValidateCanvas = 0x0020, gdDirectDraw = 0x0040,
                                 gdClearOnLoop = 0x0080, gdTile = 0x0100, gdDither = 0x0200, gdAutoDither = 0x0400;

// Whether frames are drawn through the 216-colour dither: asked for, and with gdAutoDither
// only on a display of 8 bits per pixel or fewer.
bool DitherInForce(TGIFDrawOptions options, int displayBitsPerPixel);

// What a new image starts with.
struct TGIFSettings {
    TGIFDrawOptions drawOptions = gdAsync | gdTransparent | gdAnimate | gdLoop | gdDither | gdAutoDither;
    TColorReduction colorReduction = TColorReduction::rdWebCube;
    int reductionBits = 8;
    TDitherMode ditherMode = TDitherMode::dtNone;
    TGIFCompression compression = TGIFCompression::gcLZW;
    int animationSpeed = 100;
    // Every frame rendered (undithered) as it is read.
    bool renderOnLoad = false;
    // writeData optimises the image first.
    bool optimizeOnStream = false;
};

class TGIFGlobalColorMap final : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFImage& image) : image_(image) {}

protected:
    // The pixels of every frame that this table colours.
    void countUses(UseCounts& uses) const override;
    void remapPixels(const IndexTable& oldToNew) override;
    void reportWarning(const std::string& message) const override;
    void colorsChanged() override;

private:
    TGIFImage& image_;
};

// Signature, logical screen descriptor and global colour table.
class TGIFHeader {
public:
    static constexpr std::uint8_t kGlobalTableFlag = 0x80;
    static constexpr std::uint8_t kResolutionBits = 0x70;
    static constexpr std::uint8_t kSortedFlag = 0x08;
    static constexpr std::uint8_t kTableSizeBits = 0x07;

    explicit TGIFHeader(TGIFImage& image) : image_(image), colorMap_(image) {}
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t backgroundIndex = 0;
    std::uint8_t aspectRatio = 0;

    TGIFGlobalColorMap& colorMap() { return colorMap_; }
    const TGIFGlobalColorMap& colorMap() const { return colorMap_; }
    // The packed byte as it will be written.
    std::uint8_t packedFields() const;
    void assign(const TGIFHeader& source);
    // "Unsupported GIF version" for an image without frames.
    void saveToStream(ByteWriter& out) const;
    // Signature (a 4-byte prefix in front of it is passed over; "Invalid GIF signature"),
    // logical screen descriptor and global colour table.
    void loadFromStream(ByteReader& in);
    // The header alone in a file of its own (written whole), and read back from one.
    void saveToNamedFile(const std::filesystem::path& path) const;
    void loadFromNamedFile(const std::filesystem::path& path);

private:
    TGIFImage& image_;
    TGIFGlobalColorMap colorMap_;
};

class TGIFImage : public TGraphic {
public:
    explicit TGIFImage(const TGIFSettings& settings = {});
    ~TGIFImage() override;
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    // No frames, no colours, size 0 x 0.
    void reset();

    int width() const override { return header_.width; }
    int height() const override { return header_.height; }
    // "Image width too small for contained frames" below a frame's right edge (and the
    // height's likewise); "Image exceeds Logical Screen size" above 65,535.
    void setWidth(int value);
    void setHeight(int value);
    bool empty() const override { return frames_.empty(); }

    TGIFHeader& header() { return header_; }
    const TGIFHeader& header() const { return header_; }
    TGIFGlobalColorMap& globalColorMap() { return header_.colorMap(); }
    const TGIFGlobalColorMap& globalColorMap() const { return header_.colorMap(); }

    int frameCount() const { return int(frames_.size()); }
    TGIFSubImage& frame(int index) const { return *frames_[checkedListIndex(index, frames_.size())]; }
    // Appends a frame (made for this image) or a frame made from a picture or an icon;
    // returns its index.
    int addFrame(std::unique_ptr<TGIFSubImage> frame);
    int addFrame(const Raster& picture);
    int addFrame(const TQBHiResIcon& icon);
    int addFrame(const TQBIcon& icon);
    int addFrame(const TMetafile& metafile);
    void deleteFrame(int index);
    // Takes the frame out of the list without freeing it; none when it is not listed here.
    std::unique_ptr<TGIFSubImage> detach(const TGIFSubImage& frame);

    // 0 without frames, 1 for 87a, 2 for 89a.
    int imageVersion() const;
    // The largest bits per pixel of the global and every local table.
    int bitsPerPixel() const;
    int colorResolution() const { return bitsPerPixel() - 1; }
    Rgb backgroundColor() const;

    // Replaces the whole image by one frame made from the picture (its size becomes the
    // logical screen's).
    void assign(const Raster& picture);
    // Replaces the image by a copy of another. What the copy reports ("Copying...", one step
    // a frame, and its warnings) goes to the source's handlers; afterwards this image's
    // handlers are its own again.
    void assign(const TGIFImage& source);
    // Replaces the image by one frame made from the icon or metafile (TGIFSubImage::assign).
    void assign(const TQBHiResIcon& icon);
    void assign(const TQBIcon& icon);
    void assign(const TMetafile& metafile);

    // True only for the same object: two images are told apart by identity, never by
    // comparing their frames.
    bool equals(const TGIFImage& other) const { return this == &other; }

    // The colours the image shows with, the first that applies: the palette set on it, the
    // 216-colour cube when frames are dithered on a display of that depth, the global
    // table, frame 0's palette; none for an image without any.
    std::vector<Rgb> getPalette(int displayBitsPerPixel = 24) const;
    // Sets the palette the image shows with (an empty one: none). It is no colour table:
    // pixels, tables and the file written stay as they are. "Color table overflow" above
    // 256 colours. A new palette stops drawing and raises onChange; when a rendered bitmap
    // of other colours was kept, it is dropped and the palette marked modified. reset()
    // drops the palette.
    void setPalette(std::span<const Rgb> palette);
    // A palette was set since the rendered bitmap was last made.
    bool paletteModified() const { return paletteModified_; }

    // The image as one picture, made on first use and kept until the image changes; none
    // for an image without frames. Frame 0 when it covers the logical screen (8 bits, its
    // table); otherwise the screen in its background colour with frame 0 drawn at its place
    // (32 bits). Rendering reports "Rendering..." progress.
    const Raster* renderedBitmap() const;
    // The destination takes the rendered bitmap (an empty picture for an empty image).
    void assignTo(Raster& dest) const override;
    // Whoever changed frames directly says so: the rendered bitmap and every frame's
    // rendering are dropped and onChange raised.
    void changed();

    void saveToStream(ByteWriter& out) const;
    Bytes saveToBytes() const;
    // The image as a stored picture's data: the stream, optimised first (Compact with every
    // option, no reduction) when optimizeOnStream is set.
    void writeData(ByteWriter& out);
    void saveToFile(const std::filesystem::path& path) const;

    // Reads a GIF stream: the header, the frames with the extensions in front of each, the
    // trailer. Defects that leave the picture readable are warnings (onWarn) and reading
    // goes on; the others raise GIFException, leaving the frames read before the failure
    // and the reader where it started.
    void loadFromStream(ByteReader& in);
    void loadFromSource(const ByteSource& src) override;
    // EFOpenError when the file cannot be opened.
    void loadFromFile(const std::filesystem::path& path);

    // Settings: values outside their tables are refused at once ("Invalid reduction
    // method", "Invalid dither mode", "Invalid reduction bit count").
    TColorReduction colorReduction() const { return colorReduction_; }
    void setColorReduction(TColorReduction method);
    TDitherMode ditherMode() const { return ditherMode_; }
    void setDitherMode(TDitherMode mode);
    int reductionBits() const { return reductionBits_; }
    void setReductionBits(int bits);
    TGIFCompression compression() const { return compression_; }
    void setCompression(TGIFCompression compression);
    TGIFDrawOptions drawOptions() const { return drawOptions_; }
    void setDrawOptions(TGIFDrawOptions options) { drawOptions_ = options; }
    int animationSpeed() const { return animationSpeed_; }
    void setAnimationSpeed(int percent) { animationSpeed_ = percent; }
    bool renderOnLoad() const { return renderOnLoad_; }
    void setRenderOnLoad(bool on) { renderOnLoad_ = on; }
    bool optimizeOnStream() const { return optimizeOnStream_; }
    void setOptimizeOnStream(bool on) { optimizeOnStream_ = on; }
    // clNone: the GIF's own background colour.
    TColor backgroundColorValue() const { return backgroundColorValue_; }
    void setBackgroundColorValue(TColor color) { backgroundColorValue_ = color; }

    const TGIFWarningEvent& onWarn() const { return onWarn_; }
    void setOnWarn(TGIFWarningEvent handler) { onWarn_ = std::move(handler); }
    const TGIFProgressEvent& onProgress() const { return onProgress_; }
    void setOnProgress(TGIFProgressEvent handler) { onProgress_ = std::move(handler); }
    // Raised after the image changed through its own operations or changed().
    void setOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }
    // Called before anything changes frames, size or palette: whoever plays the image (its
    // painters read the frames as they go) stops first.
    void setOnStopDrawing(std::function<void()> handler) { onStopDrawing_ = std::move(handler); }
    // Stops drawing and drops the rendered bitmap; every change of the image starts here.
    void stopDrawing();
    void reportWarning(const void* sender, int severity, const std::string& message) const;

private:
    friend class TGIFSubImage;
    friend class TGIFGlobalColorMap;
    // Called by a frame whose bounds changed: widens the logical screen to cover it.
    void fitFrame(const TGIFSubImage& frame);
    // The image changed in a way the frames' renderings do not show: its own bitmap goes.
    void imageChanged();
    void dropFrameRenderings() const;
    void loadFrames(ByteReader& in, const GifProgress& progress);

    TGIFHeader header_;
    std::vector<std::unique_ptr<TGIFSubImage>> frames_;
    TGIFDrawOptions drawOptions_;
    TColorReduction colorReduction_;
    int reductionBits_;
    TDitherMode ditherMode_;
    TGIFCompression compression_;
    int animationSpeed_;
    bool renderOnLoad_;
    bool optimizeOnStream_;
    TColor backgroundColorValue_ = clNone;
    TGIFWarningEvent onWarn_;
    TGIFProgressEvent onProgress_;
    std::function<void()> onChange_;
    std::function<void()> onStopDrawing_;
    mutable std::optional<Raster> rendered_;
    mutable bool paletteModified_ = false;
    std::vector<Rgb> palette_;
};

}  // namespace gs
