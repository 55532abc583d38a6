// The Preferences dialog offscreen: its refusals leave the store as it was, the extension
// list's rules, the shell box's three states, and Apply writing, applying and saving.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/ui/ExceptionGuard.h"
#include "app/ui/OptionsDlg.h"
#include "controls/ui/ComboEdits.h"
#include "controls/ui/FontComboBox.h"
#include "controls/ui/RxSpinEdit.h"
#include "framework/core/MessageBoxes.h"
#include "support/DialogFrame.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

using namespace gs;
namespace fs = std::filesystem;

namespace {

struct Boxes : IMessageBoxes {
    std::vector<std::pair<std::string, std::string>> shown;
    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string&, std::uint8_t, std::uint8_t, std::uint16_t,
                                   std::uint8_t, const std::string&) override {
        shown.push_back({msg, ""});
        return TQBMessageResult::mrOK;
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string&, std::uint8_t,
                              std::uint8_t, const std::string&, bool) override {
        shown.push_back({msg, details});
    }
};

struct FakeVerb : IShellVerbControl {
    int status = 0;
    int registered = 0, unregistered = 0;
    int Status() override { return status; }
    void Register() override { ++registered; }
    void Unregister() override { ++unregistered; }
};

std::string bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Dialog {
    gstest::TempDir folder{"gs-options-"};
    fs::path dir = folder.path;
    fs::path storeFile = dir / "registry.sqlite3";
    std::unique_ptr<TRegistryStore> store;
    std::unique_ptr<TAppContext> context;
    Boxes boxes;
    FakeVerb verb;
    TAppExceptionHandler handler{boxes, [] {}, [] {}};
    int applied = 0;
    std::unique_ptr<TOptionsDlg> dlg;

    Dialog() {
        gstest::qtTestApp();
        if (!hasApplication()) installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));
        store = std::make_unique<TRegistryStore>(storeFile.string());
        context = std::make_unique<TAppContext>(*store);
        const TQBApplication& app = application();
        context->Options.Save(*store, app.RegRoot, app.RegAppKey);
    }
    TOptionsDlg& open() {
        dlg = std::make_unique<TOptionsDlg>(*context, &verb, [this] { ++applied; }, handler);
        EXPECT_TRUE(gstest::HasDialogFrame(*dlg));
        dlg->show();
        return *dlg;
    }
};

}  // namespace

TEST(TOptionsDlg, EachRefusalSaysWhyAndLeavesTheStoreAsItWas) {
    struct Case {
        const char* what;
        std::function<void(TOptionsDlg&)> enter;
        std::string message, details;
    } cases[] = {
        {"folder", [](TOptionsDlg& d) { d.txtDefaultFolder->setText("/no/such/folder"); }, "Invalid default folder.", ""},
        {"empty limit", [](TOptionsDlg& d) { d.txtLimit->setText(""); }, "Invalid limit value.",
         "Valid values are between 0 and 10000."},
        {"limit", [](TOptionsDlg& d) { d.txtLimit->setText("-1"); }, "Invalid limit value.",
         "Valid values are between 0 and 10000."},
        {"editor", [](TOptionsDlg& d) { d.txtIconEditApp->setText("/no/such/editor"); },
         "Invalid icon edit application location.", ""},
    };
    for (const Case& c : cases) {
        Dialog t;
        const std::string before = bytesOf(t.storeFile);
        TOptionsDlg& d = t.open();
        d.chkSaveWindow->setChecked(false);
        c.enter(d);
        d.cmdOK->click();
        ASSERT_EQ(t.boxes.shown.size(), 1u) << c.what;
        EXPECT_EQ(t.boxes.shown[0].first, c.message) << c.what;
        EXPECT_EQ(t.boxes.shown[0].second, c.details) << c.what;
        EXPECT_TRUE(d.isVisible()) << c.what;
        EXPECT_TRUE(t.context->Options.SaveWindow) << c.what;
        EXPECT_EQ(t.applied, 0) << c.what;
        EXPECT_EQ(t.verb.unregistered, 0) << c.what;
        EXPECT_EQ(bytesOf(t.storeFile), before) << c.what;
    }
    Dialog limitZero;  // the check itself takes 0; only leaving the field raises it to 1
    limitZero.open().txtLimit->setText("0");
    limitZero.dlg->cmdApply->click();
    EXPECT_TRUE(limitZero.boxes.shown.empty());
}

