#include "app/ui/DialogPictures.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPainter>
#include <QRadialGradient>

#include "codecs/ui/ScreenDepth.h"

namespace gs {

namespace {

const QColor kOutline(40, 40, 48), kPaper(255, 255, 255), kPaperShade(210, 218, 230), kGlass(150, 200, 240),
    kRim(90, 90, 100), kHandle(120, 70, 30), kSky(110, 170, 235), kHill(70, 150, 60), kSun(250, 210, 40),
    kFrame(150, 110, 60);

QBrush shaded(bool hi, QColor top, QColor bottom, const QRectF& r) {
    if (!hi) return QBrush(top);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return QBrush(g);
}

// A sheet of lines under a magnifying glass.
void drawFind(QPainter& p, bool hi) {
    const QRectF sheet(3.5, 2.5, 19, 25);
    p.setBrush(shaded(hi, kPaper, kPaperShade, sheet));
    p.drawRect(sheet);
    p.setPen(QPen(kPaperShade.darker(140), 1));
    for (int y = 7; y <= 22; y += 3) p.drawLine(QPointF(6.5, y + 0.5), QPointF(19.5, y + 0.5));
    p.setPen(QPen(kHandle, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 22), QPointF(29, 29));
    const QRectF lens(10.5, 8.5, 15, 15);
    if (hi) {
        QRadialGradient g(lens.center() - QPointF(2, 2), 9);
        g.setColorAt(0, kGlass.lighter(130));
        g.setColorAt(1, kGlass.darker(115));
        p.setBrush(g);
    } else {
        p.setBrush(kGlass);
    }
    p.setPen(QPen(kRim, 2));
    p.drawEllipse(lens);
}

// A framed landscape: sky, sun and a hill.
void drawImageFormat(QPainter& p, bool hi) {
    const QRectF frame(1.5, 4.5, 29, 23), inside(4.5, 7.5, 23, 17);
    p.setBrush(shaded(hi, kFrame.lighter(120), kFrame.darker(120), frame));
    p.drawRect(frame);
    p.setBrush(shaded(hi, kSky.lighter(125), kSky, inside));
    p.drawRect(inside);
    p.setPen(Qt::NoPen);
    p.setBrush(kSun);
    p.drawEllipse(QRectF(19, 9.5, 6, 6));
    QPainterPath hill;
    hill.moveTo(inside.bottomLeft());
    hill.quadTo(QPointF(12, 12), QPointF(27.5, 22));
    hill.lineTo(inside.bottomRight());
    hill.closeSubpath();
    p.setBrush(shaded(hi, kHill.lighter(125), kHill.darker(115), inside));
    p.drawPath(hill);
}

}  // namespace

QPixmap DialogPicture(TDialogPicture which, bool highColour) {
    QPixmap pixmap(kDialogPictureSize, kDialogPictureSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, highColour);
    p.setPen(QPen(kOutline, 1));
    if (which == TDialogPicture::Find) drawFind(p, highColour);
    else drawImageFormat(p, highColour);
    return pixmap;
}

bool HighColourScreen() {
    const int depth = GetScreenColorDepth();
    return depth != 2 && depth != 4 && depth != 8;
}

}  // namespace gs
