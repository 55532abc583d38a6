// The main window's state kept between runs: its position, the listed properties of its
// panels, bars and list, and the list's column widths and sort order, under the
// application key's "Storage", only while the SaveWindow option is on.
#include <QLayout>
#include <QListView>
#include <QSplitter>

#include "app/core/AppContext.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainWindow.h"
#include "controls/ui/FormStorage.h"
#include "framework/core/Application.h"

namespace gs {

namespace {

constexpr const char* kStorageSection = "Storage";
constexpr const char* kCol0 = "Col0";
constexpr const char* kCol1 = "Col1";
constexpr const char* kSortCol = "SortCol";
constexpr const char* kSortAsc = "SortAsc";

using Kind = TStoredProperty::Kind;

}  // namespace

void TKAVUMain::setupStorage() {
    const TQBApplication& app = application();
    Storage_ = new TFormStorage(this);
    Storage_->setObjectName("Storage");
    Storage_->SetRegistryStore(context_.Store);
    Storage_->UseRegistry = true;
    Storage_->RegistryRoot = app.RegRoot;
    Storage_->IniFileName = app.RegAppKey;
    Storage_->IniSection = kStorageSection;
    Storage_->Options = fpPosition;
    Storage_->StoredProps = {"pBottom.Visible",    "pPreview.Visible",  "pPreview.Width",     "splIcons.Visible",
                             "lvIcons.ViewStyle",  "tbMain.DockPos",    "tbMain.DockRow",     "tbMain.CurrentDock",
                             "tbMain.Visible",     "tbMenu.DockPos",    "tbMenu.DockRow",     "tbMenu.CurrentDock"};
    Storage_->AddPropertyFinder([this](QObject* component, const QString& name) -> std::optional<TStoredProperty> {
        if (component == lvIcons && name.compare("ViewStyle", Qt::CaseInsensitive) == 0)
            return TStoredProperty{Kind::Enumeration,
                                   {"vsIcon", "vsSmallIcon", "vsList", "vsReport"},
                                   [this] { return QVariant(int(lvIcons->ViewStyle())); },
                                   [this](const QVariant& v) { setViewStyle(TViewStyle(v.toInt())); }};
        // The splitter bar shows with the preview panel.
        if (component == splIcons && name.compare("Visible", Qt::CaseInsensitive) == 0)
            return TStoredProperty{Kind::Boolean, {}, [this] { return QVariant(!pPreview->isHidden()); }, nullptr};
        return std::nullopt;
    });
    Storage_->OnSavePlacement = [this] { StorageSavePlacement(); };
    Storage_->OnRestorePlacement = [this] { StorageRestorePlacement(); };
    Storage_->OnError = [this](std::exception_ptr error) { handler_.Handle(error); };
    Storage_->Attach();
}

void TKAVUMain::StorageSavePlacement() {
    Storage_->WriteInteger(kCol0, lvIcons->ColumnWidth(0));
    Storage_->WriteInteger(kCol1, lvIcons->ColumnWidth(1));
    Storage_->WriteInteger(kSortCol, sortColumn_);
    Storage_->WriteInteger(kSortAsc, sortAscending_ ? 1 : 0);
}

void TKAVUMain::StorageRestorePlacement() {
    lvIcons->SetColumnWidth(0, Storage_->ReadInteger(kCol0, lvIcons->ColumnWidth(0)));
    lvIcons->SetColumnWidth(1, Storage_->ReadInteger(kCol1, lvIcons->ColumnWidth(1)));
    sortColumn_ = Storage_->ReadInteger(kSortCol, sortColumn_) == 1 ? 1 : 0;
    sortAscending_ = Storage_->ReadInteger(kSortAsc, sortAscending_ ? 1 : 0) != 0;
    lvIcons->Sort(sortColumn_, sortAscending_);
    UpdateColumnCaptions();
}

}  // namespace gs
