#pragma once
// The modal loops that own the mouse while a window is dragged, resized or its close button
// is held: a nested event loop, the mouse grabbed by one widget, and every input event seen
// first by the loop's step. Outlines are frameless windows that take no input (nothing can
// be drawn on the desktop itself).
#include <QRect>
#include <QWidget>
#include <functional>
#include <optional>

namespace tb {

enum class TLoopStep { Pass, Swallow, Accept, Cancel };

// Runs until the step answers Accept or Cancel (true for Accept), or the application quits
// or loses the activation (Cancel). An exception thrown by the step ends the loop, the mouse is released, and it
// propagates from here.
bool RunModalMouseLoop(QWidget* grabber, const std::function<TLoopStep(QEvent*)>& step);

// How every modal mouse loop ends: a left release accepts, a left press or double click
// cancels, other buttons are swallowed; nullopt for any other event.
std::optional<TLoopStep> ButtonStep(QEvent* event);

// A rectangle outlined on the screen, `thickness` pixels wide, in a half-tone pattern.
class TOutline : public QWidget {
public:
    TOutline();
    void ShowAt(const QRect& rect, int thickness);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// After a press on the close button `box` of `widget`: holds it pushed while the cursor is
// inside it; true when the left button is released inside.
bool TrackButton(QWidget* widget, const QRect& box, bool& pushed);

}  // namespace tb
