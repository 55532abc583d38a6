#include "toolbar/ui/QtToolbar.h"

#include <QChildEvent>
#include <QEvent>
#include <QPalette>

#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtGeometry.h"
#include "toolbar/ui/QtKeyMenu.h"
#include "toolbar/core/ItemRuntime.h"

namespace tb {

namespace {

// Raised for the length of a scope, released on every way out.
struct TRaise {
    int& counter;
    explicit TRaise(int& c) : counter(c) { ++counter; }
    ~TRaise() { --counter; }
};

}  // namespace

TQtWidgetControl::~TQtWidgetControl() {
    NotifyObserversFreed();
    if (widget_) delete widget_.data();
}

bool TQtWidgetControl::ShownInHost() const {
    return widget_ && (hiddenByLayout_ || !(widget_->isHidden() && widget_->testAttribute(Qt::WA_WState_ExplicitShowHide)));
}

void TQtWidgetControl::Place(const QRect& bounds, bool shown) {
    if (!widget_) return;
    if (!shown) {
        if (!widget_->isHidden()) {
            hiddenByLayout_ = true;
            widget_->hide();
        }
        return;
    }
    widget_->setGeometry(bounds);
    if (widget_->isHidden() && ShownInHost()) widget_->show();  // a new child waits for a show
    hiddenByLayout_ = false;
}

TTBCustomToolbar::TTBCustomToolbar(QWidget* parent) : TTBCustomDockableWindow(parent) {
    TTBToolbarCore::Services s;
    s.dockType = [this] {
        return DockTypeOf(CurrentDock() != nullptr, CurrentDock() && CurrentDock()->Vertical(), Floating());
    };
    s.relayout = [this] { RelayoutAll(); };
    s.relayoutDock = [this] {
        if (CurrentDock()) CurrentDock()->LayoutRows();
    };
    s.setFullSize = [this](bool v) { SetFullSize(v); };
    s.setCloseButton = [this](bool v) { SetCloseButton(v); };
    s.menuBarChanged = [this](bool v) { viewWidget_->SetMenuBar(v); };
    s.enterLoop = [this](TTBLoopOptions o) { viewWidget_->StartToolbarLoop(o); };
    s.keyboardCues = [] { return KeyboardCuesOn(); };
    s.enabledAndShowing = [this] { return isEnabled() && isVisible() && !BlockedByModal(OwnerForm()); };
    s.mouseCaptured = [] { return QWidget::mouseGrabber() != nullptr; };
    s.beep = [] { KeyMenuBeep(); };
    s.form = [this]() -> const void* { return OwnerForm(); };
    s.formEnabled = [this] {
        QWidget* form = OwnerForm();
        return form && form->isEnabled() && !BlockedByModal(form);
    };
    core_ = std::make_unique<TTBToolbarCore>(std::move(s));
    viewWidget_ = new TTBToolbarView(&core_->Items(), this);
    core_->SetView(&viewWidget_->View());
    viewWidget_->OnLayout = [this](QSize size) { ViewLaidOut(size); };
    QPalette pal = palette();
    pal.setColor(QPalette::Window, SysColor(TSysColor::BtnFace));
    setPalette(pal);
    resize(23, 22);
    PlaceView();
    KeyMenuRouter().Attach(this);
}

TTBCustomToolbar::~TTBCustomToolbar() {
    dying_ = true;
    KeyMenuRouter().Detach(this);
    // The view goes before the items it shows; the control items free their widgets.
    delete viewWidget_;
    viewWidget_ = nullptr;
    core_.reset();
}

void TTBCustomToolbar::SetChevronHint(const std::string& value) {
    core_->SetChevronHint(value);
    Chevron().SetHint(value);
}

void TTBCustomToolbar::InitiateAction() {
    if (!core_->UpdateActions()) return;
    // An update may change the items: their actions are collected first.
    std::vector<QPointer<TQtActionSource>> actions;
    for (const auto& cell : View().Cells())
        if (auto* action = dynamic_cast<TQtActionSource*>(cell->Item()->Action())) actions.emplace_back(action);
    for (const QPointer<TQtActionSource>& a : actions)
        if (a) a->Update();
}

void TTBCustomToolbar::BeginLoading() { core_->BeginLoading(); }

void TTBCustomToolbar::EndLoading() {
    core_->EndLoading();
    if (core_->Loading()) return;
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w != viewWidget_ && !w->isWindow() && !FindControlItem(w)) CreateControlItemFor(Items().Count(), w);
    RelayoutAll();
}

