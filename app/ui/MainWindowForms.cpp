// The main window's commands that open the framework's small windows: about, tip of the
// day (also at the first activation) and the properties of an icon's original file, shown
// with that file's own first icon as our readers read it.
#include "app/core/AppContext.h"
#include "app/core/HelpContexts.h"
#include "app/core/IconDef.h"
#include "app/ui/FormDesktopServices.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "codecs/ui/QtRaster.h"
#include "framework/core/Application.h"
#include "framework/ui/AboutForm.h"
#include "framework/ui/FilePropsForm.h"
#include "framework/ui/TipOfTheDayForm.h"
#include "iconlib/IconChoice.h"
#include "iconlib/IconLibrary.h"

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

namespace {

// The file's first icon at the list's large size; null for a file without icons.
QImage fileIconImage(const std::filesystem::path& fileName) {
    const std::unique_ptr<TQBIcon> first = ReadFirstIcon(fileName);
    if (!first) return {};
    const std::unique_ptr<TQBHiResIcon> shown = GetIcon32(*first);
    return shown && !shown->Empty() ? ToQImage(*shown->Handle()) : QImage();
}

}  // namespace

void TKAVUMain::showFileProperties() {
    const TIconDef* entry = lvIcons->FirstSelected();
    if (!entry) return;
    const TQBApplication& app = application();
    TFormDesktopServices desktop(services_, context_.Store, app, handler_, kFilePropertiesHelpContext);
    ShowFileProperties(entry->FileName.string(), desktop, this, fileIconImage(entry->FileName));
}

}  // namespace gs
