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
    const TGIFImage& image = frame.image();
    return frame.left() == 0 && frame.top() == 0 && frame.width() == image.width() && frame.height() == image.height();
}

// A new image takes everything from scratch; a failed frame leaves no logical screen.
template <class Source>
void assignOne(TGIFImage& image, const Source& source) {
    image.reset();
    try {
        image.addFrame(source);
    } catch (...) {
        image.reset();
        throw;
    }
}

// The palette a picture shows with is its own, apart from the colour tables: setting it
// changes neither the pixels nor the file written. False when it is the palette already.
bool StorePalette(std::vector<Rgb>& kept, std::span<const Rgb> palette) {
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

std::vector<Rgb> TGIFImage::getPalette(int displayBitsPerPixel) const {
    if (!palette_.empty()) return palette_;
    if (DitherInForce(drawOptions_, displayBitsPerPixel)) return webCubePalette();
    const auto global = globalColorMap().colors();
    if (!global.empty()) return {global.begin(), global.end()};
    if (empty()) return {};
    // Not the frame's getPalette, which would come back here for a frame without a table.
    const TGIFSubImage& first = frame(0);
    if (!first.palette_.empty()) return first.palette_;
    const auto own = first.colorMap().colors();
    return {own.begin(), own.end()};
}

std::vector<Rgb> TGIFSubImage::getPalette(int displayBitsPerPixel) const {
    if (!palette_.empty()) return palette_;
    if (DitherInForce(image_.drawOptions(), displayBitsPerPixel)) return webCubePalette();
    if (!colorMap_.empty()) return {colorMap_.colors().begin(), colorMap_.colors().end()};
    return image_.getPalette(displayBitsPerPixel);
}

// Whoever plays or shows the picture is told of a new palette; a rendering made with other
// colours is dropped, and only then is the palette marked modified.
void TGIFSubImage::setPalette(std::span<const Rgb> palette) {
    if (!StorePalette(palette_, palette)) return;
    const bool otherColours = rendered_ && rendered_->Bitmap.palette() != palette_;
    image_.stopDrawing();
    if (otherColours) {
        dropRendering();
        image_.paletteModified_ = true;
    }
    image_.imageChanged();
}

void TGIFImage::setPalette(std::span<const Rgb> palette) {
    if (!StorePalette(palette_, palette)) return;
    const bool otherColours = rendered_ && rendered_->palette() != palette_;
    stopDrawing();
    if (otherColours) paletteModified_ = true;
    imageChanged();
}

const Raster* TGIFImage::renderedBitmap() const {
    if (empty()) return nullptr;
    if (!rendered_) {
        const TGIFSubImage& first = frame(0);
        if (coversScreen(first)) {
            rendered_ = first.renderedBitmap().Bitmap;
        } else {
            TGIFCompositor screen(*this, PainterBackground(*this));
            rendered_ = screen.Show(0);
        }
        paletteModified_ = false;
    }
    return &*rendered_;
}

void TGIFImage::assignTo(Raster& dest) const {
    const Raster* bitmap = renderedBitmap();
    dest = bitmap ? *bitmap : Raster();
}

int TGIFImage::addFrame(const TQBHiResIcon& icon) {
    auto frame = std::make_unique<TGIFSubImage>(*this);
    frame->assign(icon);
    return addFrame(std::move(frame));
}

int TGIFImage::addFrame(const TQBIcon& icon) {
    const std::unique_ptr<TQBHiResIcon> shown = IconShownOf(icon);
    return addFrame(shown ? *shown : TQBHiResIcon());
}

int TGIFImage::addFrame(const TMetafile& metafile) {
    auto frame = std::make_unique<TGIFSubImage>(*this);
    frame->assign(metafile);
    return addFrame(std::move(frame));
}

void TGIFImage::assign(const TMetafile& metafile) { assignOne(*this, metafile); }
void TGIFImage::assign(const TQBHiResIcon& icon) { assignOne(*this, icon); }
void TGIFImage::assign(const TQBIcon& icon) { assignOne(*this, icon); }

std::unique_ptr<TQBHiResIcon> IconShownOf(const TQBIcon& icon) {
    if (auto best = GetBest32Icon(icon)) return best;
    return GetFirstIcon(icon);
}

TIconComposite IconComposite(const TQBHiResIcon& icon) {
    TIconComposite out;
    const std::shared_ptr<const IconPicture>& picture = icon.Handle();
    if (!picture || picture->width <= 0 || picture->height <= 0) return out;
    out.Picture = Raster(picture->width, picture->height, PixelFormat::pf24bit);
    picture->drawOn(out.Picture, 0, 0);
    out.Mask = {picture->width, picture->height, {}};
    out.Mask.bits.reserve(std::size_t(picture->width) * std::size_t(picture->height));
    for (int y = 0; y < picture->height; ++y)
        for (int x = 0; x < picture->width; ++x) out.Mask.bits.push_back(alphaOf(picture->rgbaAt(x, y)) == 0 ? 1 : 0);
    return out;
}

void TGIFSubImage::assign(const TMetafile& metafile) {
    if (metafile.Empty()) {
        reset();
        return;
    }
    // Drawn on white and on black: where the two differ, nothing of the picture was drawn.
    const Raster onWhite = metafile.Draw(kWhite);
    const Raster onBlack = metafile.Draw(makeArgb(0, 0, 0));
    TGIFMask mask{onWhite.width(), onWhite.height(), {}};
    mask.bits.reserve(std::size_t(onWhite.width()) * std::size_t(onWhite.height()));
    for (int y = 0; y < onWhite.height(); ++y)
        for (int x = 0; x < onWhite.width(); ++x) mask.bits.push_back(onWhite.pixel(x, y) != onBlack.pixel(x, y) ? 1 : 0);
    assign(onWhite);
    applyTransparency(mask, rgbOf(kWhite));
}

void TGIFSubImage::assign(const TQBHiResIcon& icon) {
    TIconComposite composite = IconComposite(icon);
    if (composite.Picture.empty()) {
        reset();
        return;
    }
    assign(composite.Picture);
    applyTransparency(composite.Mask, rgbOf(kWhite));
}

}  // namespace gs