TToolbarPlacement TTBCustomToolbar::PlacementFor(const TTBDock* dock, bool floating) const {
    TToolbarPlacement p;
    p.dockType = DockTypeOf(dock != nullptr, dock && dock->Vertical(), floating);
    p.inCurrentDock = dock && dock == CurrentDock() && Docked();
    p.shrinkMode = core_->ShrinkMode();
    p.allottedSize = Allotted();
    const QSize nonClient = DockedNonClientSize(dock);
    p.dockedNonClient = {nonClient.width(), nonClient.height()};
    p.dockInnerLength = dock ? dock->InnerLength() : 0;
    p.floatingWidth = core_->FloatingWidth();
    p.autoResize = AutoResize;
    p.width = width();
    p.nonClientWidth = width() - contentsRect().width();
    return p;
}

void TTBCustomToolbar::ApplyViewLimits() const {
    const TViewLimits limits = ViewLimitsFor(PlacementFor(CurrentDock(), Floating()));
    TTBView& view = View();
    if (view.Orientation == limits.orientation && view.ChevronLimit == limits.chevronLimit &&
        view.WrapLength == limits.wrapLength)
        return;
    view.Orientation = limits.orientation;
    view.ChevronLimit = limits.chevronLimit;
    view.WrapLength = limits.wrapLength;
    view.InvalidatePositions();
}

QSize TTBCustomToolbar::CalcSize(const TTBDock* dock, bool floating) const {
    const TToolbarSize size = CalcToolbarSize(View(), ViewLimitsFor(PlacementFor(dock, floating)));
    return QSize(size.size.x, size.size.y);
}

QSize TTBCustomToolbar::DockRowSize() const {
    // The view itself lays out for the length the dock allots; its size change is the
    // dock's own doing, so it does not ask the dock again.
    TRaise lock(layoutLock_);
    ApplyViewLimits();
    View().ValidatePositions();
    return viewWidget_->sizeHint();
}

void TTBCustomToolbar::ViewLaidOut(QSize size) {
    if (dying_) return;
    PlaceControls();
    const bool changed = size != baseSize_;
    baseSize_ = size;
    if (!changed || layoutLock_ > 0 || !(AutoResize || Docked() || Floating())) return;
    if (viewWidget_->Painting()) QMetaObject::invokeMethod(this, [this] { Relayout(); }, Qt::QueuedConnection);
    else Relayout();
}

void TTBCustomToolbar::RelayoutAll() {
    viewWidget_->setFont(core_->SystemFont() ? MenuFont() : font());
    View().InvalidatePositions();
    ApplyViewLimits();
    View().ValidatePositions();
    Relayout();
}

void TTBCustomToolbar::PlaceView() {
    viewWidget_->move(contentsRect().topLeft());
    PlaceControls();
}

void TTBCustomToolbar::PlaceControls() {
    if (placingControls_ || !viewWidget_) return;
    placingControls_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{placingControls_};
    const QPoint origin = viewWidget_->pos();
    for (const auto& cell : View().Cells()) {
        auto* item = dynamic_cast<TTBControlItem*>(cell->Item());
        auto* control = item ? dynamic_cast<TQtWidgetControl*>(item->Control()) : nullptr;
        if (control && control->Widget() && control->Widget()->parentWidget() == this)
            control->Place(toQRect(cell->BoundsRect).translated(origin), cell->IsShown && !cell->BoundsRect.IsEmpty());
    }
}

bool TTBCustomToolbar::IsNonDragArea(QPoint point) const {
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != viewWidget_ && child->isVisible() && child->geometry().contains(point)) return true;
    const QPoint at = point - viewWidget_->pos();
    const TTBItemViewer* v = View().CellAt({at.x(), at.y()});
    return v && !(v->Item()->ItemStyle() & tbstSeparator);
}

int TTBCustomToolbar::ChevronMinSize() const {
    const QSize nonClient = DockedNonClientSize(CurrentDock());
    return ChevronMinimumSize(View(), {nonClient.width(), nonClient.height()});
}

void TTBCustomToolbar::FloatingResizeBegin(int handle) {
    TTBFloatingWindowParent* f = FloatingParent();
    if (!f) return;
    const TTBView& view = View();
    auto wrapped = [&view](int floatingWidth) {
        const TToolbarSize s = CalcToolbarSize(view, {TTBViewOrientation::Floating, 0, floatingWidth});
        return TWrappedSize{{s.size.x, s.size.y}, s.rowCount};
    };
    const TRect margins = EdgeMargins(TTBViewOrientation::Floating);
    const QMargins nc = FloatingNonClient(*this);
    const QRect g = f->geometry();
    resize_.emplace(TSizeHandle(handle), BuildFloatingSizes(wrapped, margins.left + margins.right),
                    TFloatingSize{nc.left() + nc.right(), nc.top() + nc.bottom()}, nc.left(),
                    toRect(g), FloatingWidth());
    resizeStart_ = g;
    resizeHandle_ = TSizeHandle(handle);
}

