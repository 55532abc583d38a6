#include "toolbar/ui/QtViewerPaint.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <QPolygon>

#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtImageList.h"

namespace tb {

namespace {

constexpr int kMenuCheckWidth = 13;

void triangle(QPainter& p, const QPolygon& points, const QColor& color) {
    p.save();
    p.setPen(color);
    p.setBrush(color);
    p.drawPolygon(points);
    p.restore();
}

// A vertical line in shadow, with highlight right of it unless `etched` is false (sunken).
void etchedLine(QPainter& p, int x, int top, int bottom, bool etched) {
    p.save();
    p.setPen(SysColor(TSysColor::BtnShadow));
    p.drawLine(x, top, x, bottom);
    if (etched) {
        p.setPen(SysColor(TSysColor::BtnHighlight));
        p.drawLine(x + 1, top, x + 1, bottom);
    }
    p.restore();
}

void paintSeparator(QPainter& p, const TTBItemViewer& v, const QRect& r) {
    auto* sep = dynamic_cast<const TTBSeparatorItem*>(v.Item());
    if (sep && sep->Blank()) return;
    const bool menu = !v.View().ForToolbar();
    const bool vertical = (menu || v.View().Orientation == TTBViewOrientation::Vertical) == v.LineBreak;
    p.save();
    if (vertical) {
        int inset = v.LineBreak ? 4 : 0;
        etchedLine(p, r.left() + r.width() / 2 - 1, r.top() + inset, r.bottom() - inset, true);
    } else {
        int inset = menu ? 12 : v.LineBreak ? 0 : v.View().Orientation == TTBViewOrientation::Floating ? 1 : 4;
        int y = r.top() + r.height() / 2 - 1;
        p.setPen(SysColor(TSysColor::BtnShadow));
        p.drawLine(r.left() + inset, y, r.right() - inset, y);
        p.setPen(SysColor(TSysColor::BtnHighlight));
        p.drawLine(r.left() + inset, y + 1, r.right() - inset, y + 1);
    }
    p.restore();
}

void standardCaption(QPainter& p, const TTBItemViewer& v, const QRect& r, int flags, bool emboss, const QColor& color,
                     const QString& text) {
    const TViewerPlace place{v.View().ForToolbar(), v.View().Orientation};
    const bool turned = ButtonLook(*v.Item(), place) && TextTurned(*v.Item(), place);
    auto draw = [&](const QRect& at) {
        if (turned) DrawVerticalText(p, text.toStdString(), at, (flags & Qt::TextHideMnemonic) != 0);
        else p.drawText(at, flags, text);
    };
    if (emboss) {
        p.setPen(SysColor(TSysColor::BtnHighlight));
        draw(r.translated(1, 1));
        p.setPen(SysColor(TSysColor::BtnShadow));
    } else {
        p.setPen(color);
    }
    draw(r);
}

void drawCaption(QPainter& p, const TTBItemViewer& v, const QRect& r, int flags, bool emboss, const QColor& color,
                 const QString& text) {
    if (auto* own = dynamic_cast<const TTBPaintedItemViewer*>(&v)) own->PaintCaption(p, r, flags, emboss, color, text);
    else standardCaption(p, v, r, flags, emboss, color, text);
}

// A default item's caption is bold.
QFont captionFont(const QFont& font, const TTBCustomItem& item) {
    QFont f = font;
    if (item.OptionsInForce() & tboDefault) f.setBold(true);
    return f;
}

void drawImage(QPainter& p, const QRect& area, const TTBItemViewer& v, const TViewerPaintState& st) {
    if (!st.images || v.Item()->ImageIndex() < 0) return;
    int x = area.left() + (area.width() - st.images->Width()) / 2;
    int y = area.top() + (area.height() - st.images->Height()) / 2;
    st.images->DrawWithState(p, x, y, v.Item()->ImageIndex(), v.Item()->Enabled(), st.hot, v.Item()->Checked());
}

void paintButton(QPainter& p, const TTBItemViewer& v, QRect r, const TViewerPaintState& st) {
    TTBCustomItem* item = v.Item();
    const bool split = item->ItemStyle() & tbstCombo;
    const bool arrow = (item->ItemStyle() & tbstSubmenu) && (split || (item->OptionsInForce() & tboDropdownArrow));
    const bool vertical = v.View().Orientation == TTBViewOrientation::Vertical;
    QRect button = r, arrowRect;
    if (split) {
        button.setRight(r.right() - 11);
        arrowRect = QRect(QPoint(r.right() - 10, r.top()), QPoint(r.right() - 1, r.bottom()));
    } else if (arrow) {
        arrowRect = vertical ? QRect(QPoint(r.left(), r.bottom() - 10), QPoint(r.right(), r.bottom() - 2))
                             : QRect(QPoint(r.right() - 10, r.top()), QPoint(r.right() - 2, r.bottom()));
    }
    // A split button's halves push apart: the button while its press is held, the arrow
    // while its menu is open.
    const bool tracked = v.View().PressTracked;
    const bool pushed = (st.pressed && (!split || tracked)) || item->Checked();
    if ((st.hot && item->Enabled()) || item->Checked()) {
        DrawEdge(p, button, pushed ? TEdgeKind::SunkenOuter : TEdgeKind::RaisedInner);
        if (split && st.hot)
            DrawEdge(p, arrowRect.adjusted(-1, 0, 0, 0),
                     st.pressed && !tracked ? TEdgeKind::SunkenOuter : TEdgeKind::RaisedInner);
    }
    if (arrow) {
        QPoint c = arrowRect.center() + ((pushed && !split) ? QPoint(1, 1) : QPoint());
        QPolygon tri = (vertical && !split) ? QPolygon({c + QPoint(-1, 2), c + QPoint(-1, -2), c + QPoint(-3, 0)})
                                            : QPolygon({c + QPoint(-2, -1), c + QPoint(2, -1), c + QPoint(0, 1)});
        if (!item->Enabled()) {
            triangle(p, tri.translated(1, 1), SysColor(TSysColor::BtnHighlight));
            triangle(p, tri, SysColor(TSysColor::BtnShadow));
        } else {
            triangle(p, tri, SysColor(TSysColor::BtnText));
        }
    }
    QRect inner = button.adjusted(1, 1, -1, -1);
    if (item->Checked() && !(st.hot && item->Enabled())) {
        p.fillRect(inner, SysColor(TSysColor::BtnFace));
        p.fillRect(inner, HalftoneBrush(SysColor(TSysColor::BtnHighlight)));
    }
    if (pushed) inner.translate(1, 1);
    if (!split && arrow) (vertical ? inner.setBottom(inner.bottom() - 8) : inner.setRight(inner.right() - 8));
    const TViewerPlace place{v.View().ForToolbar(), v.View().Orientation};
    const bool turned = TextTurned(*item, place);
    // Turned text and image-above items stack the image over the caption; others put it left.
    const bool stacked = turned || (item->OptionsInForce() & tboImageAboveCaption);
    QRect imageArea = inner, textArea = inner;
    if (ImageVisible(*item, place) && st.images) {
        if (stacked) {
            imageArea.setHeight(st.images->Height() + 2);
            textArea.setTop(imageArea.bottom() + 1);
        } else {
            imageArea.setWidth(st.images->Width() + 2);
            textArea.setLeft(imageArea.right() + 1);
        }
        if (!CaptionVisible(*item, place)) imageArea = inner;
        drawImage(p, imageArea, v, st);
    }
    if (CaptionVisible(*item, place)) {
        p.setFont(captionFont(st.font, *item));
        const int flags =
            Qt::AlignCenter | Qt::TextSingleLine | (st.showAccels ? Qt::TextShowMnemonic : Qt::TextHideMnemonic);
        drawCaption(p, v, textArea, flags, !item->Enabled(), SysColor(TSysColor::BtnText),
                    QString::fromStdString(DisplayCaption(*item)));
        p.setFont(st.font);
    }
}

// A split row's arrow column stands apart: a sunken box while the row is selected (a line
// only when disabled, since the box belongs to an arrow that can open), else an etched line.
void paintSplitSeparator(QPainter& p, const QRect& column, bool selected, bool enabled) {
    if (selected && enabled) {
        p.fillRect(column, SysColor(TSysColor::BtnFace));
        DrawEdge(p, column, TEdgeKind::SunkenOuter);
        return;
    }
    etchedLine(p, column.left(), column.top(), column.bottom(), !selected);
}

void paintMenuRow(QPainter& p, const TTBItemViewer& v, QRect r, const TViewerPaintState& st) {
    TTBCustomItem* item = v.Item();
    const int h = r.height();
    const int column = st.images ? MulDiv(st.images->Width() + 3, h, st.images->Height() + 3) : h;
    const bool imageShown = st.images && ImageVisible(*item, {false, TTBViewOrientation::Horizontal});
    const bool split = item->ItemStyle() & tbstCombo;
    if (st.hot) {
        QRect fill = r;
        if (imageShown || item->Checked()) fill.setLeft(r.left() + column + 1);
        if (split && item->Enabled()) fill.setRight(r.right() - kMenuCheckWidth);
        p.fillRect(fill, SysColor(TSysColor::Highlight));
    }
    QColor text = item->Enabled() ? SysColor(st.hot ? TSysColor::HighlightText : TSysColor::MenuText)
                                  : SysColor(TSysColor::GrayText);
    QRect columnRect(r.left(), r.top(), column, h);
    if (item->Checked() || (st.hot && item->Enabled() && imageShown)) {
        if (item->Checked() && !st.hot) p.fillRect(columnRect.adjusted(1, 1, -1, -1), HalftoneBrush(SysColor(TSysColor::BtnHighlight)));
        DrawEdge(p, columnRect.adjusted(0, 0, -1, -1), item->Checked() ? TEdgeKind::SunkenOuter : TEdgeKind::RaisedInner);
    }
    if (imageShown) {
        drawImage(p, item->Checked() ? columnRect.translated(1, 1) : columnRect, v, st);
    } else if (item->Checked()) {
        QPoint c(r.left() + column / 2 - 2, r.top() + h / 2 + 1);
        p.save();
        p.setPen(SysColor(TSysColor::BtnText));
        p.drawPolyline(QPolygon({c + QPoint(-2, -2), c, c + QPoint(4, -4), c + QPoint(4, -3), c + QPoint(0, 1),
                                 c + QPoint(-2, -1), c + QPoint(-2, -2)}));
        p.setPen(SysColor(TSysColor::BtnHighlight));
        p.drawPolyline(QPolygon({c + QPoint(-3, -2), c + QPoint(-3, -1), c + QPoint(0, 2), c + QPoint(5, -3),
                                 c + QPoint(5, -5)}));
        p.restore();
    }
    // Text lines up as in the system's menus: one external leading down, and a row that is
    // just its text and padding centres it one pixel higher.
    const QFontMetrics metrics(st.font);
    QRect line(r.left(), r.top() + metrics.leading(), r.width(), h - metrics.leading());
    if (h == metrics.height() + metrics.leading() + kMenuRowPadding) line.setBottom(line.bottom() - 1);
    QRect textRect = line.adjusted(column + 3, 0, 0, 0);
    int flags = Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine |
                (st.showAccels ? Qt::TextShowMnemonic : Qt::TextHideMnemonic);
    // Disabled rows are grey, embossed only where grey would not show on the window colour.
    const QRgb window = SysColor(TSysColor::Window).rgb(), grey = SysColor(TSysColor::GrayText).rgb();
    const bool emboss = !item->Enabled() &&
                        (st.hot ? window == grey : (window == SysColor(TSysColor::BtnFace).rgb() || window == grey));
    p.setFont(captionFont(st.font, *item));
    drawCaption(p, v, textRect, flags, emboss, text, QString::fromStdString(DisplayCaption(*item)));
    p.setFont(st.font);
    std::string shortcut = item->ShortcutDisplayText();
    if (!shortcut.empty())
        drawCaption(p, v, line.adjusted(0, 0, -h, 0), Qt::AlignVCenter | Qt::AlignRight | Qt::TextSingleLine, emboss,
                    text, QString::fromStdString(shortcut));
    if (!(item->ItemStyle() & tbstSubmenu)) return;
    const QRect arrowColumn(r.right() + 1 - kMenuCheckWidth, r.top(), kMenuCheckWidth, h);
    if (split) paintSplitSeparator(p, arrowColumn, st.hot, item->Enabled());
    const QPoint c(r.right() - kMenuCheckWidth / 2, r.top() + h / 2);
    const QPolygon tri({c + QPoint(-2, -4), c + QPoint(-2, 4), c + QPoint(2, 0)});
    if (emboss) {
        triangle(p, tri.translated(1, 1), SysColor(TSysColor::BtnHighlight));
        triangle(p, tri, SysColor(TSysColor::BtnShadow));
    } else if (split && st.hot) {
        // On the face-coloured box, not the highlight, so in button text; pushed while its
        // menu is open.
        triangle(p, st.pressed ? tri.translated(1, 1) : tri, SysColor(TSysColor::BtnText));
    } else {
        triangle(p, tri, text);
    }
}

void paintStandard(QPainter& p, const TTBItemViewer& v, const QRect& r, const TViewerPaintState& st) {
    if (dynamic_cast<const TTBSeparatorItemViewer*>(&v)) paintSeparator(p, v, r);
    else if (ButtonLook(*v.Item(), {v.View().ForToolbar(), v.View().Orientation})) paintButton(p, v, r, st);
    else paintMenuRow(p, v, r, st);
}

}  // namespace

IImageSource* ImageSourceOf(const TTBItemViewer& viewer) {
    if (IImageSource* own = viewer.Item()->Images()) return own;
    for (const TTBView* v = &viewer.View(); v; v = v->OpenerView()) {
        if (v->ShownItem() && v->ShownItem()->SubMenuImages()) return v->ShownItem()->SubMenuImages();
        if (v->BaseItem() && v->BaseItem()->SubMenuImages()) return v->BaseItem()->SubMenuImages();
    }
    return nullptr;
}

void PaintViewer(QPainter& painter, const TTBItemViewer& viewer, const TViewerPaintState& state) {
    const TRect& b = viewer.BoundsRect;
    if (!viewer.IsShown || b.IsEmpty()) return;
    QRect r(b.left, b.top, b.Width(), b.Height());
    painter.save();
    painter.setClipRect(r);
    painter.setFont(state.font);
    if (auto* own = dynamic_cast<const TTBPaintedItemViewer*>(&viewer)) own->Paint(painter, r, state);
    else paintStandard(painter, viewer, r, state);
    painter.restore();
}

void TTBPaintedItemViewer::Paint(QPainter& painter, const QRect& r, const TViewerPaintState& state) const {
    paintStandard(painter, *this, r, state);
}

void TTBPaintedItemViewer::PaintCaption(QPainter& painter, const QRect& r, int flags, bool emboss, const QColor& color,
                                        const QString& text) const {
    standardCaption(painter, *this, r, flags, emboss, color, text);
}

TTextMetrics MetricsOf(const QFont& font) {
    auto measurer = [](const QFont& f) {
        return [fm = QFontMetrics(f)](std::string_view s) {
            return fm.horizontalAdvance(QString::fromUtf8(s.data(), int(s.size())));
        };
    };
    QFont bold = font;
    bold.setBold(true);
    TTextMetrics m{QFontMetrics(font).height(), QFontMetrics(font).leading(), measurer(font)};
    m.boldWidth = measurer(bold);
    return m;
}

std::optional<TImageSize> ImageSizeOf(const TTBItemViewer& viewer) {
    IImageSource* images = ImageSourceOf(viewer);
    if (!images) return std::nullopt;
    return TImageSize{images->Width(), images->Height()};
}

}  // namespace tb
