// The Filter and Find dialogs with their checks and messages, and the state the main window
// and the Find dialog keep in the settings store between runs (the Find dialog's across two
// processes).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QInputDevice>
#include <QKeyEvent>
#include <cstdlib>
#include <sys/wait.h>

#include "app/MainWindowProbe.h"
#include "app/FakeMainServices.h"
#include "app/ui/FilterDlg.h"
#include "app/ui/FindDlg.h"
#include "framework/core/Exceptions.h"
#include "framework/core/RegUtils.h"
#include "toolbar/ui/QtDock.h"
#include "toolbar/ui/QtToolbar.h"
#include "support/DialogFrame.h"

using namespace gs;
using namespace gstest;
using A = TMainAction;

namespace {

// Typing makes the process's keyboard device, which the application object deletes at exit:
// the list of devices is made first here, so that it is still there then.
const auto kDevicesBeforeTheApplication = QInputDevice::devices();

struct Errors {
    std::vector<std::string> messages;
    TDialogHooks hooks() {
        TDialogHooks h;
        h.OnError = [this](std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& x) {
                messages.push_back(x.what());
            }
        };
        return h;
    }
};

// Answers the next modal dialog once it is up.
template <class D, class F>
void whenShown(F act) {
    QTimer::singleShot(0, [act] {
        if (auto* d = qobject_cast<D*>(QApplication::activeModalWidget())) act(*d);
    });
}

QStringList lines(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

std::string storageKey(const char* section) { return std::string(kRegAppKey) + "\\" + section; }

}  // namespace

TEST(TFilterDlg, AddsChecksAndListsCriteria) {
    qtTestApp();
    TFilters start;
    start.Items.Add(std::make_unique<TFilter>(TFilter{1, 6, ".dll"}));
    start.Items.Add(std::make_unique<TFilter>(TFilter{2, 8, "1"}));
    Errors errors;
    TFilterDlg d(nullptr, start, errors.hooks());
    EXPECT_EQ(d.windowTitle(), "Filter Icons...");
    EXPECT_TRUE(gstest::HasDialogFrame(d));
    EXPECT_EQ(d.size(), QSize(434, 297));
    EXPECT_EQ(d.HelpContext(), 650);
    EXPECT_EQ(lines(d.lbCriteria), QStringList({"Filename ends with .dll", "Icon images include 256 colors image"}));
    EXPECT_FALSE(d.cmdAdd->isEnabled());
    d.cbCondition->setCurrentIndex(2);
    for (const QChar c : QString("it's")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(d.txtValue, &press);
    }
    EXPECT_EQ(d.txtValue->text(), "its");
    EXPECT_TRUE(d.cmdAdd->isEnabled());
    d.cmdAdd->click();
    d.txtValue->setText("ITS");
    d.cmdAdd->click();
    EXPECT_EQ(errors.messages, std::vector<std::string>{"This filter already exists."});
    d.cbField->setCurrentIndex(2);
    EXPECT_FALSE(d.cbValue->isHidden());
    EXPECT_TRUE(d.txtValue->isHidden());
    EXPECT_FALSE(d.cmdAdd->isEnabled());
    d.cbCondition->setCurrentIndex(1);
    d.cbValue->setCurrentIndex(4);
    d.cmdAdd->click();
    d.cbField->setCurrentIndex(0);
    EXPECT_EQ(d.txtValue->text(), "");
    EXPECT_EQ(lines(d.lbCriteria).mid(2),
              QStringList({"Icon name contains 'its'", "Icon images do not include '48x48 pixels image'"}));
    ASSERT_EQ(d.Working().Items.Count(), 4);
    EXPECT_EQ(d.Working().Items[3]->Condition, 9);
    EXPECT_EQ(d.Working().Items[3]->Value, "4");
    EXPECT_EQ(start.Items.Count(), 2);  // the set handed in is never edited
    d.lbCriteria->setCurrentRow(0);
    d.cmdRemove->click();
    EXPECT_EQ(d.Working().Items[0]->Field, 2);
    EXPECT_EQ(d.lbCriteria->count(), 3);
}