TEST(TOptionsDlg, ExtensionsNeedTheirDotAndAreListedOnceInAnyCase) {
    Dialog t;
    TOptionsDlg& d = t.open();
    const int before = d.lbFilters->count();
    d.txtFilterEdit->setText("ico");
    d.cmdAddFilter->click();
    ASSERT_EQ(t.boxes.shown.size(), 1u);
    EXPECT_EQ(t.boxes.shown[0].first, "File filters must follow the syntax .??? (p.e.: .ico).");
    d.txtFilterEdit->setText(".ICO");
    d.cmdAddFilter->click();
    EXPECT_EQ(d.lbFilters->count(), before);
    EXPECT_EQ(d.lbFilters->currentItem()->text(), ".ico");
    EXPECT_EQ(d.txtFilterEdit->text(), "");
    EXPECT_FALSE(d.cmdAddFilter->isEnabled());
    d.txtFilterEdit->setText(".Zzz");
    d.cmdAddFilter->click();
    EXPECT_EQ(d.lbFilters->item(d.lbFilters->count() - 1)->text(), ".Zzz");  // sorted without case
    d.lbFilters->setCurrentRow(d.lbFilters->count() - 1);
    d.cmdRemoveFilter->click();
    EXPECT_EQ(d.lbFilters->currentRow(), d.lbFilters->count() - 1);  // the last one again
    d.lbFilters->setCurrentRow(0);
    const QString second = d.lbFilters->item(1)->text();
    d.cmdRemoveFilter->click();
    EXPECT_EQ(d.lbFilters->currentItem()->text(), second);

    // Enter in the box adds what was typed and leaves the dialog open; in an empty box, or
    // anywhere else, it is OK's.
    d.pcOptions->setCurrentIndex(1);
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.txtFilterEdit->setFocus();
    QTest::keyClicks(d.txtFilterEdit, ".res");
    QTest::keyClick(d.txtFilterEdit, Qt::Key_Return);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.lbFilters->currentItem()->text(), ".res");
    EXPECT_EQ(d.txtFilterEdit->text(), "");
    EXPECT_EQ(t.applied, 0);
    QTest::keyClick(d.txtFilterEdit, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(t.applied, 1);
    EXPECT_NE(std::find(t.context->Options.ScanExtensions.begin(), t.context->Options.ScanExtensions.end(), ".res"),
              t.context->Options.ScanExtensions.end());
}

TEST(TOptionsDlg, TheShellBoxShowsTheVerbAndActsOnIt) {
    struct Case {
        int status;
        Qt::CheckState shown;
        std::optional<Qt::CheckState> set;
        int registered, unregistered;
    } cases[] = {
        {0, Qt::Unchecked, std::nullopt, 0, 1},
        {1, Qt::PartiallyChecked, std::nullopt, 0, 1},  // still grayed on OK: the partial registration goes
        {2, Qt::Checked, std::nullopt, 1, 0},
        {0, Qt::Unchecked, Qt::Checked, 1, 0},
    };
    for (const Case& c : cases) {
        Dialog t;
        t.verb.status = c.status;
        TOptionsDlg& d = t.open();
        EXPECT_EQ(d.chkShell->checkState(), c.shown) << c.status;
        if (c.set) d.chkShell->setCheckState(*c.set);
        d.cmdOK->click();
        EXPECT_EQ(t.verb.registered, c.registered) << c.status;
        EXPECT_EQ(t.verb.unregistered, c.unregistered) << c.status;
    }
}

