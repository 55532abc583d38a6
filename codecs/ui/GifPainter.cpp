#include "codecs/ui/GifPainter.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <stdexcept>
#include <utility>

#include "codecs/ui/GifDraw.h"
#include "codecs/ui/QtRaster.h"

namespace gs::ui {

namespace {

// What the canvas starts with and restored areas go back to. Drawn transparent, the canvas
// lets the target show through: the background the target had stays its own.
Argb canvasBackground(const TGIFImage& image, TGIFDrawOptions options) {
    if (options & gdTransparent) return 0;
    // Both pack alpha, red, green and blue from the high byte down.
    const Argb window = QGuiApplication::palette().color(QPalette::Window).rgb();
    return argbOf(PainterBackground(image, rgbOf(window)));
}

}  // namespace

TGIFPainter::TGIFPainter(TGIFGraphic& owner, QWidget* target, const QRect& rect, TGIFDrawOptions options, bool async)
    : owner_(&owner),
      image_(owner.Image()),
      target_(target),
      rect_(rect),
      options_(options),
      async_(async),
      dither_(DitherFrames(options)),
      speed_(owner.Image().AnimationSpeed()),
      events_(owner.Events),
      compositor_(image_, canvasBackground(image_, options), dither_),
      timetable_(image_, options, speed_),
      canvas_(ToQImage(compositor_.Canvas())) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TGIFPainter::Step);
}

TGIFPainter::~TGIFPainter() { timer_.stop(); }

void TGIFPainter::Terminate() {
    if (finished_) return;
    terminated_ = true;
    timer_.stop();
    Wake();
}

void TGIFPainter::Restart() {
    if (finished_ || terminated_) return;
    restart_ = true;
    timer_.stop();
    if (async_) Wake();
}

