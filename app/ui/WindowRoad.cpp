#include "app/ui/WindowRoad.h"

#include <QApplication>

#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MenuImages.h"
#include "app/ui/SplashStep.h"
#include "controls/ui/FileDialogs.h"
#include "framework/core/Application.h"

namespace gs {

TWindowRoadResult RunMainWindow(TAppContext& context, const TCommandLine& commandLine, IMessageBoxes& boxes) {
    QApplication::setWindowIcon(ProgramIcon());
    TDesktopServices services(boxes);
    TKAVUMain window(context, services, commandLine);
    // F1 in a file or folder dialog opens its section; a failure is the window's to show.
    SetDialogHelp([&window, &services](int helpContext) {
        window.Guard([&] { ShowHelp(services, application(), helpContext); });
    });
    ShowStartupSplash(application(), &window, [&window] {
        window.show();
        // The window takes over from the splash, the focus with it.
        window.activateWindow();
    });
    const int status = QApplication::exec();
    SetDialogHelp(nullptr);
    return {status, TFinalizeMode::SaveState};
}

}  // namespace gs
