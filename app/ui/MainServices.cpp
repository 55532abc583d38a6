#include "app/ui/MainServices.h"

#include <QFileDialog>
#include <QWidget>
#include <QStringList>
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
                                                             const std::string& start) {
    const std::optional<QString> chosen =
        ChooseFolder(owner, QString::fromStdString(caption), QString::fromStdString(start));
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return chosen->toStdString();
}

std::optional<std::string> TDesktopServices::OpenFileName(QWidget* owner, const TOpenDialogSpec& spec) {
    TSafeFileDialog dialog(owner, QString::fromStdString(spec.Title), QString::fromStdString(spec.InitialDir),
                           QString::fromStdString(QtDialogFilter(spec.Filter)));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(spec.DefaultExt));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

bool TDesktopServices::Start(const std::vector<std::string>& argv) { return SpawnDetached(argv); }

bool TDesktopServices::ProgramAvailable(const std::string& name) { return ProgramOnPath(name); }

int TDesktopServices::MemoryLoad() { return SystemMemoryLoad(); }

void TDesktopServices::Terminate() {
    std::fflush(nullptr);
    std::_Exit(1);
}

std::string QtDialogFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        QString text = parts[i];
        // The text usually repeats the patterns in brackets already.
        if (!text.contains('(')) text += " (" + patterns + ")";
        else if (text.section('(', -1).section(')', 0, 0).trimmed() != patterns.trimmed())
            text = text.section('(', 0, 0).trimmed() + " (" + patterns + ")";
        entries << text;
    }
    return entries.join(";;").toStdString();
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
        throw EQBException(kMsgSupportMailFailed, std::string("The mail system is not available (") + kMailProgram + ").",
                           TQBSeverity::Warning);
}

void SendSupportMail(IMainServices& services, const TQBApplication& app) {
    SendMailTo(services, app, app.WebAddresses.SupportAddress);
}

void HandleFormKeyUp(IMainServices& services, int key, QWidget& form, const TQBApplication& app,
                     int helpContext) {
    if (key == Qt::Key_Escape) form.close();
    else if (key == Qt::Key_F1) ShowHelp(services, app, helpContext);
}

bool BrowseForDirectory(IMainServices& services, QWidget* owner, std::string& folder, const std::string& text) {
    std::optional<std::string> chosen = services.BrowseForFolder(owner, text, folder);
    if (!chosen) return false;
    folder = StripTrailingBackslash(*chosen);
    return true;
}

}  // namespace gs
