#include "toolbar/ui/QtFloatingWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "toolbar/core/DockLayout.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtDockableWindow.h"
#include "toolbar/ui/QtDragLoop.h"
#include "toolbar/ui/QtModalMouse.h"
#include "toolbar/core/ItemRuntime.h"

namespace tb {

namespace {

constexpr TGlyph8 kCaptionCloseGlyph{0x00, 0xC6, 0x6C, 0x38, 0x38, 0x6C, 0xC6, 0x00};

[[noreturn]] void noParentWindow(const QWidget& w) {
    throw EInvalidOperation(QString("Control '%1' has no parent window").arg(w.objectName()).toStdString());
}

}  // namespace

TTBFloatingWindowParent::TTBFloatingWindowParent(QWidget* form, TTBCustomDockableWindow* window)
    : QWidget(form), window_(window) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    ApplyFloatingMode();
    setContentsMargins(NonClient());
    setWindowTitle(window->windowTitle());
    setObjectName(QString::asprintf("NBFloatingWindowParent_%.8llx",
                                    static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(this)) & 0xFFFFFFFFull));
}

TTBFloatingWindowParent::~TTBFloatingWindowParent() {
    // The window inside goes after this body (a child): it must not call back.
    if (window_ && window_->floatingParent_ == this) window_->floatingParent_ = nullptr;
}

void TTBFloatingWindowParent::ApplyFloatingMode() {
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    if (window_->FloatingMode() == TTBFloatingMode::fmOnTopOfAllForms) flags |= Qt::WindowStaysOnTopHint;
    if (windowFlags() == flags) return;
    const bool shown = isVisible();
    setWindowFlags(flags);  // hides the window
    if (shown) show();
}

int SmallCaptionHeight(const QWidget& widget) { return std::max(15, widget.fontMetrics().height() + 4); }

QMargins FloatingNonClient(const TTBCustomDockableWindow& window) {
    const QSize border = window.FloatingBorderSize();
    return QMargins(border.width(), border.height() + (window.ShowCaption() ? SmallCaptionHeight(window) : 0),
                    border.width(), border.height());
}

int TTBFloatingWindowParent::CaptionHeight() const { return SmallCaptionHeight(*window_); }

QMargins TTBFloatingWindowParent::NonClient() const { return FloatingNonClient(*window_); }

QRect TTBFloatingWindowParent::CaptionRect() const {
    const QSize border = window_->FloatingBorderSize();
    QRect r(border.width(), border.height(), width() - 2 * border.width(), CaptionHeight() - 1);
    if (window_->CloseButton()) r.setRight(r.right() - r.height());
    return r;
}

QRect TTBFloatingWindowParent::CloseButtonRect() const {
    const QSize border = window_->FloatingBorderSize();
    const int h = CaptionHeight() - 1;
    return QRect(width() - border.width() - h, border.height(), h, h);
}

TTBFloatingWindowParent::THit TTBFloatingWindowParent::HitTest(QPoint p) const {
    if (contentsRect().contains(p)) return htClient;
    if (window_->ShowCaption()) {
        if (window_->CloseButton() && CloseButtonRect().contains(p)) return htCloseButton;
        if (CaptionRect().contains(p) || CloseButtonRect().contains(p)) return htCaption;
    }
    if (!window_->Resizable() || !rect().contains(p)) return htNowhere;
    const QSize border = window_->FloatingBorderSize();
    if (p.y() < border.height()) return htTop;
    if (p.y() >= height() - border.height()) return htBottom;
    if (p.x() < border.width()) return htLeft;
    if (p.x() >= width() - border.width()) return htRight;
    return htNowhere;
}

void TTBFloatingWindowParent::FitClient(QSize client) {
    setContentsMargins(NonClient());
    const QMargins m = contentsMargins();
    resize(client.width() + m.left() + m.right(), client.height() + m.top() + m.bottom());
}

void TTBFloatingWindowParent::SetShouldShow(bool value) {
    shouldShow_ = value;
    if (isHidden() == value) setVisible(value);
}

void TTBFloatingWindowParent::SetInactiveCaption(bool value) {
    if (value == inactiveCaption_) return;
    inactiveCaption_ = value;
    update();
}

void TTBFloatingWindowParent::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (window_ && window_->parentWidget() == this) window_->SetBoundsGuarded(contentsRect());
}

void TTBFloatingWindowParent::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    mapping_ = true;
}

