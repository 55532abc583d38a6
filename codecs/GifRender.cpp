#include "codecs/GifRender.h"

#include <algorithm>
#include <limits>

#include "codecs/ColorLookup.h"
#include "codecs/ColorPalettes.h"
#include "codecs/Dither.h"

namespace gs {

namespace {

constexpr int kRowsPerRenderStep = 32;

std::vector<TRgb> paletteOf(const TGIFSubImage& frame) {
    std::vector<TRgb> palette(256, TRgb{0, 0, 0});  // indices beyond the table draw black
    const auto colors = frame.EffectiveColorMap().Colors();
    std::copy(colors.begin(), colors.end(), palette.begin());
    return palette;
}

// The canvas of the logical screen, refused before it is made when it would pass the
// ceiling (a screen may be set or widened to 65,535 x 65,535, 17 GB of canvas).
TRaster screenCanvas(const TGIFImage& image) {
    if (std::uint64_t(image.Width()) * std::uint64_t(image.Height()) > kMaxGifScreenPixels)
        throw GIFException(gifmsg::kInvalidDimensions);
    return TRaster(image.Width(), image.Height(), PixelFormat::pf32bit);
}

std::optional<int> transparentIndexOf(const TGIFSubImage& frame) {
    const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    if (!gce || !gce->Transparent()) return std::nullopt;
    return gce->TransparentColorIndex();
}

}  // namespace

TDisposal DisposalOf(const TGIFSubImage& frame) {
    const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    return gce ? TDisposal(std::min(gce->Disposal(), 3)) : TDisposal::dmNone;
}

TRgb PainterBackground(const TGIFImage& image, TRgb windowColor) {
    if (image.BackgroundColorValue() != clNone) return rgbOfColor(image.BackgroundColorValue());
    if (image.GlobalColorMap().Empty()) return windowColor;
    return image.BackgroundColor();
}

TRenderedFrame RenderFrame(const TGIFSubImage& frame, bool dither) {
    TRenderedFrame out;
    const int w = frame.Width(), h = frame.Height();
    out.Bitmap = TRaster(w, h, PixelFormat::pf8bit);
    const std::vector<TRgb> palette = paletteOf(frame);
    if (frame.Empty()) {
        out.Bitmap.SetPalette(palette);
        return out;
    }
    const TGifProgress progress(frame.Image().OnProgress(), gifmsg::kProgressRender);
    const auto rowDone = [&](int y) {
        if (y % kRowsPerRenderStep == 0) progress.Step(int(std::int64_t(y) * 100 / h));
    };
    const std::optional<int> transparent = transparentIndexOf(frame);
    const auto pixels = frame.Pixels();
    // An opaque frame needs no mask: none is made.
    TGIFMask mask{w, h, std::vector<std::uint8_t>(transparent ? std::size_t(w) * std::size_t(h) : 0, 0)};
    bool anyMasked = false;
    if (!dither) {
        out.Bitmap.SetPalette(palette);
        for (int y = 0; y < h; ++y) {
            rowDone(y);
            std::copy_n(pixels.data() + std::size_t(y) * std::size_t(w), w, out.Bitmap.IndexRow(y));
            if (!transparent) continue;
            for (int x = 0; x < w; ++x)
                if (pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] == *transparent)
                    mask.bits[std::size_t(y) * std::size_t(w) + std::size_t(x)] = anyMasked = true;
        }
    } else {
        // Through the colour cube with error diffusion, serpentine; the transparent pixels
        // are masked and take the cube entry of the transparent colour, undithered.
        TNetscapeColorLookup cube;
        TFloydSteinbergDitherer ditherer(w, cube);
        out.Bitmap.SetPalette(webCubePalette());
        TRgb chosen;
        const int transparentCube =
            transparent ? cube.MatchColor(palette[std::size_t(*transparent)].r, palette[std::size_t(*transparent)].g,
                                          palette[std::size_t(*transparent)].b, chosen)
                        : -1;
        for (int y = 0; y < h; ++y) {
            rowDone(y);
            for (int n = 0; n < w; ++n) {
                const int x = ditherer.Column();
                const std::uint8_t index = pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)];
                const TRgb c = palette[index];
                const int mapped = ditherer.DitherPixel(c.r, c.g, c.b, chosen);
                if (transparent && index == *transparent) {
                    out.Bitmap.SetIndexAt(x, y, std::uint8_t(transparentCube));
                    mask.bits[std::size_t(y) * std::size_t(w) + std::size_t(x)] = anyMasked = true;
                } else {
                    out.Bitmap.SetIndexAt(x, y, std::uint8_t(mapped));
                }
            }
            ditherer.NextRow();
        }
    }
    if (anyMasked) out.Mask = std::move(mask);
    return out;
}

const TRenderedFrame& TGIFSubImage::RenderedBitmap(bool dither) const {
    if (!rendered_ || renderedDithered_ != dither) {
        rendered_.reset();
        rendered_ = RenderFrame(*this, dither);
        renderedDithered_ = dither;
    }
    return *rendered_;
}

TGIFCompositor::TGIFCompositor(const TGIFImage& image, TRgb background, bool dither)
    : TGIFCompositor(image, argbOf(background), dither) {}

TGIFCompositor::TGIFCompositor(const TGIFImage& image, Argb background, bool dither)
    : image_(image),
      background_(background),
      dither_(dither),
      canvas_(screenCanvas(image)) {
    canvas_.Fill(background_);
}

void TGIFCompositor::Clear() {
    canvas_.Fill(background_);
    previous_.reset();
    last_ = -1;
}

