#include "iconlib/IconChoice.h"

#include <array>
#include <exception>

#include "iconlib/IconBounds.h"
#include "iconlib/Resample.h"
#include "platform/ByteWriter.h"
#include "platform/Dib.h"

namespace gs {

namespace {

// Colour classes from the best to the worst.
constexpr std::array<int, 3> kClassPreference = {256, 16, 2};
// No icon image is rendered larger than the icon-file format's largest size.
constexpr int kMaxRenderSize = 256;
// The preview leaves one pixel around each image: a cell is the image and two pixels.
constexpr int kPreviewMargin = 1;
constexpr int kPreviewCellExtra = 2 * kPreviewMargin;

constexpr std::uint16_t kTrueColourBits = 32;

// The sizes tried, best first, before the first image.
std::array<int, 3> fallbackOrder(int size) {
    if (size == kIconSize48) return {kIconSize48, kIconSize32, kIconSize16};
    if (size == kIconSize32) return {kIconSize32, kIconSize48, kIconSize16};
    return {kIconSize16, kIconSize32, kIconSize48};
}

std::unique_ptr<TQBHiResIcon> bestExactIcon(const TQBIcon& icon, int size) {
    for (int cls : kClassPreference)
        if (auto found = FindExactIcon(icon, size, cls)) return found;
    return nullptr;
}

std::unique_ptr<TQBHiResIcon> iconOfSize(const TQBIcon& icon, int size) {
    try {
        for (int s : fallbackOrder(size))
            if (auto found = bestExactIcon(icon, s)) return s == size ? std::move(found) : RenderIcon(std::move(found), size);
        if (auto first = GetFirstIcon(icon)) return RenderIcon(std::move(first), size);
    } catch (const std::exception&) {
        // Nothing to hand out rather than an error: the caller shows no icon.
    }
    return nullptr;
}

// CreateIcon decodes the image on first use; an image that cannot be decoded gives an
// icon that draws nothing, and running out of memory gives no icon.
std::unique_ptr<TQBHiResIcon> iconOfImage(const TQBIconImage& image) {
    try {
        return image.CreateIcon();
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::optional<TRaster> bitmapOf(const TQBHiResIcon* icon, int size) {
    if (!icon) return std::nullopt;
    TRaster bitmap(size, size, kIconBitmapFormat);
    icon->Draw(bitmap, TIconRect{0, 0, size, size});
    return bitmap;
}

void copyInto(TRaster& canvas, const TRaster& part, int x0, int y0) {
    for (int y = 0; y < part.Height(); ++y)
        for (int x = 0; x < part.Width(); ++x) canvas.SetPixel(x0 + x, y0 + y, part.Pixel(x, y));
}

void writeInfoHeader(TByteWriter& w, const TIconPicture& pic, std::uint32_t imageBytes) {
    w.U32(kInfoHeaderSize);
    w.U32(std::uint32_t(pic.width));
    w.U32(std::uint32_t(pic.height) * 2);  // the colour rows and the mask's
    w.U16(1);
    w.U16(kTrueColourBits);
    w.U32(kBiRgb);
    w.U32(imageBytes);
    w.U32(0);
    w.U32(0);
    w.U32(0);
    w.U32(0);
}

// Colour of a pixel as stored: a picture without alpha keeps alpha 0 throughout, so that
// readers take its mask; a wholly transparent pixel of an alpha picture is stored black,
// which its mask bit then leaves transparent in readers that ignore alpha.
std::uint32_t storedColour(const TIconPicture& pic, std::size_t i) {
    const Argb c = pic.colour[i];
    if (!pic.hasAlpha) return c & 0x00FFFFFFu;
    return alphaOf(c) == 0 ? 0 : c;
}

bool maskBit(const TIconPicture& pic, std::size_t i) {
    if (pic.hasAlpha) return alphaOf(pic.colour[i]) == 0;
    return i < pic.mask.size() && pic.mask[i] != 0;
}

}  // namespace

std::unique_ptr<TQBHiResIcon> FindExactIcon(const TQBIcon& icon, int size, int colorClass) {
    const TQBIconImageList& images = icon.Images();
    for (std::uint16_t i = 0; i < images.Count(); ++i) {
        const TQBIconImage* image = images.GetImage(i);
        if (image->Width() == size && image->Height() == size && image->GetColorClass() == colorClass)
            return iconOfImage(*image);
    }
    return nullptr;
}

std::unique_ptr<TQBHiResIcon> GetBest48Icon(const TQBIcon& icon) { return bestExactIcon(icon, kIconSize48); }
std::unique_ptr<TQBHiResIcon> GetBest32Icon(const TQBIcon& icon) { return bestExactIcon(icon, kIconSize32); }
std::unique_ptr<TQBHiResIcon> GetBest16Icon(const TQBIcon& icon) { return bestExactIcon(icon, kIconSize16); }

std::unique_ptr<TQBHiResIcon> GetFirstIcon(const TQBIcon& icon) {
    const TQBIconImage* first = icon.Images().GetImage(0);
    return first ? iconOfImage(*first) : nullptr;
}

std::unique_ptr<TQBHiResIcon> GetIcon48(const TQBIcon& icon) { return iconOfSize(icon, kIconSize48); }
std::unique_ptr<TQBHiResIcon> GetIcon32(const TQBIcon& icon) { return iconOfSize(icon, kIconSize32); }
std::unique_ptr<TQBHiResIcon> GetIcon16(const TQBIcon& icon) { return iconOfSize(icon, kIconSize16); }

std::unique_ptr<TQBHiResIcon> RenderIcon(std::unique_ptr<TQBHiResIcon> icon, int size) {
    if (!icon || icon->Empty() || size < 1 || size > kMaxRenderSize) return icon;
    try {
        auto image = EncodeIconImage(resamplePicture(*icon->Handle(), size, size));
        auto rendered = image->CreateIcon();
        if (!rendered->Empty()) return rendered;
    } catch (const std::exception&) {
        // The input is handed back: at worst the caller gets the icon at the size it had.
    }
    return icon;
}

std::optional<TRaster> GetBitmap48(const TQBIcon& icon) { return bitmapOf(GetBest48Icon(icon).get(), kIconSize48); }
std::optional<TRaster> GetBitmap32(const TQBIcon& icon) { return bitmapOf(GetBest32Icon(icon).get(), kIconSize32); }
std::optional<TRaster> GetBitmap16(const TQBIcon& icon) { return bitmapOf(GetBest16Icon(icon).get(), kIconSize16); }

std::optional<TRaster> GetScaledBitmap48(const TQBIcon& icon) { return bitmapOf(GetIcon48(icon).get(), kIconSize48); }
std::optional<TRaster> GetScaledBitmap32(const TQBIcon& icon) { return bitmapOf(GetIcon32(icon).get(), kIconSize32); }
std::optional<TRaster> GetScaledBitmap16(const TQBIcon& icon) { return bitmapOf(GetIcon16(icon).get(), kIconSize16); }

std::optional<TRaster> GetPreviewBitmap(const TQBIcon& icon) {
    // Smallest first, so that the images stand left to right by size.
    const std::array<std::optional<TRaster>, 3> parts = {GetBitmap16(icon), GetBitmap32(icon), GetBitmap48(icon)};
    int width = 0, height = 0;
    for (const auto& part : parts)
        if (part) {
            width += part->Width() + kPreviewCellExtra;
            height = part->Height() + kPreviewCellExtra;  // the largest comes last
        }
    if (width == 0) return std::nullopt;
    TRaster preview(width, height, kIconBitmapFormat);
    int x = 0;
    for (const auto& part : parts)
        if (part) {
            copyInto(preview, *part, x + kPreviewMargin, height - kPreviewMargin - part->Height());
            x += part->Width() + kPreviewCellExtra;
        }
    return preview;
}

std::unique_ptr<TQBIconImage> EncodeIconImage(const TIconPicture& pic) {
    if (!pic.wellFormed() || pic.width > bounds::kMaxIconSide || pic.height > bounds::kMaxIconSide)
        throw EQBICLReadError("Unable to encode a picture of " + std::to_string(pic.width) + " x " +
                              std::to_string(pic.height) + " pixels as an icon image.");
    const std::uint64_t maskStride = dibStride(std::uint64_t(pic.width), 1);
    const std::uint64_t colourBytes = 4 * std::uint64_t(pic.width) * std::uint64_t(pic.height);
    TByteWriter w;
    writeInfoHeader(w, pic, std::uint32_t(colourBytes + maskStride * std::uint64_t(pic.height)));
    for (int y = pic.height - 1; y >= 0; --y)
        for (int x = 0; x < pic.width; ++x) w.U32(storedColour(pic, std::size_t(y) * std::size_t(pic.width) + std::size_t(x)));
    TBytes row(maskStride);
    for (int y = pic.height - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < pic.width; ++x)
            if (maskBit(pic, std::size_t(y) * std::size_t(pic.width) + std::size_t(x)))
                row[std::size_t(x) >> 3] |= std::uint8_t(0x80u >> (x & 7));
        w.Bytes(row);
    }
    TIconImageHead head;
    head.Width = pic.width;
    head.Height = pic.height;
    head.Planes = 1;
    head.BitCount = kTrueColourBits;
    return std::make_unique<TQBIconImage>(head, w.Take());
}

std::unique_ptr<TQBIcon> IconOfPicture(const TQBHiResIcon& icon) {
    if (icon.Empty()) return nullptr;
    auto result = std::make_unique<TQBIcon>();
    result->Images().Add(EncodeIconImage(*icon.Handle()));
    return result;
}

}  // namespace gs
