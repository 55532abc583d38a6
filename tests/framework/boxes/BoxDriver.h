#pragma once
// Plays a person at a modal box: once exec() shows the box, runs the given steps on it.
// A box the steps left open is closed and reported, so a broken box fails, never hangs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace gs::testing {

template <class Box>
void whenShown(std::function<void(Box&)> steps) {
    QTimer::singleShot(0, [steps] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no box is shown";
            return;
        }
        // Keys go where a person's would only once the box is the active window.
        if (!QTest::qWaitForWindowActive(box)) ADD_FAILURE() << "the box never became active";
        steps(*box);
        if (box->isVisible()) {
            ADD_FAILURE() << "the box is still open";
            box->reject();
        }
    });
}

// A key goes to the focused widget of the active box.
inline void press(QDialog& box, Qt::Key key) {
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused ? focused : &box, key);
}

inline QPushButton* button(QDialog& box, const char* name) {
    return box.findChild<QPushButton*>(QString::fromLatin1(name));
}

}  // namespace gs::testing
