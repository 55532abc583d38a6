#include "toolbar/ui/QtDockableWindow.h"

#include <QApplication>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>

#include "toolbar/core/Hooks.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtDock.h"
#include "toolbar/ui/QtDragLoop.h"
#include "toolbar/ui/QtFloatingWindow.h"
#include "toolbar/ui/QtHooks.h"
#include "toolbar/ui/QtModalMouse.h"
#include "toolbar/core/ItemRuntime.h"

namespace tb {

namespace {

constexpr int kDockedFrame = 2;  // on every side of a docked window
// Drag-handle size and first line offset, by [close button when docked][style].
constexpr int kHandleSize[2][3] = {{9, 0, 6}, {14, 14, 14}};
constexpr int kHandleLineOffset[2][3] = {{2, 0, 1}, {3, 0, 5}};
constexpr TGlyph8 kCloseGlyph{0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00, 0x00};

// Every window floating now; the hooks tell them about the application and their forms.
std::vector<TTBCustomDockableWindow*>& floatingWindows() {
    static std::vector<TTBCustomDockableWindow*> list;
    return list;
}

bool dockableHook(THookCode code, void* window, std::uintptr_t, std::intptr_t) {
    const std::vector<TTBCustomDockableWindow*> snapshot = floatingWindows();
    for (TTBCustomDockableWindow* w : snapshot) {
        if (code == THookCode::ActivateApp) {
            w->RefreshVisibility();
        } else if (code == THookCode::WindowPosChanged &&
                   w->FloatingMode() == TTBFloatingMode::fmOnTopOfParentForm) {
            QWidget* form = w->OwnerForm();
            auto* changed = qobject_cast<QWidget*>(static_cast<QObject*>(window));
            if (form && changed && (changed == form || changed->isAncestorOf(form))) w->RefreshVisibility();
        }
        // A destroyed form takes its floating windows with it (they are its children).
    }
    return false;
}

constexpr THookCodes kDockableHookCodes = HookCodeBit(THookCode::ActivateApp) |
                                          HookCodeBit(THookCode::WindowPosChanged) |
                                          HookCodeBit(THookCode::DestroyWindow);

}  // namespace

TTBCustomDockableWindow::TTBCustomDockableWindow(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) InstallQtHooks();
    Hooks().RegisterHookProc(dockableHook, kDockableHookCodes);
    applyDockFields();
}

TTBCustomDockableWindow::~TTBCustomDockableWindow() {
    auto& list = floatingWindows();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (currentDock_) currentDock_->forget(this);
    if (lastDock_) lastDock_->forget(this);
    if (floatingParent_) floatingParent_->Orphan();
    Hooks().UnregisterHookProc(dockableHook);
}

void TTBCustomDockableWindow::applyDockFields() {
    QWidget* parent = parentWidget();
    currentDock_ = qobject_cast<TTBDock*>(parent);
    docked_ = currentDock_ != nullptr;
    floating_ = qobject_cast<TTBFloatingWindowParent*>(parent) != nullptr;
    const QMargins margins = docked_ ? DockedMargins(currentDock_) : QMargins();
    if (margins != contentsMargins()) {
        setContentsMargins(margins);
        placeContent();
    }
    update();
}

void TTBCustomDockableWindow::placeContent() {
    // A hidden widget gets its resize events only when shown, and a new frame may keep the
    // size: the content is placed in the contents rectangle now.
    if (!layout()) return;
    layout()->invalidate();
    layout()->activate();
}

void TTBCustomDockableWindow::SetBoundsGuarded(const QRect& bounds) {
    guardedSize_ = bounds.size();
    ++boundsGuard_;
    setGeometry(bounds);
    --boundsGuard_;
    placeContent();
}

