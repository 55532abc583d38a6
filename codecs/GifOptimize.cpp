#include "codecs/GifOptimize.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "codecs/GifRender.h"

namespace gs {

namespace {

struct Box {
    int left, top, right, bottom;  // right and bottom exclusive
    bool empty() const { return right <= left || bottom <= top; }
};
Box boxOf(const TGIFSubImage& f) { return {f.left(), f.top(), f.left() + f.width(), f.top() + f.height()}; }
Box overlap(const Box& a, const Box& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}
bool covers(const Box& outer, const Box& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right && outer.bottom >= inner.bottom;
}

std::optional<int> transparentIndex(const TGIFSubImage& f) {
    const TGIFGraphicControlExtension* gce = f.graphicControlExtension();
    if (!gce || !gce->transparent()) return std::nullopt;
    return gce->transparentColorIndex();
}

TGIFGraphicControlExtension& controlOf(TGIFSubImage& f) {
    if (TGIFGraphicControlExtension* gce = f.graphicControlExtension()) return *gce;
    f.addExtension(std::make_unique<TGIFGraphicControlExtension>(&f));
    return *f.graphicControlExtension();
}

bool usesGlobalColors(const TGIFSubImage& f) { return f.colorMap().empty(); }

bool usesIndex(const TGIFSubImage& f, int index) {
    const auto p = f.pixels();
    return std::find(p.begin(), p.end(), std::uint8_t(index)) != p.end();
}

// The index a frame can make transparent, found or made on first need.
std::optional<int> transparentIndexFor(TGIFSubImage& frame) {
    if (auto t = transparentIndex(frame)) return t;
    TGIFImage& image = frame.image();
    int index = -1;
    if (usesGlobalColors(frame))
        for (int i = 0; i < image.frameCount() && index < 0; ++i) {
            const TGIFSubImage& other = image.frame(i);
            if (&other != &frame && usesGlobalColors(other))
                if (auto t = transparentIndex(other); t && !usesIndex(frame, *t)) index = *t;
        }
    if (index < 0) {
        TGIFColorMap& map = usesGlobalColors(frame) ? static_cast<TGIFColorMap&>(image.globalColorMap())
                                                    : static_cast<TGIFColorMap&>(frame.colorMap());
        if (map.count() < 1 || map.count() > 255) return std::nullopt;
        index = map.appendColor(Rgb{0, 0, 0});
    }
    TGIFGraphicControlExtension& gce = controlOf(frame);
    gce.setTransparent(true);
    gce.setTransparentColorIndex(std::uint8_t(index));
    return index;
}

void dropUnusedTransparency(TGIFImage& image, int i) {
    TGIFSubImage& f = image.frame(i);
    if (auto t = transparentIndex(f); t && !f.empty() && !usesIndex(f, *t)) f.graphicControlExtension()->setTransparent(false);
}

// A disposal does nothing when the next frame is opaque and covers the frame's place.
void dropCoveredDisposal(TGIFImage& image, int i) {
    if (i + 1 >= image.frameCount()) return;
    TGIFSubImage& f = image.frame(i);
    const TGIFSubImage& next = image.frame(i + 1);
    const TDisposal d = DisposalOf(f);
    if ((d == TDisposal::dmBackground || d == TDisposal::dmPrevious) && !next.empty() && !transparentIndex(next) &&
        covers(boxOf(next), boxOf(f)))
        f.graphicControlExtension()->setDisposal(0);
}

void merge(TGIFImage& image, int i) {
    if (i < 1) return;
    int j = i - 1;
    while (j > 0 && image.frame(j).graphicControlExtension() && DisposalOf(image.frame(j)) == TDisposal::dmPrevious) --j;
    ClearRepeatedPixels(image.frame(i), image.frame(j));
}

void crop(TGIFImage& image, int i) {
    TGIFSubImage& f = image.frame(i);
    // A frame restored to the background on disposal restores its whole place: cutting
    // it would leave part of that place as it was.
    if (f.empty() || !transparentIndex(f) || DisposalOf(f) == TDisposal::dmBackground) return;
    TrimToContent(f);
    if (!f.empty()) return;
    const int delay = f.graphicControlExtension() ? f.graphicControlExtension()->delay() : 0;
    if (i > 0) {
        TGIFGraphicControlExtension& before = controlOf(image.frame(i - 1));
        before.setDelay(std::uint16_t(std::min(0xFFFF, before.delay() + delay)));
    }
    if (image.frameCount() > 1) {
        TGIFSubImage* first = &image.frame(0) == &f ? &image.frame(1) : &image.frame(0);
        for (int e = f.extensionCount() - 1; e >= 0; --e)
            if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(&f.extension(e))) first->addExtension(loop->clone(first));
        image.deleteFrame(i);
    }
}

// `single`: the image had one frame when the pass began.
void removeUnreadExtensions(TGIFImage& image, int i, bool single) {
    TGIFSubImage& f = image.frame(i);
    for (int e = f.extensionCount() - 1; e >= 0; --e) {
        TGIFExtension& x = f.extension(e);
        bool drop = dynamic_cast<TGIFCommentExtension*>(&x) || dynamic_cast<TGIFTextExtension*>(&x) ||
                    dynamic_cast<TGIFUnknownAppExtension*>(&x);
        if (dynamic_cast<TGIFAppExtNSLoop*>(&x)) drop = i > 0 || single;
        if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(&x))
            drop = (gce->delay() == 0 || single) && !gce->transparent() && !gce->userInput() && (gce->disposal() < 2 || single);
        if (drop) f.deleteExtension(e);
    }
    if (f.empty() && f.extensionCount() == 0 && image.frameCount() > 1) image.deleteFrame(i);
}

