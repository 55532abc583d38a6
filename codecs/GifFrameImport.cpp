// A frame made from a picture: the size, the colour table and one index per pixel.
#include <algorithm>
#include <array>

#include "codecs/ColorReduction.h"
#include "codecs/GifImage.h"
#include "codecs/GifSubImage.h"

namespace gs {

namespace {

constexpr int kRowsPerProgressStep = 32;

void stepEvery32Rows(const TGifProgress& progress, int row, int height) {
    if (row % kRowsPerProgressStep == 0) progress.Step(int(std::int64_t(row) * 100 / height));
}

// The last colours seen and their table indices: runs and repeats of a colour skip the
// table search.
class TRecentColors {
public:
    int Find(TRgb color) {
        for (int k = 0; k < filled_; ++k) {
            int slot = (last_ - k) & kMask;
            if (slots_[std::size_t(slot)].color == color) {
                last_ = slot;
                return slots_[std::size_t(slot)].index;
            }
        }
        return -1;
    }
    void Add(TRgb color, int index) {
        slots_[std::size_t(next_)] = {color, index};
        last_ = next_;
        next_ = (next_ + 1) & kMask;
        filled_ = std::min(filled_ + 1, kSlots);
    }

private:
    static constexpr int kSlots = 8;
    static constexpr int kMask = kSlots - 1;
    struct Slot {
        TRgb color;
        int index;
    };
    std::array<Slot, kSlots> slots_{};
    int filled_ = 0, last_ = 0, next_ = 0;
};

}  // namespace

void TGIFSubImage::Assign(const TRaster& source) {
    Reset();
    if (source.Empty()) return;
    SetBounds(left_, top_, source.Width(), source.Height());
    TRaster picture = isIndexed(source.Format())
                         ? source
                         : ReduceBitmapColors(source, image_.ColorReduction(), image_.DitherMode(), image_.ReductionBits());
    TGifProgress progress(image_.OnProgress(), gifmsg::kProgressConvert);
    if (isIndexed(picture.Format()))
        ImportIndexed(picture, progress);
    else
        ImportTrueColor(picture, progress);
    if (source.Transparent()) ApplyTransparency(transparencyMaskOf(source), picture.TransparentColor());
    bitmap_ = std::move(picture);
}

void TGIFSubImage::ImportIndexed(const TRaster& source, const TGifProgress& progress) {
    colorMap_.LoadFromPalette(source.Palette());
    int highest = -1;
    for (int y = 0; y < height_; ++y) {
        stepEvery32Rows(progress, y, height_);
        const std::uint8_t* in = source.IndexRow(y);
        std::copy_n(in, width_, pixels_.data() + std::size_t(y) * std::size_t(width_));
        highest = std::max(highest, int(*std::max_element(in, in + width_)));
    }
    // Indices beyond the palette are drawn black by the picture itself; they get black
    // entries so that every pixel of the frame lies inside its table.
    while (colorMap_.Count() <= highest) colorMap_.AppendColor(TRgb{});
}

void TGIFSubImage::ImportTrueColor(const TRaster& source, const TGifProgress& progress) {
    TRecentColors recent;
    std::uint8_t* out = pixels_.data();
    for (int y = 0; y < height_; ++y) {
        stepEvery32Rows(progress, y, height_);
        for (int x = 0; x < width_; ++x) {
            TRgb c = rgbOf(source.Pixel(x, y));
            int index = recent.Find(c);
            if (index < 0) {
                index = colorMap_.FindOrAppendColor(c);  // "Color table overflow" at the 257th
                recent.Add(c, index);
            }
            *out++ = std::uint8_t(index);
        }
    }
}

}  // namespace gs
