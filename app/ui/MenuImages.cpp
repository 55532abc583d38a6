#include "app/ui/MenuImages.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <functional>

namespace gs {

namespace {

constexpr double kPi = 3.14159265358979323846;

// One painter per picture, set up for the colour depth: flat colours and no smoothing
// for 256-colour screens.
struct TPen {
    QPainter& p;
    bool hi;

    QBrush fill(QColor top, QColor bottom, QRectF r) const {
        if (!hi) return QBrush(top);
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        return QBrush(g);
    }
    void shape(const QPainterPath& path, QColor top, QColor bottom, QColor outline) const {
        p.setPen(QPen(outline, 1));
        p.setBrush(fill(top, bottom, path.boundingRect()));
        p.drawPath(path);
    }
    void rect(QRectF r, QColor top, QColor bottom, QColor outline) const {
        QPainterPath path;
        path.addRect(r);
        shape(path, top, bottom, outline);
    }
    void line(QPointF a, QPointF b, QColor c, double w = 1) const {
        p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(a, b);
    }
};

const QColor kOutline(40, 52, 72);
const QColor kPaper(255, 255, 255), kPaperShade(214, 222, 232);
const QColor kFolder(252, 210, 92), kFolderShade(222, 160, 40), kFolderLine(150, 100, 20);
const QColor kBlue(70, 130, 210), kDeepBlue(30, 70, 150);

void page(const TPen& g, QRectF r) {
    QPainterPath path;
    const double fold = 4;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    g.shape(path, kPaper, kPaperShade, kOutline);
    g.line({r.right() - fold, r.top()}, {r.right() - fold, r.top() + fold}, kOutline);
    g.line({r.right() - fold, r.top() + fold}, {r.right(), r.top() + fold}, kOutline);
}

void pageLines(const TPen& g, QRectF r, int count) {
    for (int i = 0; i < count; ++i) {
        const double y = r.top() + 5.5 + 2 * i;
        g.line({r.left() + 2.5, y}, {r.right() - 2.5, y}, kBlue);
    }
}

void disk(const TPen& g, QRectF r, QColor body) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 2, r.top());
    path.lineTo(r.right(), r.top() + 2);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    g.shape(path, body.lighter(130), body, kOutline);
    g.rect(QRectF(r.left() + 3, r.top() + 0.5, r.width() - 7, 4.5), QColor(235, 235, 235), QColor(200, 200, 200),
           kOutline);
    g.rect(QRectF(r.left() + 2.5, r.bottom() - 6, r.width() - 5, 5.5), kPaper, kPaperShade, kOutline);
}

void folder(const TPen& g, QRectF r) {
    QPainterPath back;
    back.moveTo(r.left(), r.top() + 2);
    back.lineTo(r.left() + 5, r.top() + 2);
    back.lineTo(r.left() + 6.5, r.top());
    back.lineTo(r.left() + 11, r.top());
    back.lineTo(r.left() + 12, r.top() + 2);
    back.lineTo(r.right(), r.top() + 2);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    g.shape(back, kFolderShade, kFolderShade.darker(115), kFolderLine);
    QPainterPath front;
    front.moveTo(r.left(), r.bottom());
    front.lineTo(r.left() + 2.5, r.top() + 5);
    front.lineTo(r.right() + 0.5, r.top() + 5);
    front.lineTo(r.right() - 2, r.bottom());
    front.closeSubpath();
    g.shape(front, kFolder.lighter(112), kFolder, kFolderLine);
}

void miniPicture(const TPen& g, QRectF r) {
    g.rect(r, QColor(150, 210, 250), QColor(200, 235, 255), kOutline);
    QPainterPath hill;
    hill.moveTo(r.left() + 0.5, r.bottom());
    hill.lineTo(r.left() + r.width() * 0.45, r.top() + r.height() * 0.4);
    hill.lineTo(r.right() - 0.5, r.bottom());
    hill.closeSubpath();
    g.shape(hill, QColor(80, 170, 70), QColor(40, 120, 40), QColor(30, 90, 30));
}

