#pragma once
// The toolbar core's rectangles and points as Qt's and back. The core's rectangles end
// before their right and bottom edges (width = right - left); Qt's right() is the last
// pixel inside, so the conversions go through width and height, never right().
#include <QPoint>
#include <QRect>

#include "toolbar/core/Common.h"

namespace tb {

inline TRect toRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
inline QRect toQRect(const TRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
inline TPoint toPoint(QPoint p) { return {p.x(), p.y()}; }
inline QPoint toQPoint(TPoint p) { return QPoint(p.x, p.y); }

}  // namespace tb
