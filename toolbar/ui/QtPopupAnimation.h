#pragma once
// A popup window appearing by fade or by unrolling from its item's side. The timing is
// toolbar/core/PopupAnimation; here a timer on the GUI thread asks it for the step due, drawn
// from a snapshot taken with grab() before the window shows: a fade through window opacity
// (where the platform has it, on xcb; elsewhere a fade slides), a slide through a window
// mask with the snapshot drawn at the step's offset. The cursor entering the popup, the
// popup hiding or going away ends the animation and shows the window whole.
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "toolbar/core/PopupAnimation.h"

namespace tb {

class TQtPopupAnimation : public QObject {
    Q_OBJECT
public:
    // Without a clock the steady clock is used.
    explicit TQtPopupAnimation(TPopupAnimator::Clock clock = {});
    ~TQtPopupAnimation() override;

    // Shows `popup` animated. False when nothing was animated: the popup is shown whole.
    bool Start(QWidget* popup, int durationMs, bool fade, std::uint8_t direction);
    // Ends the animation of `popup` (nullptr: whichever runs) and shows it whole.
    void Stop(QWidget* popup = nullptr);
    bool Running() const { return animator_.Running(); }
    // Whether window opacity works on this platform.
    static bool CanFade();

signals:
    void finished(QWidget* popup);  // for observers: the window is shown whole
    void stepDrawn(int step);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void Draw(const TPopupAnimator::StepAction& step);
    void tick();

    TPopupAnimator animator_;
    QTimer timer_;
    QPointer<QWidget> popup_;
    QPointer<QWidget> overlay_;
    QPixmap snapshot_;
    bool fading_ = false;
};

}  // namespace tb
