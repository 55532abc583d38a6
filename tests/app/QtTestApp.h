#pragma once
// The one application object of a window test program (offscreen unless told otherwise).
#include <QApplication>

namespace gstest {

inline QApplication& qtTestApp() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "glyphscope-window-test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

}  // namespace gstest
