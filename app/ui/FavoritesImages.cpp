#include "app/ui/FavoritesImages.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

#include "app/core/Favorites.h"

namespace gs {

namespace {

constexpr int kSize = 16;
const QColor kOutline(60, 50, 20), kFolder(252, 210, 92), kFolderShade(222, 160, 40), kStar(240, 190, 20),
    kPaper(255, 255, 255), kPaperShade(214, 222, 232);

QBrush fill(bool hi, QColor top, QColor bottom, QRectF r) {
    if (!hi) return QBrush(top);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return QBrush(g);
}

QPainterPath star(QPointF centre, double outer, double inner) {
    QPainterPath path;
    constexpr double kPi = 3.14159265358979323846;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? inner : outer, a = -kPi / 2 + i * kPi / 5;
        const QPointF p(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
        if (i == 0) path.moveTo(p);
        else path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

}  // namespace

QIcon FavoritesPicture(TFavoritesPicture which, bool hi) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, hi);
    p.setPen(QPen(kOutline, 1));
    QPainterPath shape;
    switch (which) {
        case TFavoritesPicture::Root:
            shape = star({8, 8.5}, 7.5, 3.2);
            p.setBrush(fill(hi, kStar.lighter(130), kStar, shape.boundingRect()));
            p.drawPath(shape);
            break;
        case TFavoritesPicture::Folder:
        case TFavoritesPicture::OpenFolder: {
            const bool open = which == TFavoritesPicture::OpenFolder;
            shape.addRect(QRectF(0.5, 3.5, 15, 11));
            p.setBrush(fill(hi, kFolderShade, kFolderShade.darker(110), shape.boundingRect()));
            p.drawPath(shape);
            QPainterPath front;
            front.addPolygon(open ? QPolygonF({{3, 6.5}, {15.5, 6.5}, {13, 14.5}, {0.5, 14.5}})
                                  : QPolygonF({{0.5, 5.5}, {15.5, 5.5}, {15.5, 14.5}, {0.5, 14.5}}));
            front.closeSubpath();
            p.setBrush(fill(hi, kFolder.lighter(115), kFolder, front.boundingRect()));
            p.drawPath(front);
            break;
        }
        case TFavoritesPicture::Favorite:
            shape.addRect(QRectF(2.5, 0.5, 11, 15));
            p.setBrush(fill(hi, kPaper, kPaperShade, shape.boundingRect()));
            p.drawPath(shape);
            p.setBrush(QBrush(kStar));
            p.drawPath(star({8, 9}, 5, 2.2));
            break;
    }
    p.end();
    return QIcon(pixmap);
}

QIcon FavoritesMenuPicture(int imageIndex, bool highColour) {
    return FavoritesPicture(imageIndex == kFavoritesFolderImage ? TFavoritesPicture::Folder : TFavoritesPicture::Favorite,
                            highColour);
}

}  // namespace gs
