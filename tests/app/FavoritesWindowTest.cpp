// The Favorites menu of the main window and the four favourites dialogs, offscreen, with
// scripted desktop services and prompts; and the store after a run, as sqlite3 reads it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QInputDevice>
#include <QKeyEvent>
#include <QTimer>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>

#include "app/MainWindowProbe.h"
#include "app/ExtractMaterial.h"
#include "support/QtTestApp.h"
#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/ui/FavoritesDlgs.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "controls/ui/ComboEdits.h"
#include "framework/core/MessageBoxes.h"
#include "toolbar/core/Item.h"
#include "support/DialogFrame.h"

using namespace gs;
using namespace gstest;

namespace {

void qtApp() {
    qtTestApp();
    if (!hasApplication()) installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));
}

// Boxes are recorded by their text; nothing else of the desktop is reached.
struct Desk : IMainServices, IMessageBoxes {
    std::vector<std::string> boxes;
    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string&, std::uint8_t, std::uint8_t, std::uint16_t,
                                   std::uint8_t, const std::string&) override {
        boxes.push_back(msg);
        return TQBMessageResult::mrOK;
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string&, const std::string&, std::uint8_t, std::uint8_t,
                              const std::string&, bool) override {
        boxes.push_back(msg);
    }
    IMessageBoxes& Boxes() override { return *this; }
    std::optional<std::string> BrowseForFolder(QWidget*, const std::string&, const std::string&, int) override { return {}; }
    std::optional<std::string> fileAnswer;
    std::vector<TOpenDialogSpec> fileDialogs;
    std::optional<std::string> OpenFileName(QWidget*, const TOpenDialogSpec& spec) override {
        fileDialogs.push_back(spec);
        return fileAnswer;
    }
    bool Start(const std::vector<std::string>&) override { return true; }
    bool ProgramAvailable(const std::string&) override { return true; }
    int MemoryLoad() override { return 0; }
    void Terminate() override {}
    std::string last() const { return boxes.empty() ? "" : boxes.back(); }
};

// The real dialogs, with the nested prompts and the window's openings scripted.
struct Scripted : TFavoritesDialogs {
    using TFavoritesDialogs::TFavoritesDialogs;
    std::deque<std::string> folderNames;
    std::vector<std::pair<bool, std::string>> added;
    std::string GetFolderName(QWidget*, TFavoritesFolder&) override {
        std::string name = folderNames.empty() ? "" : folderNames.front();
        if (!folderNames.empty()) folderNames.pop_front();
        return name;
    }
    bool AddToFavorites(QWidget*, bool isFolder, const std::string& path) override {
        added.emplace_back(isFolder, path);
        return true;
    }
};

struct Fixture {
    TRegistryStore store{":memory:"};
    TAppContext context{store};
    Desk desk;
    TAppExceptionHandler handler{desk, nullptr, [] {}};
    Scripted dialogs{context, desk, handler};
    TFavoritesFolder& root = context.Favorites;
    Fixture() { qtApp(); }
};

struct WindowFixture : Fixture {
    std::unique_ptr<TKAVUMain> w;
    WindowFixture() {
        w = std::make_unique<TKAVUMain>(context, desk);
        TMainWindowProbe(*w).SetFavoritesDialogs(&dialogs);
    }
    // The run-time entries: caption, '+' or '-' for enabled.
    std::string menu() {
        w->actFavoritesExecute();
        std::string s;
        const tb::TTBSubmenuItem& menu = *TMainWindowProbe(*w).FavoritesMenu();
        for (int i = 2; i < menu.Count(); ++i) {
            const tb::TTBCustomItem& e = *menu.Items(i);
            s += dynamic_cast<const tb::TTBSeparatorItem*>(&e) ? "|" : e.Caption() + (e.Enabled() ? "+" : "-") + ";";
        }
        return s;
    }
};

QTreeWidgetItem* node(QTreeWidget* tree, const QString& path) {
    QTreeWidgetItem* at = tree->topLevelItem(0);
    for (const QString& part : path.split('/', Qt::SkipEmptyParts)) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < at->childCount() && !next; ++i)
            if (at->child(i)->text(0) == part) next = at->child(i);
        if (!next) return nullptr;
        at = next;
    }
    return at;
}

}  // namespace

