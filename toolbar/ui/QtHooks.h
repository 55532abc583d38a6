#pragma once
// The hooks of toolbar/core/Hooks.h on Qt: one application event filter, installed while
// some hook kind is in use, turns events into hook codes:
//   0  ApplicationStateChange (wParam 1 when the application became active);
//   1  Move, Resize, Show, Hide and WindowStateChange of top-level widgets;
//   2  a top-level window's surface about to be destroyed (window = its widget);
//   3  any event (window = the receiver, lParam = the QEvent*); true consumes it.
namespace tb {

// Makes Hooks() install and remove the filter; call once the application exists.
void InstallQtHooks();

}  // namespace tb
