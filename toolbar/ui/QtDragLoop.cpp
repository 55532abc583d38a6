// The drag of a dockable window: at every mouse move it decides whether the window would
// dock (which dock, row and position) or float, and shows that by an outline or by moving
// the window itself; the drop applies it.
#include "toolbar/ui/QtDragLoop.h"

#include <QApplication>
#include <algorithm>
#include <QKeyEvent>
#include <QMouseEvent>

#include "toolbar/core/DragTarget.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtDockableWindow.h"
#include "toolbar/ui/QtFloatingWindow.h"
#include "toolbar/ui/QtGeometry.h"
#include "toolbar/ui/QtModalMouse.h"
#include "toolbar/core/ItemRuntime.h"

namespace tb {

namespace {

QRect onScreen(const QWidget* w) { return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()); }

bool acceptsWindow(const TTBDock* dock, const TTBCustomDockableWindow& w) {
    return dock->AllowDrag() && (w.DockableTo & (1u << unsigned(dock->Position())));
}

// Depth first: at each level the docks by position (top, bottom, left, right), then the
// other children; a dock is listed after its own children, once.
void collectDocks(QWidget* parent, const TTBCustomDockableWindow& w, std::vector<TTBDock*>& out) {
    const QList<QWidget*> children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    auto showing = [&](QWidget* c) { return c != &w && !c->isWindow() && c->isVisible(); };
    for (TTBDockPosition pos : {TTBDockPosition::dpTop, TTBDockPosition::dpBottom, TTBDockPosition::dpLeft,
                                TTBDockPosition::dpRight})
        for (QWidget* c : children) {
            auto* dock = qobject_cast<TTBDock*>(c);
            if (!dock || dock->Position() != pos || !showing(c)) continue;
            collectDocks(dock, w, out);
            if (acceptsWindow(dock, w) && std::find(out.begin(), out.end(), dock) == out.end()) out.push_back(dock);
        }
    for (QWidget* c : children)
        if (!qobject_cast<TTBDock*>(c) && showing(c)) collectDocks(c, w, out);
}

}  // namespace

// One drag, from the press to the drop.
class TDragLoop {
public:
    TDragLoop(TTBCustomDockableWindow& w, QPoint cursor) : w_(w), startCursor_(cursor), lastCursor_(cursor) {}
    void Run();

private:
    struct Candidate {
        QPointer<TTBDock> dock;  // a handler run by the drag may free it
        QSize size;  // the window's size there, frame included
    };
    void begin();
    void evaluate(QPoint cursor, Qt::KeyboardModifiers modifiers);
    void apply();
    void end(bool accepted);
    TLoopStep step(QEvent* event);
    void regrab();

    TTBCustomDockableWindow& w_;
    QPoint startCursor_, lastCursor_;
    QPointer<TTBDock> startDock_;
    int startRow_ = 0, startPos_ = 0, startEffectiveRow_ = -1;
    TDragGrab grab_;
    bool smooth_ = false, noDocking_ = false, cannotFloat_ = false, dockingAllowed_ = false, canSplit_ = false;
    std::vector<Candidate> docks_;
    QSize floatingSize_;
    QPointer<TTBDock> target_;
    QRect targetRect_;
    TOutline outline_;
    bool inLoop_ = false;
};

void TDragLoop::begin() {
    startDock_ = w_.CurrentDock();
    startRow_ = w_.DockRow();
    startPos_ = w_.DockPos();
    if (startDock_) {
        startDock_->Dragged = &w_;
        startDock_->Splitting = startDock_->CanSplit = false;
        startDock_->CommitNext = true;
        startDock_->LayoutRows();
        canSplit_ = startDock_->CanSplit;
        startEffectiveRow_ = w_.EffectiveRow();
    }
    smooth_ = w_.SmoothDrag;
    const QRect start = w_.Floating() && w_.FloatingParent() ? w_.FloatingParent()->geometry() : onScreen(&w_);
    grab_ = {toPoint(startCursor_ - start.topLeft()), {start.width() - 1, start.height() - 1}};
    noDocking_ = QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
    cannotFloat_ = w_.DockMode != TTBDockMode::dmCanFloat;
    dockingAllowed_ = startDock_ != nullptr;

    std::vector<TTBDock*> docks;
    if (w_.DockMode == TTBDockMode::dmCannotFloatOrChangeDocks) {
        if (startDock_) docks.push_back(startDock_);
    } else {
        if (startDock_ && acceptsWindow(startDock_, w_)) docks.push_back(startDock_);
        QWidget* own = w_.OwnerForm();
        if (own) collectDocks(own, w_, docks);
        // Then the further forms the window may dock into, in the order the screen holds them.
        const std::vector<QWidget*> further = w_.DockForms();
        for (QWidget* form : QApplication::topLevelWidgets())
            if (form != own && form->isVisible() && std::find(further.begin(), further.end(), form) != further.end())
                collectDocks(form, w_, docks);
    }
    const QMargins nc = FloatingNonClient(w_);
    floatingSize_ = w_.CalcSize(nullptr, true).grownBy(nc);
    for (TTBDock* dock : docks) {
        dock->CommitEffectivePositions();
        const QSize size = dock == startDock_ ? w_.size() : w_.CalcSize(dock, false) + w_.DockedNonClientSize(dock);
        docks_.push_back({dock, size});
    }
}