void TTBCustomDockableWindow::SetParent(QWidget* parent) {
    if (parent == parentWidget()) {
        applyDockFields();
        updateFloatingList();
        return;
    }
    TTBDock* newDock = qobject_cast<TTBDock*>(parent);
    const bool toFloating = qobject_cast<TTBFloatingWindowParent*>(parent) != nullptr;
    if (parent) {
        if (OnDockChanging) OnDockChanging(this, toFloating, newDock);
        if (OnRecreating) OnRecreating(this);
    }
    {
        const QPointer<TTBDock> oldDock = currentDock_;
        const QPointer<TTBDock> lockedNew = newDock;
        const QPointer<TTBFloatingWindowParent> oldFloating = qobject_cast<TTBFloatingWindowParent*>(parentWidget());
        // Every counter and lock raised here goes down on every way out, exceptions too.
        struct Release {
            TTBCustomDockableWindow* w;
            QPointer<TTBDock> oldDock, newDock;
            bool arranging = false;
            ~Release() {
                if (arranging) w->EndArrange();
                --w->boundsGuard_;
                if (newDock) newDock->EndUpdate();
                if (oldDock) oldDock->EndUpdate();
                --w->hiddenCount_;
                --w->moveLock_;
                w->RefreshVisibility();
            }
        };
        ++hiddenCount_;
        ++moveLock_;
        applyVisible();
        if (oldDock) oldDock->BeginUpdate();
        if (lockedNew) lockedNew->BeginUpdate();
        ++boundsGuard_;
        Release release{this, oldDock, lockedNew};

        if (parent) DockChangingHidden(toFloating, newDock);
        BeginArrange();
        release.arranging = true;
        SetAllotted(0);
        if (oldDock) {
            if (!(useLastDock_ && oldDock == lastDock_)) oldDock->SetDockListMember(this, false);
            oldDock->UpdateVisibleMember(this, true);
        }
        try {
            internalShow_ = true;
            QWidget::setParent(parent);
            internalShow_ = false;
            applyDockFields();
            effectiveRow_ = -1;
        } catch (...) {
            internalShow_ = false;
            applyDockFields();
            throw;
        }
        if (!smoothDragging_ && oldFloating && oldFloating != parent) {
            if (oldFloating == floatingParent_) floatingParent_ = nullptr;
            delete oldFloating.data();
        }
        if (newDock) {
            if (!useLastDock_ || smoothDragging_) newDock->SetDockListMember(this, true);
            else {
                SetLastDock(newDock);
                newDock->UpdateVisibleMember(this, false);
            }
        }
        updateFloatingList();
        Relayout();
    }
    if (parentWidget() && OnMove && moveLock_ <= 0) OnMove(this);
    if (parent) {
        if (OnRecreated) OnRecreated(this);
        if (OnDockChanged) OnDockChanged(this);
    }
}

void TTBCustomDockableWindow::DockChangingHidden(bool floating, TTBDock* dockingTo) {
    if (OnDockChangingHidden) OnDockChangingHidden(this, floating, dockingTo);
}

void TTBCustomDockableWindow::updateFloatingList() {
    auto& list = floatingWindows();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (auto* f = qobject_cast<TTBFloatingWindowParent*>(parentWidget())) {
        list.push_back(this);
        f->move(FloatingPosition);
    }
}

void TTBCustomDockableWindow::SetDockPos(int value) {
    if (value == dockPos_) return;
    dockPos_ = value;
    if (docked_) currentDock_->LayoutRows();
}

void TTBCustomDockableWindow::SetDockRow(int value) {
    if (value == dockRow_) return;
    dockRow_ = value;
    if (docked_) currentDock_->LayoutRows();
}

void TTBCustomDockableWindow::SetFullSize(bool value) {
    if (value == fullSize_) return;
    fullSize_ = value;
    if (docked_) currentDock_->LayoutRows();
}

void TTBCustomDockableWindow::SetStretch(bool value) {
    if (value == stretch_) return;
    stretch_ = value;
    if (docked_) currentDock_->LayoutRows();
}

void TTBCustomDockableWindow::SetCloseButtonWhenDocked(bool value) {
    if (value == closeButtonWhenDocked_) return;
    closeButtonWhenDocked_ = value;
    if (docked_) {
        applyDockFields();
        currentDock_->LayoutRows();
    }
}

void TTBCustomDockableWindow::SetDragHandleStyle(TTBDragHandleStyle value) {
    if (value == dragHandleStyle_) return;
    dragHandleStyle_ = value;
    if (docked_) {
        applyDockFields();
        currentDock_->LayoutRows();
    }
}

void TTBCustomDockableWindow::SetBorderStyle(TTBBorderStyle value) {
    borderStyle_ = value;
    update();
}

void TTBCustomDockableWindow::SetFloatingMode(TTBFloatingMode value) {
    if (value == floatingMode_) return;
    floatingMode_ = value;
    if (floatingParent_) floatingParent_->ApplyFloatingMode();
    RefreshVisibility();
}

void TTBCustomDockableWindow::SetHideWhenInactive(bool value) {
    hideWhenInactive_ = value;
    RefreshVisibility();
}

void TTBCustomDockableWindow::refitFloating() {
    if (!floating_ || !floatingParent_) return;
    floatingParent_->FitClient(CalcSize(nullptr, true));
    floatingParent_->update();
}

