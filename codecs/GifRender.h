#pragma once
// A GIF image shown: one frame rendered into a picture with its transparency mask, the
// frames composed on a canvas as an animation leaves it (with each frame's disposal), and
// the painter's timetable (which frame, how long to wait, when a loop starts) on a clock
// of its own. No window is involved: the ui layer draws what these make.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "codecs/GifImage.h"
#include "codecs/GifSubImage.h"
#include "platform/Raster.h"

namespace gs {

// Disposal methods of a graphic control extension.
enum class TDisposal : std::uint8_t { dmNone = 0, dmNoDispose = 1, dmBackground = 2, dmPrevious = 3 };

// The frame as a picture of its own size. Without dithering the pixels keep their indices;
// with it they go through the 216-colour cube with Floyd-Steinberg error diffusion, the
// transparent ones left out.
TRenderedFrame RenderFrame(const TGIFSubImage& frame, bool dither = false);

TDisposal DisposalOf(const TGIFSubImage& frame);
// The window colour of the desktop when none is asked of it (the usual white).
inline constexpr TRgb kDefaultWindowColor{255, 255, 255};
// The colour the canvas starts with and restored areas take: the image's own when set;
// else, for a GIF without a global colour table (whose background index names no colour,
// as in every GIF the writer makes), the window colour it is shown in; else the GIF's
// background colour.
TRgb PainterBackground(const TGIFImage& image, TRgb windowColor = kDefaultWindowColor);

// The frames composed one after the other on a canvas of the logical screen's size, each
// from its kept rendering (through the dither when `dither`).
class TGIFCompositor {
public:
    TGIFCompositor(const TGIFImage& image, TRgb background, bool dither = false);
    // A background with alpha 0 leaves whatever the canvas is drawn over showing through.
    TGIFCompositor(const TGIFImage& image, Argb background, bool dither = false);
    // Applies the disposal of the frame shown before, then draws frame `index` (its
    // transparent pixels leave the canvas as it is). The canvas as it now shows.
    const TRaster& Show(int index);
    const TRaster& Canvas() const { return canvas_; }
    // Back to the first state: the background everywhere (a new loop with clear-on-loop).
    void Clear();

private:
    void RestoreBackground(const TGIFSubImage& frame);

    const TGIFImage& image_;
    Argb background_;
    bool dither_;
    TRaster canvas_;
    std::optional<TRaster> previous_;  // the canvas before the last frame, for dmPrevious
    int last_ = -1;
};

// One step of a painter's timetable.
struct TPainterStep {
    enum class Kind { Frame, Loop, End } What = Kind::Frame;
    int FrameIndex = -1;
    int WaitMs = 0;      // after the frame is shown, before the next one
    int DelayUnits = 0;  // what WaitMs was made of, for a painter that measures its own time
};

// GIF delays count hundredths of a second.
inline constexpr int kDelayUnitMs = 10;
inline constexpr int kDefaultDelayUnits = 10;  // a frame without a delay
inline constexpr int kMinDelayUnits = 3;
inline constexpr int kMaxInlineDelayUnits = 1000;

// The wait after a frame with `delayUnits`, at `speed` percent, when `sinceShownMs` went by
// since it was shown: half of that is taken off. A speed below 1 gives the longest wait.
int PainterWaitMs(int delayUnits, int speed, std::int64_t sinceShownMs, bool inlinePainter);

// The timetable a painter follows, one step at a time: frames in order with their waits,
// "loop" when a pass starts again, "end" (and "end" ever after). A loop extension's count
// plays that many passes (0: for ever) when gdAnimate|gdLoop let passes follow each other;
// without one, one pass. gdLoopContinuously plays for ever. Without gdAnimate a pass shows
// its first frame only; a pass that shows no frame ends the run.
class TPainterTimetable {
public:
    TPainterTimetable(const TGIFImage& image, TGIFDrawOptions options, int speed);
    TPainterStep Next();
    // The next frame step shows `index` (an event handler moved the active frame).
    void SeekFrame(int index) { next_ = index; }
    // The frame the next frame step is likely to show (the first of the loop after the last);
    // -1 once the timetable has ended.
    int PeekFrame() const;
    // Back to the start: the first pass, one pass asked, no loop extension seen.
    void Restart();

private:
    TPainterStep EndStep();

    const TGIFImage& image_;
    TGIFDrawOptions options_;
    int speed_;
    int counter_ = 1;  // passes left; kForever once a loop extension asks for no end
    int firstOfLoop_ = 0;
    int next_ = 0;
    int passes_ = 0;
    bool inPass_ = false;
    bool shownInPass_ = false;
    bool loopSeen_ = false;
    bool ended_ = false;
};

// The timetable with the image's own draw options, cut after `maxPasses` passes.
std::vector<TPainterStep> PainterSchedule(const TGIFImage& image, int speed, int maxPasses);

}  // namespace gs