void TDragLoop::evaluate(QPoint cursor, Qt::KeyboardModifiers modifiers) {
    lastCursor_ = cursor;
    noDocking_ = modifiers & Qt::ControlModifier;
    TTBDock* target = nullptr;
    QSize size = floatingSize_;
    if (startDock_ && startDock_->Splitting) {
        target = startDock_;
        size = w_.size();
    } else if (dockingAllowed_ && !noDocking_) {
        for (const Candidate& c : docks_) {
            if (!c.dock) continue;
            if (!DockHit(toRect(onScreen(c.dock)), c.dock->Vertical(), toPoint(cursor), grab_,
                         {c.size.width(), c.size.height()}))
                continue;
            bool accept = true;
            if (c.dock->OnRequestDock) c.dock->OnRequestDock(c.dock, &w_, accept);
            if (!accept) continue;
            target = c.dock;
            size = c.size;
            break;
        }
    }
    dockingAllowed_ = true;
    const QRect work = MonitorAreaOf(cursor, true);
    if (!target && work.isValid())
        cursor = QPoint(std::clamp(cursor.x(), work.left(), work.right()), std::clamp(cursor.y(), work.top(), work.bottom()));
    TRect r = PlaceUnderCursor(toPoint(cursor), grab_, {size.width(), size.height()});
    const int border = w_.FloatingBorderSize().width();
    if (!target && work.isValid()) r = KeepReachable(r, toRect(work), border, FloatingNonClient(w_).top());
    target_ = target;
    targetRect_ = toQRect(r);

    if (cannotFloat_ && !target) {
        targetRect_ = QRect();
        QGuiApplication::changeOverrideCursor(Qt::ForbiddenCursor);
    } else if (target && target->Splitting) {
        QGuiApplication::changeOverrideCursor(target->Vertical() ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    } else {
        QGuiApplication::changeOverrideCursor(w_.cursor());
    }
    if (!smooth_) outline_.ShowAt(targetRect_, target ? 1 : border);
    else if (!targetRect_.isEmpty()) apply();
}

void TDragLoop::apply() {
    if (TTBDock* dock = target_) {
        const bool vertical = dock->Vertical();
        const QRect rel(dock->mapFromGlobal(targetRect_.topLeft()) - dock->contentsRect().topLeft(), targetRect_.size());
        int row = w_.DockRow();
        bool insert = false;
        if (!dock->Splitting) {
            const TRowChoice choice = ChooseRow(dock->Rows(), vertical ? rel.center().x() : rel.center().y(), w_.FullSize());
            if (choice.newRow) canSplit_ = false;
            row = choice.row;
            insert = choice.insertBefore;
            const bool sameRow = dock == startDock_ && !choice.newRow && row == startEffectiveRow_;
            const QPoint moved = lastCursor_ - startCursor_;
            if (StartsSplitting(canSplit_, sameRow, vertical ? moved.y() : moved.x())) {
                canSplit_ = false;
                dock->Splitting = true;
                QGuiApplication::changeOverrideCursor(vertical ? Qt::SizeVerCursor : Qt::SizeHorCursor);
            } else if (!sameRow) {
                canSplit_ = false;
            }
        }
        w_.dockRow_ = row;
        w_.dockPos_ = vertical ? rel.top() : rel.left();
        w_.InsertRowBefore = insert;
        if (!smooth_) dock->CommitNext = true;
        w_.SetParent(dock);
        dock->LayoutRows();
        w_.InsertRowBefore = false;
        regrab();
    } else {
        canSplit_ = false;
        w_.FloatingPosition = targetRect_.topLeft();
        SetFloating(w_, true);
        if (w_.FloatingParent()) w_.FloatingParent()->move(w_.FloatingPosition);
        w_.KeepOnScreen(true);
        regrab();
    }
    w_.update();
}

void TDragLoop::regrab() {
    // Moving the window (smooth dragging) hides it for a moment, which lets the mouse go.
    if (inLoop_ && QWidget::mouseGrabber() != &w_ && w_.isVisible()) w_.grabMouse();
}

void TDragLoop::end(bool accepted) {
    outline_.hide();
    if (accepted && !smooth_ && !targetRect_.isEmpty()) apply();
    if (smooth_ && w_.CurrentDock()) {
        w_.CurrentDock()->CommitNext = true;
        w_.CurrentDock()->LayoutRows();
    }
}

TLoopStep TDragLoop::step(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && event->type() == QEvent::KeyPress) return TLoopStep::Cancel;
        if (key->key() == Qt::Key_Control && bool(key->modifiers() & Qt::ControlModifier) != noDocking_)
            evaluate(lastCursor_, key->modifiers());
        return TLoopStep::Swallow;
    }
    case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(event);
        const QPoint at = m->globalPosition().toPoint();
        if (at != lastCursor_ || bool(m->modifiers() & Qt::ControlModifier) != noDocking_) evaluate(at, m->modifiers());
        return TLoopStep::Swallow;
    }
    default:
        return ButtonStep(event).value_or(TLoopStep::Swallow);
    }
}

