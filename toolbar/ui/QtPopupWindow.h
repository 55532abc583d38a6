#pragma once
// The window of one popup menu level: a frameless Qt popup whose 3-pixel frame is its
// contents margins, showing one TTBView (owned), with scroll bands when it is too tall.
// It hosts that view: metrics from its font, repaints, sizing, and the opening of the
// popups of its submenu items beside them.
#include <QPoint>
#include <QWidget>
#include <memory>

#include "toolbar/core/MenuLoop.h"

namespace tb {

class TTBPopupWindow : public QWidget, public ITBViewHost {
    Q_OBJECT
public:
    static constexpr int kFrame = 3;

    // Runs the item's popup handlers, makes the window of its submenu, places it (beside
    // `opener` of `openerView`, or at `point` with `alignment` when there is no opener
    // view) and shows it.
    static std::unique_ptr<TTBPopupWindow> Open(TTBCustomItem* item, TTBView* openerView, TTBItemViewer* opener,
                                                QPoint point, int alignment, bool pickFirst, bool asSubmenu);
    ~TTBPopupWindow() override;

    TTBView& View() const { return *view_; }
    // Ends the view now and the window after the event being handled, or, while a keeper
    // is set, when the keeper goes.
    void Dismiss();
    // A window that held the mouse may still have a button release of the window system on
    // its way: destroyed, the window would take that release with it. `keeper` (nullptr for
    // none) keeps the windows dismissed meanwhile, hidden, until it is destroyed.
    static void KeepDismissedUntilGone(QObject* keeper);
    static void EndKeeping(QObject* keeper);  // when it is still the keeper
    // The client area (inside the frame) on the screen.
    QRect ClientOnScreen() const;

    // ITBViewHost
    TTextMetrics Metrics() const override;
    std::optional<TImageSize> ImageSizeFor(const TTBItemViewer& viewer) const override;
    void RepaintRect(const TRect& rect) override;
    void RepaintAll() override;
    void FitHost(TPoint clientSize) override;
    std::unique_ptr<ITBPopupHandle> OpenPopup(TTBView& view, TTBItemViewer& opener, bool pickFirst) override;
    bool Showing() const override { return isVisible(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Tool tips: the selected item's hint with its shortcut, over the selected cell.
    bool event(QEvent* event) override;

private:
    TTBPopupWindow(TTBCustomItem* item, TTBView* openerView, TTBView* chevronView);
    void ShowWithSound(bool animate, bool fade, std::uint8_t unrollDirection);
    std::unique_ptr<TTBView> view_;
};

// Opens `opener`'s popup beside it for a view's host (a submenu beside a menu row, a
// drop-down below a toolbar button); closing the handle closes the window.
std::unique_ptr<ITBPopupHandle> OpenPopupHandle(TTBView& view, TTBItemViewer& opener, bool pickFirst, bool asSubmenu);

// Shows the hint of `viewer` (its short hint with the shortcut) as a tool tip over its cell
// in `host`; an empty hint hides the tip. False when there was nothing to show.
bool ShowViewerHint(QWidget* host, const TTBItemViewer* viewer, QPoint globalPos, QPoint cellOffset);

class TQtPopupAnimation;
// The one animation of the menus (one popup animates at a time).
TQtPopupAnimation& MenuAnimation();

// Places every view's window on the screen for the menu loop (popup windows and a toolbar
// view's widget alike): the views' hosts are QWidgets.
class TQtScreenPlacement : public ITBScreenPlacement {
public:
    TRect ClientOnScreen(const TTBView& view) const override;
};

}  // namespace tb