void help(const TPen& g) {
    QPainterPath ring;
    ring.addEllipse(QRectF(0.5, 0.5, 15, 15));
    g.shape(ring, kBlue.lighter(125), kDeepBlue, kDeepBlue.darker(120));
    QFont f("DejaVu Sans");
    f.setPixelSize(12);
    f.setBold(true);
    g.p.setFont(f);
    g.p.setPen(Qt::white);
    g.p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, "?");
}

void view(const TPen& g) {
    const QColor tiles[] = {QColor(230, 90, 60), QColor(70, 160, 80), kBlue, QColor(240, 180, 40)};
    for (int i = 0; i < 4; ++i) {
        const QRectF r(1.5 + 7 * (i % 2), 1.5 + 7 * (i / 2), 6, 6);
        g.rect(r, tiles[i].lighter(130), tiles[i], tiles[i].darker(160));
    }
}

void extract(const TPen& g) {
    page(g, QRectF(1.5, 0.5, 10, 13));
    pageLines(g, QRectF(1.5, 0.5, 10, 13), 2);
    QPainterPath arrow;  // out of the page, to the lower right
    arrow.moveTo(7, 9);
    arrow.lineTo(11, 9);
    arrow.lineTo(11, 6.5);
    arrow.lineTo(15.5, 11);
    arrow.lineTo(11, 15.5);
    arrow.lineTo(11, 13);
    arrow.lineTo(7, 13);
    arrow.closeSubpath();
    g.shape(arrow, QColor(120, 210, 90), QColor(40, 140, 40), QColor(20, 90, 20));
}

void copy(const TPen& g) {
    page(g, QRectF(0.5, 0.5, 9, 11));
    page(g, QRectF(5.5, 4.5, 9, 11));
    pageLines(g, QRectF(5.5, 4.5, 9, 11), 3);
}

void properties(const TPen& g) {
    page(g, QRectF(1.5, 0.5, 12, 15));
    for (int i = 0; i < 3; ++i) {
        const double y = 5.5 + 3 * i;
        g.rect(QRectF(3.5, y - 1, 2, 2), kDeepBlue, kDeepBlue, kDeepBlue);
        g.line({7, y}, {11, y}, kBlue);
    }
}

void pencil(const TPen& g) {
    miniPicture(g, QRectF(0.5, 5.5, 10, 10));
    QPainterPath body;
    body.moveTo(6, 13);
    body.lineTo(13, 2);
    body.lineTo(15.5, 4);
    body.lineTo(8.5, 15);
    body.lineTo(5.5, 15.5);
    body.closeSubpath();
    g.shape(body, QColor(250, 200, 70), QColor(220, 140, 30), QColor(120, 70, 10));
    g.line({12, 3.5}, {14.5, 5.5}, QColor(230, 120, 140), 2);
}

void find(const TPen& g) {
    QPainterPath lens;
    lens.addEllipse(QRectF(0.5, 0.5, 10, 10));
    g.shape(lens, QColor(220, 240, 255), QColor(150, 200, 240), kOutline);
    g.line({9.5, 9.5}, {14.5, 14.5}, QColor(90, 60, 30), 3);
}

void filter(const TPen& g) {
    QPainterPath funnel;
    funnel.moveTo(0.5, 1.5);
    funnel.lineTo(15.5, 1.5);
    funnel.lineTo(9.5, 8.5);
    funnel.lineTo(9.5, 14.5);
    funnel.lineTo(6.5, 15.5);
    funnel.lineTo(6.5, 8.5);
    funnel.closeSubpath();
    g.shape(funnel, kBlue.lighter(140), kDeepBlue, kDeepBlue.darker(130));
}

void send(const TPen& g) {
    QRectF r(0.5, 3.5, 15, 10);
    g.rect(r, kPaper, kPaperShade, kOutline);
    g.line({0.5, 3.5}, {8, 9.5}, kOutline);
    g.line({15.5, 3.5}, {8, 9.5}, kOutline);
    g.line({0.5, 13.5}, {6, 8.5}, kOutline);
    g.line({15.5, 13.5}, {10, 8.5}, kOutline);
}