TEST(FavoritesMenu, RebuiltOnlyAfterAChangeWithEmptyFoldersClosedAndEmptyTargetsLeftOut) {
    WindowFixture t;
    EXPECT_EQ(t.menu(), "");
    EXPECT_TRUE(t.context.FavoritesModified);  // an empty tree keeps the flag
    AddFolder(t.root, "Empty");
    AddFavorite(AddFolder(t.root, "Full"), "in", "/in");
    AddFavorite(t.root, "no target", "");
    AddFavorite(t.root, "ok", "/ok");
    EXPECT_EQ(t.menu(), "|Empty-;Full+;ok+;");
    EXPECT_FALSE(t.context.FavoritesModified);
    AddFavorite(t.root, "quiet", "/q");
    EXPECT_EQ(t.menu(), "|Empty-;Full+;ok+;");  // no change flagged, no rebuild
    t.context.FavoritesModified = true;
    EXPECT_EQ(t.menu(), "|Empty-;Full+;ok+;quiet+;");
    // Busy: the head stays, the entries close; afterwards only the empty folder stays closed.
    t.w->BeginExtractionBusy();
    EXPECT_TRUE(t.w->Action(TMainAction::actFavorites)->isEnabled());
    EXPECT_EQ(t.menu(), "|Empty-;Full-;ok-;quiet-;");
    t.w->EndExtractionBusy();
    EXPECT_EQ(t.menu(), "|Empty-;Full+;ok+;quiet+;");
}

