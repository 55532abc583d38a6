#pragma once
// A list entry's picture kept as small as its colours allow. A listing of a system folder
// holds tens of thousands of entries, each with a large and a small picture, but the views
// only ever show the few on the screen: so an entry keeps its picture as a palette and one
// byte per pixel when it has at most 256 distinct colours (as nearly every icon of 8 bits
// or less does), and as whole ARGB pixels only otherwise. The window expands a picture into
// an image when it paints it.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "platform/Raster.h"

namespace gs {

struct TIconPicture;
class TQBHiResIcon;
class TQBIcon;

class TListPicture {
public:
    TListPicture() = default;
    // The picture as a viewer sees it: straight alpha, masked pixels transparent.
    explicit TListPicture(const TIconPicture& picture);
    // The icon's picture; an empty picture for a missing or empty icon.
    static TListPicture FromIcon(const TQBHiResIcon* icon);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    // True when the pixels are kept through a palette.
    bool Indexed() const { return data_ && !data_->palette.empty(); }
    // Straight-alpha ARGB of one pixel (0 outside the picture).
    Argb PixelAt(int x, int y) const;
    // Writes row `y` (Width() pixels of straight-alpha ARGB) to `out`.
    void ExpandRow(int y, Argb* out) const;
    // The same through `colours`, which stands for Palette() entry by entry (the palette
    // in another pixel form); for a picture kept whole, `convert` turns each pixel.
    template <class Convert>
    void ExpandRowAs(int y, Argb* out, const std::vector<Argb>& colours, Convert convert) const {
        if (y < 0 || y >= height_) return;
        const std::size_t first = std::size_t(y) * std::size_t(width_);
        if (Indexed()) {
            for (int x = 0; x < width_; ++x) out[x] = colours[data_->indexes[first + std::size_t(x)]];
        } else {
            for (int x = 0; x < width_; ++x) out[x] = convert(data_->pixels[first + std::size_t(x)]);
        }
    }
    const std::vector<Argb>& Palette() const;
    // What the picture holds on the heap, shared with its copies.
    std::size_t HeapBytes() const;

private:
    struct Pixels {
        std::vector<Argb> palette;          // with indexes, when at most 256 colours
        std::vector<std::uint8_t> indexes;  // one per pixel, rows top-down
        std::vector<Argb> pixels;           // otherwise, one per pixel
    };
    // Keeps the pixels through a palette; false (and nothing kept) past 256 colours.
    static bool index(const TIconPicture& picture, std::size_t count, Pixels& into);

    int width_ = 0;
    int height_ = 0;
    // Never changed once made, so copies share it: icons of a file made of the same images
    // (thousands of groups naming one) hold their list pictures once.
    std::shared_ptr<const Pixels> data_;
};

// The icons of one file made of the very same images. Icon groups of a module may all name
// one image: its list pictures are the same for every group, so they are made (the image
// decoded and scaled, then dropped) for the first group only and copied for the others,
// which keeps the listing of such a file as quick as that of one group. Images are the same
// when they share their data as read (the reader reads a block of the file once however many
// entries name it) and their directory entries; the icons must outlive the record.
class TSameImages {
public:
    // The place given with the first icon seen made of the same images, in the same order;
    // none (and `place` kept for it) when no icon seen so far was.
    std::optional<std::size_t> Seen(const TQBIcon& icon, std::size_t place);

private:
    using ImageKey = std::tuple<const void*, int, int, int, int, int>;
    std::map<std::vector<ImageKey>, std::size_t> first_;
};

// What the list pictures of one file may decode. A picture is made by decoding an image
// (and scaling it), which costs time by its pixels, not by its bytes: a PNG of one colour
// gives a million pixels from 4 KB, so a small module of many such images would take
// minutes to list. The pixels decoded for a file's list pictures are held to a floor (16 of
// the largest pictures, whatever the file) and a rate per byte of the file that real pictures
// never reach; icons past it are listed without pictures, as an image that cannot be decoded is.
// The figures are in docs/bounds.md.
class TListDecodeBudget {
public:
    static constexpr std::uint64_t kFloorPixels = std::uint64_t(1) << 24;  // 16 pictures of 1024 x 1024
    static constexpr std::uint64_t kPixelsPerFileByte = 32;

    explicit TListDecodeBudget(std::uint64_t fileSize);
    // What making the icon's two list pictures decodes: for each size, the exact image of
    // that size when there is one, else its largest image (what the choice falls back to
    // is never larger), by the size each image's own header declares.
    static std::uint64_t CostOf(const TQBIcon& icon);
    // True, the cost counted, when the icon's pictures fit what is left.
    bool Take(const TQBIcon& icon);
    std::uint64_t Left() const { return left_; }

private:
    std::uint64_t left_;
};

}  // namespace gs