void draw(int index, const TPen& g) {
    switch (index) {
        case 0: view(g); break;
        case 1: help(g); break;
        case 2: folder(g, QRectF(0.5, 2.5, 15, 12)); break;
        case 3: page(g, QRectF(2.5, 0.5, 11, 15)); pageLines(g, QRectF(2.5, 0.5, 11, 15), 4); break;
        case 4: disk(g, QRectF(0.5, 0.5, 15, 15), kDeepBlue); break;
        case 5: disk(g, QRectF(0.5, 0.5, 12, 12), kDeepBlue); miniPicture(g, QRectF(7.5, 7.5, 8, 8)); break;
        case 6: extract(g); break;
        case 7: copy(g); break;
        case 8: properties(g); break;
        case 9: pencil(g); break;
        case 10: disk(g, QRectF(0.5, 0.5, 12, 12), QColor(120, 60, 150)); miniPicture(g, QRectF(7.5, 7.5, 8, 8)); break;
        case 11: find(g); break;
        case 12: filter(g); break;
        case 14: send(g); break;
        default: break;
    }
}

QImage paint(int width, int height, const std::function<void(QPainter&)>& body) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    body(p);
    return image;
}

}  // namespace

std::vector<QIcon> MakeMenuImages(bool highColour) {
    std::vector<QIcon> icons;
    for (int i = 0; i < kMenuImageCount; ++i) {
        QImage image = paint(kMenuImageSize, kMenuImageSize, [&](QPainter& p) {
            p.setRenderHint(QPainter::Antialiasing, highColour);
            draw(i, TPen{p, highColour});
        });
        icons.emplace_back(QPixmap::fromImage(image));
    }
    return icons;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        icon.addPixmap(QPixmap::fromImage(paint(size, size, [&](QPainter& p) {
            p.scale(size / 16.0, size / 16.0);
            TPen g{p, true};
            view(g);
            p.translate(4, 4);
            p.scale(0.75, 0.75);
            find(g);
        })));
    }
    return icon;
}

QImage PleaseWaitStrip() {
    const int s = kAnimationFrameSize;
    return paint(s * kPleaseWaitFrames, s, [&](QPainter& p) {
        for (int f = 0; f < kPleaseWaitFrames; ++f) {
            for (int d = 0; d < kPleaseWaitFrames; ++d) {
                // The lit dot moves on one place per frame; the ones behind it fade.
                const int age = (f - d + kPleaseWaitFrames) % kPleaseWaitFrames;
                const double angle = 2 * kPi * d / kPleaseWaitFrames - kPi / 2;
                const QPointF c(f * s + s / 2.0 + 11 * std::cos(angle), s / 2.0 + 11 * std::sin(angle));
                QColor colour = kDeepBlue;
                colour.setAlpha(255 - age * 28);
                p.setPen(Qt::NoPen);
                p.setBrush(colour);
                const double r = age == 0 ? 3.6 : 3.0 - age * 0.15;
                p.drawEllipse(c, r, r);
            }
        }
    });
}

QImage SavePleaseWaitStrip() {
    const int s = kAnimationFrameSize;
    return paint(s * kSavePleaseWaitFrames, s, [&](QPainter& p) {
        for (int f = 0; f < kSavePleaseWaitFrames; ++f) {
            p.save();
            p.translate(f * s, 0);
            p.scale(s / 32.0, s / 32.0);
            TPen g{p, true};
            disk(g, QRectF(8.5, 14.5, 17, 17), kDeepBlue);
            // A page drops into the disk over the frames, then the next one follows.
            const double t = double(f) / kSavePleaseWaitFrames;
            p.setClipRect(QRectF(0, 0, 32, 22));
            page(g, QRectF(11.5, -12 + 28 * t, 11, 13));
            p.restore();
        }
    });
}

}  // namespace gs