TEST(FavoritesMenu, AFavoriteWhoseFolderWentOpensAsAFileAndAddOffersTheSelectedIconsFile) {
    WindowFixture t;
    Tree dir;
    const std::string gone = (dir.path / "gone").string();
    t.w->Guard([&] { t.w->OpenFavorite(gone); });
    EXPECT_EQ(t.desk.last(), "File '" + gone + "' not found.");
    const std::string module = dir.put("lib.dll", peWithGroups(2)).string();
    QEventLoop loop;
    QObject::connect(t.w.get(), &TKAVUMain::ExtractionEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    t.w->Guard([&] { t.w->OpenFavorite(dir.path.string()); });
    if (t.w->ExtractionRunning()) loop.exec();
    ASSERT_EQ(TMainWindowProbe(*t.w).Listing().SelectedFolder(), dir.path.string());
    t.w->Execute(TMainAction::actFavoritesAdd);
    QItemSelectionModel& selection = t.w->ListView().Selection();
    selection.select(selection.model()->index(0, 0), QItemSelectionModel::Select);
    t.w->Execute(TMainAction::actFavoritesAdd);
    EXPECT_EQ(t.dialogs.added, (std::vector<std::pair<bool, std::string>>{{true, dir.path.string()}, {false, module}}));
}

TEST(FavoritesDialogs, AddRefusesASameNameInAnotherCaseAndMakesFolders) {
    Fixture t;
    AddFavorite(t.root, "SHELL32", "/old");
    TAddFavoritesDlg file(nullptr, t.dialogs, false, "/win/shell32.dll");
    EXPECT_EQ(file.Name()->text(), "Shell32");
    EXPECT_EQ(file.findChild<QLabel*>("lblDescription")->text(), "This file will be added to your Favorites list.");
    file.actOKExecute();
    EXPECT_EQ(t.desk.last(), "A record named 'Shell32' already exists.");
    EXPECT_EQ(file.result(), QDialog::Rejected);
    t.dialogs.folderNames = {"System"};
    file.actNewFolderExecute();
    EXPECT_EQ(file.Tree()->currentItem()->text(0), "System");
    file.actOKExecute();
    EXPECT_EQ(file.result(), QDialog::Accepted);
    ASSERT_NE(t.root.FindFolder("System"), nullptr);
    EXPECT_EQ(t.root.FindFolder("System")->Favorites[0]->Target, "/win/shell32.dll");
    EXPECT_TRUE(t.context.FavoritesModified);
    TAddFavoritesDlg folder(nullptr, t.dialogs, true, "/usr/share/icons");
    EXPECT_EQ(folder.Name()->text(), "/usr/share/icons");
    folder.cmdCreateInClick();
    EXPECT_TRUE(folder.Tree()->isHidden());
    EXPECT_EQ(folder.findChild<QPushButton*>("cmdCreateIn")->text(), "C&reate in >>");
}

TEST(FavoritesDialogs, AFolderNameLosesRefusedKeysAndMustBeNew) {
    Fixture t;
    AddFolder(t.root, "Tools");
    TFolderNameDlg dlg(nullptr, t.dialogs, t.root);
    EXPECT_TRUE(gstest::HasDialogFrame(dlg));
    // The keys that reach the field as it is typed.
    TNameKeyFilter* filter = dlg.Name()->findChild<TNameKeyFilter*>();
    ASSERT_NE(filter, nullptr);
    QInputDevice keyboard("test keyboard", 1, QInputDevice::DeviceType::Keyboard);
    QString typed;
    for (char c : std::string("to:ol;s\\")) {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, 0, 0, 0, QString(QChar(c)), false, 1, &keyboard);
        if (!filter->eventFilter(dlg.Name(), &key)) typed += QChar(c);
    }
    EXPECT_EQ(typed, "tools");
    dlg.Name()->setText(typed);
    dlg.OKClick();
    EXPECT_EQ(t.desk.last(), "A folder named 'tools' already exists.");
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST(FavoritesDialogs, OrganizeRenamesDeletesAndMovesWithTheirChecks) {
    Fixture t;
    TFavoritesFolder& a = AddFolder(t.root, "A");
    AddFolder(a, "Sub");
    AddFavorite(a, "fav", "/f");
    AddFolder(AddFolder(t.root, "B"), "sub");
    AddFavorite(t.root, "Fav", "/g");
    TOrganizeDlg dlg(nullptr, t.dialogs);
    EXPECT_TRUE(gstest::HasDialogFrame(dlg));
    QTreeWidget* tree = dlg.Tree();
    auto edit = [&](const QString& path, const QString& text) {  // true when the node took the text
        QTreeWidgetItem* n = node(tree, path);
        n->setText(0, text);
        return n->text(0) == text;
    };
    EXPECT_TRUE(edit("A/fav", "FAV"));  // only its case
    EXPECT_EQ(a.Favorites[0]->Name, "FAV");
    EXPECT_FALSE(edit("A", "B"));
    EXPECT_EQ(t.desk.last(), "A folder named 'B' already exists.");
    EXPECT_FALSE(edit("B", "B:2"));
    EXPECT_EQ(t.desk.last(), kMsgPlainNameOnly);
    struct Drop {
        const char *dragged, *target;
        bool allowed;
    } drops[] = {{"A", "A", false}, {"A", "A/Sub", false}, {"A/Sub", "A", false}, {"A/Sub", "", true},
                 {"Fav", "", false}, {"", "B", false}, {"A/FAV", "B", true}};
    for (const Drop& d : drops) EXPECT_EQ(dlg.CanDropOn(node(tree, d.dragged), node(tree, d.target)), d.allowed) << d.dragged;
    t.desk.boxes.clear();
    dlg.DropOn(node(tree, "A/FAV"), node(tree, ""));  // the root holds a "Fav"
    dlg.DropOn(node(tree, "A/Sub"), node(tree, "B"));  // B holds a "sub"
    EXPECT_EQ(t.desk.boxes, (std::vector<std::string>{"A record named 'FAV' already exists.",
                                                      "A folder named 'Sub' already exists."}));
    t.context.FavoritesModified = false;
    dlg.DropOn(node(tree, "A/FAV"), node(tree, "B"));
    EXPECT_NE(node(tree, "B/FAV"), nullptr);
    EXPECT_EQ(t.root.FindFolder("B")->Favorites.Count(), 1);
    EXPECT_TRUE(t.context.FavoritesModified);
    tree->setCurrentItem(node(tree, "A"));
    EXPECT_FALSE(dlg.findChild<QPushButton*>("cmdProperties")->isEnabled());
    dlg.actDeleteExecute();
    EXPECT_EQ(t.root.FindFolder("A"), nullptr);
    EXPECT_EQ(node(tree, "A"), nullptr);
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_FALSE(dlg.findChild<QPushButton*>("cmdRename")->isEnabled());
}

TEST(FavoritesDialogs, PropertiesAcceptOnlyATargetThatExists) {
    Fixture t;
    Tree dir;
    TFavorite& f = AddFavorite(t.root, "f", "/old");
    TFavPropsDlg dlg(nullptr, t.dialogs, f);
    dlg.Target()->setText("/no/such/target");
    dlg.OKClick();
    EXPECT_EQ(t.desk.last(), "Target '/no/such/target' not found.");
    EXPECT_EQ(f.Target, "/old");
    dlg.Target()->setText(QString::fromStdString(dir.path.string()));
    dlg.OKClick();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(f.Target, dir.path.string());
}

TEST(FavoritesDialogs, PropertiesShowTheTargetAsAFileNameQuotedWhenItHoldsABlank) {
    Fixture t;
    Tree dir;
    const std::string spaced = (dir.path / "my icons.dll").string(), plain = (dir.path / "icons.dll").string();
    std::ofstream(spaced) << "MZ";
    std::ofstream(plain) << "MZ";
    // The target, what the field shows, and whether OK takes it as it opened.
    const std::tuple<std::string, std::string, bool> cases[] = {
        {spaced, "\"" + spaced + "\"", true}, {plain, plain, true},
        {"/no/such|target", "/no/such|target", false},  // not a file name: shown, refused on OK
    };
    for (const auto& [target, shown, accepted] : cases) {
        TFavPropsDlg dlg(nullptr, t.dialogs, AddFavorite(t.root, "f" + target, target));
        EXPECT_EQ(dlg.Target()->text().toStdString(), shown);
        dlg.OKClick();
        EXPECT_EQ(dlg.result() == QDialog::Accepted, accepted) << target;
    }
}

TEST(FavoritesDialogs, PropertiesTargetIsAFileNameEditOverTheProgramsFileDialog) {
    Fixture t;
    Tree dir;
    namespace fs = std::filesystem;
    const fs::path spaced = dir.path / "my icons.dll";
    std::ofstream(spaced) << "MZ";
    TFavorite& f = AddFavorite(t.root, "f", (dir.path / "old.dll").string());
    TFavPropsDlg dlg(nullptr, t.dialogs, f);
    TFilenameEdit* target = dlg.Target();
    EXPECT_EQ(target->objectName(), "txtTarget");
    EXPECT_TRUE(target->AcceptFiles());

    // The button, and Alt+Down in the field, open the program's own file dialog.
    t.desk.fileAnswer = spaced.string();
    dlg.BrowseClick();
    ASSERT_EQ(t.desk.fileDialogs.size(), 1u);
    EXPECT_EQ(t.desk.fileDialogs[0].Title, "Select target...");
    EXPECT_EQ(t.desk.fileDialogs[0].Filter, kSelectFileFilter);
    EXPECT_EQ(t.desk.fileDialogs[0].InitialDir, dir.path.string());
    EXPECT_EQ(target->text(), QString::fromStdString("\"" + spaced.string() + "\""));
    t.desk.fileAnswer.reset();
    QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Down, Qt::AltModifier);
    QApplication::sendEvent(target, &altDown);
    EXPECT_EQ(t.desk.fileDialogs.size(), 2u);
    EXPECT_EQ(target->text(), QString::fromStdString("\"" + spaced.string() + "\""));  // cancelled: kept
    dlg.OKClick();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(f.Target, spaced.string());  // without the quotes

    // A dropped folder, blanks and all, is a target as well.
    const fs::path folder = dir.path / "sub folder";
    fs::create_directories(folder);
    TFavPropsDlg again(nullptr, t.dialogs, f);
    again.Target()->DropUrls({QUrl::fromLocalFile(QString::fromStdString(folder.string()))});
    again.OKClick();
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_EQ(f.Target, folder.string());
}

