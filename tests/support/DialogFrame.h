#pragma once
// The frame a dialog of the program must have: a dialog window with a title and a close
// box and neither a minimise nor a maximise box.
#include <gtest/gtest.h>

#include <QWidget>

namespace gstest {

inline ::testing::AssertionResult HasDialogFrame(const QWidget& w) {
    const Qt::WindowFlags f = w.windowFlags();
    const char* name = w.metaObject()->className();
    if (w.windowType() != Qt::Dialog) return ::testing::AssertionFailure() << name << " is not a dialog window";
    if (f & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint))
        return ::testing::AssertionFailure() << name << " has a minimise or maximise box";
    if (!(f & Qt::WindowTitleHint) || !(f & Qt::WindowCloseButtonHint))
        return ::testing::AssertionFailure() << name << " lacks its title or close box";
    if (f & Qt::WindowContextHelpButtonHint) return ::testing::AssertionFailure() << name << " has a help box";
    return ::testing::AssertionSuccess();
}

}  // namespace gstest
