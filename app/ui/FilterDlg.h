#pragma once
// The Filter Icons dialog: edits a copy of the main window's filter set, criterion by
// criterion, and hands the edited copy back on OK.
#include <memory>

#include "app/core/Filters.h"
#include "app/ui/DialogHooks.h"
#include "app/core/HelpContexts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace gs {


class TFilterDlg : public TListDialog {
    Q_OBJECT
public:
    TFilterDlg(QWidget* parent, const TFilters& filters, TDialogHooks hooks);

    TFilters& Working() { return *working_; }
    bool OK = false;

    void cbFieldChange();
    void actAddExecute();
    void actRemoveExecute();
    void alActionsUpdate();

    QComboBox* cbField;
    QComboBox* cbCondition;
    QLineEdit* txtValue;
    QComboBox* cbValue;
    QLabel* lblValue;
    QListWidget* lbCriteria;
    QPushButton* cmdAdd;
    QPushButton* cmdRemove;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addLine(const TFilter& filter, bool quoted);
    void valueFocus(bool entering);

    std::unique_ptr<TFilters> working_;
};

// Edits `filters` (none: a set made for the call); true on OK with the edited set in
// `filters`; on Cancel a set made for the call is gone again.
bool ShowFilterDlg(QWidget* owner, std::unique_ptr<TFilters>& filters, const TDialogHooks& hooks);

}  // namespace gs
