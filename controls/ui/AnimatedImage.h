#pragma once
// A timer component and the animated image that steps through the frames of a picture strip
// on it. The timer ticks on the UI thread (Qt's timers); the image is a widget painting one
// frame at a time, driven by Active and Visible.
#include <QImage>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

namespace gs {

class TRxTimer : public QObject {
    Q_OBJECT
public:
    static constexpr unsigned kDefaultInterval = 1000;

    explicit TRxTimer(QObject* parent = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    // 0 stops the ticks.
    void SetInterval(unsigned ms);
    void SetOnTimer(std::function<void()> onTimer);
    // Ticks come only while enabled, with an interval and a handler.
    bool Ticking() const { return timer_.isActive(); }

private:
    void rearm();

    QTimer timer_;
    bool enabled_ = true;
    unsigned interval_ = kDefaultInterval;
    std::function<void()> onTimer_;
};

enum class TGlyphOrientation { goHorizontal, goVertical };

class TAnimatedImage : public QWidget {
    Q_OBJECT
public:
    static constexpr unsigned kDefaultInterval = 100;

    explicit TAnimatedImage(QWidget* parent = nullptr);

    bool Active() const { return active_; }
    void SetActive(bool active);
    // The strip; its frames are counted from its shape (square frames side by side or
    // stacked), else it is one frame.
    void SetGlyph(const QImage& strip);
    const QImage& Glyph() const { return glyph_; }
    // The strip as it is drawn (the transparent colour made transparent).
    const QImage& DrawnGlyph() const { return drawn_; }
    int GlyphNum() const { return glyphNum_; }
    void SetGlyphNum(int n);
    int InactiveGlyph() const { return inactiveGlyph_; }
    void SetInactiveGlyph(int n);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    // Pixels of this colour are drawn transparent; none by default.
    void SetTransparentColor(std::optional<QColor> colour);
    void SetOrientation(TGlyphOrientation o);
    void SetCenter(bool center);
    void SetStretch(bool stretch);
    void SetAutoSize(bool autoSize);
    // Opaque: the whole area is painted in the control's own colour under the frame. Not
    // opaque (the default): the parent shows wherever the frame is transparent or absent.
    bool Opaque() const { return opaque_; }
    void SetOpaque(bool opaque);
    unsigned Interval() const { return timer_->Interval(); }
    void SetInterval(unsigned ms) { timer_->SetInterval(ms); }
    QSize FrameSize() const { return frameSize_; }
    QSize sizeHint() const override;

    // One step of the animation (the timer's tick).
    void FrameStep();

signals:
    void FrameChanged();
    void Started();
    void Stopped();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void countFrames();
    void computeFrameSize();
    void applyInactiveFrame();
    void refresh();
    void makeDrawnGlyph();

    TRxTimer* timer_;
    QImage glyph_;
    QImage drawn_;
    std::optional<QColor> transparentColour_;
    bool active_ = false;
    bool autoSize_ = true;
    bool center_ = false;
    bool stretch_ = true;
    bool opaque_ = false;
    TGlyphOrientation orientation_ = TGlyphOrientation::goHorizontal;
    int glyphNum_ = 0;
    int inactiveGlyph_ = -1;
    int numGlyphs_ = 1;
    QSize frameSize_;
};

}  // namespace gs
