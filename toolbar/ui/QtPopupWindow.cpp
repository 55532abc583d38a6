#include "toolbar/ui/QtPopupWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QToolTip>
#include <QWindow>

#include "toolbar/core/ItemRuntime.h"
#include "toolbar/core/MenuSettings.h"
#include "toolbar/core/PopupPlacement.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtGeometry.h"
#include "toolbar/ui/QtImageList.h"
#include "toolbar/ui/QtPopupAnimation.h"
#include "toolbar/ui/QtViewerPaint.h"

namespace tb {

namespace {

class TWindowHandle : public ITBPopupHandle {
public:
    explicit TWindowHandle(std::unique_ptr<TTBPopupWindow> w) : window_(std::move(w)) {}
    // Closing may happen while the window handles its own key or mouse event: the view
    // goes at once, the widget once the event is over.
    ~TWindowHandle() override { window_.release()->Dismiss(); }
    TTBView& PopupView() override { return window_->View(); }

private:
    std::unique_ptr<TTBPopupWindow> window_;
};


QRect screenAt(QPoint p) {
    QScreen* s = QGuiApplication::screenAt(p);
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

TTBPopupWindow::TTBPopupWindow(TTBCustomItem* item, TTBView* openerView, TTBView* chevronView)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName("TBPopupWindow");
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The menu loop decides what a press outside does; Qt must not send it on a second time.
    setAttribute(Qt::WA_NoMouseReplay);
    setContentsMargins(kFrame, kFrame, kFrame, kFrame);
    auto* openerWindow = openerView ? dynamic_cast<QWidget*>(&openerView->Host()) : nullptr;
    setFont(openerWindow ? openerWindow->font() : MenuFont());
    if (chevronView) {  // the toolbar's hidden buttons, as buttons
        view_ = std::make_unique<TTBView>(*this, chevronView->BaseItem(), openerView, true);
        view_->ChevronSourceView = chevronView;
        view_->ViewOptions |= chevronView->ViewOptions & tbvoAlwaysShowHints;
    } else {
        view_ = std::make_unique<TTBView>(*this, item, openerView, false);
    }
    // Stacked over the window it opened from (a popup menu: the active window).
    QWidget* transientFor = openerWindow ? openerWindow->window() : QApplication::activeWindow();
    if (transientFor && transientFor->windowHandle()) {
        winId();
        windowHandle()->setTransientParent(transientFor->windowHandle());
    }
    if (openerView) {
        view_->ViewOptions = openerView->ViewOptions & tbvoHideAccelsUntilKeyboard;
        view_->ViewFlags |= openerView->ViewFlags & vsShowAccels;
    }
}

TTBPopupWindow::~TTBPopupWindow() { view_.reset(); }

namespace {
QPointer<QObject> gKeeper;
}

void TTBPopupWindow::KeepDismissedUntilGone(QObject* keeper) { gKeeper = keeper; }

void TTBPopupWindow::EndKeeping(QObject* keeper) {
    if (gKeeper == keeper) gKeeper = nullptr;
}

void TTBPopupWindow::Dismiss() {
    view_.reset();
    hide();
    if (gKeeper) QObject::connect(gKeeper, &QObject::destroyed, this, &QObject::deleteLater);
    else deleteLater();
}

std::unique_ptr<TTBPopupWindow> TTBPopupWindow::Open(TTBCustomItem* item, TTBView* openerView, TTBItemViewer* opener,
                                                     QPoint point, int alignment, bool pickFirst, bool asSubmenu) {
    std::weak_ptr<const bool> openerAlive = openerView ? openerView->Alive() : std::weak_ptr<const bool>();
    if (TTBCustomItem* link = item->LinkSubitems()) link->FirePopup(item, true);
    item->FirePopup(item, false);
    if (openerView && openerAlive.expired()) return nullptr;  // a popup handler freed the view that asked
    auto* chevron = dynamic_cast<TTBChevronItem*>(item);
    TTBView* chevronView = chevron ? chevron->SourceView : nullptr;
    std::unique_ptr<TTBPopupWindow> w(new TTBPopupWindow(item, openerView, chevronView));
    TPopupRequest q;
    QRect monitor;
    if (openerView && opener) {
        openerView->ValidatePositions();
        auto* host = dynamic_cast<QWidget*>(&openerView->Host());
        QRect cell = toQRect(opener->BoundsRect);
        if (auto* popupHost = dynamic_cast<TTBPopupWindow*>(host)) cell.translate(popupHost->contentsRect().topLeft());
        QRect itemRect(host ? host->mapToGlobal(cell.topLeft()) : cell.topLeft(), cell.size());
        // A submenu stays in the screen area its parent was given.
        monitor = openerView->ScreenArea.IsEmpty() ? screenAt(itemRect.center()) : toQRect(openerView->ScreenArea);
        q.hasParentView = true;
        q.dropRight = MenuDropsRight();
        q.parentOrientation = openerView->Orientation;
        q.itemRect = toRect(itemRect);
        q.openLeft = openerView->ViewFlags & vsOppositePopup;
        for (const auto& c : openerView->Cells())
            if (c->IsShown && host) q.parentCells.push_back(toRect(QRect(host->mapToGlobal(toQRect(c->BoundsRect).topLeft()), toQRect(c->BoundsRect).size())));
    } else {
        monitor = screenAt(point);
        q.point = {point.x(), point.y()};
        q.alignment = alignment;
    }
    w->view_->ScreenArea = toRect(monitor);
    if (chevronView) w->view_->WrapLength = monitor.width() - 2 * kFrame;
    else w->view_->HeightLimit = monitor.height() - 2 * kFrame;
    q.chevron = chevronView != nullptr;
    if (pickFirst) w->view_->ChooseCell(w->view_->FirstChoosable());
    w->view_->ValidatePositions();
    q.size = {w->width(), w->height()};
    q.monitor = toRect(monitor);
    q.asSubmenu = asSubmenu;
    TPopupPlacement placed = PlacePopup(q);
    if (placed.openLeft) w->view_->ViewFlags |= vsOppositePopup;
    w->move(placed.topLeft.x, placed.topLeft.y);
    // Menus opened by mouse (nothing selected yet) fade or unroll when the desktop wants it.
    const bool animate = QApplication::isEffectEnabled(Qt::UI_AnimateMenu) && !w->view_->Selection() &&
                         !(openerView && (openerView->ViewFlags & vsNoAnimation));
    const bool fade = QApplication::isEffectEnabled(Qt::UI_FadeMenu);
    w->ShowWithSound(animate, fade, placed.unrollDirection);
    return w;
}

// The popup sound comes before the window, except the first time in the process: then the
// window shows and paints first (loading the sound must not hold the menu back).
void TTBPopupWindow::ShowWithSound(bool animate, bool fade, std::uint8_t unrollDirection) {
    static bool soundedOnce = false;
    const bool sound = MenuSoundWanted(kSoundMenuPopup);
    if (sound && soundedOnce) PlayMenuSound(kSoundMenuPopup);
    if (animate && (fade || unrollDirection)) {
        MenuAnimation().Start(this, kPopupAnimationMs, fade, unrollDirection);
    } else {
        show();
        if (sound && !soundedOnce) repaint();
    }
    if (sound && !soundedOnce) {
        soundedOnce = true;
        PlayMenuSound(kSoundMenuPopup);
    }
}

bool TTBPopupWindow::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip || !view_) return QWidget::event(e);
    const TTBItemViewer* sel = view_->Selection();
    const bool wanted = sel && ((view_->ViewOptions & tbvoAlwaysShowHints) || (sel->Item()->OptionsInForce() & tboShowHint));
    if (!wanted || !ShowViewerHint(this, sel, static_cast<QHelpEvent*>(e)->globalPos(), contentsRect().topLeft()))
        QToolTip::hideText();
    return true;
}

