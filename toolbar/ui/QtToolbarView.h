#pragma once
// The window of a toolbar or menu bar view: a plain child widget showing the root view of
// an item tree (not owned) as buttons, with the chevron for what does not fit. Hovering
// makes items hot; a press on an item, or the keyboard (OpenByAccelerator, StartToolbarLoop),
// runs the menu loop with this widget holding mouse and keyboard. The dockable toolbar
// window holds one of these.
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "toolbar/core/MenuLoop.h"
#include "toolbar/core/Toolbar.h"

namespace tb {

class TTBToolbarView : public QWidget, public ITBViewHost {
    Q_OBJECT
public:
    explicit TTBToolbarView(TTBCustomItem* item, QWidget* parent = nullptr);
    ~TTBToolbarView() override;

    TTBView& View() const { return *view_; }
    TTBChevronItem& Chevron() const { return *chevron_; }
    // A menu bar hides accelerators until the keyboard is used, and a shared accelerator
    // selects its first item there.
    bool MenuBar() const { return menuBar_; }
    void SetMenuBar(bool value);
    // Item hints as tool tips over their buttons.
    bool ShowHints() const { return showHints_; }
    void SetShowHints(bool value) { showHints_ = value; }

    // Runs the menu loop on this view (nothing for a view already in one), then performs
    // its result. `pressAt`: the global point of the press that started it.
    TTBLoopResult StartToolbarLoop(int options, std::optional<QPoint> pressAt = std::nullopt);
    // The item with accelerator `key` (0: the first selectable item) opens or clicks as a
    // menu bar's Alt+key does; false when nothing answered the key.
    bool OpenByAccelerator(char32_t key, bool primaryOnly);

    QSize sizeHint() const override;
    // Told the view's new size after each of its layouts (the toolbar around it follows).
    std::function<void(QSize)> OnLayout;
    bool Painting() const { return painting_; }

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
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Hover(QPoint at);
    void PaintChevron(QPainter& painter, const TTBItemViewer& viewer, bool hot, bool pushed);

    std::unique_ptr<TTBChevronItem> chevron_;
    std::unique_ptr<TTBView> view_;
    bool menuBar_ = false;
    bool showHints_ = false;
    bool painting_ = false;  // a relayout found while painting repaints later, not within
    QSize layoutSize_{kEmptyViewSize.x, kEmptyViewSize.y};
};

}  // namespace tb
