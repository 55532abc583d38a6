// A GIF image taken as one picture: its palette, the bitmap it renders to, and the images
// made from icons and metafiles.
#include <algorithm>

#include "codecs/ColorPalettes.h"
#include "codecs/GifImage.h"
#include "codecs/GifRender.h"
#include "codecs/Metafile.h"
#include "iconlib/IconChoice.h"

namespace gs {

namespace {
constexpr int kMaxDitheredDisplayBits = 8;

bool coversScreen(const TGIFSubImage& frame) {
    const TGIFImage& image = frame.Image();
    return frame.Left() == 0 && frame.Top() == 0 && frame.Width() == image.Width() && frame.Height() == image.Height();
}

// A new image takes everything from scratch; a failed frame leaves no logical screen.
template <class Source>
void assignOne(TGIFImage& image, const Source& source) {
    image.Reset();
    try {
        image.AddFrame(source);
    } catch (...) {
        image.Reset();
        throw;
    }
}

// The palette a picture shows with is its own, apart from the colour tables: setting it
// changes neither the pixels nor the file written. False when it is the palette already.
bool StorePalette(std::vector<TRgb>& kept, std::span<const TRgb> palette) {
    if (palette.size() > std::size_t(TGIFColorMap::kMaxColors)) throw GIFException(gifmsg::kColorTableOverflow);
    if (std::equal(kept.begin(), kept.end(), palette.begin(), palette.end())) return false;
    kept.assign(palette.begin(), palette.end());
    return true;
}
}  // namespace

bool DitherInForce(TGIFDrawOptions options, int displayBitsPerPixel) {
    if (!(options & gdDither)) return false;
    return !(options & gdAutoDither) || displayBitsPerPixel <= kMaxDitheredDisplayBits;
}

std::vector<TRgb> TGIFImage::GetPalette(int displayBitsPerPixel) const {
    if (!palette_.empty()) return palette_;
    if (DitherInForce(drawOptions_, displayBitsPerPixel)) return webCubePalette();
    const auto global = GlobalColorMap().Colors();
    if (!global.empty()) return {global.begin(), global.end()};
    if (Empty()) return {};
    // Not the frame's GetPalette, which would come back here for a frame without a table.
    const TGIFSubImage& first = Frame(0);
    if (!first.palette_.empty()) return first.palette_;
    const auto own = first.ColorMap().Colors();
    return {own.begin(), own.end()};
}

std::vector<TRgb> TGIFSubImage::GetPalette(int displayBitsPerPixel) const {
    if (!palette_.empty()) return palette_;
    if (DitherInForce(image_.DrawOptions(), displayBitsPerPixel)) return webCubePalette();
    if (!colorMap_.Empty()) return {colorMap_.Colors().begin(), colorMap_.Colors().end()};
    return image_.GetPalette(displayBitsPerPixel);
}

// Whoever plays or shows the picture is told of a new palette; a rendering made with other
// colours is dropped, and only then is the palette marked modified.
void TGIFSubImage::SetPalette(std::span<const TRgb> palette) {
    if (!StorePalette(palette_, palette)) return;
    const bool otherColours = rendered_ && rendered_->Bitmap.Palette() != palette_;
    image_.StopDrawing();
    if (otherColours) {
        DropRendering();
        image_.paletteModified_ = true;
    }
    image_.ImageChanged();
}

void TGIFImage::SetPalette(std::span<const TRgb> palette) {
    if (!StorePalette(palette_, palette)) return;
    const bool otherColours = rendered_ && rendered_->Palette() != palette_;
    StopDrawing();
    if (otherColours) paletteModified_ = true;
    ImageChanged();
}

const TRaster* TGIFImage::RenderedBitmap() const {
    if (Empty()) return nullptr;
    if (!rendered_) {
        const TGIFSubImage& first = Frame(0);
        if (coversScreen(first)) {
            rendered_ = first.RenderedBitmap().Bitmap;
        } else {
            TGIFCompositor screen(*this, PainterBackground(*this));
            rendered_ = screen.Show(0);
        }
        paletteModified_ = false;
    }
    return &*rendered_;
}

void TGIFImage::AssignTo(TRaster& dest) const {
    const TRaster* bitmap = RenderedBitmap();
    dest = bitmap ? *bitmap : TRaster();
}

int TGIFImage::AddFrame(const TQBHiResIcon& icon) {
    auto frame = std::make_unique<TGIFSubImage>(*this);
    frame->Assign(icon);
    return AddFrame(std::move(frame));
}

int TGIFImage::AddFrame(const TQBIcon& icon) {
    const std::unique_ptr<TQBHiResIcon> shown = IconShownOf(icon);
    return AddFrame(shown ? *shown : TQBHiResIcon());
}

int TGIFImage::AddFrame(const TMetafile& metafile) {
    auto frame = std::make_unique<TGIFSubImage>(*this);
    frame->Assign(metafile);
    return AddFrame(std::move(frame));
}

void TGIFImage::Assign(const TMetafile& metafile) { assignOne(*this, metafile); }
void TGIFImage::Assign(const TQBHiResIcon& icon) { assignOne(*this, icon); }
void TGIFImage::Assign(const TQBIcon& icon) { assignOne(*this, icon); }

std::unique_ptr<TQBHiResIcon> IconShownOf(const TQBIcon& icon) {
    if (auto best = GetBest32Icon(icon)) return best;
    return GetFirstIcon(icon);
}

TIconComposite IconComposite(const TQBHiResIcon& icon) {
    TIconComposite out;
    const std::shared_ptr<const TIconPicture>& picture = icon.Handle();
    if (!picture || picture->width <= 0 || picture->height <= 0) return out;
    out.Picture = TRaster(picture->width, picture->height, PixelFormat::pf24bit);
    picture->drawOn(out.Picture, 0, 0);
    out.Mask = {picture->width, picture->height, {}};
    out.Mask.bits.reserve(std::size_t(picture->width) * std::size_t(picture->height));
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < picture->width; ++x) out.Mask.bits.push_back(alphaOf(picture->rgbaAt(x, y)) == 0 ? 1 : 0);
    return out;
}

void TGIFSubImage::Assign(const TMetafile& metafile) {
    if (metafile.Empty()) {
        Reset();
        return;
    }
    // Drawn on white and on black: where the two differ, nothing of the picture was drawn.
    const TRaster onWhite = metafile.Draw(kWhite);
    const TRaster onBlack = metafile.Draw(makeArgb(0, 0, 0));
    TGIFMask mask{onWhite.Width(), onWhite.Height(), {}};
    mask.bits.reserve(std::size_t(onWhite.Width()) * std::size_t(onWhite.Height()));
    for (int y = 0; y < onWhite.Height(); ++y)
        for (int x = 0; x < onWhite.Width(); ++x) mask.bits.push_back(onWhite.Pixel(x, y) != onBlack.Pixel(x, y) ? 1 : 0);
    Assign(onWhite);
    ApplyTransparency(mask, rgbOf(kWhite));
}

void TGIFSubImage::Assign(const TQBHiResIcon& icon) {
    TIconComposite composite = IconComposite(icon);
    if (composite.Picture.Empty()) {
        Reset();
        return;
    }
    Assign(composite.Picture);
    ApplyTransparency(composite.Mask, rgbOf(kWhite));
}

}  // namespace gs
