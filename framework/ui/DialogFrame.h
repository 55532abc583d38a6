#pragma once
// The frame every dialog and box of the program has: a title with the system menu and a
// close box, and no minimise or maximise box (a dialog is answered or closed, never put
// away or blown up). The hints are given whole, so the platform adds none of its own.
#include <Qt>

namespace gs {

inline constexpr Qt::WindowFlags kDialogWindowFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                     Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
// The same for a dialog of a fixed size.
inline constexpr Qt::WindowFlags kFixedDialogWindowFlags = kDialogWindowFlags | Qt::MSWindowsFixedSizeDialogHint;

}  // namespace gs
