#pragma once
// How the main window opens the dialogs of its list commands: the program opens the real
// Filter and Find dialogs; tests inject scripted answers.
#include <memory>

#include "app/ui/DialogHooks.h"

class QWidget;

namespace gs {

class TAppContext;
class TFilters;

class IListDialogs {
public:
    virtual ~IListDialogs() = default;
    // Edits the filter set (none: a new one for the call); true on OK, and `filters` then
    // holds the edited set. On Cancel a set made for the call is dropped again.
    virtual bool ShowFilterDlg(QWidget* owner, std::unique_ptr<TFilters>& filters) = 0;
    // True when the user chose Find: the context's find record then holds the new search.
    virtual bool ShowFindDlg(QWidget* owner, TAppContext& context) = 0;
};

// The real dialogs, shown modally.
class TListDialogs : public IListDialogs {
public:
    explicit TListDialogs(TDialogHooks hooks) : hooks_(std::move(hooks)) {}
    bool ShowFilterDlg(QWidget* owner, std::unique_ptr<TFilters>& filters) override;
    bool ShowFindDlg(QWidget* owner, TAppContext& context) override;

private:
    TDialogHooks hooks_;
};

}  // namespace gs