TEST(FavoritesStore, AfterAWindowRunTheStoreMirrorsTheTree) {
    qtApp();
    Tree dir;
    const std::string file = (dir.path / "registry.sqlite3").string();
    if (hasApplication()) uninstallApplication();
    {
        TRegistryStore store(file);
        std::unique_ptr<TAppContext> context = InitializeApplication("/opt/glyphscope/glyphscope", store);
        Desk desk;
        {
            TKAVUMain w(*context, desk);
            TAppExceptionHandler handler(desk, nullptr, [] {});
            Scripted dialogs(*context, desk, handler);
            dialogs.folderNames = {"Icons", "Empty"};
            TAddFavoritesDlg add(&w, dialogs, true, "/usr/share/icons");
            add.actNewFolderExecute();
            add.actOKExecute();
            add.Tree()->setCurrentItem(add.Tree()->topLevelItem(0));
            add.actNewFolderExecute();
        }
        FinalizeApplication(std::move(context), TFinalizeMode::SaveState);
    }
    const std::string query = "sqlite3 -separator '|' '" + file +
                              "' \"SELECT path, name, data FROM reg_entries WHERE path LIKE '%Favorites%' UNION ALL "
                              "SELECT path, '', '' FROM reg_key_paths WHERE path LIKE '%Favorites%' ORDER BY 1, 2\"";
    FILE* pipe = popen(query.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    ASSERT_EQ(pclose(pipe), 0) << "sqlite3 is needed to read the store";
    const std::string key = "HKLM\\Software\\Veltrazone\\Veltrazone Toolchest\\Glyphscope\\Favorites";
    EXPECT_EQ(out, key + "||\n" + key + "\\Empty||\n" + key + "\\Icons||\n" + key + "\\Icons|/usr/share/icons|/usr/share/icons\n");
}

TEST(FavoritesDialogs, TheOpeningRoutinesReturnWhatTheUserConfirmed) {
    Fixture t;
    TFavoritesDialogs real(t.context, t.desk, t.handler);
    // Answers the modal dialog once it is up.
    auto answer = [](auto confirm) {
        QTimer::singleShot(0, [confirm] {
            QWidget* modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr);
            confirm(modal);
        });
    };
    answer([](QWidget* w) {
        auto* dlg = qobject_cast<TFolderNameDlg*>(w);
        dlg->Name()->setText("Mine");
        dlg->OKClick();
    });
    EXPECT_EQ(real.GetFolderName(nullptr, t.root), "Mine");
    answer([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(real.GetFolderName(nullptr, t.root), "");
    answer([](QWidget* w) { qobject_cast<TAddFavoritesDlg*>(w)->actOKExecute(); });
    EXPECT_TRUE(real.AddToFavorites(nullptr, false, "/x/readme.ico"));
    EXPECT_EQ(t.root.Favorites[0]->Name, "Readme");
}
