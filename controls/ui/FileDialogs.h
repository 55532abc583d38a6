#pragma once
// Qt's own file and folder dialogs as every window of the program opens them: never the
// desktop's, never reading a file to show it (icons and type names come from names alone,
// so a folder such as /proc, whose files may block a reader for ever, lists like any
// other), and never opening in a folder of a pseudo file system or one that is gone, even
// when that is the folder a dialog showed last.
#include <QFileDialog>
#include <QLabel>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace gs {

// "text|patterns|text|patterns" as Qt's dialog reads it. Each type keeps its own text, and
// its patterns are those of this system: "*.*" is every file (a name without a dot too),
// as "All Files" promises. Qt would show both, so TSafeFileDialog shows the text alone; a
// text without the patterns in brackets, or with others than its own, gets them shown.
QString QtDialogFilter(const QString& filter);

// Where F1 in the program's file and folder dialogs goes: the help at `context`. None by
// default; the program sets it while its window runs.
void SetDialogHelp(std::function<void(int context)> help);
// F1 in `dialog` opens the help at `context` (nothing for context 0).
void AddDialogHelpKey(QDialog& dialog, int context);

// The folder a dialog opens in for `wanted`: its nearest existing folder; when there is
// none, or it lies on a pseudo file system, the folder the last dialog showed (under the
// same rule), else the home folder.
QString DialogStartFolder(const QString& wanted);

class TSafeFileDialog : public QFileDialog {
public:
    // Opens at DialogStartFolder(wanted). Qt's dialog first shows the folder it remembers
    // from the last one (this run's, or the one its settings keep): a remembered pseudo
    // folder is forgotten before the dialog is made.
    TSafeFileDialog(QWidget* owner, const QString& caption, const QString& wanted, const QString& filter = {});
    // The folder it remembers for the next dialog is the one the accepted name lies in (the
    // chosen folder of a folder dialog), also when the name was typed with a path of its
    // own; else the one it showed last. Never a pseudo one.
    ~TSafeFileDialog() override;

protected:
    void done(int result) override;

private:
    QString chosenFolder_;  // where the accepted name lies; empty before an accept
};

// The picture dialogs' preview of the highlighted file. Only a regular file of a real file
// system is read, and only its header when it is too large to show.
class TPicturePreview : public QLabel {
    Q_OBJECT
public:
    explicit TPicturePreview(QWidget* parent = nullptr);
    // Shows the picture in `file`, scaled down to fit; nothing when it is none.
    void ShowFile(const QString& file);
    bool HasPicture() const;
};
// Puts a preview beside a file dialog's list, following the highlighted file.
TPicturePreview* AddPicturePreview(QFileDialog& dialog);

// A folder chosen in Qt's own folder dialog that opened at `start`; nothing when cancelled.
// `prepare` may set the dialog up further before it shows.
std::optional<QString> ChooseFolder(QWidget* owner, const QString& caption, const QString& start,
                                    const std::function<void(QFileDialog&)>& prepare = {});
// The existing file chosen in an open dialog; nothing when cancelled. A name typed
// without an extension is taken as typed: no default extension is put after it.
std::optional<QString> ChooseExistingFile(TSafeFileDialog& dialog);

}  // namespace gs