void TGIFPainter::Wait() {
    if (stepping_) throw std::logic_error("A painter cannot wait for itself");
    if (!finished_) {
        QEventLoop loop;
        connect(this, &TGIFPainter::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (kept_) std::rethrow_exception(std::exchange(kept_, nullptr));
}

void TGIFPainter::Wake() {
    QMetaObject::invokeMethod(this, [this] { Step(); }, Qt::QueuedConnection);
}

void TGIFPainter::Fire(const TGIFPainterEvent& event) {
    if (event) event(*this);
}

void TGIFPainter::Step() noexcept {
    // A handler that runs the event loop may let the timer or a wake-up in: the step under
    // way goes on, and ends the run when it was stopped meanwhile.
    if (finished_ || stepping_) return;
    stepping_ = true;
    bool going = false;
    try {
        if (target_.isNull()) terminated_ = true;  // the widget it showed on is gone
        going = Advance();
    } catch (...) {
        if (!kept_) kept_ = std::current_exception();
    }
    stepping_ = false;
    if (!going || terminated_) Finish();
}

void TGIFPainter::begin() {
    if (begun_) {
        timetable_.Restart();
        compositor_.Clear();
    }
    begun_ = true;
    restart_ = false;
    activeFrame_ = 0;
    Fire(events_.OnStartPaint);
}

bool TGIFPainter::Advance() {
    // After each event the run ends when stopped, and starts over (the next step) when
    // restarted.
    if (terminated_) return false;
    if (!begun_ || restart_) {
        begin();
        if (terminated_) return false;
        if (restart_) return true;
    }
    TPainterStep next = timetable_.Next();
    while (next.What == TPainterStep::Kind::Loop) {
        if (!async_) return false;  // a synchronous painter composes one pass
        if (options_ & gdClearOnLoop) compositor_.Clear();
        if (started_) Fire(events_.OnLoop);
        if (terminated_) return false;
        if (restart_) return true;
        next = timetable_.Next();
    }
    if (next.What == TPainterStep::Kind::End) return false;
    activeFrame_ = next.FrameIndex;
    Fire(events_.OnPaint);
    if (terminated_) return false;
    if (restart_) return true;
    Show(next.FrameIndex);
    Fire(events_.OnAfterPaint);
    if (activeFrame_ != next.FrameIndex) timetable_.SeekFrame(activeFrame_);
    if (terminated_) return false;
    if (restart_) return true;
    if (async_) {
        RenderAhead();
        Arm(next.DelayUnits);
    }
    return true;
}

void TGIFPainter::RenderAhead() {
    const int index = timetable_.PeekFrame();
    if (index >= 0 && index < image_.FrameCount() && !image_.Frame(index).Empty())
        image_.Frame(index).RenderedBitmap(dither_);
}

void TGIFPainter::Show(int index) {
    canvas_ = ToQImage(compositor_.Show(index));
    started_ = true;
    sinceShown_.start();
    if (owner_) owner_->PainterShown(*this);
    if (target_ && !quiet_) target_->update(rect_);
}

void TGIFPainter::Arm(int delayUnits) {
    if (speed_ == 0) return;  // plays on only when woken, that is stopped
    // What was spent since the frame was shown (events, composing) is taken off by half.
    timer_.start(speed_ < 0 ? 0 : PainterWaitMs(delayUnits, speed_, sinceShown_.elapsed(), false));
}

void TGIFPainter::Finish() noexcept {
    if (finished_) return;
    finished_ = true;
    timer_.stop();
    activeFrame_ = -1;
    try {
        Fire(events_.OnEndPaint);
    } catch (...) {
        if (!kept_) kept_ = std::current_exception();
    }
    if (owner_) owner_->PainterEnded(*this);
    emit finished();
}

TGIFGraphic::TGIFGraphic() {
    image_.SetOnStopDrawing([this] { HaltPainters(); });
}

TGIFGraphic::~TGIFGraphic() {
    // The handlers were the graphic's: a painter ending after it calls none of them.
    for (const auto& painter : painters_) {
        painter->owner_ = nullptr;
        painter->events_ = {};
    }
    HaltPainters();
}

std::shared_ptr<TGIFPainter> TGIFGraphic::Paint(QWidget* target, const QRect& rect, TGIFDrawOptions options) {
    return Start(target, rect, options, false);
}

std::shared_ptr<TGIFPainter> TGIFGraphic::Start(QWidget* target, const QRect& rect, TGIFDrawOptions options,
                                                bool forDraw) {
    if (image_.Empty() || rect.isEmpty()) return nullptr;
    if (image_.FrameCount() == 1) options &= TGIFDrawOptions(~(gdAsync | gdAnimate));
    const bool async = (options & gdAsync) && target;
    // Freed at the next turn of the event loop, so a painter may drop the last reference
    // to itself while it runs.
    std::shared_ptr<TGIFPainter> painter(new TGIFPainter(*this, target, rect, options, async),
                                         [](TGIFPainter* p) { p->deleteLater(); });
    painters_.push_back(painter);
    if (forDraw) {
        drawPainter_ = painter;
        cached_ = painter->Canvas();
    }
    if (async) {
        if (!forDraw) {
            painter->Wake();  // a thread of its own would not wait before its first frame either
            return painter;
        }
        // Draw shows frame 0 at once: the first step runs here, and the event loop the rest.
        painter->quiet_ = true;
        painter->Step();
        painter->quiet_ = false;
        return painter;
    }
    try {
        while (painter->Advance()) {
        }
    } catch (...) {
        if (!painter->kept_) painter->kept_ = std::current_exception();
    }
    painter->Finish();
    if (painter->kept_) std::rethrow_exception(std::exchange(painter->kept_, nullptr));
    return painter;
}

void TGIFGraphic::PainterShown(TGIFPainter& painter) {
    if (drawPainter_.get() == &painter) cached_ = painter.Canvas();
}

void TGIFGraphic::PainterEnded(TGIFPainter& painter) {
    if (drawPainter_.get() == &painter) {
        cached_ = painter.Canvas();  // an animation that has ended goes on showing its last frame
        drawPainter_.reset();
    }
    std::erase_if(painters_, [&](const auto& p) { return p.get() == &painter; });
}

void TGIFGraphic::HaltPainters() {
    const auto painters = painters_;
    for (const auto& painter : painters) painter->Terminate();
    drawPainter_.reset();
    cached_ = QImage();
}

void TGIFGraphic::StopDraw() {
    if (auto painter = std::exchange(drawPainter_, nullptr)) painter->Terminate();
    cached_ = QImage();
}

void TGIFGraphic::Draw(QPainter& canvas, const QRect& rect) {
    if (drawing_ || image_.Empty()) return;
    drawing_ = true;
    const struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{drawing_};
    const TGIFDrawOptions options = image_.DrawOptions();
    if (image_.FrameCount() == 1 || !(options & gdAnimate)) {
        DrawFrame(image_.Frame(0), canvas, rect, options & gdTile, options & gdTransparent);
        return;
    }
    if (cached_.isNull() || (options & gdDirectDraw)) {
        // Only a widget can be asked to paint again: on any other device the pass is
        // composed here.
        QWidget* target = dynamic_cast<QWidget*>(canvas.device());
        const bool working = target && drawPainter_ && drawPainter_->Target() == target && drawPainter_->Rect() == rect;
        if (!working) {
            StopDraw();
            Start(target, rect, options, true);
        }
    }
    DrawPicture(canvas, rect, cached_, options & gdTile);
}

TGIFView::TGIFView(TGIFGraphic& graphic, QWidget* parent) : QWidget(parent), graphic_(graphic) {}

void TGIFView::paintEvent(QPaintEvent*) {
    try {
        QPainter canvas(this);
        graphic_.Draw(canvas, rect());
    } catch (...) {
        if (OnError) {
            OnError(std::current_exception());
            return;
        }
        try {
            throw;
        } catch (const std::exception& e) {
            qWarning("GIF drawing failed: %s", e.what());
        } catch (...) {
            qWarning("GIF drawing failed");
        }
    }
}

}  // namespace gs::ui
