#pragma once
// One-line edits with a browse button at their right edge: TFilenameEdit opens a file
// dialog, TDirectoryEdit a folder dialog. Both take names dropped on them. The dialogs are
// reached through IComboEditDialogs so that tests can answer them and the program can send
// them through its own desktop services.
#include <QKeySequence>
#include <QLineEdit>
#include <QList>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>
#include <stdexcept>

#include "controls/core/ComboEditRules.h"
#include "controls/ui/RxSpeedButton.h"

namespace gs {

// An invalid file name given to a file-name edit.
class EComboEditError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };

enum TFileDialogOption : int {
    ofHideReadOnly = 1,
    ofAllowMultiSelect = 2,
    ofPathMustExist = 4,
    ofFileMustExist = 8,
};

// What a file-name edit's dialog is made with; a change of kind makes a new one that
// keeps everything else.
struct TFileDialogRequest {
    TFileDialogKind Kind = TFileDialogKind::dkOpen;
    QString Title = "Browse";
    QString Filter = "All files (*.*)|*.*";  // "text|patterns|text|patterns"
    int FilterIndex = 1;
    QString DefaultExt;
    QString InitialDir;
    QString FileName;
    QStringList HistoryList;
    // The names of the last multiple selection or drop.
    QStringList Files;
    int Options = ofHideReadOnly;
    // Kept for the callers that set it alone; the same as ofFileMustExist.
    bool FileMustExist = false;
    // The help the dialog's F1 opens (0: none): the edit's.
    int HelpContext = 0;

    bool MultiSelect() const { return Options & ofAllowMultiSelect; }
    bool MustExist() const { return FileMustExist || (Options & ofFileMustExist); }
};

// The desktop's browse-for-folder dialog, or the plain select-folder one with its options.
enum class TDirDialogKind { dkVCL, dkWin32 };
// Qt's folder dialog only ever gives a folder that is there: sdAllowCreate gives it its
// new-folder button, and a folder made there needs neither making again nor a prompt.
enum TSelectDirOpt : int { sdAllowCreate = 1, sdPerformCreate = 2, sdPrompt = 4 };

struct TFolderDialogRequest {
    TDirDialogKind Kind = TDirDialogKind::dkVCL;
    QString Text;  // the caption of the browse-for-folder dialog
    QString Start;
    int Options = 0;  // TSelectDirOpt, for the select-folder dialog only
    int HelpContext = 0;
};

class IComboEditDialogs {
public:
    virtual ~IComboEditDialogs() = default;
    // The chosen files (one unless the request allows several), or nothing when cancelled.
    virtual std::optional<QStringList> ChooseFiles(QWidget* owner, const TFileDialogRequest& request) = 0;
    virtual std::optional<QString> ChooseFolder(QWidget* owner, const TFolderDialogRequest& request) = 0;
};
// The desktop's own dialogs.
IComboEditDialogs& DesktopComboEditDialogs();
// Where F1 in the desktop's dialogs goes, with the help context of the edit that opened
// them; none by default.
void SetComboEditHelp(std::function<void(int context)> help);

// The button inside a combo edit: a speed button with a light edge at its left that gives
// the focus to its edit when pressed.
class TEditButton : public TRxSpeedButton {
    Q_OBJECT
public:
    using TRxSpeedButton::TRxSpeedButton;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

class TCustomComboEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustomComboEdit(QWidget* parent = nullptr);
    ~TCustomComboEdit() override;

    bool ReadOnlyEdit() const { return readOnly_; }
    void SetReadOnlyEdit(bool on);
    bool DirectInput() const { return directInput_; }
    void SetDirectInput(bool on);
    bool AlwaysEnable = false;
    // Given to the edit's dialog for its F1.
    int HelpContext = 0;
    int ButtonWidth() const;
    // Ignored when it is not below the edit's width; 0 or 1 hides the button.
    void SetButtonWidth(int width);
    bool AcceptFiles() const { return acceptDrops(); }
    void SetAcceptFiles(bool on) { setAcceptDrops(on); }
    void SetDialogs(IComboEditDialogs& dialogs) { dialogs_ = &dialogs; }
    TEditButton* Button() const { return button_; }

