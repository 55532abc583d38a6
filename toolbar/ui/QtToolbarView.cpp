#include "toolbar/ui/QtToolbarView.h"

#include <QHelpEvent>
#include <algorithm>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>

#include "toolbar/core/ItemRuntime.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtGeometry.h"
#include "toolbar/ui/QtImageList.h"
#include "toolbar/ui/QtMenuLoop.h"
#include "toolbar/ui/QtPopupWindow.h"
#include "toolbar/ui/QtViewerPaint.h"

namespace tb {

namespace {

// The chevron's double arrow, right-pointing on horizontal toolbars, down on vertical ones.
constexpr TGlyph8 kChevronRight{0xCC, 0x66, 0x33, 0x66, 0xCC, 0, 0, 0};
constexpr TGlyph8 kChevronDown{0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};

}  // namespace

TTBToolbarView::TTBToolbarView(TTBCustomItem* item, QWidget* parent)
    : QWidget(parent), chevron_(std::make_unique<TTBChevronItem>(nullptr)) {
    setObjectName("TBToolbarView");
    setFont(MenuFont());
    setAttribute(Qt::WA_OpaquePaintEvent);
    RequestMouseTracking(this);
    chevron_->SetLinkSubitems(item);
    view_ = std::make_unique<TTBView>(*this, item, nullptr, true, true);
    chevron_->SourceView = view_.get();
    view_->SetChevronItem(chevron_.get());
    view_->ShowAccelerators(false, KeyboardCuesOn());
    view_->ValidatePositions();
}

TTBToolbarView::~TTBToolbarView() {
    view_.reset();  // closes its popups while the chevron they may show from still exists
}

void TTBToolbarView::SetMenuBar(bool value) {
    menuBar_ = value;
    view_->ViewOptions = std::uint8_t(value ? (view_->ViewOptions | tbvoHideAccelsUntilKeyboard)
                                            : (view_->ViewOptions & ~tbvoHideAccelsUntilKeyboard));
    view_->ShowAccelerators(false, KeyboardCuesOn());
    update();
}

TTBLoopResult TTBToolbarView::StartToolbarLoop(int options, std::optional<QPoint> pressAt) {
    if (view_->ForPopup() || (view_->ViewFlags & vsMenuLoop)) return {};
    view_->ViewFlags &= vsShowAccels;
    QPointer<TTBToolbarView> self(this);
    TTBLoopResult result;
    Guarded([&] {
        // A menu bar keeps its keyboard mode after Esc; a plain toolbar's press-opened
        // drop-down has none to go back to.
        const bool byMouse = options & tbloStartedByMouse;
        result = RunMenuLoop(*view_, byMouse, options & tbloPopupMode, options & tbloPickFirst, false, false, pressAt,
                             byMouse && !menuBar_);
    });
    if (self) {  // a handler may have freed the toolbar meanwhile
        view_->CloseSubmenus();
        view_->ShowAccelerators(false, KeyboardCuesOn());
        view_->ChooseCell(nullptr);
        update();
    }
    PerformLoopResult(result);
    return result;
}

bool TTBToolbarView::OpenByAccelerator(char32_t key, bool primaryOnly) {
    // Only a clicked item's handler can raise: the key was answered, the error is reported.
    bool opened = true;
    Guarded([&] {
        opened = OpenViewByAccelerator(*view_, key, primaryOnly, menuBar_, KeyboardCuesOn(),
                                       [this](TTBLoopOptions options) { StartToolbarLoop(options); });
    });
    return opened;
}

QSize TTBToolbarView::sizeHint() const { return layoutSize_; }

TTextMetrics TTBToolbarView::Metrics() const { return MetricsOf(font()); }

std::optional<TImageSize> TTBToolbarView::ImageSizeFor(const TTBItemViewer& viewer) const { return ImageSizeOf(viewer); }

void TTBToolbarView::RepaintRect(const TRect& rect) { update(toQRect(rect)); }

// After a relayout the whole toolbar paints at once (the backing store keeps it from flickering).
void TTBToolbarView::RepaintAll() {
    if (isVisible() && !painting_) repaint();
    else update();
}

void TTBToolbarView::FitHost(TPoint size) {
    // The chevron sits at the chevron limit, past the items that still fit.
    const TTBItemViewer* chevron = view_ && !view_->Cells().empty() ? view_->Cells().back().get() : nullptr;
    if (chevron && chevron->Item() == chevron_.get() && chevron->IsShown)
        size = {std::max(size.x, chevron->BoundsRect.right), std::max(size.y, chevron->BoundsRect.bottom)};
    layoutSize_ = QSize(size.x, size.y);
    resize(layoutSize_);
    updateGeometry();
    if (OnLayout) OnLayout(layoutSize_);
}

std::unique_ptr<ITBPopupHandle> TTBToolbarView::OpenPopup(TTBView& view, TTBItemViewer& opener, bool pickFirst) {
    return OpenPopupHandle(view, opener, pickFirst, false);
}

void TTBToolbarView::paintEvent(QPaintEvent*) {
    painting_ = true;
    view_->ValidatePositions();
    painting_ = false;
    QPainter p(this);
    p.fillRect(rect(), SysColor(TSysColor::BtnFace));
    TViewerPaintState st;
    st.font = font();
    st.showAccels = view_->AcceleratorsShown() || KeyboardCuesOn();
    auto paint = [&](const TTBItemViewer& v) {
        if (!v.IsShown || v.BoundsRect.IsEmpty()) return;
        st.hot = view_->Selection() == &v;
        st.pressed = st.hot && (view_->PopupOpener() == &v || (view_->PressTracked && view_->PointerOnSelection));
        if (v.Item() == chevron_.get()) {
            PaintChevron(p, v, st.hot, st.pressed);
            return;
        }
        st.images = dynamic_cast<const TTBCustomImageList*>(ImageSourceOf(v));
        PaintViewer(p, v, st);
    };
    for (const auto& c : view_->Cells())
        if (c.get() != view_->Selection()) paint(*c);
    if (view_->Selection()) paint(*view_->Selection());
}

void TTBToolbarView::PaintChevron(QPainter& p, const TTBItemViewer& v, bool hot, bool pushed) {
    const QRect r = toQRect(v.BoundsRect);
    const bool enabled = v.Item()->Enabled();
    if (enabled && pushed) DrawEdge(p, r, TEdgeKind::SunkenOuter);
    else if (enabled && hot) DrawEdge(p, r, TEdgeKind::RaisedInner);
    const bool vertical = view_->Orientation == TTBViewOrientation::Vertical;
    QPoint at = vertical ? QPoint(r.right() + 1 - 9, r.top() + 2) : QPoint(r.left() + 2, r.top() + 4);
    if (pushed) at += QPoint(1, 1);
    const TGlyph8& glyph = vertical ? kChevronDown : kChevronRight;
    if (enabled) {
        DrawGlyph(p, at, glyph, SysColor(TSysColor::BtnText));
    } else {
        DrawGlyph(p, at + QPoint(0, 1), glyph, SysColor(TSysColor::BtnHighlight));
        DrawGlyph(p, at, glyph, SysColor(TSysColor::BtnShadow));
    }
}

void TTBToolbarView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || (view_->ViewFlags & vsMenuLoop)) return QWidget::mousePressEvent(e);
    view_->ValidatePositions();
    const QPoint at = e->position().toPoint();
    TTBItemViewer* v = view_->CellAt({at.x(), at.y()});
    if (!v || (v->Item()->ItemStyle() & tbstSeparator)) {
        e->ignore();  // the window around may drag the toolbar from here
        return;
    }
    view_->ChooseCell(v);
    if (dynamic_cast<TTBControlItem*>(v->Item())) return;  // controls take their own clicks
    StartToolbarLoop(tbloStartedByMouse, e->globalPosition().toPoint());
}

