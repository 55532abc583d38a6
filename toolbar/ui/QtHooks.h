#pragma once
// The hooks of toolbar/core/Hooks.h on Qt: one application event filter, installed while
// some hook kind is in use, turns events into hook codes:
//   0  the application became active (wParam 1) or inactive (0): told when a top-level
//      window's activation changes and with it whether the application has an active window;
//   1  Move, Resize, Show, Hide and WindowStateChange of top-level widgets;
//   2  a top-level window's surface about to be destroyed (window = its widget);
//   3  any event (window = the receiver, lParam = the QEvent*); true consumes it.
namespace tb {

// Makes Hooks() install and remove the filter; call once the application exists.
void InstallQtHooks();

}  // namespace tb