TEST(TOptionsDlg, AClickOnTheShellBoxGoesBetweenCheckedAndUncheckedAndGreyOnlyShowsAPartialVerb) {
    // Each row: the status read back, then the state after each click (a mouse click, the
    // space bar, a mouse click), and what OK then does with the verb.
    struct Case {
        int status;
        Qt::CheckState shown;
        bool grey;  // the box offers the grey state while it shows what was read back
        std::vector<Qt::CheckState> clicks;
        int registered, unregistered;
    } cases[] = {
        {0, Qt::Unchecked, false, {Qt::Checked}, 1, 0},  // one click registers
        {0, Qt::Unchecked, false, {Qt::Checked, Qt::Unchecked}, 0, 1},
        {0, Qt::Unchecked, false, {Qt::Checked, Qt::Unchecked, Qt::Checked}, 1, 0},
        {1, Qt::PartiallyChecked, true, {Qt::Checked}, 1, 0},  // partly: one click registers it all
        {1, Qt::PartiallyChecked, true, {Qt::Checked, Qt::Unchecked, Qt::Checked}, 1, 0},
        {1, Qt::PartiallyChecked, true, {Qt::Checked, Qt::Unchecked}, 0, 1},
        {2, Qt::Checked, false, {Qt::Unchecked}, 0, 1},
        {2, Qt::Checked, false, {Qt::Unchecked, Qt::Checked}, 1, 0},
    };
    for (const Case& c : cases) {
        Dialog t;
        t.verb.status = c.status;
        TOptionsDlg& d = t.open();
        QCheckBox* box = d.chkShell;
        QStyleOptionButton option;
        option.initFrom(box);
        const QPoint indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
        EXPECT_EQ(box->checkState(), c.shown) << c.status;
        EXPECT_EQ(box->isTristate(), c.grey) << c.status;
        for (std::size_t i = 0; i < c.clicks.size(); ++i) {
            if (i % 2) QTest::keyClick(box, Qt::Key_Space);
            else QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
            EXPECT_EQ(box->checkState(), c.clicks[i]) << "status " << c.status << ", click " << i + 1;
            EXPECT_FALSE(box->isTristate()) << "status " << c.status << ", click " << i + 1;
        }
        d.cmdOK->click();
        EXPECT_EQ(t.verb.registered, c.registered) << c.status << " after " << c.clicks.size() << " clicks";
        EXPECT_EQ(t.verb.unregistered, c.unregistered) << c.status << " after " << c.clicks.size() << " clicks";
    }
}

TEST(TOptionsDlg, ApplyWritesAppliesAndSavesAndCancelKeepsIt) {
    Dialog t;
    t.context->Options.ListFontName = "A Family Nobody Has";
    TOptionsDlg& d = t.open();
    // The box names the face the list is drawn in instead; the stored name stays until the
    // user picks one.
    const QString inUse = QFontInfo(QFont("A Family Nobody Has")).family();
    EXPECT_FALSE(inUse.isEmpty());
    EXPECT_EQ(d.cbFontName->FontName(), inUse);
    d.rdColorUseColors->setChecked(true);
    EXPECT_TRUE(d.cbTextColor->isEnabled());
    d.cbBackColor->setCurrentIndex(d.cbBackColor->findText("Navy"));
    d.chkLimitIcons->setChecked(true);
    EXPECT_TRUE(d.txtLimit->isEnabled());
    d.txtLimit->setText("42");
    d.cmdApply->click();
    EXPECT_TRUE(t.boxes.shown.empty());
    EXPECT_EQ(t.applied, 1);
    d.cmdCancel->click();
    EXPECT_FALSE(t.context->Options.ListWindowsColors);
    EXPECT_EQ(t.context->Options.ListBackColor, 0x800000);
    EXPECT_EQ(t.context->Options.ListFontName, "A Family Nobody Has");
    TKAVUOptions reread;
    reread.Load(*t.store, application().RegRoot, application().RegAppKey);
    EXPECT_EQ(reread.LimitNumber, 42);
    EXPECT_TRUE(reread.LimitIcons);
    EXPECT_EQ(reread.ListBackColor, 0x800000);
    EXPECT_EQ(reread.ListFontName, "A Family Nobody Has");
    // A face the user picks is stored.
    TOptionsDlg& again = t.open();
    QComboBox* fonts = again.cbFontName;
    ASSERT_GT(fonts->count(), 1);
    const bool last = fonts->currentIndex() == fonts->count() - 1;
    QTest::keyClick(fonts, last ? Qt::Key_Up : Qt::Key_Down);  // the keyboard picks the next face
    ASSERT_NE(fonts->currentText(), inUse);
    again.cmdOK->click();
    EXPECT_EQ(t.context->Options.ListFontName, fonts->currentText().toStdString());
}

