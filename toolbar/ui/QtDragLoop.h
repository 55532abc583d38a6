#pragma once
// The two modal mouse loops of a dockable window: the drag that docks or floats it, and the
// resize of its floating window by an edge. Both run until the button goes up or Esc.
#include <QPoint>

#include "toolbar/ui/QtFloatingWindow.h"

namespace tb {

class TTBCustomDockableWindow;

// The modal drag of a window from a press at `cursor` (screen): it docks where it is
// dropped, floats, or stays where it was (Esc).
void BeginDragLoop(TTBCustomDockableWindow& window, QPoint cursor);

// The modal resize of a floating window by the edge `edge` (htLeft to htBottom) pressed at
// `cursor` (screen); Esc leaves it as it was.
void BeginFloatingResize(TTBCustomDockableWindow& window, TTBFloatingWindowParent::THit edge, QPoint cursor);

}  // namespace tb