bool ShowViewerHint(QWidget* host, const TTBItemViewer* viewer, QPoint globalPos, QPoint cellOffset) {
    if (!viewer || viewer->BoundsRect.IsEmpty()) return false;
    const std::string hint = viewer->Item()->HintWithShortCut();
    if (hint.empty()) return false;
    QToolTip::showText(globalPos, QString::fromStdString(hint), host, toQRect(viewer->BoundsRect).translated(cellOffset));
    return true;
}

QRect TTBPopupWindow::ClientOnScreen() const { return QRect(mapToGlobal(contentsRect().topLeft()), contentsRect().size()); }

TTextMetrics TTBPopupWindow::Metrics() const { return MetricsOf(font()); }

std::optional<TImageSize> TTBPopupWindow::ImageSizeFor(const TTBItemViewer& viewer) const { return ImageSizeOf(viewer); }

void TTBPopupWindow::RepaintRect(const TRect& r) {
    MenuAnimation().Stop(this);  // the view changed what shows: the animation ends
    update(toQRect(r).translated(kFrame, kFrame));
}

void TTBPopupWindow::RepaintAll() {
    MenuAnimation().Stop(this);
    update();
}

TQtPopupAnimation& MenuAnimation() {
    static TQtPopupAnimation* animation = new TQtPopupAnimation;  // lives as long as the process
    return *animation;
}

