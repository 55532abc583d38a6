#include "app/core/ListPicture.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "iconlib/HiResIcon.h"
#include "iconlib/Icon.h"
#include "iconlib/IconBounds.h"
#include "iconlib/IconPicture.h"

namespace gs {

namespace {

constexpr std::size_t kMaxPalette = 256;
static_assert(2 * kMaxPalette == 1u << 9, "the colour table's hash gives 9 bits");

}  // namespace

TListPicture::TListPicture(const TIconPicture& picture) {
    const std::size_t count = std::size_t(std::max(picture.width, 0)) * std::size_t(std::max(picture.height, 0));
    // A picture whose buffers do not cover its size stays empty rather than be read past them.
    if (count == 0 || picture.colour.size() < count || (!picture.hasAlpha && picture.mask.size() < count)) return;
    width_ = picture.width;
    height_ = picture.height;
    auto data = std::make_shared<Pixels>();
    if (!index(picture, count, *data)) {
        // Too many colours for a palette: every pixel is kept whole.
        data->pixels.resize(count);
        for (std::size_t i = 0; i < count; ++i) data->pixels[i] = picture.rgbaAt(i);
    }
    data_ = std::move(data);
}

bool TListPicture::index(const TIconPicture& picture, std::size_t count, Pixels& into) {
    // An open-addressed table of the colours met so far, twice the palette's size so a probe
    // stays short; every icon's every pixel passes through here once per listing.
    constexpr std::size_t kSlots = 2 * kMaxPalette;
    std::array<Argb, kSlots> colours{};
    std::array<std::uint16_t, kSlots> entries{};  // palette index + 1; 0 for a free slot
    std::vector<Argb>& palette = into.palette;
    std::vector<std::uint8_t>& indexes = into.indexes;
    indexes.resize(count);
    Argb last = 0;
    std::uint8_t lastIndex = 0;
    bool haveLast = false;
    for (std::size_t i = 0; i < count; ++i) {
        const Argb pixel = picture.rgbaAt(i);
        if (!haveLast || pixel != last) {
            std::size_t slot = (pixel * 0x9E3779B1u) >> 23;  // 9 bits: kSlots
            while (entries[slot] != 0 && colours[slot] != pixel) slot = (slot + 1) % kSlots;
            if (entries[slot] == 0) {
                if (palette.size() == kMaxPalette) {
                    palette = {};
                    indexes = {};
                    return false;
                }
                palette.push_back(pixel);
                colours[slot] = pixel;
                entries[slot] = std::uint16_t(palette.size());
            }
            last = pixel;
            lastIndex = std::uint8_t(entries[slot] - 1);
            haveLast = true;
        }
        indexes[i] = lastIndex;
    }
    palette.shrink_to_fit();
    return true;
}

TListPicture TListPicture::FromIcon(const TQBHiResIcon* icon) {
    if (!icon || icon->Empty()) return {};
    return TListPicture(*icon->Handle());
}

Argb TListPicture::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    const std::size_t i = std::size_t(y) * std::size_t(width_) + std::size_t(x);
    return Indexed() ? data_->palette[data_->indexes[i]] : data_->pixels[i];
}

void TListPicture::ExpandRow(int y, Argb* out) const {
    ExpandRowAs(y, out, Palette(), [](Argb c) { return c; });
}

const std::vector<Argb>& TListPicture::Palette() const {
    static const std::vector<Argb> none;
    return data_ ? data_->palette : none;
}

std::size_t TListPicture::HeapBytes() const {
    if (!data_) return 0;
    return sizeof(Pixels) + data_->palette.capacity() * sizeof(Argb) + data_->indexes.capacity() +
           data_->pixels.capacity() * sizeof(Argb);
}

std::optional<std::size_t> TSameImages::Seen(const TQBIcon& icon, std::size_t place) {
    std::vector<ImageKey> key;
    const TQBIconImageList& images = icon.Images();
    key.reserve(images.Count());
    for (std::uint16_t i = 0; i < images.Count(); ++i) {
        const TQBIconImage& image = *images.GetImage(i);
        key.emplace_back(image.SharedData().get(), image.Width(), image.Height(), image.ColorCount(), image.Planes(),
                         image.BitCount());
    }
    const auto [at, added] = first_.try_emplace(std::move(key), place);
    if (added) return std::nullopt;
    return at->second;
}

TListDecodeBudget::TListDecodeBudget(std::uint64_t fileSize)
    : left_(std::max(kFloorPixels, std::min(fileSize, UINT64_MAX / kPixelsPerFileByte) * kPixelsPerFileByte)) {}

std::uint64_t TListDecodeBudget::CostOf(const TQBIcon& icon) {
    std::uint64_t largest = 0;
    bool exact32 = false, exact16 = false;
    const TQBIconImageList& images = icon.Images();
    for (std::uint16_t i = 0; i < images.Count(); ++i) {
        const TQBIconImage& image = *images.GetImage(i);
        exact32 = exact32 || (image.Width() == 32 && image.Height() == 32);
        exact16 = exact16 || (image.Width() == 16 && image.Height() == 16);
        // A side past the largest is never decoded: only its header is read.
        const auto side = bounds::declaredSide(image.Data());
        if (side && bounds::sideFits(*side))
            largest = std::max(largest, std::uint64_t(side->width) * std::uint64_t(side->height));
    }
    return (exact32 ? 32 * 32 : largest) + (exact16 ? 16 * 16 : largest);
}

bool TListDecodeBudget::Take(const TQBIcon& icon) {
    const std::uint64_t cost = CostOf(icon);
    if (cost > left_) return false;
    left_ -= cost;
    return true;
}

}  // namespace gs
