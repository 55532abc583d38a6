#pragma once
// TTBCustomDockableWindow: a widget that sits on a form, docks in a TTBDock or floats in
// its own tool window, moving between them as the same QWidget. Docked, its frame, drag
// handle and close button are its contents margins, hit-tested and painted by itself; any
// content (a layout or child widgets) fills the contents rectangle.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "toolbar/core/DockLayout.h"
#include "toolbar/ui/QtDock.h"
#include "toolbar/ui/QtFloatingWindow.h"

namespace tb {

class TTBPopupMenu;

enum class TTBDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
enum class TTBDragHandleStyle { dhDouble, dhNone, dhSingle };
enum class TTBFloatingMode { fmOnTopOfParentForm, fmOnTopOfAllForms };
enum class TTBBorderStyle { bsNone, bsSingle };
using TTBDockableTo = unsigned;  // bit (1 << TTBDockPosition)
constexpr TTBDockableTo kDockableToAll = 0xF;

// Where a point of the window lies, as the window's own hit test answers.
enum class TTBDockedHit { Client, Handle, CloseButton };

class TTBCustomDockableWindow : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int DockPos READ DockPos WRITE SetDockPos)
    Q_PROPERTY(int DockRow READ DockRow WRITE SetDockRow)
    Q_PROPERTY(QString CurrentDock READ CurrentDockName WRITE SetCurrentDockName)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
public:
    explicit TTBCustomDockableWindow(QWidget* parent = nullptr);
    ~TTBCustomDockableWindow() override;

    using TNotifyEvent = std::function<void(TTBCustomDockableWindow* sender)>;
    using TDockChangingEvent = std::function<void(TTBCustomDockableWindow* sender, bool floating, TTBDock* dockingTo)>;
    TNotifyEvent OnClose, OnDockChanged, OnMove, OnRecreated, OnRecreating, OnVisibleChanged;
    // A context menu asked for (right click on the frame or the window, or the menu key);
    // setting `handled` keeps PopupMenu shut. `at` is on the screen.
    std::function<void(TTBCustomDockableWindow* sender, QPoint at, bool& handled)> OnContextPopup;
    QPointer<TTBPopupMenu> PopupMenu;  // shown when no handler took the request and it pops up by itself
    std::function<void(TTBCustomDockableWindow* sender, bool& canClose)> OnCloseQuery;
    TDockChangingEvent OnDockChanging, OnDockChangingHidden;

    // The docking operation: docks into a TTBDock, floats in a floating window parent, or
    // sits on any other widget; the widget itself moves (never recreated).
    void SetParent(QWidget* parent);

    int DockPos() const { return dockPos_; }
    void SetDockPos(int value);
    int DockRow() const { return dockRow_; }
    void SetDockRow(int value);
    TTBDock* CurrentDock() const { return currentDock_; }
    void SetCurrentDock(TTBDock* dock);
    QString CurrentDockName() const;
    // The dock of that object name on the owner form; a name no dock has leaves the window
    // where it is; an empty name puts it on the owner form.
    void SetCurrentDockName(const QString& name);
    TTBDock* DefaultDock() const { return defaultDock_; }
    void SetDefaultDock(TTBDock* dock) { defaultDock_ = dock; }
    TTBDock* LastDock() const { return lastDock_; }
    void SetLastDock(TTBDock* dock);
    bool UseLastDock() const { return useLastDock_; }
    void SetUseLastDock(bool value);
    bool Docked() const { return docked_; }
    bool Floating() const { return floating_; }
    int EffectiveRow() const { return effectiveRow_; }
    int EffectivePos() const { return effectivePos_; }

    // The wanted visibility (Qt's own follows it, hidden meanwhile while moving).
    bool Visible() const { return visibleWanted_; }
    void setVisible(bool visible) override;

    bool FullSize() const { return fullSize_; }
    void SetFullSize(bool value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool CloseButtonWhenDocked() const { return closeButtonWhenDocked_; }
    void SetCloseButtonWhenDocked(bool value);
    TTBDragHandleStyle DragHandleStyle() const { return dragHandleStyle_; }
    void SetDragHandleStyle(TTBDragHandleStyle value);
    TTBBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TTBBorderStyle value);
    TTBFloatingMode FloatingMode() const { return floatingMode_; }
    void SetFloatingMode(TTBFloatingMode value);
    bool HideWhenInactive() const { return hideWhenInactive_; }
    void SetHideWhenInactive(bool value);
    // What the floating window shows: its caption, the caption's close button, a sizing
    // border (wider than the plain one).
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool value);
    bool CloseButton() const { return closeButton_; }
    void SetCloseButton(bool value);
    bool Resizable() const { return resizable_; }
    void SetResizable(bool value);

    bool AutoResize = true;
    bool ActivateParent = true;
    bool SmoothDrag = true;
    TTBDockMode DockMode = TTBDockMode::dmCanFloat;
    TTBDockableTo DockableTo = kDockableToAll;
    QPoint FloatingPosition;  // the floating window's top-left on the screen
    bool InsertRowBefore = false;  // set by a drop for the one layout that follows

    // Further forms whose docks a drag may drop the window into, beside its own form's; a
    // form that goes leaves the list.
    void AddDockForm(QWidget* form);
    void RemoveDockForm(QWidget* form);
    std::vector<QWidget*> DockForms() const;

    // Asks OnCloseQuery, then hides and fires OnClose.
    void CloseBar();
    // Docked with room to float: floats; else docks into LastDock, or DefaultDock at
    // row 0, position -8.
    void ToggleDock();
    // Floating: moves the floating window into the available area of the screen it overlaps
    // most, else the nearest (right, bottom, left, top); with `whenFullyOff` only when none of
    // it is on that area.
    void KeepOnScreen(bool whenFullyOff);
    // Asks the size for the current place and applies it when the window sizes itself.
    void Relayout();
    void BeginArrange() { ++arrangeLock_; }
    void EndArrange();

    // The form the window belongs to: its top-level widget, or the form of the floating
    // window it floats in.
    QWidget* OwnerForm() const;
    TTBFloatingWindowParent* FloatingParent() const { return floatingParent_; }

    // Visibility rules: the wanted state, hidden while moving, and for floating windows the
    // state of the owner form and of the application.
    bool ComputeVisible() const;
    void RefreshVisibility();

    // The docked frame and handle: the contents margins for a dock of that orientation.
    QMargins DockedMargins(const TTBDock* dock) const;
    int DragHandleSize() const;
    QRect DockedCloseButtonRect() const;
    TTBDockedHit HitTest(QPoint point) const;

    // What the dock asks while laying out.
    virtual QSize DockedNonClientSize(const TTBDock* dock) const;
    virtual bool IsNonDragArea(QPoint point) const;
    // The client size at a place (a dock, floating, or the form when both are absent).
    virtual QSize CalcSize(const TTBDock* dock, bool floating) const;
    // The client size across and along the current dock (recalculated for the allotted
    // length by windows that shrink).
    virtual QSize DockRowSize() const { return CalcSize(currentDock_, false); }
    virtual int ChevronMinSize() const { return 0; }
    virtual void FloatingMinMax(QSize& min, QSize& max) const;
    virtual TTBShrinkMode ShrinkMode() const { return TTBShrinkMode::tbsmNone; }
    virtual void SizeChanging(int, int) {}
    virtual QSize FloatingBorderSize() const;
    // The length the dock allots along it (0: unconstrained); windows that shrink lay
    // themselves out for it.
    int Allotted() const { return allotted_; }
    virtual void SetAllotted(int length) { allotted_ = length; }
    int LastRowSize() const { return lastRowSize_; }
    // Sets the bounds from its dock or floating window (no size-changing notification).
    void SetBoundsGuarded(const QRect& bounds);

    // A floating resize: begins with the handle being dragged, may change each tracked
    // rectangle (the floating window's, on the screen), ends when accepted, frees always.
    virtual void FloatingResizeBegin(int handle) {}
    virtual void FloatingResizeTrack(QRect& rect) {}
    virtual void FloatingResizeEnd() {}
    virtual void FloatingResizeFree() {}

