#pragma once
// One frame of a GIF image: its image descriptor, local colour table, pixels (one byte per
// pixel, rows top first) and extensions.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "codecs/GifFormat.h"
#include "codecs/GifColorMap.h"
#include "codecs/GifExtensions.h"
#include "codecs/GifTypes.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Errors.h"
#include "platform/Raster.h"

namespace gs {

class TGIFImage;
class TGIFSubImage;
class TQBIcon;
class TQBHiResIcon;
class TMetafile;

class TGIFLocalColorMap final : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage& subImage) : subImage_(subImage) {}

protected:
    void CountUses(UseCounts& uses) const override;
    void RemapPixels(const IndexTable& oldToNew) override;
    void ReportWarning(const std::string& message) const override;

    void ColorsChanged() override;

private:
    TGIFSubImage& subImage_;
};

// Which pixels of a frame are transparent: a non-zero byte per transparent pixel. It is
// used only when its size equals the frame's.
struct TGIFMask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bits;
};

// A frame as a picture of its own size, as it is drawn.
struct TRenderedFrame {
    TRaster Bitmap;                // 8-bit, the frame's colours; indices beyond its table are black
    std::optional<TGIFMask> Mask; // transparent frames with at least one transparent pixel
};

// The mask of a picture marked transparent: its pixels of the transparent colour.
TGIFMask transparencyMaskOf(const TRaster& raster);

// An icon as a frame takes it: drawn at its own size on white (24 bits), and the mask of
// the pixels the icon leaves wholly transparent.
struct TIconComposite {
    TRaster Picture;
    TGIFMask Mask;
};
TIconComposite IconComposite(const TQBHiResIcon& icon);
// The image of a multi-image icon that stands for it at the desktop's icon size: the best
// 32-pixel image, else the first; none for an icon without images.
std::unique_ptr<TQBHiResIcon> IconShownOf(const TQBIcon& icon);

class TGIFSubImage {
public:
    static constexpr std::uint8_t kSeparator = gifformat::kImageSeparator;
    static constexpr int kMaxCoordinate = 0xFFFF;
    // Bits of the descriptor's packed byte.
    static constexpr std::uint8_t kLocalTableFlag = 0x80;
    static constexpr std::uint8_t kInterlacedFlag = 0x40;
    static constexpr std::uint8_t kSortedFlag = 0x20;
    static constexpr std::uint8_t kReservedBits = 0x18;
    static constexpr std::uint8_t kTableSizeBits = 0x07;

    explicit TGIFSubImage(TGIFImage& image);
    TGIFSubImage(const TGIFSubImage&) = delete;
    TGIFSubImage& operator=(const TGIFSubImage&) = delete;

    TGIFImage& Image() const { return image_; }

