#include "codecs/GifOptimize.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "codecs/GifRender.h"

namespace gs {

namespace {

struct TBox {
    int left, top, right, bottom;  // right and bottom exclusive
    bool Empty() const { return right <= left || bottom <= top; }
};
TBox boxOf(const TGIFSubImage& f) { return {f.Left(), f.Top(), f.Left() + f.Width(), f.Top() + f.Height()}; }
TBox overlap(const TBox& a, const TBox& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}
bool covers(const TBox& outer, const TBox& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right && outer.bottom >= inner.bottom;
}

std::optional<int> transparentIndex(const TGIFSubImage& f) {
    const TGIFGraphicControlExtension* gce = f.GraphicControlExtension();
    if (!gce || !gce->Transparent()) return std::nullopt;
    return gce->TransparentColorIndex();
}

TGIFGraphicControlExtension& controlOf(TGIFSubImage& f) {
    if (TGIFGraphicControlExtension* gce = f.GraphicControlExtension()) return *gce;
    f.AddExtension(std::make_unique<TGIFGraphicControlExtension>(&f));
    return *f.GraphicControlExtension();
}

bool usesGlobalColors(const TGIFSubImage& f) { return f.ColorMap().Empty(); }

bool usesIndex(const TGIFSubImage& f, int index) {
    const auto p = f.Pixels();
    return std::find(p.begin(), p.end(), std::uint8_t(index)) != p.end();
}

// The index a frame can make transparent, found or made on first need.
std::optional<int> transparentIndexFor(TGIFSubImage& frame) {
    if (auto t = transparentIndex(frame)) return t;
    TGIFImage& image = frame.Image();
    int index = -1;
    if (usesGlobalColors(frame))
        for (int i = 0; i < image.FrameCount() && index < 0; ++i) {
            const TGIFSubImage& other = image.Frame(i);
            if (&other != &frame && usesGlobalColors(other))
                if (auto t = transparentIndex(other); t && !usesIndex(frame, *t)) index = *t;
        }
    if (index < 0) {
        TGIFColorMap& map = usesGlobalColors(frame) ? static_cast<TGIFColorMap&>(image.GlobalColorMap())
                                                    : static_cast<TGIFColorMap&>(frame.ColorMap());
        if (map.Count() < 1 || map.Count() > 255) return std::nullopt;
        index = map.AppendColor(TRgb{0, 0, 0});
    }
    TGIFGraphicControlExtension& gce = controlOf(frame);
    gce.SetTransparent(true);
    gce.SetTransparentColorIndex(std::uint8_t(index));
    return index;
}

void dropUnusedTransparency(TGIFImage& image, int i) {
    TGIFSubImage& f = image.Frame(i);
    if (auto t = transparentIndex(f); t && !f.Empty() && !usesIndex(f, *t)) f.GraphicControlExtension()->SetTransparent(false);
}

// A disposal does nothing when the next frame is opaque and covers the frame's place.
void dropCoveredDisposal(TGIFImage& image, int i) {
    if (i + 1 >= image.FrameCount()) return;
    TGIFSubImage& f = image.Frame(i);
    const TGIFSubImage& next = image.Frame(i + 1);
    const TDisposal d = DisposalOf(f);
    if ((d == TDisposal::dmBackground || d == TDisposal::dmPrevious) && !next.Empty() && !transparentIndex(next) &&
        covers(boxOf(next), boxOf(f)))
        f.GraphicControlExtension()->SetDisposal(0);
}

void merge(TGIFImage& image, int i) {
    if (i < 1) return;
    int j = i - 1;
    while (j > 0 && image.Frame(j).GraphicControlExtension() && DisposalOf(image.Frame(j)) == TDisposal::dmPrevious) --j;
    ClearRepeatedPixels(image.Frame(i), image.Frame(j));
}

void crop(TGIFImage& image, int i) {
    TGIFSubImage& f = image.Frame(i);
    // A frame restored to the background on disposal restores its whole place: cutting
    // it would leave part of that place as it was.
    if (f.Empty() || !transparentIndex(f) || DisposalOf(f) == TDisposal::dmBackground) return;
    TrimToContent(f);
    if (!f.Empty()) return;
    const int delay = f.GraphicControlExtension() ? f.GraphicControlExtension()->Delay() : 0;
    if (i > 0) {
        TGIFGraphicControlExtension& before = controlOf(image.Frame(i - 1));
        before.SetDelay(std::uint16_t(std::min(0xFFFF, before.Delay() + delay)));
    }
    if (image.FrameCount() > 1) {
        TGIFSubImage* first = &image.Frame(0) == &f ? &image.Frame(1) : &image.Frame(0);
        for (int e = f.ExtensionCount() - 1; e >= 0; --e)
            if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(&f.Extension(e))) first->AddExtension(loop->Clone(first));
        image.DeleteFrame(i);
    }
}

// `single`: the image had one frame when the pass began.
void removeUnreadExtensions(TGIFImage& image, int i, bool single) {
    TGIFSubImage& f = image.Frame(i);
    for (int e = f.ExtensionCount() - 1; e >= 0; --e) {
        TGIFExtension& x = f.Extension(e);
        bool drop = dynamic_cast<TGIFCommentExtension*>(&x) || dynamic_cast<TGIFTextExtension*>(&x) ||
                    dynamic_cast<TGIFUnknownAppExtension*>(&x);
        if (dynamic_cast<TGIFAppExtNSLoop*>(&x)) drop = i > 0 || single;
        if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(&x))
            drop = (gce->Delay() == 0 || single) && !gce->Transparent() && !gce->UserInput() && (gce->Disposal() < 2 || single);
        if (drop) f.DeleteExtension(e);
    }
    if (f.Empty() && f.ExtensionCount() == 0 && image.FrameCount() > 1) image.DeleteFrame(i);
}

