#pragma once
// The window menu that Alt+Space (or Alt+-) in a menu bar's loop asks for. No standard
// message opens the window manager's own window menu for a client, so the window's
// commands are offered in the library's own popup at the window's top-left corner:
// Restore, Move, Size, Minimize, Maximize and Close, each enabled as the window's state
// allows. Move and Size hand over to the window manager's interactive move and resize.
class QWidget;

namespace tb {

class TTBPopupMenu;

// The menu of `window` (made on first use, a child of the window, named "SystemMenu"),
// its items' states brought up to date.
TTBPopupMenu& SystemMenuOf(QWidget& window);
// Pops it up and runs its loop; the chosen command runs once the loop is over.
void ShowSystemMenu(QWidget* window);

}  // namespace tb