    // Deletes extensions, colours and pixels; size 0 x 0; keeps the position.
    void Reset();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // A change of size makes a new zero-filled pixel buffer. A frame reaching beyond the
    // logical screen widens or heightens the image. Bounds beyond 65,535 raise "Image
    // exceeds Logical Screen size".
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }

    bool Empty() const { return width_ == 0 || height_ == 0 || pixels_.empty(); }
    // "Image is empty" when the frame has no pixels.
    void EnsurePixels() const;
    // Whoever may write the pixels gets them without the frame's rendering, which no longer
    // shows them.
    std::span<std::uint8_t> Pixels() {
        DropRendering();
        return pixels_;
    }
    std::span<const std::uint8_t> Pixels() const { return pixels_; }
    // Bounds-checked: "Invalid pixel coordinates".
    std::uint8_t* PixelRow(int row);
    std::uint8_t& PixelAt(int x, int y);

    bool Interlaced() const { return (packed_ & kInterlacedFlag) != 0; }
    void SetInterlaced(bool on);
    // The descriptor's packed byte as it will be written.
    std::uint8_t PackedFields() const;

    TGIFLocalColorMap& ColorMap() { return colorMap_; }
    const TGIFLocalColorMap& ColorMap() const { return colorMap_; }
    // The local table when it has colours, else the global one when that has, else the
    // (empty) local one.
    const TGIFColorMap& EffectiveColorMap() const;

    int ExtensionCount() const { return int(extensions_.size()); }
    TGIFExtension& Extension(int index) const { return *extensions_[checkedListIndex(index, extensions_.size())]; }
    void AddExtension(std::unique_ptr<TGIFExtension> extension);
    void DeleteExtension(int index);
    // Takes the extension out of the list without freeing it; none when it is not listed.
    std::unique_ptr<TGIFExtension> Detach(const TGIFExtension& extension);
    // The frame's first graphic control extension, or none.
    TGIFGraphicControlExtension* GraphicControlExtension() const;
    bool Transparent() const;

    // The colours the frame shows with: the palette set on it, the 216-colour cube when
    // frames are dithered on a display of that depth, its own table, else the image's.
    std::vector<TRgb> GetPalette(int displayBitsPerPixel = 24) const;
    // Sets the palette the frame shows with, apart from its colour table (which, like the
    // file written, stays): "Color table overflow" above 256 colours. A new palette stops
    // drawing and the image reports the change; a rendering of other colours is dropped,
    // and the image's palette then marked modified.
    void SetPalette(std::span<const TRgb> palette);

    // The frame rendered (through the dither or not), made on first use and kept until the
    // frame, its table or the global table changes. Rendering reports "Rendering...".
    const TRenderedFrame& RenderedBitmap(bool dither = false) const;
    void DropRendering() const { rendered_.reset(); }

    // 2 (89a) with a sorted local table or any extension, else 1 (87a).
    int ItemVersion() const;

    // The picture the frame was made from (after colour reduction), when it was.
    const std::optional<TRaster>& Bitmap() const { return bitmap_; }

    // Makes the frame from a picture: indexed pictures keep their indices and palette,
    // true-colour ones are reduced with the image's settings (or, with no reduction, take
    // their up to 256 distinct colours in order of appearance). A picture marked
    // transparent then goes through the transparency step.
    void Assign(const TRaster& source);
    void Assign(const TGIFSubImage& source);
    // Makes the frame from the icon's composite (reduced like any true-colour picture);
    // the pixels it leaves transparent go through the transparency step. An icon without
    // a picture leaves the frame empty.
    void Assign(const TQBHiResIcon& icon);
    // Makes the frame from the metafile drawn on white; the pixels it leaves undrawn (those
    // that differ when it is drawn on black) go through the transparency step.
    void Assign(const TMetafile& metafile);
    // The transparency step: sorts the table by use and, when it has room, appends the
    // colour as a new entry that every masked pixel takes, marked in a graphic control
    // extension. A full table (256 entries in use) stays opaque.
    void ApplyTransparency(const TGIFMask& mask, TRgb color);

    void SaveToStream(TByteWriter& out) const;

    // Pixels a reader may still allocate for the frames of one stream, and the largest
    // logical screen (in pixels) the stream may have.
    struct PixelBudget {
        std::uint64_t left = 0;
        std::uint64_t screen = 0;
        // What the frames and the screen of a stream of that many bytes may have.
        static PixelBudget ForStream(std::uint64_t bytes);
    };
    // Reads the extensions in front of a frame, then (unless the trailer or the end comes
    // first) the image descriptor, local colour table and image data. A frame above 2^26
    // pixels, beyond what the budget allows, or widening the screen beyond its budget,
    // raises "Invalid image dimensions" before anything is allocated.
    void LoadFromStream(TByteReader& in, PixelBudget& budget);
    // The frame alone (its extensions and image block) in a file of its own, written whole;
    // read back with the budget of that file. EFOpenError when it cannot be opened.
    void SaveToNamedFile(const std::filesystem::path& path) const;
    void LoadFromNamedFile(const std::filesystem::path& path);

private:
    void LoadExtensions(TByteReader& in);
    void DecodePixels(TByteReader& in);
    friend class TGIFLocalColorMap;
    friend class TGIFImage;
    void ImportIndexed(const TRaster& source, const TGifProgress& progress);
    void ImportTrueColor(const TRaster& source, const TGifProgress& progress);
    void EncodePixels(TByteWriter& out) const;

    TGIFImage& image_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::uint8_t packed_ = 0;
    std::vector<std::uint8_t> pixels_;
    TGIFLocalColorMap colorMap_;
    std::vector<std::unique_ptr<TGIFExtension>> extensions_;
    std::optional<TRaster> bitmap_;
    mutable std::optional<TRenderedFrame> rendered_;
    mutable bool renderedDithered_ = false;
    std::vector<TRgb> palette_;
};

}  // namespace gs