void TDragLoop::Run() {
    // Whatever happens, the dock forgets the drag, the cursor comes back, a floating window
    // the window no longer lives in goes, and an undocked window keeps its stored place.
    struct Cleanup {
        TDragLoop& d;
        ~Cleanup() {
            TTBCustomDockableWindow& w = d.w_;
            d.outline_.hide();
            QGuiApplication::restoreOverrideCursor();
            w.smoothDragging_ = false;
            // A destructor: a handler raising here is reported, not thrown.
            if (w.useLastDock_ && w.currentDock_) Guarded([&w] { w.SetLastDock(w.currentDock_); });
            if (w.floatingParent_ && w.parentWidget() != w.floatingParent_) delete w.floatingParent_.data();
            if (d.startDock_) {
                d.startDock_->Dragged = nullptr;
                d.startDock_->Splitting = false;
            }
            if (!w.docked_) {
                w.dockRow_ = d.startRow_;
                w.dockPos_ = d.startPos_;
            }
        }
    };
    QGuiApplication::setOverrideCursor(w_.cursor());
    Cleanup cleanup{*this};
    begin();
    w_.smoothDragging_ = smooth_;
    evaluate(startCursor_, QGuiApplication::queryKeyboardModifiers());
    inLoop_ = true;
    bool accepted = false;
    try {
        accepted = RunModalMouseLoop(&w_, [this](QEvent* e) { return step(e); });
    } catch (...) {
        inLoop_ = false;
        throw;
    }
    inLoop_ = false;
    end(accepted);
}

void BeginDragLoop(TTBCustomDockableWindow& window, QPoint cursor) { TDragLoop(window, cursor).Run(); }

void BeginFloatingResize(TTBCustomDockableWindow& w, TTBFloatingWindowParent::THit edge, QPoint cursor) {
    using F = TTBFloatingWindowParent;
    TTBFloatingWindowParent* f = w.FloatingParent();
    if (!w.Floating() || !f || edge < F::htLeft || edge > F::htBottom) return;
    QSize min, max;
    w.FloatingMinMax(min, max);
    const QMargins nc = FloatingNonClient(w);
    const QSize frame(nc.left() + nc.right(), nc.top() + nc.bottom());
    min += frame;
    if (max.width() > 0) max.setWidth(max.width() + frame.width());
    if (max.height() > 0) max.setHeight(max.height() + frame.height());
    const bool horizontal = edge == F::htLeft || edge == F::htRight;
    const bool leading = edge == F::htLeft || edge == F::htTop;
    w.FloatingResizeBegin(edge == F::htLeft ? 0 : edge == F::htRight ? 1 : edge == F::htTop ? 2 : 5);
    struct Free {
        TTBCustomDockableWindow& w;
        ~Free() { w.FloatingResizeFree(); }
    } free{w};

    const QRect start = f->geometry();
    QRect current = start;
    TOutline outline;
    // Moves the dragged edge so the length along the sized axis stays within min and max.
    auto fit = [&](QRect& r, int lo, int hi) {
        int length = horizontal ? r.width() : r.height();
        const int fitted = std::max(lo, hi > 0 ? std::min(length, hi) : length);
        if (fitted == length) return;
        if (horizontal) leading ? r.setLeft(r.right() - fitted + 1) : r.setWidth(fitted);
        else leading ? r.setTop(r.bottom() - fitted + 1) : r.setHeight(fitted);
    };
    auto track = [&](QPoint at) {
        const QPoint d = at - cursor;
        QRect r = start;
        if (edge == F::htLeft) r.setLeft(start.left() + d.x());
        if (edge == F::htRight) r.setRight(start.right() + d.x());
        if (edge == F::htTop) r.setTop(start.top() + d.y());
        if (edge == F::htBottom) r.setBottom(start.bottom() + d.y());
        fit(r, horizontal ? min.width() : min.height(), horizontal ? max.width() : max.height());
        w.FloatingResizeTrack(r);
        current = r;
        if (w.SmoothDrag) f->setGeometry(r);
        else outline.ShowAt(r, w.FloatingBorderSize().width());
    };
    const bool accepted = RunModalMouseLoop(f, [&](QEvent* e) {
        switch (e->type()) {
        case QEvent::KeyPress:
            return static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape ? TLoopStep::Cancel : TLoopStep::Swallow;
        case QEvent::MouseMove:
            track(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
            return TLoopStep::Swallow;
        default:
            return ButtonStep(e).value_or(TLoopStep::Swallow);
        }
    });
    outline.hide();
    if (!accepted) {
        f->setGeometry(start);
        return;
    }
    w.BeginArrange();
    w.FloatingResizeEnd();
    f->setGeometry(current);
    w.EndArrange();
    w.KeepOnScreen(true);
}

}  // namespace tb