void TTBCustomDockableWindow::SetShowCaption(bool value) {
    if (value == showCaption_) return;
    showCaption_ = value;
    refitFloating();
}

void TTBCustomDockableWindow::SetCloseButton(bool value) {
    if (value == closeButton_) return;
    closeButton_ = value;
    if (floatingParent_) floatingParent_->update();
}

void TTBCustomDockableWindow::SetResizable(bool value) {
    if (value == resizable_) return;
    resizable_ = value;
    refitFloating();  // the border's width changes with it
}

void TTBCustomDockableWindow::SetCurrentDock(TTBDock* dock) {
    if (dock) SetParent(dock);
    else if (QWidget* form = OwnerForm()) SetParent(form);
}

QString TTBCustomDockableWindow::CurrentDockName() const {
    return currentDock_ ? currentDock_->objectName() : QString();
}

void TTBCustomDockableWindow::SetCurrentDockName(const QString& name) {
    QWidget* form = OwnerForm();
    if (name.isEmpty()) {
        SetCurrentDock(nullptr);
        return;
    }
    TTBDock* dock = form ? form->findChild<TTBDock*>(name) : nullptr;
    if (dock) SetCurrentDock(dock);  // a name no dock has leaves the window where it is
}

void TTBCustomDockableWindow::SetLastDock(TTBDock* dock) {
    if (useLastDock_ && currentDock_) dock = currentDock_;
    if (dock == lastDock_) return;
    if (lastDock_ && lastDock_ != parentWidget()) lastDock_->SetDockListMember(this, false);
    lastDock_ = dock;
    if (dock) {
        useLastDock_ = true;
        dock->SetDockListMember(this, true);
    }
}

void TTBCustomDockableWindow::SetUseLastDock(bool value) {
    useLastDock_ = value;
    SetLastDock(value ? currentDock_.data() : nullptr);
}

void TTBCustomDockableWindow::setVisible(bool visible) {
    if (internalShow_) {
        QWidget::setVisible(visible);
        return;
    }
    const bool changed = visible != visibleWanted_;
    visibleWanted_ = visible;
    applyVisible();
    if (!changed) return;
    if (docked_) currentDock_->UpdateVisibleMember(this, false);
    if (OnVisibleChanged) OnVisibleChanged(this);
}

bool TTBCustomDockableWindow::ComputeVisible() const {
    // Never a window of its own: without a parent it waits, hidden, for a dock or a form.
    if (!visibleWanted_ || hiddenCount_ > 0 || !parentWidget()) return false;
    if (!floating_) return true;
    QWidget* form = OwnerForm();
    if (floatingMode_ == TTBFloatingMode::fmOnTopOfParentForm &&
        (!form || !form->isVisible() || form->isMinimized()))
        return false;
    return !(hideWhenInactive_ && !HasActiveWindow());
}

void TTBCustomDockableWindow::applyVisible() {
    const bool want = ComputeVisible();
    // Also when not hidden: a window docked before its form was first shown is not
    // visible yet, and the form showing its children comes through here.
    if (isHidden() == want || (want && !isVisible())) {
        internalShow_ = true;
        QWidget::setVisible(want);
        internalShow_ = false;
    }
    if (floating_ && floatingParent_) floatingParent_->SetShouldShow(want);
}

void TTBCustomDockableWindow::RefreshVisibility() {
    if (floatingParent_) floatingParent_->SetInactiveCaption(floating_ && !hideWhenInactive_ && !HasActiveWindow());
    applyVisible();
}

QWidget* TTBCustomDockableWindow::OwnerForm() const {
    if (floatingParent_ && floating_) return floatingParent_->Form();
    if (!parentWidget()) return nullptr;
    QWidget* form = window();
    if (auto* f = qobject_cast<TTBFloatingWindowParent*>(form)) return f->Form();
    return form;
}

void TTBCustomDockableWindow::CloseBar() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    if (!canClose) return;
    setVisible(false);
    if (OnClose) OnClose(this);
}

void TTBCustomDockableWindow::ToggleDock() {
    if (docked_) {
        if (DockMode != TTBDockMode::dmCanFloat) return;
        FloatingPosition = mapToGlobal(QPoint(0, 0));
        SetFloating(*this, true);
        KeepOnScreen(true);
    } else if (lastDock_) {
        SetParent(lastDock_);
    } else if (defaultDock_) {
        dockRow_ = 0;
        dockPos_ = -8;
        SetParent(defaultDock_);
    }
}

