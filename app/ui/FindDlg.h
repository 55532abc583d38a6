#pragma once
// The Find dialog: the text to find (with a sorted history), where to look and the case
// rule. Its history and choices are kept under the application key's "Storage\Find".
#include "app/core/AppContext.h"
#include "app/ui/DialogHooks.h"
#include "app/ui/DialogPictures.h"
#include "app/core/HelpContexts.h"

class QCheckBox;
class QLabel;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace gs {

class TFormStorage;

inline constexpr const char* kFindStorageSection = "Storage\\Find";

class TFindDlg : public TListDialog {
    Q_OBJECT
public:
    // `highColour`: the shaded picture, else the one of flat colours.
    TFindDlg(QWidget* parent, TRegistryStore& store, TDialogHooks hooks, bool highColour = HighColourScreen());
    ~TFindDlg() override;

    // Adds the text to the history (unless there in any case) and closes as accepted; an
    // empty text is refused.
    void actFindExecute();
    // The record's new search from the dialog's choices.
    void FillFindInfo(TFindInfo& info) const;

    QComboBox* cbText;
    QRadioButton* radIconName;
    QRadioButton* radFileName;
    QRadioButton* radBoth;
    QCheckBox* chkMatchCase;
    QPushButton* cmdFind;
    QPushButton* cmdCancel;
    QLabel* imgPicture;
    TFormStorage* Storage;
};

// True when the user chose Find; the context's find record then holds the new search.
bool ShowFindDlg(QWidget* owner, TAppContext& context, const TDialogHooks& hooks);

}  // namespace gs
