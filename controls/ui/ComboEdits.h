#pragma once
// One-line edits with a browse button at their right edge: TFilenameEdit opens a file
// dialog, TDirectoryEdit a folder dialog. Both take names dropped on them. The dialogs are
// reached through IComboEditDialogs so that tests can answer them.
#include <QLineEdit>
#include <QList>
#include <QUrl>

#include <optional>
#include <stdexcept>

class QToolButton;

namespace gs {

// An invalid file name given to a file-name edit.
class EComboEditError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };

struct TFileDialogRequest {
    TFileDialogKind Kind = TFileDialogKind::dkOpen;
    QString Title = "Browse";
    QString Filter = "All files (*.*)|*.*";  // "text|patterns|text|patterns"
    QString DefaultExt;
    QString InitialDir;
    QString FileName;
    bool FileMustExist = false;
};

class IComboEditDialogs {
public:
    virtual ~IComboEditDialogs() = default;
    virtual std::optional<QString> ChooseFile(QWidget* owner, const TFileDialogRequest& request) = 0;
    virtual std::optional<QString> ChooseFolder(QWidget* owner, const QString& text, const QString& start) = 0;
};
// The desktop's own dialogs.
IComboEditDialogs& DesktopComboEditDialogs();

class TCustomComboEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TCustomComboEdit(QWidget* parent = nullptr);

    bool ReadOnlyEdit() const { return readOnly_; }
    void SetReadOnlyEdit(bool on);
    bool DirectInput() const { return directInput_; }
    void SetDirectInput(bool on);
    bool AlwaysEnable = false;
    int ButtonWidth() const;
    void SetButtonWidth(int width);
    bool AcceptFiles() const { return acceptDrops(); }
    void SetAcceptFiles(bool on) { setAcceptDrops(on); }
    void SetDialogs(IComboEditDialogs& dialogs) { dialogs_ = &dialogs; }
    QToolButton* Button() const { return button_; }

    // The button's click or Alt+Down: nothing while read-only unless AlwaysEnable.
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
    IComboEditDialogs& Dialogs() const { return *dialogs_; }

    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Whether a drop of several names takes them all, or only the first.
    virtual bool AllowsManyNames() const { return false; }

private:
    void place();
    void updateReadOnly();

    QToolButton* button_;
    IComboEditDialogs* dialogs_;
    bool readOnly_ = false;
    bool directInput_ = true;
};

class TFilenameEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    explicit TFilenameEdit(QWidget* parent = nullptr);

    // The file the text names (see FileNameOfText).
    QString FileName() const;
    // Shows the name, quoted when it holds a blank; raises EComboEditError for a name that
    // cannot be a file name.
    void SetFileName(const QString& name);
    TFileDialogRequest Dialog;

protected:
    void RunDialog() override;
    void AcceptDroppedName(const QString& name) override { SetFileName(name); }
};

class TDirectoryEdit : public TCustomComboEdit {
    Q_OBJECT
public:
    explicit TDirectoryEdit(QWidget* parent = nullptr);

    QString DialogText;
    QString InitialDir;
    bool MultipleDirs = false;

protected:
    void RunDialog() override;
    void AcceptDroppedName(const QString& name) override;
    bool AllowsManyNames() const override { return MultipleDirs; }
};

}  // namespace gs
