// The desktop's own save dialog, image-format question and clipboard for the main window.
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMimeData>

#include "app/ui/MainServices.h"
#include "controls/ui/FileDialogs.h"
#include "app/ui/SelectFormatDlg.h"
#include "framework/core/Application.h"
#include "framework/core/MessageBoxes.h"

namespace gs {

std::optional<std::string> IMainServices::SaveFileName(QWidget* owner, const TSaveDialogSpec& spec) {
    TSafeFileDialog dialog(owner, QString::fromStdString(spec.Title), QString::fromStdString(spec.InitialDir),
                           QtDialogFilter(QString::fromStdString(spec.Filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromStdString(spec.DefaultExt));
    dialog.setSizeGripEnabled(true);
    AddDialogHelpKey(dialog, spec.HelpContext);
    if (!spec.FileName.empty()) dialog.selectFile(QString::fromStdString(spec.FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

std::optional<TBatchFormat> IMainServices::AskImageFormat(QWidget* owner) {
    TSelectFormatDlg dialog(owner, [this] {
        try {
            ShowHelp(*this, application(), kSelectFormatHelpContext);
        } catch (const std::exception& e) {
            const TQBApplication& app = application();
            Boxes().ShowQBMessage(e.what(), app.Title, TQBMessageType::mtWarning,
                                  TQBButtonSet::bsOK, kFirstButton, app.LanguageId, app.FontName);
        }
    });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Format();
}

void IMainServices::SetClipboard(QMimeData* data) { QGuiApplication::clipboard()->setMimeData(data); }

}  // namespace gs
