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
      speed_(owner.Image().animationSpeed()),
      events_(owner.Events),
      compositor_(image_, canvasBackground(image_, options), dither_),
      timetable_(image_, options, speed_),
      canvas_(ToQImage(compositor_.Canvas())) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TGIFPainter::step);
}

TGIFPainter::~TGIFPainter() { timer_.stop(); }

void TGIFPainter::Terminate() {
    if (finished_) return;
    terminated_ = true;
    timer_.stop();
    wake();
}

void TGIFPainter::Restart() {
    if (finished_ || terminated_) return;
    restart_ = true;
    timer_.stop();
    if (async_) wake();
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

void TGIFPainter::wake() {
    QMetaObject::invokeMethod(this, [this] { step(); }, Qt::QueuedConnection);
}

void TGIFPainter::fire(const TGIFPainterEvent& event) {
    if (event) event(*this);
}

void TGIFPainter::step() noexcept {
    // A handler that runs the event loop may let the timer or a wake-up in: the step under
    // way goes on, and ends the run when it was stopped meanwhile.
    if (finished_ || stepping_) return;
    stepping_ = true;
    bool going = false;
    try {
        if (target_.isNull()) terminated_ = true;  // the widget it showed on is gone
        going = advance();
    } catch (...) {
        if (!kept_) kept_ = std::current_exception();
    }
    stepping_ = false;
    if (!going || terminated_) finish();
}

void TGIFPainter::begin() {
    if (begun_) {
        timetable_.Restart();
        compositor_.Clear();
    }
    begun_ = true;
    restart_ = false;
    activeFrame_ = 0;
    fire(events_.OnStartPaint);
}

bool TGIFPainter::advance() {
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
        if (started_) fire(events_.OnLoop);
        if (terminated_) return false;
        if (restart_) return true;
        next = timetable_.Next();
    }
    if (next.What == TPainterStep::Kind::End) return false;
    activeFrame_ = next.FrameIndex;
    fire(events_.OnPaint);
    if (terminated_) return false;
    if (restart_) return true;
    show(next.FrameIndex);
    fire(events_.OnAfterPaint);
    if (activeFrame_ != next.FrameIndex) timetable_.SeekFrame(activeFrame_);
    if (terminated_) return false;
    if (restart_) return true;
    if (async_) {
        renderAhead();
        arm(next.DelayUnits);
    }
    return true;
}

void TGIFPainter::renderAhead() {
    const int index = timetable_.PeekFrame();
    if (index >= 0 && index < image_.frameCount() && !image_.frame(index).empty())
        image_.frame(index).renderedBitmap(dither_);
}

void TGIFPainter::show(int index) {
    canvas_ = ToQImage(compositor_.Show(index));
    started_ = true;
    sinceShown_.start();
    if (owner_) owner_->painterShown(*this);
    if (target_ && !quiet_) target_->update(rect_);
}

void TGIFPainter::arm(int delayUnits) {
    if (speed_ == 0) return;  // plays on only when woken, that is stopped
    // What was spent since the frame was shown (events, composing) is taken off by half.
    timer_.start(speed_ < 0 ? 0 : PainterWaitMs(delayUnits, speed_, sinceShown_.elapsed(), false));
}

void TGIFPainter::finish() noexcept {
    if (finished_) return;
    finished_ = true;
    timer_.stop();
    activeFrame_ = -1;
    try {
        fire(events_.OnEndPaint);
    } catch (...) {
        if (!kept_) kept_ = std::current_exception();
    }
    if (owner_) owner_->painterEnded(*this);
    emit finished();
}

TGIFGraphic::TGIFGraphic() {
    image_.setOnStopDrawing([this] { HaltPainters(); });
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
    return start(target, rect, options, false);
}

std::shared_ptr<TGIFPainter> TGIFGraphic::start(QWidget* target, const QRect& rect, TGIFDrawOptions options,
                                                bool forDraw) {
    if (image_.empty() || rect.isEmpty()) return nullptr;
    if (image_.frameCount() == 1) options &= TGIFDrawOptions(~(gdAsync | gdAnimate));
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
            painter->wake();  // a thread of its own would not wait before its first frame either
            return painter;
        }
        // Draw shows frame 0 at once: the first step runs here, and the event loop the rest.
        painter->quiet_ = true;
        painter->step();
        painter->quiet_ = false;
        return painter;
    }
    try {
        while (painter->advance()) {
        }
    } catch (...) {
        if (!painter->kept_) painter->kept_ = std::current_exception();
    }
    painter->finish();
    if (painter->kept_) std::rethrow_exception(std::exchange(painter->kept_, nullptr));
    return painter;
}

void TGIFGraphic::painterShown(TGIFPainter& painter) {
    if (drawPainter_.get() == &painter) cached_ = painter.Canvas();
}

void TGIFGraphic::painterEnded(TGIFPainter& painter) {
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
    if (drawing_ || image_.empty()) return;
    drawing_ = true;
    const struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{drawing_};
    const TGIFDrawOptions options = image_.drawOptions();
    if (image_.frameCount() == 1 || !(options & gdAnimate)) {
        DrawFrame(image_.frame(0), canvas, rect, options & gdTile, options & gdTransparent);
        return;
    }
    if (cached_.isNull() || (options & gdDirectDraw)) {
        // Only a widget can be asked to paint again: on any other device the pass is
        // composed here.
        QWidget* target = dynamic_cast<QWidget*>(canvas.device());
        const bool working = target && drawPainter_ && drawPainter_->Target() == target && drawPainter_->Rect() == rect;
        if (!working) {
            StopDraw();
            start(target, rect, options, true);
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
