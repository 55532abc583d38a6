#include "toolbar/ui/QtFloatingWindow.h"
#include "toolbar/ui/QtDockableWindow.h"

namespace tb {

void BeginDragLoop(TTBCustomDockableWindow&, QPoint) {}

}  // namespace tb
