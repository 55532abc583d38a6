#pragma once
// The one application object of a window test program (offscreen unless told otherwise).
// It is never destroyed: the QTest input helpers leave state behind that crashes an
// application object's destruction at exit.
#include <QApplication>

namespace gstest {

inline QApplication& qtTestApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "glyphscope-window-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace gstest
