#pragma once
// The Preferences dialog: every option on four pages, checked, written back and saved, with
// the shell verb registered or removed and the main window told to apply them.
#include <QDialog>

#include <functional>
#include <vector>

#include "app/core/OptionsDlgRules.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace gs {

class TAppContext;
class TAppExceptionHandler;
class TDirectoryEdit;
class TFilenameEdit;
class TFontComboBox;
class TRxSpinEdit;

// The shell verb as the dialog sees it: how many of its classes are registered (0 none,
// 1 some, 2 all), and registering or removing them all.
class IShellVerbControl {
public:
    virtual ~IShellVerbControl() = default;
    virtual int Status() = 0;
    virtual void Register() = 0;
    virtual void Unregister() = 0;
};

// The verb of the running program, in the user's desktop entry.
IShellVerbControl& DesktopShellVerb();

class TOptionsDlg : public QDialog {
    Q_OBJECT
public:
    // `applyToWindow` is the main window's ApplyOptions; errors go to `handler`.
    TOptionsDlg(TAppContext& context, IShellVerbControl* shellVerb, std::function<void()> applyToWindow,
                TAppExceptionHandler& handler, std::function<void()> showHelp = {}, QWidget* parent = nullptr);

    // The controls take the options' values.
    void LoadControls();
    // Checks, writes the options, the verb, the window and the store, in that order.
    // Raises EQBException when a check refuses; then nothing is written.
    void Apply();

    void cmdOKClick();
    void cmdApplyClick();
    void actAddExecute();
    void actRemoveExecute();
    void alActionsUpdate();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* generalPage();
    QWidget* extractPage();
    QWidget* savePage();
    QWidget* listPage();
    void updateEnabling();
    void fillFilters(int select);

    TAppContext& context_;
    IShellVerbControl* shellVerb_;
    std::function<void()> applyToWindow_;
    TAppExceptionHandler& handler_;
    std::function<void()> showHelp_;
    std::vector<std::string> filters_;
    bool fontChosen_ = false;  // the user picked a face: only then is the stored name replaced

public:
    // Components by their names, for the window's own code and its tests.
    QTabWidget* pcOptions;
    QCheckBox* chkSaveWindow;
    TRxSpinEdit* txtLimitMRU;
    QCheckBox* chkPreventMultiple;
    TFilenameEdit* txtIconEditApp;
    QCheckBox* chkShell;
    QListWidget* lbFilters;
    QLineEdit* txtFilterEdit;
    QPushButton* cmdAddFilter;
    QPushButton* cmdRemoveFilter;
    QCheckBox* chkLimitIcons;
    TRxSpinEdit* txtLimit;
    QCheckBox* chkScanSubfolders;
    QCheckBox* chkMemStop;
    TRxSpinEdit* txtMemStop;
    QCheckBox* chkIgnoreRepeated;
    QCheckBox* chkPromptForFilename;
    TDirectoryEdit* txtDefaultFolder;
    QCheckBox* chkSaveAllSizes;
    QCheckBox* chkSetTransparency;
    QRadioButton* radPromptImageFormat;
    QRadioButton* radUseDefaultImageFormat;
    QComboBox* cbDefaultImageFormat;
    TFontComboBox* cbFontName;
    QComboBox* cbFontSize;
    QRadioButton* rdColorDefaultWindows;
    QRadioButton* rdColorUseColors;
    QComboBox* cbTextColor;
    QComboBox* cbBackColor;
    QLabel* lblTextColor;
    QLabel* lblBackColor;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdApply;
};

// Opens the dialog modally on the first page and releases it.
void ShowOptionsDlg(TAppContext& context, IShellVerbControl* shellVerb, std::function<void()> applyToWindow,
                    TAppExceptionHandler& handler, std::function<void()> showHelp, QWidget* parent);

}  // namespace gs