void TTBFloatingWindowParent::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!window_) return;
    // An X window manager that takes the window back as it shows again may report it at
    // its frame's corner (0, 0) while it stays where it was: Qt would then place it, and
    // the drag loop measure it, from there. The window's own place is said once more.
    if (mapping_ && event->spontaneous() && pos() != window_->FloatingPosition) {
        mapping_ = false;
        move(window_->FloatingPosition);
        return;
    }
    window_->FloatingPosition = pos();
    if (window_->OnMove) window_->OnMove(window_);
}

void TTBFloatingWindowParent::paintEvent(QPaintEvent*) {
    mapping_ = false;
    if (!window_) return;
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, SysColor(TSysColor::BtnFace));
    DrawEdge(p, r, TEdgeKind::RaisedOuter);
    DrawEdge(p, r.adjusted(1, 1, -1, -1), TEdgeKind::RaisedInner);
    if (!window_->ShowCaption()) return;
    const QColor caption = inactiveCaption_ ? palette().color(QPalette::Inactive, QPalette::Highlight)
                                            : palette().color(QPalette::Active, QPalette::Highlight);
    QRect cap = CaptionRect();
    p.fillRect(cap, caption);
    p.setPen(palette().color(QPalette::HighlightedText));
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(cap.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               fontMetrics().elidedText(windowTitle(), Qt::ElideRight, cap.width() - 4));
    if (window_->CloseButton()) {
        const QRect cell = CloseButtonRect();
        p.fillRect(cell, caption);
        const QRect box = cell.adjusted(0, 2, -2, -2);
        p.fillRect(box, SysColor(TSysColor::BtnFace));
        DrawEdge(p, box, closePushed_ ? TEdgeKind::SunkenOuter : TEdgeKind::RaisedOuter);
        const QPoint at = box.center() - QPoint(3, 3) + (closePushed_ ? QPoint(1, 1) : QPoint());
        DrawGlyph(p, at, kCaptionCloseGlyph, SysColor(TSysColor::BtnText));
    }
    p.setPen(SysColor(TSysColor::BtnFace));
    const int bottom = cap.bottom() + 1;
    p.drawLine(cap.left(), bottom, width() - window_->FloatingBorderSize().width() - 1, bottom);
}

void TTBFloatingWindowParent::mousePressEvent(QMouseEvent* event) {
    if (!window_ || event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const THit hit = HitTest(event->position().toPoint());
    const QPoint at = event->globalPosition().toPoint();
    // The loops run the window's handlers: what they raise is reported, never thrown
    // through Qt's event delivery.
    Guarded([&] {
        switch (hit) {
        case htCloseButton:
            if (TrackButton(this, CloseButtonRect(), closePushed_) && window_) window_->CloseBar();
            break;
        case htCaption:
            BeginDragLoop(*window_, at);
            break;
        case htLeft:
        case htRight:
        case htTop:
        case htBottom:
            BeginFloatingResize(*window_, hit, at);
            break;
        default:
            break;
        }
    });
}

void TTBFloatingWindowParent::mouseDoubleClickEvent(QMouseEvent* event) {
    if (window_ && event->button() == Qt::LeftButton && HitTest(event->position().toPoint()) == htCaption)
        Guarded([this] { window_->ToggleDock(); });
}

void TTBFloatingWindowParent::closeEvent(QCloseEvent* event) {
    // The window manager's close (Alt+F4) closes the form, not the toolbar.
    event->ignore();
    if (Form()) Form()->close();
}

void TTBFloatingWindowParent::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && Form()) {
        Form()->activateWindow();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TTBFloatingWindowParent::Orphan() {
    window_ = nullptr;
    hide();
    deleteLater();
}

void SetFloating(TTBCustomDockableWindow& window, bool value) {
    if (value == window.Floating()) return;
    QWidget* form = window.OwnerForm();
    if (!form) noParentWindow(window);
    if (!value) {
        window.SetParent(form);
        return;
    }
    if (!window.floatingParent_ || window.floatingParent_->Form() != form) {
        auto* parent = new TTBFloatingWindowParent(form, &window);
        try {
            parent->FitClient(window.CalcSize(nullptr, true));
        } catch (...) {
            delete parent;
            throw;
        }
        delete window.floatingParent_.data();
        window.floatingParent_ = parent;
    }
    window.SetParent(window.floatingParent_);
    window.Relayout();
}

void FloatAtStoredPlace(TTBCustomDockableWindow& window, QPoint place) {
    window.FloatingPosition = place;
    SetFloating(window, true);
    if (auto* parent = window.FloatingParent()) parent->move(place);
    window.KeepOnScreen(false);
}

}  // namespace tb
