#pragma once
// The platform-facing shared routines of the toolbar library on Qt: the desktop's menu
// settings as the style gives them, monitors, mouse-leave tracking, printing a window,
// rotated text for vertical toolbars, and the small drawing helpers the views share.
#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "toolbar/core/Common.h"

class QWidget;

namespace tb {

// The style's submenu delay; the registry's "MenuShowDelay" when there is no style.
int MenuShowDelay();
// Accelerators are underlined at all times when the style says so.
bool KeyboardCuesOn();
// Flat menus are a look of another desktop: never here.
inline bool FlatMenusOn() { return false; }
QFont MenuFont();

// A window of this application is active.
bool HasActiveWindow();
int FontHeightOf(const QFont& font);

// The screens as work and whole areas, the primary one first.
std::vector<TMonitor> Monitors();
QRect PrimaryMonitorArea(bool workArea);
bool HasSeveralMonitors();
QRect MonitorAreaOf(const QRect& rect, bool workArea);
QRect MonitorAreaOf(const QPoint& point, bool workArea);

// Enter and Leave events arrive for every widget; this turns on move tracking as well.
bool RequestMouseTracking(QWidget* widget);
// The window as it would paint itself, children included.
QPixmap PrintWindow(QWidget* widget);

// Text turned to read from top to bottom, centred in `rect`; `&` marks the accelerator,
// which is underlined unless `hidePrefix`.
void DrawVerticalText(QPainter& painter, std::string_view text, const QRect& rect, bool hidePrefix);

// The four one-pixel edges a 3-D frame is made of.
enum class TEdgeKind { RaisedOuter, SunkenOuter, RaisedInner, SunkenInner };
void DrawEdge(QPainter& painter, const QRect& rect, TEdgeKind kind);

// The 8 by 8 checkerboard (rows 0x5555 and 0xAAAA) for drag outlines and dithered faces.
QBrush HalftoneBrush(const QColor& color);
// An 8 by 8 monochrome glyph (one byte a row, bit 7 leftmost) drawn in `color` at `topLeft`.
using TGlyph8 = std::array<std::uint8_t, 8>;
void DrawGlyph(QPainter& painter, QPoint topLeft, const TGlyph8& glyph, const QColor& color);

// The system colours the views paint with, from the application's palette.
enum class TSysColor { BtnFace, BtnText, BtnHighlight, BtnShadow, DkShadow3D, Light3D, Highlight, HighlightText,
                       Menu, MenuText, GrayText, Window, WindowText };
QColor SysColor(TSysColor color);

}  // namespace tb
