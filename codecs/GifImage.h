#pragma once
// A GIF image: logical screen, global colour table and frames, written as a GIF 87a or 89a
// stream.
//
// Writing a picture as a GIF file, as the image export does:
//
//     gs::TGIFImage gif;                 // settings: the 216-colour cube, no dither, LZW
//     gif.SetWidth(bitmap.Width());      // the assignment below sets the size anyway
//     gif.SetHeight(bitmap.Height());
//     gif.Assign(bitmap);                // one frame made from the gs::TRaster
//     gif.SaveToFile(path);              // written whole: temporary file, then rename
//
// An indexed picture (1, 4 or 8 bits) keeps its indices and palette; a true-colour one is
// reduced to at most 256 colours (SetColorReduction, SetDitherMode, SetReductionBits); a
// picture marked transparent gets a transparent colour. Every failure is a GIFException
// (or EFCreateError from the file write); the target file is then left as it was.
//
// Reading one back (defects that leave a picture are warnings; the rest GIFException):
//
//     gif.SetOnWarn([](const void*, int, const std::string& text) { ... });
//     gif.LoadFromFile(path);            // frames with their pixels, tables and extensions
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
    // WriteData optimises the image first.
    bool optimizeOnStream = false;
};

class TGIFGlobalColorMap final : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFImage& image) : image_(image) {}