void sortLocalColors(TGIFImage& image, int i) {
    if (!image.frame(i).colorMap().empty()) image.frame(i).colorMap().sortByUse();
}

// Every pass walks the frames once, asked for or not, and reports a step after each.
constexpr int kPassesPerFrame = 6;

class OptimizeSteps {
public:
    OptimizeSteps(TGIFImage& image, const GifProgress& progress)
        : image_(image), progress_(progress), total_(image.frameCount() * kPassesPerFrame) {}
    // Walks from the last frame down when a pass deletes frames or looks back at earlier ones.
    template <class Each>
    void pass(bool asked, bool downward, Each each) {
        const int n = image_.frameCount();
        for (int k = 0; k < n; ++k) {
            const int i = downward ? n - 1 - k : k;
            if (asked && i < image_.frameCount()) each(image_, i);
            progress_.step(int(std::int64_t(++done_) * 100 / total_));
        }
    }

private:
    TGIFImage& image_;
    const GifProgress& progress_;
    int total_;
    int done_ = 0;
};

}  // namespace

void TrimToContent(TGIFSubImage& frame) {
    const std::optional<int> t = transparentIndex(frame);
    if (!t || frame.empty()) return;
    const int w = frame.width(), h = frame.height();
    const std::vector<std::uint8_t> pixels(frame.pixels().begin(), frame.pixels().end());
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] != *t) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    if (right < 0) {
        frame.setBounds(frame.left(), frame.top(), 0, 0);
        return;
    }
    const int nw = right - left + 1, nh = bottom - top + 1;
    if (nw == w && nh == h) return;
    frame.setBounds(frame.left() + left, frame.top() + top, nw, nh);
    for (int y = 0; y < nh; ++y)
        std::copy_n(pixels.data() + std::size_t(top + y) * std::size_t(w) + std::size_t(left), nw, frame.pixelRow(y));
}

void ClearRepeatedPixels(TGIFSubImage& frame, const TGIFSubImage& previous) {
    if (frame.empty() || previous.empty()) return;
    const TDisposal d = DisposalOf(previous);
    if (d == TDisposal::dmBackground || d == TDisposal::dmPrevious) return;
    const Box both = overlap(boxOf(frame), boxOf(previous));
    if (both.empty()) return;
    const std::optional<int> previousTransparent = transparentIndex(previous);
    const bool sameMap = &frame.effectiveColorMap() == &previous.effectiveColorMap();
    std::optional<int> target = transparentIndex(frame);
    bool refused = false;
    for (int y = both.top; y < both.bottom && !refused; ++y)
        for (int x = both.left; x < both.right; ++x) {
            std::uint8_t& mine = frame.pixelAt(x - frame.left(), y - frame.top());
            if (target && mine == *target) continue;
            const std::uint8_t theirs = previous.pixels()[std::size_t(y - previous.top()) * std::size_t(previous.width()) +
                                                          std::size_t(x - previous.left())];
            if (previousTransparent && theirs == *previousTransparent) continue;
            const bool same = (sameMap && mine == theirs) ||
                              frame.effectiveColorMap().colorAt(mine) == previous.effectiveColorMap().colorAt(theirs);
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
    if (image.empty()) return;
    image.stopDrawing();
    const GifProgress progress(image.onProgress(), gifmsg::kProgressOptimize);
    OptimizeSteps steps(image, progress);
    if ((options & opSortColorMaps) && !image.globalColorMap().empty()) image.globalColorMap().sortByUse();
    steps.pass(options & opSortColorMaps, false, sortLocalColors);
    steps.pass(options & opCleanup, false, dropUnusedTransparency);
    steps.pass(options & opCleanup, false, dropCoveredDisposal);
    steps.pass(options & opMerge, true, merge);
    steps.pass(options & opCrop, true, crop);
    const bool single = image.frameCount() == 1;
    steps.pass(options & opCleanup, true, [single](TGIFImage& g, int i) { removeUnreadExtensions(g, i, single); });
    image.changed();
}

}  // namespace gs
