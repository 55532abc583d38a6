#include "app/ui/MainServices.h"

#include <QFileDialog>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "controls/ui/FileDialogs.h"
#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/RxUtils.h"
#include "framework/core/SysUtils.h"
#include "platform/Desktop.h"

namespace gs {

namespace {

constexpr const char* kMsgOpenFailed = "Unable to open '%s'.";

void openWithDesktop(IMainServices& services, const std::string& target, const std::string& failure) {
    if (!services.Start({kOpenProgram, target}))
        throw EQBException(failure, std::string(kOpenProgram) + " could not be started.", TQBSeverity::Warning);
}

}  // namespace

std::optional<std::string> TDesktopServices::BrowseForFolder(QWidget* owner, const std::string& caption,
                                                             const std::string& start, int helpContext) {
    const std::optional<QString> chosen =
        ChooseFolder(owner, QString::fromStdString(caption), QString::fromStdString(start),
                     [helpContext](QFileDialog& dialog) { AddDialogHelpKey(dialog, helpContext); });
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return chosen->toStdString();
}

std::optional<std::string> TDesktopServices::OpenFileName(QWidget* owner, const TOpenDialogSpec& spec) {
    TSafeFileDialog dialog(owner, QString::fromStdString(spec.Title), QString::fromStdString(spec.InitialDir),
                           QtDialogFilter(QString::fromStdString(spec.Filter)));
    AddDialogHelpKey(dialog, spec.HelpContext);
    const std::optional<QString> chosen = ChooseExistingFile(dialog);
    if (!chosen) return std::nullopt;
    return chosen->toStdString();
}

bool TDesktopServices::Start(const std::vector<std::string>& argv) { return SpawnDetached(argv); }

bool TDesktopServices::ProgramAvailable(const std::string& name) { return ProgramOnPath(name); }

int TDesktopServices::MemoryLoad() { return GetMemoryLoad(); }

void TDesktopServices::Terminate() {
    std::fflush(nullptr);
    std::_Exit(1);
}

void OpenURL(IMainServices& services, const std::string& url) {
    const std::string target = URLToOpen(url);
    if (target.empty()) return;
    openWithDesktop(services, target, FormatOne(kMsgOpenFailed, target));
}

void ShowHelp(IMainServices& services, const TQBApplication& app, int helpContext) {
    const std::optional<std::string> target = HelpFileToOpen(app, helpContext);
    if (!target) return;
    openWithDesktop(services, *target, FormatOne(kMsgHelpFailed, app.HelpFile));
}

void SendMailTo(IMainServices& services, const TQBApplication& app, const std::string& address) {
    if (!services.ProgramAvailable(kMailProgram) || !services.Start(MailCommand(app, address)))
        throw EQBException(kMsgSupportMailFailed, kMsgMailSystemMissing, TQBSeverity::Warning);
}

void SendSupportMail(IMainServices& services, const TQBApplication& app) {
    SendMailTo(services, app, app.WebAddresses.SupportAddress);
}

void HandleFormKeyUp(IMainServices& services, int key, QWidget& form, const TQBApplication& app,
                     int helpContext) {
    if (key == Qt::Key_Escape) form.close();
    else if (key == Qt::Key_F1) ShowHelp(services, app, helpContext);
}

bool BrowseForDirectory(IMainServices& services, QWidget* owner, std::string& folder, const std::string& text,
                        int helpContext) {
    std::optional<std::string> chosen = services.BrowseForFolder(owner, text, folder, helpContext);
    if (!chosen) return false;
    folder = StripTrailingBackslash(*chosen);
    return true;
}

}  // namespace gs
