#pragma once
// A GIF image on screen: Draw on a QPainter, and the painters that play an animation.
//
// An asynchronous painter is a QObject on the UI thread, stepped by a single-shot QTimer
// (no thread): each step composes the next frame on its canvas and asks its target widget
// to update(); the widget's paintEvent draws the canvas through TGIFGraphic::Draw. A
// synchronous painter composes one pass inside the call that started it, without waiting.
//
// Nothing here runs an event loop or blocks except TGIFPainter::Wait. Stopping a painter
// sets its flag, stops its timer and wakes it: it ends at the next turn of the event loop.
// An exception in a painter's run (an event handler's, say) is kept and raised by Wait;
// none leaves a timer slot.
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "codecs/GifImage.h"
#include "codecs/GifRender.h"

class QPainter;

namespace gs::ui {

class TGIFGraphic;
class TGIFPainter;

using TGIFPainterEvent = std::function<void(TGIFPainter&)>;

// Handed to every painter the graphic starts.
struct TGIFPainterEvents {
    TGIFPainterEvent OnStartPaint;  // a run begins
    TGIFPainterEvent OnPaint;       // frame ActiveFrame() is about to be shown
    TGIFPainterEvent OnAfterPaint;  // it shows; moving ActiveFrame picks the next frame
    TGIFPainterEvent OnLoop;        // a new pass begins after a frame was shown
    TGIFPainterEvent OnEndPaint;    // the run ends (ActiveFrame() is -1)
};

class TGIFPainter final : public QObject {
    Q_OBJECT
public:
    ~TGIFPainter() override;

    bool Async() const { return async_; }
    TGIFDrawOptions Options() const { return options_; }
    QWidget* Target() const { return target_; }
    QRect Rect() const { return rect_; }
    // The frame being shown, -1 when idle.
    int ActiveFrame() const { return activeFrame_; }
    void SetActiveFrame(int index) { activeFrame_ = index; }
    // A frame has been shown.
    bool Started() const { return started_; }
    bool Terminated() const { return terminated_; }
    bool Finished() const { return finished_; }
    // The logical screen as the frames shown so far leave it.
    const QImage& Canvas() const { return canvas_; }

    // Stops the run: nothing more is shown, the end event comes at the next turn of the
    // event loop. Nothing for a painter that has finished.
    void Terminate();
    // Starts the run over: the frame under way is left, and at the next turn of the event
    // loop (a synchronous painter: at once) the canvas is cleared, the start event comes
    // again and frame 0 shows. Nothing for a painter that has finished or been stopped.
    void Restart();
    bool Restarting() const { return restart_; }
    // Runs the event loop until the painter has finished, then raises the exception its run
    // kept, once. Waits for ever for a painter nobody stops (speed 0, endless loops);
    // refused from the painter's own event handlers.
    void Wait();

signals:
    void finished();

private:
    friend class TGIFGraphic;
    TGIFPainter(TGIFGraphic& owner, QWidget* target, const QRect& rect, TGIFDrawOptions options, bool async);

    void Step() noexcept;
    // One step of the run; false once it has ended.
    bool Advance();
    // The run from its start: frame 0 next, the start event.
    void begin();
    void Show(int index);
    // The frame likely shown next is rendered while this one shows, so the wait absorbs it.
    void RenderAhead();
    void Arm(int delayUnits);
    void Wake();
    void Finish() noexcept;
    void Fire(const TGIFPainterEvent& event);

    TGIFGraphic* owner_;  // none once the graphic has gone
    const TGIFImage& image_;
    QPointer<QWidget> target_;
    QRect rect_;
    TGIFDrawOptions options_;
    bool async_;
    bool dither_;
    int speed_;
    TGIFPainterEvents events_;
    TGIFCompositor compositor_;
    TPainterTimetable timetable_;
    QImage canvas_;
    QTimer timer_;
    QElapsedTimer sinceShown_;
    int activeFrame_ = -1;
    bool begun_ = false;
    bool started_ = false;
    bool restart_ = false;
    bool quiet_ = false;  // shown by Draw itself: the target is not asked to paint again
    bool terminated_ = false;
    bool finished_ = false;
    bool stepping_ = false;
    std::exception_ptr kept_;
};

// A GIF image with its drawing state: the painters playing it, the draw painter (the one
// Draw started) and the cached canvas Draw shows. A painter reads the frames as it goes, so
// every change through the image's own operations (and Compact) halts the painters first;
// whoever edits a frame's pixels in place calls HaltPainters before.
class TGIFGraphic {
public:
    TGIFGraphic();
    // Stops every painter and lets it end without the image and without the events.
    ~TGIFGraphic();
    TGIFGraphic(const TGIFGraphic&) = delete;
    TGIFGraphic& operator=(const TGIFGraphic&) = delete;

    TGIFImage& Image() { return image_; }
    const TGIFImage& Image() const { return image_; }

    TGIFPainterEvents Events;

    // Nothing during a Draw or without frames. One frame, or no gdAnimate: frame 0 drawn
    // (tiled and transparent as the draw options say). An animation: the cached canvas,
    // stretched into `rect` or tiled with gdTile, made first when there is none: by an
    // asynchronous draw painter when the painter draws on a widget and gdAsync is set (it
    // shows frame 0 before Draw returns, without running the event loop; the later frames
    // come from the event loop), otherwise by one synchronous pass. Frames are dithered as
    // gdDither and gdAutoDither say, in an animation as in a single frame.
    void Draw(QPainter& canvas, const QRect& rect);

    // Starts a painter on `target` (none: a picture that cannot be updated). Nothing (null)
    // without frames or with an empty rect. A one-frame image, no gdAsync or no target make
    // it synchronous: the pass is composed, the events called and the painter finished before
    // this returns, its errors raised from here. An asynchronous one shows its first frame
    // at the next turn of the event loop.
    std::shared_ptr<TGIFPainter> Paint(QWidget* target, const QRect& rect, TGIFDrawOptions options);

    // The painters still running, in the order they started.
    const std::vector<std::shared_ptr<TGIFPainter>>& Painters() const { return painters_; }
    std::shared_ptr<TGIFPainter> DrawPainter() const { return drawPainter_; }
    // Terminates every painter (none is waited for) and drops the cached canvas.
    void HaltPainters();
    // Terminates the draw painter and drops the cached canvas.
    void StopDraw();

private:
    friend class TGIFPainter;
    std::shared_ptr<TGIFPainter> Start(QWidget* target, const QRect& rect, TGIFDrawOptions options, bool forDraw);
    void PainterShown(TGIFPainter& painter);
    void PainterEnded(TGIFPainter& painter);

    TGIFImage image_;
    std::vector<std::shared_ptr<TGIFPainter>> painters_;
    std::shared_ptr<TGIFPainter> drawPainter_;
    QImage cached_;
    bool drawing_ = false;
};

// A widget that shows a GIF graphic over its whole area; the graphic's animation plays
// on it. An error while painting goes to OnError (by default a warning on the log).
class TGIFView final : public QWidget {
    Q_OBJECT
public:
    explicit TGIFView(TGIFGraphic& graphic, QWidget* parent = nullptr);
    std::function<void(std::exception_ptr)> OnError;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TGIFGraphic& graphic_;
};

}  // namespace gs::ui