void sortLocalColors(TGIFImage& image, int i) {
    if (!image.Frame(i).ColorMap().Empty()) image.Frame(i).ColorMap().SortByUse();
}

// Every pass walks the frames once, asked for or not, and reports a step after each.
constexpr int kPassesPerFrame = 6;

class TOptimizeSteps {
public:
    TOptimizeSteps(TGIFImage& image, const TGifProgress& progress)
        : image_(image), progress_(progress), total_(image.FrameCount() * kPassesPerFrame) {}
    // Walks from the last frame down when a pass deletes frames or looks back at earlier ones.
    template <class Each>
    void Pass(bool asked, bool downward, Each each) {
        const int n = image_.FrameCount();
        for (int k = 0; k < n; ++k) {
            const int i = downward ? n - 1 - k : k;
            if (asked && i < image_.FrameCount()) each(image_, i);
            progress_.Step(int(std::int64_t(++done_) * 100 / total_));
        }
    }

private:
    TGIFImage& image_;
    const TGifProgress& progress_;
    int total_;
    int done_ = 0;
};

}  // namespace

void TrimToContent(TGIFSubImage& frame) {
    const std::optional<int> t = transparentIndex(frame);
    if (!t || frame.Empty()) return;
    const int w = frame.Width(), h = frame.Height();
    const std::vector<std::uint8_t> pixels(frame.Pixels().begin(), frame.Pixels().end());
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] != *t) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) {
        frame.SetBounds(frame.Left(), frame.Top(), 0, 0);
        return;
    }
    const int nw = right - left + 1, nh = bottom - top + 1;
    if (nw == w && nh == h) return;
    frame.SetBounds(frame.Left() + left, frame.Top() + top, nw, nh);
    for (int y = 0; y < nh; ++y)
        std::copy_n(pixels.data() + std::size_t(top + y) * std::size_t(w) + std::size_t(left), nw, frame.PixelRow(y));
}

void ClearRepeatedPixels(TGIFSubImage& frame, const TGIFSubImage& previous) {
    if (frame.Empty() || previous.Empty()) return;
    const TDisposal d = DisposalOf(previous);
    if (d == TDisposal::dmBackground || d == TDisposal::dmPrevious) return;
    const TBox both = overlap(boxOf(frame), boxOf(previous));
    if (both.Empty()) return;
    const std::optional<int> previousTransparent = transparentIndex(previous);
    const bool sameMap = &frame.EffectiveColorMap() == &previous.EffectiveColorMap();
    std::optional<int> target = transparentIndex(frame);
    bool refused = false;
    for (int y = both.top; y < both.bottom && !refused; ++y)
        for (int x = both.left; x < both.right; ++x) {
            std::uint8_t& mine = frame.PixelAt(x - frame.Left(), y - frame.Top());
            if (target && mine == *target) continue;
            const std::uint8_t theirs = previous.Pixels()[std::size_t(y - previous.Top()) * std::size_t(previous.Width()) +
                                                          std::size_t(x - previous.Left())];
            if (previousTransparent && theirs == *previousTransparent) continue;
            const bool same = (sameMap && mine == theirs) ||
                              frame.EffectiveColorMap().ColorAt(mine) == previous.EffectiveColorMap().ColorAt(theirs);
            if (!same) continue;
            if (!target) {
                target = transparentIndexFor(frame);
                if (!target) {
                    refused = true;
                    break;
                }
            }
            mine = std::uint8_t(*target);
        }
}

void Compact(TGIFImage& image, TGIFOptimizeOptions options, TColorReduction reduction, int reductionBits,
             TDitherMode ditherMode) {
    checkReductionMethod(reduction);
    checkReductionBits(reductionBits);
    checkDitherMode(ditherMode);
    if ((options & opReduceColors) && !(options & opCleanup) && reduction == TColorReduction::rdPalette)
        throw GIFException(gifmsg::kInvalidReduction);
    if (image.Empty()) return;
    image.StopDrawing();
    const TGifProgress progress(image.OnProgress(), gifmsg::kProgressOptimize);
    TOptimizeSteps steps(image, progress);
    if ((options & opSortColorMaps) && !image.GlobalColorMap().Empty()) image.GlobalColorMap().SortByUse();
    steps.Pass(options & opSortColorMaps, false, sortLocalColors);
    steps.Pass(options & opCleanup, false, dropUnusedTransparency);
    steps.Pass(options & opCleanup, false, dropCoveredDisposal);
    steps.Pass(options & opMerge, true, merge);
    steps.Pass(options & opCrop, true, crop);
    const bool single = image.FrameCount() == 1;
    steps.Pass(options & opCleanup, true, [single](TGIFImage& g, int i) { removeUnreadExtensions(g, i, single); });
    image.Changed();
}

}  // namespace gs
