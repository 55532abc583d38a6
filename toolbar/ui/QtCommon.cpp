#include "toolbar/ui/QtCommon.h"

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <functional>

#include "toolbar/core/MenuSettings.h"
#include "toolbar/ui/QtGeometry.h"

namespace tb {

int MenuShowDelay() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) && QApplication::style())
        return QApplication::style()->styleHint(QStyle::SH_Menu_SubMenuPopupDelay);
    return MenuShowDelayMs();
}

bool KeyboardCuesOn() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !QApplication::style()) return true;
    return QApplication::style()->styleHint(QStyle::SH_UnderlineShortcut) != 0;
}

QFont MenuFont() { return QApplication::font("QMenu"); }

bool HasActiveWindow() { return QApplication::activeWindow() != nullptr; }

int FontHeightOf(const QFont& font) { return QFontMetrics(font).height(); }

std::vector<TMonitor> Monitors() {
    std::vector<TMonitor> out;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) out.push_back({toRect(primary->geometry()), toRect(primary->availableGeometry())});
    for (QScreen* s : QGuiApplication::screens())
        if (s != primary) out.push_back({toRect(s->geometry()), toRect(s->availableGeometry())});
    return out;
}

QRect PrimaryMonitorArea(bool workArea) {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? (workArea ? s->availableGeometry() : s->geometry()) : QRect();
}

bool HasSeveralMonitors() { return QGuiApplication::screens().size() > 1; }

QRect MonitorAreaOf(const QRect& rect, bool workArea) {
    auto area = MonitorAreaOfRect(Monitors(), toRect(rect), workArea);
    return area ? toQRect(*area) : QRect();
}

QRect MonitorAreaOf(const QPoint& point, bool workArea) {
    auto area = MonitorAreaOfPoint(Monitors(), {point.x(), point.y()}, workArea);
    return area ? toQRect(*area) : QRect();
}

bool RequestMouseTracking(QWidget* widget) {
    if (!widget) return false;
    widget->setMouseTracking(true);
    return true;
}

QPixmap PrintWindow(QWidget* widget) { return widget ? widget->grab() : QPixmap(); }

void DrawVerticalText(QPainter& painter, std::string_view text, const QRect& rect, bool hidePrefix) {
    const QString shown = QString::fromStdString(StripAccelerators(text));
    const QFontMetrics fm(painter.font());
    const int length = fm.horizontalAdvance(shown);
    painter.save();
    // Turned a quarter clockwise: the baseline runs down the rect, glyph tops face right,
    // so the line's descent lies left of the baseline and its ascent right of it.
    painter.translate(rect.left() + (rect.width() - fm.height()) / 2 + fm.descent(),
                      rect.top() + (rect.height() - length) / 2);
    painter.rotate(90);
    painter.drawText(0, 0, shown);
    int accel = AcceleratorPosition(text);
    if (!hidePrefix && accel >= 0 && accel < shown.size()) {
        int from = fm.horizontalAdvance(shown.left(accel));
        int width = fm.horizontalAdvance(shown.at(accel));
        painter.drawLine(from, fm.descent() - 1, from + width - 1, fm.descent() - 1);
    }
    painter.restore();
}

void DrawEdge(QPainter& painter, const QRect& r, TEdgeKind kind) {
    QColor topLeft, bottomRight;
    switch (kind) {
    case TEdgeKind::RaisedOuter:
        topLeft = SysColor(TSysColor::Light3D), bottomRight = SysColor(TSysColor::DkShadow3D);
        break;
    case TEdgeKind::SunkenOuter:
        topLeft = SysColor(TSysColor::BtnShadow), bottomRight = SysColor(TSysColor::BtnHighlight);
        break;
    case TEdgeKind::RaisedInner:
        topLeft = SysColor(TSysColor::BtnHighlight), bottomRight = SysColor(TSysColor::BtnShadow);
        break;
    case TEdgeKind::SunkenInner:
        topLeft = SysColor(TSysColor::DkShadow3D), bottomRight = SysColor(TSysColor::Light3D);
        break;
    }
    painter.save();
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.restore();
}

namespace {
// An 8 by 8 one-bit bitmap whose set pixels are those `on` answers true for.
QBitmap bitmap8(const std::function<bool(int x, int y)>& on) {
    QImage image(8, 8, QImage::Format_MonoLSB);
    image.setColor(0, QColor(Qt::color0).rgb());
    image.setColor(1, QColor(Qt::color1).rgb());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) image.setPixel(x, y, on(x, y) ? 1 : 0);
    return QBitmap::fromImage(image);
}
}  // namespace

QBrush HalftoneBrush(const QColor& color) {
    QBrush brush(color);
    brush.setTexture(bitmap8([](int x, int y) { return ((x + y) & 1) == 0; }));  // rows 0x5555, 0xAAAA, ...
    return brush;
}

void DrawGlyph(QPainter& painter, QPoint topLeft, const TGlyph8& glyph, const QColor& color) {
    QPixmap pix(8, 8);
    pix.fill(color);
    pix.setMask(bitmap8([&](int x, int y) { return (glyph[std::size_t(y)] >> (7 - x)) & 1; }));
    painter.drawPixmap(topLeft, pix);
}

QColor SysColor(TSysColor color) {
    const QPalette p = QApplication::palette();
    switch (color) {
    case TSysColor::BtnFace: return p.color(QPalette::Button);
    case TSysColor::BtnText: return p.color(QPalette::ButtonText);
    case TSysColor::BtnHighlight: return p.color(QPalette::Light);
    case TSysColor::BtnShadow: return p.color(QPalette::Dark);
    case TSysColor::DkShadow3D: return p.color(QPalette::Shadow);
    case TSysColor::Light3D: return p.color(QPalette::Midlight);
    case TSysColor::Highlight: return p.color(QPalette::Highlight);
    case TSysColor::HighlightText: return p.color(QPalette::HighlightedText);
    case TSysColor::Menu: return p.color(QPalette::Window);
    case TSysColor::MenuText: return p.color(QPalette::WindowText);
    case TSysColor::GrayText: return p.color(QPalette::Disabled, QPalette::Text);
    case TSysColor::Window: return p.color(QPalette::Base);
    case TSysColor::WindowText: return p.color(QPalette::Text);
    }
    return {};
}

}  // namespace tb