void TTBCustomDockableWindow::KeepOnScreen(bool whenFullyOff) {
    if (!floating_ || !floatingParent_) return;
    QRect r = floatingParent_->frameGeometry();
    // The screen it overlaps most, else the nearest (its centre may lie on none).
    const QRect work = MonitorAreaOf(r, true);
    if (work.isEmpty() || (whenFullyOff && r.intersects(work))) return;
    if (r.right() > work.right()) r.moveRight(work.right());
    if (r.bottom() > work.bottom()) r.moveBottom(work.bottom());
    if (r.left() < work.left()) r.moveLeft(work.left());
    if (r.top() < work.top()) r.moveTop(work.top());
    FloatingPosition = r.topLeft();
    floatingParent_->move(r.topLeft());
}

void TTBCustomDockableWindow::Relayout() {
    if (arrangeLock_ > 0 || !parentWidget()) {
        arrangeNeeded_ = true;
        return;
    }
    if (AutoResize || docked_ || floating_) applySize(CalcSize(currentDock_, floating_));
}

void TTBCustomDockableWindow::EndArrange() {
    if (arrangeLock_ > 0 && --arrangeLock_ == 0 && arrangeNeeded_) {
        arrangeNeeded_ = false;
        Relayout();
    }
}

void TTBCustomDockableWindow::applySize(QSize client) {
    if (docked_) {
        currentDock_->LayoutRows();
        return;
    }
    if (floating_ && floatingParent_) {
        floatingParent_->FitClient(client);
        return;
    }
    SetBoundsGuarded(QRect(pos(), client));
}

int TTBCustomDockableWindow::DragHandleSize() const {
    return kHandleSize[closeButtonWhenDocked_][int(dragHandleStyle_)];
}

QMargins TTBCustomDockableWindow::DockedMargins(const TTBDock* dock) const {
    QMargins m(kDockedFrame, kDockedFrame, kDockedFrame, kDockedFrame);
    if (dock && dock->AllowDrag()) {
        if (dock->Vertical()) m.setTop(m.top() + DragHandleSize());
        else m.setLeft(m.left() + DragHandleSize());
    }
    return m;
}

QSize TTBCustomDockableWindow::DockedNonClientSize(const TTBDock* dock) const {
    if (!dock) return QSize(0, 0);
    const QMargins m = DockedMargins(dock);
    return QSize(m.left() + m.right(), m.top() + m.bottom());
}

bool TTBCustomDockableWindow::IsNonDragArea(QPoint point) const {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && child->geometry().contains(point)) return true;
    return false;
}

QSize TTBCustomDockableWindow::CalcSize(const TTBDock*, bool) const {
    if (layout()) return layout()->sizeHint();
    const QRect children = childrenRect();
    if (children.isValid()) return QSize(children.right() + 1, children.bottom() + 1) - QSize(contentsMargins().left(), contentsMargins().top());
    return contentsRect().size();
}

void TTBCustomDockableWindow::FloatingMinMax(QSize& min, QSize& max) const {
    min = QSize(0, 0);
    max = QSize(0, 0);
}

QSize TTBCustomDockableWindow::FloatingBorderSize() const { return resizable_ ? QSize(4, 4) : QSize(3, 3); }

QRect TTBCustomDockableWindow::DockedCloseButtonRect() const {
    const int side = DragHandleSize() - 3;
    const bool vertical = currentDock_ && currentDock_->Vertical();
    const int clientWidth = width() - 2 * kDockedFrame;
    return vertical ? QRect(clientWidth - side + 2, 3, side, side) : QRect(3, 2, side, side);
}

TTBDockedHit TTBCustomDockableWindow::HitTest(QPoint point) const {
    if (!docked_ || contentsRect().contains(point)) return TTBDockedHit::Client;
    if (closeButtonWhenDocked_ && currentDock_->AllowDrag() && DockedCloseButtonRect().contains(point))
        return TTBDockedHit::CloseButton;
    return TTBDockedHit::Handle;
}

void TTBCustomDockableWindow::setCloseHot(bool hot) {
    if (hot == closeHot_) return;
    closeHot_ = hot;
    update();
}

void TTBCustomDockableWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const TTBDockedHit hit = HitTest(event->position().toPoint());
    // The loops run the window's handlers: what they raise is reported, never thrown
    // through Qt's event delivery.
    if (hit == TTBDockedHit::CloseButton) {
        Guarded([&] {
            if (TrackButton(this, DockedCloseButtonRect(), closePushed_)) CloseBar();
        });
        return;
    }
    if ((docked_ && currentDock_->AllowDrag()) || floating_) {
        if (hit == TTBDockedHit::Client && IsNonDragArea(event->position().toPoint())) return;
        const QPoint at = event->globalPosition().toPoint();
        Guarded([&] { BeginDragLoop(*this, at); });
    }
}

void TTBCustomDockableWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const TTBDockedHit hit = HitTest(p);
    setCloseHot(hit == TTBDockedHit::CloseButton);
    const bool vertical = currentDock_ && currentDock_->Vertical();
    const bool onHandle = hit == TTBDockedHit::Handle && currentDock_->AllowDrag() && DragHandleSize() > 0 &&
                          (vertical ? p.y() : p.x()) < DragHandleSize() + kDockedFrame;
    if (onHandle) setCursor(Qt::SizeAllCursor);
    else unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void TTBCustomDockableWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && HitTest(event->position().toPoint()) == TTBDockedHit::Handle &&
        (docked_ || floating_))
        Guarded([this] { ToggleDock(); });
    else QWidget::mouseDoubleClickEvent(event);
}

void TTBCustomDockableWindow::leaveEvent(QEvent* event) {
    setCloseHot(false);
    QWidget::leaveEvent(event);
}

void TTBCustomDockableWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (OnMove && moveLock_ <= 0) OnMove(this);
}

void TTBCustomDockableWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Hidden widgets get their resize events late: a size set by the dock or the floating
    // window is known by its value, not only by the guard.
    if (boundsGuard_ > 0 || event->size() == guardedSize_) return;
    SizeChanging(event->size().width(), event->size().height());
    if (floating_ && floatingParent_) floatingParent_->FitClient(event->size());  // the floating window follows
}

void TTBCustomDockableWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange && floatingParent_)
        floatingParent_->setWindowTitle(windowTitle());
}

void TTBCustomDockableWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (docked_ && currentDock_->UsesBackground() && currentDock_->BackgroundOnToolbars())
        currentDock_->Background()->Draw(p, rect(), -(pos() + currentDock_->pos()));
    else p.fillRect(rect(), palette().color(backgroundRole()));
    if (docked_) paintDockedFrame(p);
}

void TTBCustomDockableWindow::paintDockedFrame(QPainter& p) {
    const QRect r = rect();
    if (borderStyle_ == TTBBorderStyle::bsSingle) DrawEdge(p, r, TEdgeKind::RaisedInner);
    if (!currentDock_->AllowDrag()) return;
    const bool vertical = currentDock_->Vertical();
    const int style = int(dragHandleStyle_);
    const int lines = dragHandleStyle_ == TTBDragHandleStyle::dhDouble ? 2 : dragHandleStyle_ == TTBDragHandleStyle::dhSingle ? 1 : 0;
    const int inset = dragHandleStyle_ == TTBDragHandleStyle::dhSingle ? 1 : 0;
    const int skip = closeButtonWhenDocked_ ? DragHandleSize() - 3 + 2 : 0;  // shortened for the button
    const int length = (vertical ? r.width() : r.height()) - 2 * kDockedFrame;
    for (int i = 0; i < lines; ++i) {
        const int across = kDockedFrame + kHandleLineOffset[closeButtonWhenDocked_][style] + 2 + 3 * i;
        const int from = kDockedFrame + inset + (vertical ? 0 : skip);
        const int to = kDockedFrame + length - inset - (vertical ? skip : 0);
        const QRect line = vertical ? QRect(from, across, to - from, 3) : QRect(across, from, 3, to - from);
        if (line.isEmpty()) continue;
        DrawEdge(p, line, TEdgeKind::RaisedInner);
        p.setPen(SysColor(TSysColor::BtnHighlight));
        p.drawPoint(vertical ? QPoint(line.right(), line.bottom()) : QPoint(line.right(), line.bottom()));
    }
    if (!closeButtonWhenDocked_) return;
    const QRect box = DockedCloseButtonRect();
    if (closePushed_) DrawEdge(p, box, TEdgeKind::SunkenOuter);
    else if (closeHot_) DrawEdge(p, box, TEdgeKind::RaisedInner);
    const QPoint glyph = box.center() - QPoint(3, 3) + (closePushed_ ? QPoint(1, 1) : QPoint());
    DrawGlyph(p, glyph, kCloseGlyph, SysColor(TSysColor::BtnText));
}

}  // namespace tb
