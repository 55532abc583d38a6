// The main window's state kept between runs: its position, the listed properties of its
// panels, bars and list, and the list's column widths and sort order, under the
// application key's "Storage", only while the SaveWindow option is on. A bar left floating
// keeps where its window stood and its floating width beside its (empty) dock name.
#include <climits>

#include <QLayout>
#include <QListView>
#include <QSplitter>

#include "app/core/AppContext.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "controls/ui/FormStorage.h"
#include "framework/core/Application.h"
#include "framework/core/MessageBoxes.h"
#include "toolbar/ui/QtFloatingWindow.h"
#include "toolbar/ui/QtToolbar.h"

namespace gs {

namespace {

constexpr const char* kStorageSection = "Storage";
constexpr const char* kCol0 = "Col0";
constexpr const char* kCol1 = "Col1";
constexpr const char* kSortCol = "SortCol";
constexpr const char* kSortAsc = "SortAsc";

using Kind = TStoredProperty::Kind;

// The bar's own values are named after it, like its listed properties: "tbMain_FloatLeft".
std::string barValue(const tb::TTBToolbar& bar, const char* name) {
    return bar.objectName().toStdString() + "_" + name;
}

void saveFloating(TFormStorage& storage, const tb::TTBToolbar& bar) {
    storage.WriteInteger(barValue(bar, "FloatLeft"), bar.FloatingPosition.x());
    storage.WriteInteger(barValue(bar, "FloatTop"), bar.FloatingPosition.y());
    bar.WritePositionData([&](const char* name, int value) { storage.WriteInteger(barValue(bar, name), value); });
}

// A bar keeps its floating width and place wherever it is. An empty dock name is a bar that
// floated: it floats again there, wholly on the screen nearest to it. Without a stored place
// (a store from before the places were kept) it stays in the dock it was built in: on the
// form it would have no handle to be dragged by.
void restoreDock(TFormStorage& storage, tb::TTBToolbar& bar, const QString& dockName) {
    bar.ReadPositionData([&](const char* name, int def) { return storage.ReadInteger(barValue(bar, name), def); });
    const int left = storage.ReadInteger(barValue(bar, "FloatLeft"), INT_MIN);
    const int top = storage.ReadInteger(barValue(bar, "FloatTop"), INT_MIN);
    if (left != INT_MIN && top != INT_MIN) bar.FloatingPosition = QPoint(left, top);
    if (!dockName.isEmpty()) return bar.SetCurrentDockName(dockName);
    if (left == INT_MIN || top == INT_MIN) return;
    tb::FloatAtStoredPlace(bar, QPoint(left, top));
}

}  // namespace

void TKAVUMain::tellStoreNotices() {
    std::string text;
    for (std::string notice : TakeStoreNotices(context_)) {
        if (notice.empty()) continue;
        if (notice[0] >= 'a' && notice[0] <= 'z') notice[0] = char(notice[0] - 'a' + 'A');
        text += (text.empty() ? "" : "\n\n") + notice + ".";
    }
    if (text.empty()) return;
    const TQBApplication& app = application();
    services_.Boxes().ShowQBMessage(text, app.Title, TQBMessageType::mtWarning, TQBButtonSet::bsOK, kFirstButton,
                                    app.LanguageId, app.FontName);
}

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
        for (tb::TTBToolbar* bar : {tbMain, tbMenu})
            if (component == bar && name.compare("CurrentDock", Qt::CaseInsensitive) == 0)
                return TStoredProperty{Kind::String, {}, [bar] { return QVariant(bar->CurrentDockName()); },
                                       [this, bar](const QVariant& v) { restoreDock(*Storage_, *bar, v.toString()); }};
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
    Storage_->WriteInteger(kSortCol, order_.Column);
    Storage_->WriteInteger(kSortAsc, order_.Ascending ? 1 : 0);
    saveFloating(*Storage_, *tbMain);
    saveFloating(*Storage_, *tbMenu);
}

void TKAVUMain::StorageRestorePlacement() {
    lvIcons->SetColumnWidth(0, Storage_->ReadInteger(kCol0, lvIcons->ColumnWidth(0)));
    lvIcons->SetColumnWidth(1, Storage_->ReadInteger(kCol1, lvIcons->ColumnWidth(1)));
    order_ = TListOrder::Stored(Storage_->ReadInteger(kSortCol, order_.Column),
                                Storage_->ReadInteger(kSortAsc, order_.Ascending ? 1 : 0));
    lvIcons->Sort(order_.Column, order_.Ascending);
    UpdateColumnCaptions();
}

}  // namespace gs