void TTBPopupWindow::FitHost(TPoint size) { resize(size.x + 2 * kFrame, size.y + 2 * kFrame); }

std::unique_ptr<ITBPopupHandle> TTBPopupWindow::OpenPopup(TTBView& view, TTBItemViewer& opener, bool pickFirst) {
    return OpenPopupHandle(view, opener, pickFirst, view.ForPopup());
}

std::unique_ptr<ITBPopupHandle> OpenPopupHandle(TTBView& view, TTBItemViewer& opener, bool pickFirst, bool asSubmenu) {
    std::weak_ptr<const bool> alive = view.Alive();
    auto w = TTBPopupWindow::Open(opener.Item(), &view, &opener, QPoint(), 0, pickFirst, asSubmenu);
    if (!w || alive.expired()) return nullptr;
    return std::make_unique<TWindowHandle>(std::move(w));
}

void TTBPopupWindow::paintEvent(QPaintEvent*) {
    if (!view_) return;
    QPainter p(this);
    p.fillRect(rect(), SysColor(view_->ForToolbar() ? TSysColor::BtnFace : TSysColor::Menu));
    DrawEdge(p, rect(), TEdgeKind::RaisedOuter);
    DrawEdge(p, rect().adjusted(1, 1, -1, -1), TEdgeKind::RaisedInner);
    p.translate(kFrame, kFrame);
    TViewerPaintState st;
    st.font = font();
    st.showAccels = view_->AcceleratorsShown() || KeyboardCuesOn();
    auto paint = [&](const TTBItemViewer& v) {
        st.hot = view_->Selection() == &v;
        st.pressed = st.hot && view_->PopupOpener() == &v;
        st.images = dynamic_cast<const TTBCustomImageList*>(ImageSourceOf(v));
        PaintViewer(p, v, st);
    };
    for (const auto& c : view_->Cells())
        if (c.get() != view_->Selection()) paint(*c);
    if (view_->Selection()) paint(*view_->Selection());
    const TLayoutResult& l = view_->LastLayout();
    const int w = contentsRect().width(), h = contentsRect().height();
    p.setPen(SysColor(TSysColor::MenuText));
    p.setBrush(SysColor(TSysColor::MenuText));
    if (l.upBandShown) {
        int cx = w / 2, cy = kScrollBandHeight / 2 - 1;
        p.drawPolygon(QPolygon({{cx - 3, cy + 3}, {cx + 3, cy + 3}, {cx, cy}}));
    }
    if (l.downBandShown) {
        int cx = w / 2, cy = (2 * h - kScrollBandHeight) / 2 - 1;
        p.drawPolygon(QPolygon({{cx - 3, cy}, {cx + 3, cy}, {cx, cy + 3}}));
    }
}

TRect TQtScreenPlacement::ClientOnScreen(const TTBView& view) const {
    auto* host = dynamic_cast<QWidget*>(&view.Host());
    if (!host || !host->isVisible()) return {};
    QRect r(host->mapToGlobal(host->contentsRect().topLeft()), host->contentsRect().size());
    return toRect(r);
}

}  // namespace tb