    // The key that clicks the button (Alt+Down unless set); an empty one clicks nothing.
    QKeySequence ClickKey() const { return clickKey_; }
    void SetClickKey(const QKeySequence& key) { clickKey_ = key; }
    TGlyphKind GlyphKind() const { return glyphKind_; }
    void SetGlyphKind(TGlyphKind kind);
    // The user's picture strip; it makes the kind gkCustom.
    void SetGlyph(const QImage& strip);
    int NumGlyphs() const { return button_->NumGlyphs(); }
    // The width the present kind gives its button unless set otherwise.
    int DefaultButtonWidth() const;
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    // The lowest the edit may be: the lower of the desktop's and its own font's height,
    // four thin borders and one.
    int MinimumEditHeight() const;

    // The button's click or the click key: nothing while read-only unless AlwaysEnable.
    void ButtonClicked();
    // Names dropped on the edit: the first one, or all where the edit takes several.
    void DropUrls(const QList<QUrl>& urls);

signals:
    void OnButtonClick();
    void OnDropFiles();

protected:
    virtual void RunDialog() = 0;
    virtual void AcceptDroppedName(const QString& name) = 0;
    virtual void ClearFileList() {}
    // The picture of gkDefault and how many states it holds (none in the base).
    virtual QImage DefaultGlyph() const { return {}; }
    virtual int DefaultGlyphCount() const { return 1; }
    IComboEditDialogs& Dialogs() const { return *dialogs_; }
    // Builds the button's picture for the present kind and width.
    void RebuildGlyph();

    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

    // Whether a drop of several names takes them all, or only the first.
    virtual bool AllowsManyNames() const { return false; }

private:
    void place();
    void updateReadOnly();

    TEditButton* button_;
    IComboEditDialogs* dialogs_;
    QKeySequence clickKey_{Qt::ALT | Qt::Key_Down};
    TGlyphKind glyphKind_ = TGlyphKind::gkCustom;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    QImage customGlyph_;
    int customCount_ = 1;
    bool readOnly_ = false;
    bool directInput_ = true;
};

// The file-name and folder edits' common part: the hooks around their dialog.
class TFileDirEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    explicit TFileDirEdit(QWidget* parent = nullptr);

    // Called with the name the dialog is about to open with, and whether it opens; and
    // with the name it gave and whether it was accepted. Either may change both.
    using TExecOpenDialogEvent = std::function<void(QString& name, bool& action)>;
    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;

protected:
    QImage DefaultGlyph() const override;
    // Runs the edit's dialog between the two hooks; the answer is applied when accepted.
    void RunBetweenHooks(QString name, const std::function<std::optional<QString>(QString&)>& dialog,
                         const std::function<void(const QString&)>& apply);
};

class TFilenameEdit : public TFileDirEdit {
    Q_OBJECT
public:
    explicit TFilenameEdit(QWidget* parent = nullptr);

    // The file the text names (see FileNameOfText).
    QString FileName() const;
    // Shows the name, quoted when it holds a blank; raises EComboEditError for a name that
    // cannot be a file name.
    void SetFileName(const QString& name);
    // As SetFileName, but a name that cannot be a file name is shown as it is, for the user
    // to mend: a stored setting must not keep its dialog from opening.
    void ShowFileName(const QString& name);
    // The dialog's settings; its kind and options through their setters.
    TFileDialogRequest Dialog;
    TFileDialogKind DialogKind() const { return Dialog.Kind; }
    // A new kind makes a new dialog that keeps every other setting.
    void SetDialogKind(TFileDialogKind kind);
    int DialogOptions() const { return Dialog.Options; }
    // Without ofAllowMultiSelect the list of several names is emptied.
    void SetDialogOptions(int options);
    // The names of the last multiple selection or drop.
    const QStringList& Files() const { return Dialog.Files; }

protected:
    void RunDialog() override;
    void AcceptDroppedName(const QString& name) override;
    void ClearFileList() override { Dialog.Files.clear(); }
    bool AllowsManyNames() const override { return Dialog.MultiSelect(); }
};

class TDirectoryEdit : public TFileDirEdit {
    Q_OBJECT
public:
    explicit TDirectoryEdit(QWidget* parent = nullptr);

    TDirDialogKind DialogKind = TDirDialogKind::dkVCL;
    QString DialogText;
    // TSelectDirOpt, for the select-folder kind.
    int DialogOptions = 0;
    QString InitialDir;
    bool MultipleDirs = false;

protected:
    void RunDialog() override;
    void AcceptDroppedName(const QString& name) override;
    bool AllowsManyNames() const override { return MultipleDirs; }
};

}  // namespace gs
