#pragma once
// Qt's own file and folder dialogs as every window of the program opens them: never the
// desktop's, never reading a file to show it (icons and type names come from names alone,
// so a folder such as /proc, whose files may block a reader for ever, lists like any
// other), and never opening in a folder of a pseudo file system or one that is gone, even
// when that is the folder a dialog showed last.
#include <QFileDialog>
#include <QString>
#include <optional>

class QWidget;

namespace gs {

// The folder a dialog opens in for `wanted`: its nearest existing folder, or the home
// folder when there is none or it lies on a pseudo file system.
QString DialogStartFolder(const QString& wanted);

class TSafeFileDialog : public QFileDialog {
public:
    // Opens at DialogStartFolder(wanted). Qt's dialog first shows the folder it remembers
    // from the last one (this run's, or the one its settings keep): a remembered pseudo
    // folder is forgotten before the dialog is made.
    TSafeFileDialog(QWidget* owner, const QString& caption, const QString& wanted, const QString& filter = {});
    // The folder it remembers for the next dialog is never a pseudo one.
    ~TSafeFileDialog() override;
};

// A folder chosen in Qt's own folder dialog that opened at `start`; nothing when cancelled.
std::optional<QString> ChooseFolder(QWidget* owner, const QString& caption, const QString& start);

}  // namespace gs