void TTBToolbarView::Hover(QPoint at) {
    if (view_->ViewFlags & vsMenuLoop) return;
    view_->ValidatePositions();
    TTBItemViewer* v = rect().contains(at) ? view_->CellAt({at.x(), at.y()}) : nullptr;
    view_->ChooseCell(v);
    const bool longHint = v && !(v->Item()->OptionsInForce() & tboLongHintInMenuOnly);
    SetApplicationHint(longHint ? LongHint(v->Item()->Hint()) : "");
}

void TTBToolbarView::mouseMoveEvent(QMouseEvent* e) {
    Hover(e->position().toPoint());
    QWidget::mouseMoveEvent(e);
}

void TTBToolbarView::leaveEvent(QEvent* e) {
    if (!(view_->ViewFlags & vsMenuLoop) && !QWidget::mouseGrabber()) Hover(QPoint(-1, -1));
    QWidget::leaveEvent(e);
}

bool TTBToolbarView::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    auto* help = static_cast<QHelpEvent*>(e);
    const TTBItemViewer* v = showHints_ ? view_->CellAt({help->pos().x(), help->pos().y()}) : nullptr;
    if (!ShowViewerHint(this, v, help->globalPos(), QPoint())) QToolTip::hideText();
    return true;
}

}  // namespace tb
