// The main window's commands that open the framework's small windows: about, tip of the
// day (also at the first activation) and the properties of an icon's original file.
#include "app/core/AppContext.h"
#include "app/core/HelpContexts.h"
#include "app/core/IconDef.h"
#include "app/ui/FormDesktopServices.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "framework/core/Application.h"
#include "framework/ui/AboutForm.h"
#include "framework/ui/FilePropsForm.h"
#include "framework/ui/TipOfTheDayForm.h"

namespace gs {

void TKAVUMain::showAbout() {
    const TQBApplication& app = application();
    TFormDesktopServices desktop(services_, context_.Store, app, handler_, kAboutHelpContext);
    ShowAboutForm(app, app.FontName, desktop, this);
}

void TKAVUMain::showTipOfTheDay(bool forced) {
    const TQBApplication& app = application();
    TFormDesktopServices desktop(services_, context_.Store, app, handler_, kTipOfTheDayHelpContext);
    TKAVUOptions& options = context_.Options;
    options.ShowTips = ShowTipOfTheDay(app, options.ShowTips, forced, services_.Boxes(), desktop, this);
    options.Save(context_.Store, app.RegRoot, app.RegAppKey);
}

void TKAVUMain::showFileProperties() {
    const TIconDef* entry = lvIcons->FirstSelected();
    if (!entry) return;
    const TQBApplication& app = application();
    TFormDesktopServices desktop(services_, context_.Store, app, handler_, kFilePropertiesHelpContext);
    ShowFileProperties(entry->FileName.string(), desktop, this);
}

}  // namespace gs