protected:
    virtual void DockChangingHidden(bool floating, TTBDock* dockingTo);
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class TTBDock;
    friend class TTBFloatingWindowParent;
    friend class TDragLoop;
    friend void SetFloating(TTBCustomDockableWindow& window, bool value);
    friend void BeginDragLoop(TTBCustomDockableWindow& window, QPoint cursor);
    void applyDockFields();
    void placeContent();
    void applyVisible();
    void updateFloatingList();
    void applySize(QSize client);
    void setCloseHot(bool hot);
    void paintDockedFrame(QPainter& painter);
    void refitFloating();

    std::vector<QPointer<QWidget>> dockForms_;
    int dockPos_ = -1, dockRow_ = 0;
    int effectivePos_ = 0, effectiveRow_ = -1;
    bool docked_ = false, floating_ = false;
    QPointer<TTBDock> currentDock_, defaultDock_, lastDock_;
    bool useLastDock_ = true;
    int allotted_ = 0, lastRowSize_ = 0;
    bool visibleWanted_ = true;
    bool fullSize_ = false, stretch_ = false, closeButtonWhenDocked_ = false;
    bool hideWhenInactive_ = true;
    bool showCaption_ = true, closeButton_ = true, resizable_ = true;
    TTBDragHandleStyle dragHandleStyle_ = TTBDragHandleStyle::dhSingle;
    TTBBorderStyle borderStyle_ = TTBBorderStyle::bsSingle;
    TTBFloatingMode floatingMode_ = TTBFloatingMode::fmOnTopOfParentForm;
    int boundsGuard_ = 0, arrangeLock_ = 0, moveLock_ = 0, hiddenCount_ = 0;
    bool arrangeNeeded_ = false;
    QSize guardedSize_;
    bool smoothDragging_ = false;
    bool closePushed_ = false, closeHot_ = false;
    bool internalShow_ = false;  // Qt's own visibility changes, not the wanted state
    QPointer<TTBFloatingWindowParent> floatingParent_;
};

}  // namespace tb
