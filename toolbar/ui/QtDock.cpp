#include "toolbar/ui/QtDock.h"

#include <QMoveEvent>
#include <QPainter>

#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtDockableWindow.h"
#include "toolbar/ui/QtGeometry.h"

namespace tb {

TTBDock::TTBDock(QWidget* parent, TTBDockPosition position) : QWidget(nullptr), position_(position) {
    checkParent(parent);
    setParent(parent);
    setAutoFillBackground(false);
    SetPosition(position);
}

TTBDock::~TTBDock() {
    if (background_) background_->UnregisterChanged(this);
    // Our children are deleted after this body, when only the QWidget is left of us: the
    // windows must neither call back nor be heard going.
    for (TTBCustomDockableWindow* w : findChildren<TTBCustomDockableWindow*>(Qt::FindDirectChildrenOnly)) {
        if (std::find(dockList_.begin(), dockList_.end(), w) == dockList_.end()) dockList_.push_back(w);
    }
    for (TTBCustomDockableWindow* w : dockList_) {
        disconnect(w, nullptr, this, nullptr);
        for (QPointer<TTBDock>* p : {&w->currentDock_, &w->lastDock_, &w->defaultDock_})
            if (*p == this) *p = nullptr;
    }
}

void TTBDock::checkParent(QWidget* parent) {
    if (qobject_cast<TTBCustomDockableWindow*>(parent) || qobject_cast<TTBDock*>(parent))
        throw EInvalidOperation(kDockMisplaced);
}

void TTBDock::SetParentWidget(QWidget* parent) {
    checkParent(parent);
    setParent(parent);
}

void TTBDock::SetPosition(TTBDockPosition position) {
    if (position != position_ && !findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty())
        throw EInvalidOperation(kDockPositionLocked);
    position_ = position;
    // Aligned to its edge: across the dock the size is ours, along it the form's.
    if (Vertical()) {
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    } else {
        setMinimumWidth(0);
        setMaximumWidth(QWIDGETSIZE_MAX);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    LayoutRows();
}

void TTBDock::SetAllowDrag(bool value) {
    if (value == allowDrag_) return;
    allowDrag_ = value;
    for (TTBCustomDockableWindow* w : findChildren<TTBCustomDockableWindow*>(Qt::FindDirectChildrenOnly))
        w->applyDockFields();
    LayoutRows();
}

void TTBDock::SetBoundLines(TTBDockBoundLines value) {
    if (value == boundLines_) return;
    boundLines_ = value;
    setContentsMargins(value & blLeft ? 1 : 0, value & blTop ? 1 : 0, value & blRight ? 1 : 0,
                       value & blBottom ? 1 : 0);
    LayoutRows();
    update();
}

void TTBDock::SetFixAlign(bool value) {
    if (value == fixAlign_) return;
    fixAlign_ = value;
    LayoutRows();
}

void TTBDock::SetLimitToOneRow(bool value) {
    if (value == limitToOneRow_) return;
    limitToOneRow_ = value;
    LayoutRows();
}

void TTBDock::SetBackground(TTBBasicBackground* background) {
    if (background == background_) return;
    if (background_) background_->UnregisterChanged(this);
    background_ = background;
    if (background_) background_->RegisterChanged(this, [this] { SetBackgroundOnToolbars(backgroundOnToolbars_); });  // repaints all
    update();
    for (TTBCustomDockableWindow* w : VisibleList()) w->update();
}

void TTBDock::SetBackgroundOnToolbars(bool value) {
    backgroundOnToolbars_ = value;
    update();
    for (TTBCustomDockableWindow* w : VisibleList()) w->update();
}

void TTBDock::EndUpdate() {
    if (layoutLock_ > 0 && --layoutLock_ == 0 && layoutNeeded_) LayoutRows();
}

void TTBDock::EndLoading() {
    if (loading_ > 0 && --loading_ == 0) LayoutRows();
}

void TTBDock::forget(QObject* window) {
    auto drop = [window](std::vector<TTBCustomDockableWindow*>& list) {
        list.erase(std::remove_if(list.begin(), list.end(), [window](QObject* w) { return w == window; }),
                   list.end());
    };
    const std::size_t before = dockList_.size() + visible_.size();
    drop(dockList_);
    drop(visible_);
    if (Dragged == window) Dragged = nullptr;
    // Laid out once the window has gone entirely.
    if (dockList_.size() + visible_.size() != before)
        QMetaObject::invokeMethod(this, &TTBDock::LayoutRows, Qt::QueuedConnection);
}

void TTBDock::SetDockListMember(TTBCustomDockableWindow* window, bool add) {
    const bool has = std::find(dockList_.begin(), dockList_.end(), window) != dockList_.end();
    if (add && !has) {
        dockList_.push_back(window);
        connect(window, &QObject::destroyed, this, &TTBDock::forget, Qt::UniqueConnection);
    } else if (!add && has) {
        dockList_.erase(std::find(dockList_.begin(), dockList_.end(), window));
    }
    UpdateVisibleMember(window, false);
}

void TTBDock::UpdateVisibleMember(TTBCustomDockableWindow* window, bool departing) {
    const bool listed = std::find(dockList_.begin(), dockList_.end(), window) != dockList_.end();
    const bool shown = listed && !departing && window->parentWidget() == this && window->Visible();
    const bool was = std::find(visible_.begin(), visible_.end(), window) != visible_.end();
    if (shown == was) return;
    if (shown) {  // kept in dock-list order
        std::vector<TTBCustomDockableWindow*> rebuilt;
        for (TTBCustomDockableWindow* w : dockList_)
            if (w == window || std::find(visible_.begin(), visible_.end(), w) != visible_.end()) rebuilt.push_back(w);
        visible_ = std::move(rebuilt);
    } else {
        visible_.erase(std::find(visible_.begin(), visible_.end(), window));
    }
    LayoutRows();
    if (OnInsertRemoveBar) OnInsertRemoveBar(this, shown, window);
}

std::vector<TTBCustomDockableWindow*> TTBDock::VisibleList() const { return visible_; }

void TTBDock::CommitEffectivePositions() {
    for (TTBCustomDockableWindow* w : visible_) {
        w->dockRow_ = w->effectiveRow_;
        w->dockPos_ = w->effectivePos_;
    }
}

int TTBDock::HighestRow() const {
    int highest = -1;
    for (TTBCustomDockableWindow* w : dockList_) highest = std::max({highest, w->dockRow_, w->effectiveRow_});
    return highest;
}

int TTBDock::SharedRowThickness(const TTBCustomDockableWindow* window) const {
    int thickness = 0;
    for (TTBCustomDockableWindow* w : visible_)
        if (w != window && w->effectiveRow_ == window->effectiveRow_) thickness = std::max(thickness, w->lastRowSize_);
    return thickness;
}

int TTBDock::InnerLength() const {
    const QRect inner = contentsRect();
    return std::max(0, Vertical() ? inner.height() : inner.width());
}

void TTBDock::applyThickness(int thickness) {
    if (Vertical()) setFixedWidth(thickness);
    else setFixedHeight(thickness);
}

void TTBDock::LayoutRows() {
    if (layoutLock_ > 0 || loading_ > 0) {
        layoutNeeded_ = true;
        return;
    }
    ++layoutLock_;
    struct Release {  // on every exit, exceptions too
        TTBDock* d;
        ~Release() {
            --d->layoutLock_;
            d->layoutNeeded_ = false;
            d->CommitNext = false;
        }
    } release{this};

    if (visible_.empty()) {
        rows_.clear();
        applyThickness(fixAlign_ ? 1 : 0);
        return;
    }
    if (limitToOneRow_)
        for (TTBCustomDockableWindow* w : dockList_) w->dockRow_ = 0;

    const bool vertical = Vertical();
    auto along = [vertical](QSize s) { return vertical ? s.height() : s.width(); };
    auto across = [vertical](QSize s) { return vertical ? s.width() : s.height(); };
    std::vector<TDockedWindow> records;
    int dragged = -1;
    for (TTBCustomDockableWindow* w : dockList_) {
        TDockedWindow r;
        r.dockRow = w->dockRow_;
        r.dockPos = w->dockPos_;
        r.visible = std::find(visible_.begin(), visible_.end(), w) != visible_.end();
        r.fullSize = w->fullSize_;
        r.stretch = w->stretch_;
        r.insertRowBefore = w->InsertRowBefore;
        r.shrinkMode = w->ShrinkMode();
        if (r.visible) {
            const int nonClient = along(w->DockedNonClientSize(this));
            w->SetAllotted(0);
            r.fullLength = along(w->DockRowSize()) + nonClient;
            r.minLength = w->ChevronMinSize();
        }
        if (w == Dragged) dragged = int(records.size());
        records.push_back(r);
    }
    TDockLayoutParams params;
    params.vertical = vertical;
    params.availableLength = InnerLength();
    params.limitToOneRow = limitToOneRow_;
    params.splitting = Splitting;
    params.dragged = dragged;
    params.commit = CommitNext;
    TDockLayoutResult result = tb::LayoutRows(records, params, [&](std::size_t i, int allotted) {
        TTBCustomDockableWindow* w = dockList_[i];
        w->SetAllotted(allotted);
        return across(w->DockRowSize());
    });

    for (std::size_t i = 0; i < dockList_.size(); ++i) {
        TTBCustomDockableWindow* w = dockList_[i];
        const TDockedWindow& r = records[i];
        w->effectiveRow_ = r.effectiveRow;
        w->effectivePos_ = r.effectivePos;
        if (!r.visible) continue;
        w->lastRowSize_ = r.rowThickness;
        if (params.commit) {
            w->dockRow_ = r.dockRow;
            w->dockPos_ = r.dockPos;
        }
        w->SetBoundsGuarded(toQRect(r.bounds).translated(contentsRect().topLeft()));
    }
    if (params.commit) {
        std::vector<TTBCustomDockableWindow*> ordered;
        for (int i : result.order) ordered.push_back(dockList_[std::size_t(i)]);
        dockList_ = std::move(ordered);
        std::vector<TTBCustomDockableWindow*> shown;
        for (TTBCustomDockableWindow* w : dockList_)
            if (std::find(visible_.begin(), visible_.end(), w) != visible_.end()) shown.push_back(w);
        visible_ = std::move(shown);
    }
    rows_ = result.rows;
    if (result.canSplit) CanSplit = true;
    const QMargins m = contentsMargins();
    applyThickness(result.thickness + (vertical ? m.left() + m.right() : m.top() + m.bottom()));
}

void TTBDock::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect inner = contentsRect();
    if (UsesBackground()) {
        background_->Draw(p, inner, -pos());
    }
    if (boundLines_ == 0 || visible_.empty()) return;
    // The ring outside the client rectangle is the dock's colour, then the lines on it.
    p.setClipRegion(QRegion(rect()).subtracted(inner));
    p.fillRect(rect(), palette().color(backgroundRole()));
    const QRect r = rect();
    p.setPen(SysColor(TSysColor::BtnShadow));
    if (boundLines_ & blTop) p.drawLine(r.left(), r.top(), r.right(), r.top());
    if (boundLines_ & blLeft) p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(SysColor(TSysColor::BtnHighlight));
    if (boundLines_ & blBottom) p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    if (boundLines_ & blRight) p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

void TTBDock::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutRows();
}

void TTBDock::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // A background continues across docks: it moves under the dock's windows.
    if (UsesBackground()) {
        update();
        for (TTBCustomDockableWindow* w : visible_) w->update();
    }
}

void TTBDock::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && background_) background_->SysColorChanged();
}

}  // namespace tb