void TGIFCompositor::RestoreBackground(const TGIFSubImage& frame) {
    const int right = std::min(frame.Left() + frame.Width(), canvas_.Width());
    const int bottom = std::min(frame.Top() + frame.Height(), canvas_.Height());
    for (int y = std::max(frame.Top(), 0); y < bottom; ++y)
        for (int x = std::max(frame.Left(), 0); x < right; ++x) canvas_.SetPixel(x, y, background_);
}

const TRaster& TGIFCompositor::Show(int index) {
    if (last_ >= 0) {
        const TGIFSubImage& before = image_.Frame(last_);
        switch (DisposalOf(before)) {
            case TDisposal::dmBackground: RestoreBackground(before); break;
            case TDisposal::dmPrevious:
                if (previous_) canvas_ = *previous_;
                break;
            default: break;
        }
    }
    const TGIFSubImage& frame = image_.Frame(index);
    if (DisposalOf(frame) == TDisposal::dmPrevious) previous_ = canvas_;
    else previous_.reset();
    last_ = index;
    if (frame.Empty()) return canvas_;
    const TRenderedFrame& rendered = frame.RenderedBitmap(dither_);
    const std::span<const TRgb> palette = rendered.Bitmap.Palette();
    const TGIFMask* mask = rendered.Mask ? &*rendered.Mask : nullptr;
    for (int y = 0; y < frame.Height(); ++y) {
        const int cy = frame.Top() + y;
        if (cy < 0 || cy >= canvas_.Height()) continue;
        const std::uint8_t* row = rendered.Bitmap.IndexRow(y);
        for (int x = 0; x < frame.Width(); ++x) {
            const int cx = frame.Left() + x;
            if (cx < 0 || cx >= canvas_.Width()) continue;
            if (mask && mask->bits[std::size_t(y) * std::size_t(frame.Width()) + std::size_t(x)]) continue;
            canvas_.SetPixel(cx, cy, argbOf(palette[row[x]]));
        }
    }
    return canvas_;
}

int PainterWaitMs(int delayUnits, int speed, std::int64_t sinceShownMs, bool inlinePainter) {
    if (speed < 1) return kMaxInlineDelayUnits * kDelayUnitMs;
    const std::int64_t wait = (std::int64_t(delayUnits) * kDelayUnitMs - sinceShownMs / 2) * 100 / speed;
    (void)inlinePainter;
    return int(std::clamp<std::int64_t>(wait, 0, std::numeric_limits<int>::max()));
}

namespace {
int delayUnitsOf(const TGIFSubImage& frame, bool inlinePainter) {
    const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    int units = gce && gce->Delay() != 0 ? gce->Delay() : kDefaultDelayUnits;
    units = std::max(units, kMinDelayUnits);
    if (inlinePainter) units = std::min(units, kMaxInlineDelayUnits);
    return units;
}
}  // namespace

TPainterTimetable::TPainterTimetable(const TGIFImage& image, TGIFDrawOptions options, int speed)
    : image_(image), options_(options), speed_(speed) {}

TPainterStep TPainterTimetable::EndStep() {
    ended_ = true;
    return {TPainterStep::Kind::End};
}

TPainterStep TPainterTimetable::Next() {
    constexpr int kForever = std::numeric_limits<int>::max();
    const bool animate = (options_ & gdAnimate) != 0;
    const bool continuously = (options_ & gdLoopContinuously) != 0;
    while (!ended_) {
        const bool firstOfPass = !shownInPass_;
        if (inPass_ && next_ >= 0 && next_ < image_.FrameCount() && !image_.Frame(next_).Empty() && (animate || firstOfPass)) {
            const int i = next_++;
            const TGIFSubImage& frame = image_.Frame(i);
            for (int e = 0; e < frame.ExtensionCount() && !loopSeen_; ++e)
                if (auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(&frame.Extension(e))) {
                    loopSeen_ = true;
                    counter_ = loop->loops == 0 ? kForever : loop->loops;
                    firstOfLoop_ = i;
                }
            shownInPass_ = true;
            const int units = delayUnitsOf(frame, false);
            return {TPainterStep::Kind::Frame, i, PainterWaitMs(units, speed_, 0, false), units};
        }
        if (inPass_) {
            inPass_ = false;
            if (!shownInPass_) return EndStep();  // nothing to show: looping would spin
            if (counter_ != kForever && counter_ > 0) --counter_;
            if (!(animate && (options_ & gdLoop)) && !continuously) return EndStep();
        }
        if (counter_ <= 0 && !continuously) return EndStep();
        inPass_ = true;
        shownInPass_ = false;
        next_ = passes_++ == 0 ? 0 : firstOfLoop_;
        if (passes_ > 1) return {TPainterStep::Kind::Loop};
    }
    return {TPainterStep::Kind::End};
}

int TPainterTimetable::PeekFrame() const {
    if (ended_) return -1;
    return next_ >= 0 && next_ < image_.FrameCount() ? next_ : firstOfLoop_;
}

void TPainterTimetable::Restart() {
    counter_ = 1;
    firstOfLoop_ = 0;
    next_ = 0;
    passes_ = 0;
    inPass_ = shownInPass_ = loopSeen_ = ended_ = false;
}

std::vector<TPainterStep> PainterSchedule(const TGIFImage& image, int speed, int maxPasses) {
    std::vector<TPainterStep> steps;
    if (maxPasses < 1) return {{TPainterStep::Kind::End}};
    TPainterTimetable timetable(image, image.DrawOptions(), speed);
    int passes = 1;
    for (TPainterStep step = timetable.Next(); step.What != TPainterStep::Kind::End; step = timetable.Next()) {
        if (step.What == TPainterStep::Kind::Loop && ++passes > maxPasses) break;
        steps.push_back(step);
    }
    steps.push_back({TPainterStep::Kind::End});
    return steps;
}

}  // namespace gs
