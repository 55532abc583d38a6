#pragma once
// A panel that, while active, hides its children and scrolls lines of text through itself
// on a timer of the UI thread (vertically or horizontally, once or in cycles), with an
// optional glyph beside the text. Inactive, it is a plain container.
#include <QFrame>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QStringList>

#include <functional>

class QPainter;
class QTimer;

namespace gs {

enum class TScrollDirection { sdVertical, sdHorizontal };
enum class TGlyphLayout { glGlyphLeft, glGlyphRight, glGlyphTop, glGlyphBottom };
enum class TTextStyle { bvNone, bvLowered, bvRaised, bvSpace };

class TSecretPanel : public QFrame {
    Q_OBJECT
public:
    explicit TSecretPanel(QWidget* parent = nullptr);

    QStringList Lines;
    bool Cycled = false;
    TScrollDirection ScrollDirection = TScrollDirection::sdVertical;
    Qt::Alignment Alignment = Qt::AlignHCenter;
    TTextStyle TextStyle = TTextStyle::bvNone;
    QImage Glyph;
    TGlyphLayout GlyphLayout = TGlyphLayout::glGlyphLeft;
    // Paints the panel's inside (the text scrolls over it) instead of its plain colour.
    std::function<void(QPainter& canvas, const QRect& rect)> OnPaintClient;

    int Interval() const;
    void SetInterval(int ms);
    bool Active() const { return active_; }
    void SetActive(bool on);
    int Position() const { return position_; }
    // How far the text scrolls in all: the text's height (or width) plus the lines'.
    int TotalLength() const { return total_; }
    // One step of the timer: the position moves on by one; at the end it starts again when
    // cycled, else the panel deactivates itself (after the step).
    void Tick();

signals:
    void OnStartPlay();
    void OnStopPlay();

protected:
    // The inside of the panel, under the text: OnPaintClient, or the panel's colour.
    virtual void PaintClient(QPainter& canvas, const QRect& rect);
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void recalculate();
    QRect textRect() const;
    int firstLine() const;

    QTimer* timer_;
    bool active_ = false;
    int position_ = 0;
    int total_ = 0;
    int lineHeight_ = 0;
    QList<QPointer<QWidget>> hidden_;
};

}  // namespace gs
