#pragma once
// The window road of the program: the main window made over the program's state, shown,
// and the event loop run until it closes.
#include "app/core/AppContext.h"
#include "app/core/CmdLine.h"

namespace gs {

class IMessageBoxes;

struct TWindowRoadResult {
    int Status = 0;
    TFinalizeMode Finalize = TFinalizeMode::SaveState;
};

// Needs the application object. The window stores its recent lists when it goes; the
// caller's teardown then saves the options (Finalize).
TWindowRoadResult RunMainWindow(TAppContext& context, const TCommandLine& commandLine, IMessageBoxes& boxes);

}  // namespace gs