TEST(TFilterDlg, CancelKeepsNoSetAndOkOnAnEmptySetLeavesItActive) {
    qtTestApp();
    std::unique_ptr<TFilters> filters;
    whenShown<TFilterDlg>([](TFilterDlg& d) { d.cmdCancel->click(); });
    EXPECT_FALSE(ShowFilterDlg(nullptr, filters, {}));
    EXPECT_FALSE(filters);
    filters = std::make_unique<TFilters>();
    filters->Items.Add(std::make_unique<TFilter>(TFilter{0, 2, "x"}));
    whenShown<TFilterDlg>([](TFilterDlg& d) {
        d.lbCriteria->setCurrentRow(0);
        d.cmdRemove->click();
        d.cmdOK->click();
    });
    EXPECT_TRUE(ShowFilterDlg(nullptr, filters, {}));
    ASSERT_TRUE(filters);
    EXPECT_EQ(filters->Items.Count(), 0);
}

TEST(TFindDlg, RefusesEmptyTextAndKeepsOneHistoryEntryPerTextInAnyCase) {
    TRegistryStore store(":memory:");
    ListWindow t(store);  // the descriptor and the application object
    TFindDlg d(nullptr, store, {});
    EXPECT_EQ(d.windowTitle(), "Find...");
    EXPECT_TRUE(gstest::HasDialogFrame(d));
    EXPECT_EQ(d.size(), QSize(452, 154));
    EXPECT_EQ(d.HelpContext(), 700);
    EXPECT_TRUE(d.radIconName->isChecked());
    EXPECT_FALSE(d.cmdFind->isEnabled());
    d.actFindExecute();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(d.cbText->count(), 0);
    for (const char* text : {"shell", "Disk", "SHELL"}) {
        d.cbText->setEditText(text);
        d.actFindExecute();
    }
    EXPECT_EQ(d.result(), QDialog::Accepted);
    QStringList items;
    for (int i = 0; i < d.cbText->count(); ++i) items << d.cbText->itemText(i);
    EXPECT_EQ(items, QStringList({"Disk", "shell"}));
    d.radBoth->setChecked(true);
    d.chkMatchCase->setChecked(true);
    TFindInfo info{0, "", false, 4};
    d.FillFindInfo(info);
    EXPECT_EQ(info.Where, 2);
    EXPECT_EQ(info.Text, "SHELL");
    EXPECT_TRUE(info.MatchCase);
    EXPECT_EQ(info.LastIndex, -1);
}

// The first half of the next test, run by it in a process of its own (never on its own).
TEST(FindDialogProcess, DISABLED_ChoosesAndCloses) {
    const char* path = std::getenv("GS_FIND_STORE");
    ASSERT_NE(path, nullptr);
    TRegistryStore store(path);
    ListWindow t(store);
    whenShown<TFindDlg>([](TFindDlg& d) {
        d.radFileName->setChecked(true);
        d.chkMatchCase->setChecked(true);
        d.cbText->setEditText("glyph");
        d.cmdFind->click();
    });
    ASSERT_TRUE(ShowFindDlg(nullptr, t.context, {}));
    EXPECT_EQ(t.context.FindInfo.Where, 1);
}

TEST(FindDialogProcess, ComesBackInASecondProcess) {
    TempDir dir;
    const std::string path = dir / "registry.sqlite3";
    const std::string command = "GS_FIND_STORE='" + path + "' /proc/" + std::to_string(getpid()) +
                                "/exe --gtest_also_run_disabled_tests --gtest_filter=FindDialogProcess.DISABLED_ChoosesAndCloses >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
    TRegistryStore store(path);
    const std::string key = storageKey("Storage\\Find");
    EXPECT_EQ(RegReadString(store, kAppRegRoot, key, "radFileName_Checked", ""), "True");
    EXPECT_EQ(RegReadString(store, kAppRegRoot, key, "radIconName_Checked", ""), "False");
    EXPECT_EQ(RegReadString(store, kAppRegRoot, key + ".cbText_Items", "Item0", ""), "glyph");
    ListWindow t(store);
    TFindDlg d(nullptr, store, {});
    d.show();
    EXPECT_TRUE(d.radFileName->isChecked());
    EXPECT_TRUE(d.chkMatchCase->isChecked());
    ASSERT_EQ(d.cbText->count(), 1);
    EXPECT_EQ(d.cbText->itemText(0), "glyph");
    d.reject();
}

