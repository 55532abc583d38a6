#include "app/ui/ElidedLabel.h"

#include <QPainter>
#include <algorithm>
#include <QStyle>

namespace gs {

QRect TElidedLabel::textRect() const {
    const int inset = margin() + std::max(indent(), 0);
    return contentsRect().adjusted(inset, margin(), -inset, -margin());
}

QString TElidedLabel::ShownText() const {
    const QString whole = text();
    const QFontMetrics metrics = fontMetrics();
    const int width = textRect().width();
    const qsizetype path = whole.indexOf(QLatin1Char('/'));
    if (path < 0) return metrics.elidedText(whole, Qt::ElideRight, width);
    // The words before a path ("Selected Folder: ") stay whole while there is room for them.
    const QString words = whole.left(path);
    const int room = width - metrics.horizontalAdvance(words);
    if (room <= metrics.horizontalAdvance(QStringLiteral("/\u2026/"))) return metrics.elidedText(whole, Qt::ElideMiddle, width);
    return words + metrics.elidedText(whole.mid(path), Qt::ElideMiddle, room);
}

QSize TElidedLabel::minimumSizeHint() const {
    QSize hint = QLabel::minimumSizeHint();
    const QMargins frame = contentsMargins();
    hint.setWidth(std::min(hint.width(), fontMetrics().horizontalAdvance(QStringLiteral("\u2026")) +
                                             frame.left() + frame.right() + 2 * margin()));
    return hint;
}

void TElidedLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    style()->drawItemText(&painter, textRect(), int(QStyle::visualAlignment(layoutDirection(), alignment())), palette(),
                          isEnabled(), ShownText(), foregroundRole());
}

}  // namespace gs