TEST(TOptionsDlg, ItsSpinEditsKeepTheUpDownPair) {
    Dialog t;
    TOptionsDlg& d = t.open();
    for (TRxSpinEdit* spin : {d.txtLimitMRU, d.txtLimit, d.txtMemStop})
        EXPECT_EQ(spin->ButtonKind(), TSpinButtonKind::bkStandard) << spin->objectName().toStdString();
}

TEST(TOptionsDlg, TheDefaultImageFormatListIsInTheOptionsOrderAndReadsBackAsItsFormat) {
    Dialog t;
    t.context->Options.PromptForImageFormat = false;
    t.context->Options.DefaultImageFormat = 2;
    TOptionsDlg& d = t.open();
    const char* items[] = {"GIF Image (*.GIF)", "JPEG Image (*.JPG)", "Windows Meta File (*.WMF)",
                           "Tagged Image File Format (*.TIF)"};
    ASSERT_EQ(d.cbDefaultImageFormat->count(), int(std::size(items)));
    for (int i = 0; i < d.cbDefaultImageFormat->count(); ++i) {
        EXPECT_EQ(d.cbDefaultImageFormat->itemText(i).toStdString(), items[i]);
        EXPECT_EQ(ImageFormatOf(ImageFormatIndexToCode(i)).OptionCaption, std::string(items[i]));
    }
    EXPECT_EQ(d.cbDefaultImageFormat->currentIndex(), 2);
    EXPECT_TRUE(d.cbDefaultImageFormat->isEnabled());
}

TEST(TOptionsDlg, TheEditorIsAFileNameQuotedWhenItHoldsABlankAndTheFolderEditBrowses) {
    // The editor's file name, whether the field quotes it, and whether Apply takes it.
    const std::tuple<std::string, bool, bool> cases[] = {
        {"icon-editor", false, true}, {"icon editor", true, true},
        {"edit|or", false, false},  // not a file name: shown for the user to mend
    };
    for (const auto& [name, quoted, taken] : cases) {
        Dialog t;
        std::ofstream(t.dir / name) << "#!/bin/sh\n";
        const std::string stored = taken ? (t.dir / name).string() : name;
        t.context->Options.IconEditApp = stored;
        TOptionsDlg& d = t.open();
        EXPECT_EQ(d.txtIconEditApp->DialogOptions(), ofHideReadOnly | ofPathMustExist | ofFileMustExist);
        EXPECT_EQ(d.txtDefaultFolder->DialogKind, TDirDialogKind::dkWin32);
        EXPECT_EQ(d.txtIconEditApp->text().toStdString(), quoted ? '"' + stored + '"' : stored);
        d.cmdApply->click();
        EXPECT_EQ(t.boxes.shown.empty(), taken) << name;
        EXPECT_EQ(t.context->Options.IconEditApp, stored);  // never the quotes
    }
}