TEST(MainWindowStorage, ARunWithSaveWindowStoresWhatTheNextStartRestores) {
    TRegistryStore store(":memory:");
    const std::string key = storageKey("Storage");
    QRect placed;
    {
        ListWindow t(store);
        t.w->show();
        t.w->move(30, 40);
        t.run(A::actViewReport);
        t.run(A::actArrangeByFile);
        t.run(A::actArrangeByFile);
        t.run(A::actViewPreview);
        t.w->ListView().SetColumnWidth(0, 123);
        t.w->findChild<tb::TTBToolbar*>("tbMain")->SetCurrentDock(t.w->findChild<tb::TTBDock*>("DockBottom"));
        placed = t.w->geometry();
        EXPECT_TRUE(t.w->close());
    }
    const std::vector<std::pair<std::string, std::string>> stored = {
        {"lvIcons_ViewStyle", "vsReport"}, {"pPreview_Visible", "False"}, {"splIcons_Visible", "False"},
        {"pBottom_Visible", "True"},       {"tbMain_Visible", "True"},    {"tbMain_CurrentDock", "DockBottom"},
        {"tbMenu_DockRow", "0"},       {"tbMenu_CurrentDock", "DockTop"}};
    for (const auto& [name, value] : stored) EXPECT_EQ(RegReadString(store, kAppRegRoot, key, name, "-"), value) << name;
    for (const char* name : {"pPreview_Width", "tbMain_DockPos", "tbMenu_DockPos", "NormPos", "MinMaxPos", "Flags",
                             "ShowCmd", "PixelsPerInch", "FormVersion"})
        EXPECT_TRUE(RegValueExists(store, kAppRegRoot, key, name)) << name;
    EXPECT_EQ(RegReadInteger(store, kAppRegRoot, key, "Col0", 0), 123);
    EXPECT_EQ(RegReadInteger(store, kAppRegRoot, key, "SortCol", 0), 1);
    EXPECT_EQ(RegReadInteger(store, kAppRegRoot, key, "SortAsc", 1), 0);
    EXPECT_EQ(RegReadString(store, kAppRegRoot, key, "NormPos", ""),
              QString("%1,%2,%3,%4").arg(placed.left()).arg(placed.top()).arg(placed.left() + placed.width())
                  .arg(placed.top() + placed.height()).toStdString());

    ListWindow again(store);
    again.w->show();
    EXPECT_EQ(again.w->pos(), QPoint(30, 40));
    EXPECT_EQ(again.w->ListView().ViewStyle(), TViewStyle::vsReport);
    EXPECT_EQ(TMainWindowProbe(*again.w).SortColumn(), 1);
    EXPECT_FALSE(TMainWindowProbe(*again.w).SortAscending());
    EXPECT_EQ(again.w->ListView().ColumnWidth(0), 123);
    EXPECT_TRUE(again.w->findChild<QWidget*>("pPreview")->isHidden());
    auto* bar = again.w->findChild<tb::TTBToolbar*>("tbMain");
    EXPECT_EQ(bar->parentWidget(), again.w->findChild<tb::TTBDock*>("DockBottom"));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(again.w->findChild<tb::TTBToolbar*>("tbMenu")->parentWidget(), again.w->findChild<tb::TTBDock*>("DockTop"));
    EXPECT_EQ(again.w->ListView().Model().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              "Original File (DESC)");
}

TEST(MainWindowStorage, WithoutSaveWindowNothingIsStored) {
    TRegistryStore store(":memory:");
    {
        ListWindow t(store, false);
        t.w->show();
        t.run(A::actArrangeByFile);
        EXPECT_TRUE(t.w->close());
    }
    EXPECT_TRUE(RegGetValueNames(store, kAppRegRoot, storageKey("Storage")).empty());
}
