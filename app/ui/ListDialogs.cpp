#include "app/ui/ListDialogs.h"

#include "app/ui/FilterDlg.h"
#include "app/ui/FindDlg.h"

namespace gs {

bool TListDialogs::ShowFilterDlg(QWidget* owner, std::unique_ptr<TFilters>& filters) {
    return gs::ShowFilterDlg(owner, filters, hooks_);
}

bool TListDialogs::ShowFindDlg(QWidget* owner, TAppContext& context) { return gs::ShowFindDlg(owner, context, hooks_); }

}  // namespace gs
