#include "app/ui/WindowRoad.h"

#include <QApplication>

#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MenuImages.h"
#include "app/ui/SplashStep.h"
#include "framework/core/Application.h"

namespace gs {

TWindowRoadResult RunMainWindow(TAppContext& context, const CommandLine& commandLine, IMessageBoxes& boxes) {
    QApplication::setWindowIcon(ProgramIcon());
    TDesktopServices services(boxes);
    TKAVUMain window(context, services, commandLine);
    ShowStartupSplash(application(), &window, [&window] {
        window.show();
        // The window takes over from the splash, the focus with it.
        window.activateWindow();
    });
    const int status = QApplication::exec();
    return {status, TFinalizeMode::SaveState};
}

}  // namespace gs
