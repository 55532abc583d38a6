// A frame made from a picture: the size, the colour table and one index per pixel.
#include <algorithm>
#include <array>

#include "codecs/ColorReduction.h"
#include "codecs/GifImage.h"
#include "codecs/GifSubImage.h"

namespace gs {

namespace {

constexpr int kRowsPerProgressStep = 32;

void stepEvery32Rows(const GifProgress& progress, int row, int height) {
    if (row % kRowsPerProgressStep == 0) progress.step(int(std::int64_t(row) * 100 / height));
}

// The last colours seen and their table indices: runs and repeats of a colour skip the
// table search.
class RecentColors {
public:
    int find(Rgb color) {
        for (int k = 0; k < filled_; ++k) {
            int slot = (last_ - k) & kMask;
            if (slots_[std::size_t(slot)].color == color) {
                last_ = slot;
                return slots_[std::size_t(slot)].index;
            }
        }
        return -1;
    }
    void add(Rgb color, int index) {
        slots_[std::size_t(next_)] = {color, index};
        last_ = next_;
        next_ = (next_ + 1) & kMask;
        filled_ = std::min(filled_ + 1, kSlots);
    }

private:
    static constexpr int kSlots = 8;
    static constexpr int kMask = kSlots - 1;
    struct Slot {
        Rgb color;
        int index;
    };
    std::array<Slot, kSlots> slots_{};
    int filled_ = 0, last_ = 0, next_ = 0;
};

}  // namespace

void TGIFSubImage::assign(const Raster& source) {
    reset();
    if (source.empty()) return;
    setBounds(left_, top_, source.width(), source.height());
    Raster picture = isIndexed(source.format())
                         ? source
                         : reduceBitmapColors(source, image_.colorReduction(), image_.ditherMode(), image_.reductionBits());
    GifProgress progress(image_.onProgress(), gifmsg::kProgressConvert);
    if (isIndexed(picture.format()))
        importIndexed(picture, progress);
    else
        importTrueColor(picture, progress);
    if (source.transparent()) applyTransparency(transparencyMaskOf(source), picture.transparentColor());
    bitmap_ = std::move(picture);
}

void TGIFSubImage::importIndexed(const Raster& source, const GifProgress& progress) {
    colorMap_.loadFromPalette(source.palette());
    int highest = -1;
    for (int y = 0; y < height_; ++y) {
        stepEvery32Rows(progress, y, height_);
        const std::uint8_t* in = source.indexRow(y);
        std::copy_n(in, width_, pixels_.data() + std::size_t(y) * std::size_t(width_));
        highest = std::max(highest, int(*std::max_element(in, in + width_)));
    }
    // Indices beyond the palette are drawn black by the picture itself; they get black
    // entries so that every pixel of the frame lies inside its table.
    while (colorMap_.count() <= highest) colorMap_.appendColor(Rgb{});
}

void TGIFSubImage::importTrueColor(const Raster& source, const GifProgress& progress) {
    RecentColors recent;
    std::uint8_t* out = pixels_.data();
    for (int y = 0; y < height_; ++y) {
        stepEvery32Rows(progress, y, height_);
        for (int x = 0; x < width_; ++x) {
            Rgb c = rgbOf(source.pixel(x, y));
            int index = recent.find(c);
            if (index < 0) {
                index = colorMap_.findOrAppendColor(c);  // "Color table overflow" at the 257th
                recent.add(c, index);
            }
            *out++ = std::uint8_t(index);
        }
    }
}

}  // namespace gs