void TTBCustomToolbar::FloatingResizeTrack(QRect& rect) {
    if (!resize_) return;
    // The track measures the request from the starting edges, as the cursor would.
    const QRect& s = resizeStart_;
    TPoint cursor{s.left() + rect.width(), s.top() + rect.height()};
    if (resizeHandle_ == TSizeHandle::Left) cursor.x = s.left() + s.width() - rect.width();
    if (resizeHandle_ == TSizeHandle::Top) cursor.y = s.top() + s.height() - rect.height();
    rect = toQRect(resize_->Track(cursor));
}

void TTBCustomToolbar::FloatingResizeEnd() {
    if (resize_) SetFloatingWidth(resize_->FloatingWidth());
}

void TTBCustomToolbar::FloatingResizeFree() { resize_.reset(); }

void TTBCustomToolbar::ReadPositionData(const TPositionReader& read) {
    SetFloatingWidth(read(kFloatingWidthValue, 0));
}

void TTBCustomToolbar::WritePositionData(const TPositionWriter& write) const {
    write(kFloatingWidthValue, FloatingWidth());
}

TQtWidgetControl* TTBCustomToolbar::ControlOf(const QObject* widget) const {
    for (int i = 0; i < Items().Count(); ++i)
        if (auto* item = dynamic_cast<TTBControlItem*>(Items().Items(i)))
            if (auto* c = dynamic_cast<TQtWidgetControl*>(item->Control()); c && c->Identity() == widget) return c;
    return nullptr;
}

TTBControlItem* TTBCustomToolbar::FindControlItem(const QWidget* widget) const {
    TQtWidgetControl* c = ControlOf(widget);
    return c ? core_->FindControlItem(c) : nullptr;
}

TTBControlItem* TTBCustomToolbar::CreateControlItemFor(int index, QWidget* widget) {
    auto* control = new TQtWidgetControl(widget);
    TTBControlItem* item = nullptr;
    try {
        item = core_->CreateControlItemFor(index, control);
    } catch (...) {
        control->Forget();  // the caller keeps its widget
        delete control;
        throw;
    }
    widget->installEventFilter(this);
    return item;
}

void TTBCustomToolbar::ChildInserted(QObject* child) {
    auto* w = qobject_cast<QWidget*>(child);
    if (dying_ || !w || w == viewWidget_ || w->isWindow() || w->parent() != this || core_->Loading() ||
        FindControlItem(w))
        return;
    CreateControlItemFor(Items().Count(), w);
}

void TTBCustomToolbar::ChildGone(QObject* child) {
    TQtWidgetControl* control = ControlOf(child);
    if (!control) return;
    if (QWidget* w = control->Widget()) w->removeEventFilter(this);
    core_->ControlRemoved(control);  // the items go, keeping the widget
    control->Forget();
    delete control;
}

bool TTBCustomToolbar::event(QEvent* e) {
    if (dying_ || !viewWidget_) return TTBCustomDockableWindow::event(e);
    switch (e->type()) {
    case QEvent::ChildAdded: {
        // A widget is still being made when it joins its parent: its item waits for the loop.
        QPointer<QObject> child = static_cast<QChildEvent*>(e)->child();
        if (child->isWidgetType())
            QMetaObject::invokeMethod(this, [this, child] {
                if (child) Guarded([&] { ChildInserted(child); });
            }, Qt::QueuedConnection);
        break;
    }
    case QEvent::ChildRemoved:
        ChildGone(static_cast<QChildEvent*>(e)->child());
        break;
    case QEvent::ContentsRectChange:
    case QEvent::ParentChange:
        ApplyViewLimits();
        PlaceView();
        break;
    case QEvent::FontChange:
        if (!core_->SystemFont()) RelayoutAll();
        break;
    default:
        break;
    }
    return TTBCustomDockableWindow::event(e);
}

bool TTBCustomToolbar::eventFilter(QObject* watched, QEvent* e) {
    // A control item's widget resized, shown or hidden by its owner: the cells move.
    const auto type = e->type();
    if (!placingControls_ && !dying_ && ControlOf(watched) &&
        (type == QEvent::Resize || type == QEvent::ShowToParent || type == QEvent::HideToParent)) {
        View().InvalidatePositions();
        View().ValidatePositions();
    }
    return TTBCustomDockableWindow::eventFilter(watched, e);
}

}  // namespace tb
