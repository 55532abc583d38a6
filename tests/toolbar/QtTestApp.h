#pragma once
// The one QApplication of the toolbar's window tests, offscreen.
#include <QApplication>

namespace tbtest {

inline QApplication& qtApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "toolbar_ui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: a popup's input devices must not outlive it at exit.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace tbtest