protected:
    // The pixels of every frame that this table colours.
    void CountUses(UseCounts& uses) const override;
    void RemapPixels(const IndexTable& oldToNew) override;
    void ReportWarning(const std::string& message) const override;
    void ColorsChanged() override;

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

    TGIFGlobalColorMap& ColorMap() { return colorMap_; }
    const TGIFGlobalColorMap& ColorMap() const { return colorMap_; }
    // The packed byte as it will be written.
    std::uint8_t PackedFields() const;
    void Assign(const TGIFHeader& source);
    // "Unsupported GIF version" for an image without frames.
    void SaveToStream(TByteWriter& out) const;
    // Signature (a 4-byte prefix in front of it is passed over; "Invalid GIF signature"),
    // logical screen descriptor and global colour table.
    void LoadFromStream(TByteReader& in);
    // The header alone in a file of its own (written whole), and read back from one.
    void SaveToNamedFile(const std::filesystem::path& path) const;
    void LoadFromNamedFile(const std::filesystem::path& path);

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
    void Reset();

    int Width() const override { return header_.width; }
    int Height() const override { return header_.height; }
    // "Image width too small for contained frames" below a frame's right edge (and the
    // height's likewise); "Image exceeds Logical Screen size" above 65,535.
    void SetWidth(int value);
    void SetHeight(int value);
    bool Empty() const override { return frames_.empty(); }

    TGIFHeader& Header() { return header_; }
    const TGIFHeader& Header() const { return header_; }
    TGIFGlobalColorMap& GlobalColorMap() { return header_.ColorMap(); }
    const TGIFGlobalColorMap& GlobalColorMap() const { return header_.ColorMap(); }

    int FrameCount() const { return int(frames_.size()); }
    TGIFSubImage& Frame(int index) const { return *frames_[checkedListIndex(index, frames_.size())]; }
    // Appends a frame (made for this image) or a frame made from a picture or an icon;
    // returns its index.
    int AddFrame(std::unique_ptr<TGIFSubImage> frame);
    int AddFrame(const TRaster& picture);
    int AddFrame(const TQBHiResIcon& icon);
    int AddFrame(const TQBIcon& icon);
    int AddFrame(const TMetafile& metafile);
    void DeleteFrame(int index);
    // Takes the frame out of the list without freeing it; none when it is not listed here.
    std::unique_ptr<TGIFSubImage> Detach(const TGIFSubImage& frame);

    // 0 without frames, 1 for 87a, 2 for 89a.
    int ImageVersion() const;
    // The largest bits per pixel of the global and every local table.
    int BitsPerPixel() const;
    int ColorResolution() const { return BitsPerPixel() - 1; }
    TRgb BackgroundColor() const;

    // Replaces the whole image by one frame made from the picture (its size becomes the
    // logical screen's).
    void Assign(const TRaster& picture);
    // Replaces the image by a copy of another. What the copy reports ("Copying...", one step
    // a frame, and its warnings) goes to the source's handlers; afterwards this image's
    // handlers are its own again.
    void Assign(const TGIFImage& source);
    // Replaces the image by one frame made from the icon or metafile (TGIFSubImage::Assign).
    void Assign(const TQBHiResIcon& icon);
    void Assign(const TQBIcon& icon);
    void Assign(const TMetafile& metafile);

    // True only for the same object: two images are told apart by identity, never by
    // comparing their frames.
    bool Equals(const TGIFImage& other) const { return this == &other; }

    // The colours the image shows with, the first that applies: the palette set on it, the
    // 216-colour cube when frames are dithered on a display of that depth, the global
    // table, frame 0's palette; none for an image without any.
    std::vector<TRgb> GetPalette(int displayBitsPerPixel = 24) const;
    // Sets the palette the image shows with (an empty one: none). It is no colour table:
    // pixels, tables and the file written stay as they are. "Color table overflow" above
    // 256 colours. A new palette stops drawing and raises onChange; when a rendered bitmap
    // of other colours was kept, it is dropped and the palette marked modified. Reset()
    // drops the palette.
    void SetPalette(std::span<const TRgb> palette);
    // A palette was set since the rendered bitmap was last made.
    bool PaletteModified() const { return paletteModified_; }

    // The image as one picture, made on first use and kept until the image changes; none
    // for an image without frames. Frame 0 when it covers the logical screen (8 bits, its
    // table); otherwise the screen in its background colour with frame 0 drawn at its place
    // (32 bits). Rendering reports "Rendering..." progress.
    const TRaster* RenderedBitmap() const;
    // The destination takes the rendered bitmap (an empty picture for an empty image).
    void AssignTo(TRaster& dest) const override;
    // Whoever changed frames directly says so: the rendered bitmap and every frame's
    // rendering are dropped and onChange raised.
    void Changed();

    void SaveToStream(TByteWriter& out) const;
    TBytes SaveToBytes() const;
    // The image as a stored picture's data: the stream, optimised first (Compact with every
    // option, no reduction) when optimizeOnStream is set.
    void WriteData(TByteWriter& out);
    void SaveToFile(const std::filesystem::path& path) const;

    // Reads a GIF stream: the header, the frames with the extensions in front of each, the
    // trailer. Defects that leave the picture readable are warnings (OnWarn) and reading
    // goes on; the others raise GIFException, leaving the frames read before the failure
    // and the reader where it started.
    void LoadFromStream(TByteReader& in);
    void LoadFromSource(const IByteSource& src) override;
    // EFOpenError when the file cannot be opened.
    void LoadFromFile(const std::filesystem::path& path);

    // Settings: values outside their tables are refused at once ("Invalid reduction
    // method", "Invalid dither mode", "Invalid reduction bit count").
    TColorReduction ColorReduction() const { return colorReduction_; }
    void SetColorReduction(TColorReduction method);
    TDitherMode DitherMode() const { return ditherMode_; }
    void SetDitherMode(TDitherMode mode);
    int ReductionBits() const { return reductionBits_; }
    void SetReductionBits(int bits);
    TGIFCompression Compression() const { return compression_; }
    void SetCompression(TGIFCompression compression);
    TGIFDrawOptions DrawOptions() const { return drawOptions_; }
    void SetDrawOptions(TGIFDrawOptions options) { drawOptions_ = options; }
    int AnimationSpeed() const { return animationSpeed_; }
    void SetAnimationSpeed(int percent) { animationSpeed_ = percent; }
    bool RenderOnLoad() const { return renderOnLoad_; }
    void SetRenderOnLoad(bool on) { renderOnLoad_ = on; }
    bool OptimizeOnStream() const { return optimizeOnStream_; }
    void SetOptimizeOnStream(bool on) { optimizeOnStream_ = on; }
    // clNone: the GIF's own background colour.
    TColor BackgroundColorValue() const { return backgroundColorValue_; }
    void SetBackgroundColorValue(TColor color) { backgroundColorValue_ = color; }

    const TGIFWarningEvent& OnWarn() const { return onWarn_; }
    void SetOnWarn(TGIFWarningEvent handler) { onWarn_ = std::move(handler); }
    const TGIFProgressEvent& OnProgress() const { return onProgress_; }
    void SetOnProgress(TGIFProgressEvent handler) { onProgress_ = std::move(handler); }
    // Raised after the image changed through its own operations or Changed().
    void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }
    // Called before anything changes frames, size or palette: whoever plays the image (its
    // painters read the frames as they go) stops first.
    void SetOnStopDrawing(std::function<void()> handler) { onStopDrawing_ = std::move(handler); }
    // Stops drawing and drops the rendered bitmap; every change of the image starts here.
    void StopDrawing();
    void ReportWarning(const void* sender, int severity, const std::string& message) const;

private:
    friend class TGIFSubImage;
    friend class TGIFGlobalColorMap;
    // Called by a frame whose bounds changed: widens the logical screen to cover it.
    void FitFrame(const TGIFSubImage& frame);
    // The image changed in a way the frames' renderings do not show: its own bitmap goes.
    void ImageChanged();
    void DropFrameRenderings() const;
    void LoadFrames(TByteReader& in, const TGifProgress& progress);

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
    mutable std::optional<TRaster> rendered_;
    mutable bool paletteModified_ = false;
    std::vector<TRgb> palette_;
};

}  // namespace gs
