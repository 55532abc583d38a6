// The main window offscreen, with scripted desktop services: listings of real modules
// through the worker, the recent lists, the memory limit, Stop, closing while busy, the
// busy states and the application-level error handler.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QMimeData>
#include <QUrl>
#include <QHeaderView>
#include <QTreeView>
#include <QItemSelectionModel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "app/MainWindowProbe.h"
#include "app/ExtractMaterial.h"
#include "support/QtTestApp.h"
#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainBars.h"
#include "app/ui/MainJobRunner.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MenuImages.h"
#include "controls/ui/AnimatedImage.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MessageBoxes.h"
#include "framework/core/RegUtils.h"
#include "toolbar/ui/QtMenuLoop.h"

using namespace gs;
using namespace gstest;
using A = TMainAction;

namespace {

QApplication& qtApp() {
    QApplication& app = qtTestApp();
    if (!hasApplication()) installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));
    return app;
}

struct Box {
    std::string msg, details;
    int type;
};

struct FakeServices : IMainServices, IMessageBoxes {
    std::vector<Box> boxes;
    int memoryLoad = 10;
    int terminations = 0;
    std::vector<std::vector<std::string>> started;
    std::optional<std::string> folderAnswer, fileAnswer;

    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string&, std::uint8_t type, std::uint8_t,
                                   std::uint16_t, std::uint8_t, const std::string&) override {
        boxes.push_back({msg, "", type});
        return TQBMessageResult::mrOK;
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string&, std::uint8_t type,
                              std::uint8_t, const std::string&, bool) override {
        boxes.push_back({msg, details, type});
    }
    IMessageBoxes& Boxes() override { return *this; }
    std::optional<std::string> BrowseForFolder(QWidget*, const std::string&, const std::string&, int) override {
        return folderAnswer;
    }
    std::optional<std::string> OpenFileName(QWidget*, const TOpenDialogSpec&) override { return fileAnswer; }
    bool Start(const std::vector<std::string>& argv) override {
        started.push_back(argv);
        return true;
    }
    bool ProgramAvailable(const std::string&) override { return true; }
    int MemoryLoad() override { return memoryLoad; }
    void Terminate() override { ++terminations; }
};

struct Window {
    TRegistryStore store{":memory:"};
    TAppContext context{store};
    FakeServices services;
    std::unique_ptr<TKAVUMain> w;

    Window() {
        qtApp();
        w = std::make_unique<TKAVUMain>(context, services);
    }
    // Runs the event loop until the listing started by `select` has ended.
    template <class F>
    void listWith(F select) {
        QEventLoop loop;
        QObject::connect(w.get(), &TKAVUMain::ExtractionEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a bound for "it ends", not a measure
        w->Guard(select);
        if (w->ExtractionRunning()) loop.exec();
        QCoreApplication::processEvents();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        if (TMainWindowProbe(*w).Listing().Icons())
            for (const auto& d : *TMainWindowProbe(*w).Listing().Icons()) out.push_back(d->Name);
        return out;
    }
};

// A folder of `files` modules with `groups` icon groups each.
struct BigFolder : Tree {
    BigFolder(int files, int groups) {
        const TBytes module = peWithGroups(groups);
        for (int i = 0; i < files; ++i) put("m" + std::to_string(1000 + i) + ".dll", module);
    }
};

}  // namespace

TEST(TKAVUMain, ComponentsAreNamedAndTheCommandsRenderedIntoMenusAndToolbar) {
    Window t;
    for (const char* name : {"DockTop", "DockLeft", "DockRight", "DockBottom", "tbMenu", "tbMain", "pPleaseWait",
                             "anSavePleaseWait", "anPleaseWait", "lblFileName", "pDefault", "lvIcons", "splIcons",
                             "pPreview", "pClosePreview", "cmdClosePreview", "lbIconPreview", "pBottom", "pStop",
                             "cmdStop", "sbMain", "popIcons"})
        EXPECT_NE(t.w->findChild<QObject*>(name), nullptr) << name;
    const tb::TTBRootItem& bar = TMainWindowProbe(*t.w).Bars().MenuItems();
    std::vector<std::string> heads;
    for (int i = 0; i < bar.Count(); ++i) heads.push_back(bar.Items(i)->Caption());
    EXPECT_EQ(heads, (std::vector<std::string>{"&File", "&Edit", "&View", "&Icon", "&Favorites", "&Help"}));
    // The menu bar's own captions; the list popup keeps the command's.
    const tb::TTBCustomItem* rename = bar.Items(1)->Items(9);
    EXPECT_EQ(rename->Caption(), "Re&name");
    EXPECT_EQ(rename->ShortcutDisplayText(), "F2");
    const tb::TTBRootItem& popup = t.w->findChild<tb::TTBPopupMenu*>("popIcons")->Items();
    EXPECT_EQ(popup.Items(popup.Count() - 2)->Caption(), "Ren&ame");
    EXPECT_EQ(t.w->Action(A::actFileSelectDir)->shortcut(), QKeySequence("Ctrl+D"));
    EXPECT_EQ(t.w->Action(A::actViewReport)->shortcut(), QKeySequence("Alt+4"));
    EXPECT_FALSE(t.w->Action(A::actFileExtractIcons)->icon().isNull());
    EXPECT_EQ(t.w->windowTitle(), "Veltrazone Glyphscope");
}

TEST(TKAVUMain, AModuleIsListedGroupByGroupAsBaseNameAndCount) {
    Window t;
    Tree dir;
    // A path far beyond 260 characters, listed and shown whole.
    const std::string module =
        dir.put(std::string(200, 'd') + "/" + std::string(200, 'e') + "/lib.x.dll", peWithGroups(3)).string();
    t.listWith([&] { t.w->SelectFile(module); });
    EXPECT_EQ(t.names(), (std::vector<std::string>{"lib_1", "lib_2", "lib_3"}));
    EXPECT_EQ(TMainWindowProbe(*t.w).PanelText(1), "Icons: 3");
    EXPECT_EQ(TMainWindowProbe(*t.w).PanelText(3).toStdString(), "Selected File: " + module);
    EXPECT_EQ(TMainWindowProbe(*t.w).PanelText(0), "");
    EXPECT_EQ(t.w->ListView().ItemCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_FALSE(t.w->ListView().Pixmaps().Large(*t.w->ListView().DefAt(row)).isNull()) << row;
        EXPECT_FALSE(t.w->ListView().Pixmaps().Small(*t.w->ListView().DefAt(row)).isNull()) << row;
    }
    EXPECT_EQ(TMainWindowProbe(*t.w).MRUFiles().Items(), std::vector<std::string>{module});
    EXPECT_TRUE(t.w->Idle());
    EXPECT_TRUE(t.services.boxes.empty());
    TIconListView& list = t.w->ListView();
    list.Selection().select(list.IconView()->model()->index(0, 0), QItemSelectionModel::Select);
    t.w->Execute(A::actEditInvert);
    EXPECT_EQ(list.SelectedCount(), 2);
    t.w->Execute(A::actEditSelectAll);
    EXPECT_EQ(list.SelectedCount(), 3);
}

TEST(TKAVUMain, AFolderNumbersItsIconsAcrossFilesAndTheSameFolderIsRecentOnce) {
    Window t;
    Tree dir;
    dir.put("a.dll", peWithGroups(5));
    dir.put("b.dll", peWithGroups(2, 9));
    const std::string folder = dir.path.string();
    t.listWith([&] { t.w->SelectFolder(folder); });
    EXPECT_EQ(t.names(), (std::vector<std::string>{"a_1", "a_2", "a_3", "a_4", "a_5", "b_6", "b_7"}));
    Tree other;
    t.listWith([&] { t.w->SelectFolder(other.path.string()); });
    t.listWith([&] { t.w->SelectFolder(folder); });
    EXPECT_EQ(TMainWindowProbe(*t.w).MRUFolders().Items(), (std::vector<std::string>{folder, other.path.string()}));
    EXPECT_EQ(TMainWindowProbe(*t.w).PanelText(1), "Icons: 7");
}

TEST(TKAVUMain, AVanishedRecentPathIsDroppedWithAWarningAndTheListingStays) {
    Window t;
    Tree dir;
    const std::string kept = dir.dir("kept").string();
    dir.put("kept/k.ico", oneIcon());
    const std::string gone = dir.dir("gone").string();
    const std::string goneFile = dir.put("gone.ico", oneIcon()).string();
    t.listWith([&] { t.w->SelectFolder(gone); });
    t.listWith([&] { t.w->SelectFile(goneFile); });
    t.listWith([&] { t.w->SelectFolder(kept); });
    std::filesystem::remove_all(gone);
    std::filesystem::remove(goneFile);
    t.w->Guard([&] { t.w->MRUFoldersClick(gone); });
    t.w->Guard([&] { t.w->MRUFilesClick(goneFile); });
    ASSERT_EQ(t.services.boxes.size(), 2u);
    EXPECT_EQ(t.services.boxes[0].msg, "Folder '" + gone + "' not found.");
    EXPECT_EQ(t.services.boxes[1].msg, "File '" + goneFile + "' not found.");
    EXPECT_EQ(t.services.boxes[0].type, int(TQBMessageType::mtWarning));
    EXPECT_EQ(TMainWindowProbe(*t.w).MRUFolders().Items(), std::vector<std::string>{kept});
    EXPECT_TRUE(TMainWindowProbe(*t.w).MRUFiles().Items().empty());
    EXPECT_EQ(TMainWindowProbe(*t.w).Listing().SelectedFolder(), kept);
    EXPECT_EQ(t.names(), std::vector<std::string>{"k_1"});
    EXPECT_EQ(t.services.terminations, 0);
}

// Services whose file and folder dialogs are the desktop's own, answered as a user would:
// each dialog notes the folder it opened in, then takes the path typed into its name box
// (nothing typed: cancelled).
struct DesktopDialogs : FakeServices {
    TDesktopServices desktop{*this};
    std::vector<std::string> openedIn;
    std::string typed;

    std::optional<std::string> BrowseForFolder(QWidget* owner, const std::string& caption, const std::string& start,
                                               int help) override {
        answerNextDialog();
        return desktop.BrowseForFolder(owner, caption, start, help);
    }
    std::optional<std::string> OpenFileName(QWidget* owner, const TOpenDialogSpec& spec) override {
        answerNextDialog();
        return desktop.OpenFileName(owner, spec);
    }
    void answerNextDialog() {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [this, poll] {
            QFileDialog* dialog = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) dialog = d;
            if (!dialog) return;
            poll->deleteLater();
            poll->stop();
            openedIn.push_back(dialog->directory().absolutePath().toStdString());
            QDialog& asked = *dialog;
            if (!typed.empty()) {
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(typed));
                asked.accept();  // as its OK button would
            }
            if (asked.isVisible()) asked.done(QDialog::Rejected);
        });
        poll->start(10);
    }
};

// Select File and Select Folder open where a dialog was used last, never in the options'
// default folder (where saved icons go), and a path typed into a dialog's name box makes its
// folder the last one used. Select Folder opens at the listed folder while one is listed.
TEST(TKAVUMain, SelectFileAndFolderOpenWhereADialogWasUsedLastAlsoAfterATypedPath) {
    qtApp();
    Tree dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir / "settings"));
    QSettings(QSettings::UserScope, "QtProject").remove("FileDialog/lastVisited");
    const std::string a = dir.dir("a").string(), b = dir.dir("b").string(), c = dir.dir("c").string();
    dir.put("a/one.ico", oneIcon());
    dir.put("b/two.ico", oneIcon());
    dir.put("c/three.ico", oneIcon());
    TRegistryStore store{":memory:"};
    TAppContext context{store};
    context.Options.DefaultFolder = dir.dir("saved").string();
    DesktopDialogs services;
    TKAVUMain w(context, services);
    auto list = [&](const std::function<void()>& select) {
        QEventLoop loop;
        QObject::connect(&w, &TKAVUMain::ExtractionEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a bound for "it ends", not a measure
        w.Guard(select);
        if (w.ExtractionRunning()) loop.exec();
    };
    auto run = [&](A command, const std::string& typed) {
        services.typed = typed;
        list([&] { w.Execute(command); });
    };
    run(A::actFileSelectFile, a + "/one.ico");
    ASSERT_EQ(services.openedIn.size(), 1u);
    EXPECT_NE(services.openedIn[0], context.Options.DefaultFolder);
    run(A::actFileSelectFile, b + "/two.ico");
    EXPECT_EQ(TMainWindowProbe(w).Listing().SelectedFile(), b + "/two.ico");
    run(A::actFileSelectDir, c);  // a file is listed
    EXPECT_EQ(TMainWindowProbe(w).Listing().SelectedFolder(), c);
    list([&] { w.MRUFoldersClick(a); });  // listed without a dialog
    run(A::actFileSelectFile, "");
    run(A::actFileSelectDir, "");
    EXPECT_EQ(services.openedIn, (std::vector<std::string>{services.openedIn[0], a, b, c, a}));
    EXPECT_TRUE(services.boxes.empty()) << services.boxes.front().msg;
}

TEST(TKAVUMain, DropsListTheFirstNameAndTheListsAreStoredWhenTheWindowGoes) {
    Window t;
    Tree dir;
    const std::string folder = dir.dir("f").string();
    dir.put("f/x.ico", oneIcon());
    const std::string file = dir.put("y.ico", oneIcon()).string();
    t.listWith([&] { t.w->DropFiles({folder, file}); });
    EXPECT_EQ(TMainWindowProbe(*t.w).Listing().SelectedFolder(), folder);
    t.listWith([&] { t.w->DropFiles({file, folder}); });
    EXPECT_EQ(TMainWindowProbe(*t.w).Listing().SelectedFile(), file);
    EXPECT_EQ(t.names(), std::vector<std::string>{"y_1"});
    t.w.reset();
    const std::string storage = std::string(kRegAppKey) + "\\Storage\\";
    EXPECT_EQ(RegGetValueNames(t.store, kAppRegRoot, storage + "MRUFolders"), std::vector<std::string>{folder});
    EXPECT_EQ(RegGetValueNames(t.store, kAppRegRoot, storage + "MRUFiles"), std::vector<std::string>{file});
    TKAVUMain again(t.context, t.services);
    EXPECT_EQ(TMainWindowProbe(again).MRUFiles().Items(), std::vector<std::string>{file});
    EXPECT_TRUE(TMainWindowProbe(again).ActionStates()[std::size_t(A::actFileRecentFiles)].Enabled);
}

TEST(TKAVUMain, AMemoryLoadAtTheLimitStopsAtOnceAndNamesTheConfiguredPercentage) {
    Window t;
    t.context.Options.MemStop = true;
    t.context.Options.MemStopPerc = 60;
    t.services.memoryLoad = 60;
    BigFolder dir(3, 4);
    t.listWith([&] { t.w->SelectFolder(dir.path.string()); });
    EXPECT_TRUE(t.names().empty());  // the refused definition is not kept
    EXPECT_EQ(t.w->ListView().ItemCount(), 0);
    EXPECT_TRUE(TMainWindowProbe(*t.w).Listing().MemoryLimitReached());
    ASSERT_EQ(t.services.boxes.size(), 1u);
    EXPECT_EQ(t.services.boxes[0].msg, "Maximum memory load reached. Extraction stopped.");
    EXPECT_EQ(t.services.boxes[0].details,
              "Your system total memory load reached 60%. The extraction process stopped to prevent possible memory "
              "crashes.");
    t.services.memoryLoad = 59;
    t.listWith([&] { t.w->Execute(A::actFileExtractIcons); });
    EXPECT_EQ(t.names().size(), 12u);
    EXPECT_FALSE(TMainWindowProbe(*t.w).Listing().MemoryLimitReached());
}

TEST(TKAVUMain, StopEndsAScanAndClosingWhileBusyIsRefused) {
    Window t;
    BigFolder dir(300, 10);
    t.w->Guard([&] { t.w->SelectFolder(dir.path.string()); });
    ASSERT_TRUE(t.w->ExtractionRunning());
    while (t.w->IconCount() < 5) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_FALSE(t.w->close());
    ASSERT_EQ(t.services.boxes.size(), 1u);
    EXPECT_EQ(t.services.boxes[0].msg, "Please stop the extraction process before closing.");
    EXPECT_FALSE(t.w->Idle());
    EXPECT_FALSE(TMainWindowProbe(*t.w).ActionStates()[std::size_t(A::actFileSelectDir)].Enabled);
    t.listWith([&] { t.w->cmdStopClick(); EXPECT_EQ(TMainWindowProbe(*t.w).PanelText(0), "Stopping. Please wait..."); });
    EXPECT_TRUE(t.w->Idle());
    EXPECT_EQ(TMainWindowProbe(*t.w).PanelText(0), "Extraction stopped by the user.");
    EXPECT_LT(t.w->IconCount(), 3000);
    EXPECT_EQ(t.w->ListView().ItemCount(), t.w->IconCount());
    EXPECT_TRUE(t.w->close());
}

TEST(TKAVUMain, ADropIsTakenOnlyWhileIdle) {
    Window t;
    BigFolder dir(50, 10);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.path.string()))});
    auto dragAccepted = [&] {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QCoreApplication::sendEvent(t.w.get(), &enter);
        return enter.isAccepted();
    };
    EXPECT_TRUE(dragAccepted());
    t.listWith([&] {
        t.w->SelectFolder(dir.path.string());
        EXPECT_FALSE(dragAccepted());  // a drop now would mix two listings
        t.w->cmdStopClick();
    });
    EXPECT_TRUE(dragAccepted());
}

TEST(TKAVUMain, AWindowClosedUnderARunningWorkerEnds) {
    Window t;
    BigFolder dir(100, 10);
    t.w->Guard([&] { t.w->SelectFolder(dir.path.string()); });
    ASSERT_TRUE(t.w->ExtractionRunning());
    QCoreApplication::processEvents();
    t.w.reset();  // the worker waits on the window's thread, which no longer answers
    SUCCEED();
}

TEST(TKAVUMain, ASaveOfMoreThanFiftyMakesTheWindowBusyAndABusySpellShowsTheHiddenBottom) {
    Window t;
    BigFolder dir(6, 10);
    t.w->Execute(A::actViewStatusBar);
    auto* bottom = t.w->findChild<QWidget*>("pBottom");
    ASSERT_TRUE(bottom->isHidden());
    t.listWith([&] {
        t.w->SelectFolder(dir.path.string());
        EXPECT_FALSE(bottom->isHidden());
        EXPECT_FALSE(t.w->findChild<QWidget*>("pStop")->isHidden());
    });
    EXPECT_TRUE(bottom->isHidden());
    TIconListView& list = t.w->ListView();
    auto select = [&](int n) {
        list.Selection().clearSelection();
        for (int i = 0; i < n; ++i)
            list.Selection().select(list.IconView()->model()->index(i, 0), QItemSelectionModel::Select);
    };
    select(50);
    t.w->BeginSaveBusy(list.SelectedCount());
    EXPECT_EQ(t.w->Busy(), TBusyState::Saving);  // its commands off, without the busy page
    EXPECT_TRUE(bottom->isHidden());
    EXPECT_TRUE(t.w->findChild<QWidget*>("anSavePleaseWait")->isHidden());
    t.w->EndSaveBusy();
    EXPECT_TRUE(t.w->Idle());
    select(51);
    t.w->BeginSaveBusy(list.SelectedCount());
    EXPECT_EQ(t.w->Busy(), TBusyState::Saving);
    EXPECT_FALSE(t.w->findChild<QWidget*>("anSavePleaseWait")->isHidden());
    EXPECT_FALSE(bottom->isHidden());
    t.w->EndExtractionBusy();  // not the spell that runs: it goes on
    EXPECT_EQ(t.w->Busy(), TBusyState::Saving);
    EXPECT_FALSE(TMainWindowProbe(*t.w).ActionStates()[std::size_t(A::actIconSaveIcons)].Enabled);
    EXPECT_TRUE(TMainWindowProbe(*t.w).ActionStates()[std::size_t(A::actArrangeByName)].Enabled);
    tb::SetApplicationHint("a hint");
    EXPECT_EQ(TMainWindowProbe(*t.w).PanelText(0), "Saving. Please wait...");
    t.w->EndSaveBusy();
    EXPECT_TRUE(t.w->Idle());
    EXPECT_TRUE(bottom->isHidden());
    tb::SetApplicationHint("a hint");
    EXPECT_EQ(TMainWindowProbe(*t.w).PanelText(0), "a hint");
    EXPECT_TRUE(TMainWindowProbe(*t.w).ActionStates()[std::size_t(A::actIconSaveIcons)].Enabled);
}

TEST(TKAVUMain, AFileThatFailsIsShownWithItsErrorWhenTheScanEnds) {
    Window t;
    Tree dir;
    dir.put("a.ico", oneIcon());
    const std::string bad = dir.put("b.dll", truncatedModule()).string();
    t.listWith([&] { t.w->SelectFolder(dir.path.string()); });
    EXPECT_EQ(t.names(), std::vector<std::string>{"a_1"});
    ASSERT_EQ(t.services.boxes.size(), 1u);
    EXPECT_EQ(t.services.boxes[0].msg, "The icons of '" + bad + "' could not be read.");
    EXPECT_NE(t.services.boxes[0].details.find(bad + ": "), std::string::npos);
    EXPECT_EQ(t.services.boxes[0].type, int(TQBMessageType::mtWarning));
    EXPECT_EQ(t.services.terminations, 0);
}

// A run that breaks off outside any one file (memory exhausted, an error of the walk) says so
// and why when the window is idle again, after the files that failed before it; the icons
// listed so far stay.
TEST(TKAVUMain, ARunThatBreaksOffShowsWhyWithTheIconsListedSoFar) {
    struct BreakingScan final : TExtractFromFolderThread {
        BreakingScan(std::filesystem::path path, bool outOfMemory)
            : TExtractFromFolderThread(std::move(path), settings()), outOfMemory_(outOfMemory) {}
        void Run() override {
            TExtractFromFolderThread::Run();
            if (outOfMemory_) throw std::bad_alloc();
            throw std::runtime_error("the disk went away");
        }
        bool outOfMemory_;
    };
    struct Row {
        bool outOfMemory, damagedFile;
        std::string reason;
    };
    for (const Row& row : {Row{false, false, "the disk went away"}, Row{true, true, "Not enough memory to go on listing icons."}}) {
        SCOPED_TRACE(row.reason);
        Window t;
        Tree dir;
        dir.put("a.ico", oneIcon(1));
        dir.put("b.ico", oneIcon(2));
        const std::string bad = row.damagedFile ? dir.put("c.dll", truncatedModule()).string() : std::string();
        auto* runner = t.w->findChild<TMainJobRunner*>();
        ASSERT_NE(runner, nullptr);
        t.listWith([&] { ASSERT_TRUE(runner->Start(std::make_unique<BreakingScan>(dir.path, row.outOfMemory))); });
        EXPECT_EQ(t.names(), (std::vector<std::string>{"a_1", "b_2"}));
        EXPECT_TRUE(t.w->Idle());
        ASSERT_EQ(t.services.boxes.size(), 1u);
        EXPECT_EQ(t.services.boxes[0].msg, "The extraction stopped before its end.");
        EXPECT_EQ(t.services.boxes[0].type, int(TQBMessageType::mtWarning));
        const std::string& details = t.services.boxes[0].details;
        EXPECT_EQ(details.substr(0, row.reason.size()), row.reason) << details;
        EXPECT_EQ(details.find(bad + ": ") != std::string::npos, row.damagedFile) << details;
        EXPECT_EQ(t.services.terminations, 0);
    }
    // A run that ends as it should says nothing.
    Window t;
    Tree dir;
    dir.put("a.ico", oneIcon(1));
    t.listWith([&] { t.w->SelectFolder(dir.path.string()); });
    EXPECT_EQ(t.names(), std::vector<std::string>{"a_1"});
    EXPECT_TRUE(t.services.boxes.empty());
}

TEST(TKAVUMain, TheErrorHandlerShowsEachSeverityAndEndsOnFatalOnes) {
    struct Case {
        std::function<void()> raise;
        std::string msg, details;
        int type;
        int terminations;
    };
    const Case cases[] = {
        {[] { throw EQBException("fatal", "why", TQBSeverity::Critical); }, "fatal", "why", 0, 1},
        {[] { throw EQBException("careful", "d", TQBSeverity::Warning); }, "careful", "d", 1, 0},
        {[] { throw EQBException("note", "", TQBSeverity::Information); }, "note", "", 2, 0},
        {[] { throw std::runtime_error("disk on fire"); }, "Unexpected error.", "disk on fire", 0, 1},
        {[] { throw 42; }, "Unexpected error.", "", 0, 1},
    };
    for (const Case& c : cases) {
        Window t;
        t.w->Guard(c.raise);
        ASSERT_EQ(t.services.boxes.size(), 1u) << c.msg;
        EXPECT_EQ(t.services.boxes[0].msg, c.msg);
        EXPECT_EQ(t.services.boxes[0].details, c.details);
        EXPECT_EQ(t.services.boxes[0].type, c.type);
        EXPECT_EQ(t.services.terminations, c.terminations) << c.msg;
    }
    Window t;
    t.w->Guard([] { throw EQBException("beyond", "", TQBSeverity(3)); });
    EXPECT_TRUE(t.services.boxes.empty());
    EXPECT_EQ(t.services.terminations, 0);
}

TEST(TKAVUMain, SimpleCommandsReachTheDesktopThroughTheServices) {
    Window t;
    Tree dir;
    dir.put("z.ico", oneIcon());
    t.services.folderAnswer = dir.path.string() + "/";
    t.listWith([&] { t.w->Action(A::actFileSelectDir)->trigger(); });
    EXPECT_EQ(TMainWindowProbe(*t.w).Listing().SelectedFolder(), dir.path.string());
    t.w->Action(A::actHelpOnTheWeb)->trigger();
    t.w->Action(A::actHelpSendEmail)->trigger();
    ASSERT_EQ(t.services.started.size(), 2u);
    EXPECT_EQ(t.services.started[0], (std::vector<std::string>{"xdg-open", kWebSite}));
    EXPECT_EQ(t.services.started[1].front(), "xdg-email");
    EXPECT_EQ(t.services.started[1].back(), kSupportAddress);
    t.w->show();
    HandleFormKeyUp(t.services, Qt::Key_F1, *t.w, application());  // no help file: nothing opens
    EXPECT_EQ(t.services.started.size(), 2u);
    HandleFormKeyUp(t.services, Qt::Key_Escape, *t.w, application());
    EXPECT_FALSE(t.w->isVisible());
    t.w->Action(A::actViewReport)->trigger();
    EXPECT_EQ(t.w->ListView().ViewStyle(), TViewStyle::vsReport);
    t.w->Action(A::actArrangeByName)->trigger();
    EXPECT_FALSE(TMainWindowProbe(*t.w).SortAscending());
    t.w->Action(A::actArrangeByFile)->trigger();
    EXPECT_EQ(TMainWindowProbe(*t.w).SortColumn(), 1);
    EXPECT_TRUE(TMainWindowProbe(*t.w).SortAscending());
    emit t.w->ListView().ReportView()->header()->sectionClicked(0);
    EXPECT_EQ(TMainWindowProbe(*t.w).SortColumn(), 0);
    EXPECT_EQ(t.w->ListView().Model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Icon (ASC)");
    EXPECT_TRUE(t.services.boxes.empty());
}

TEST(TKAVUMain, ANamedStartListsAtTheFirstShowOnly) {
    qtApp();
    Tree dir;
    const std::string file = dir.put("start.ico", oneIcon()).string();
    TRegistryStore store(":memory:");
    TAppContext context(store);
    FakeServices services;
    TCommandLine start;
    start.Mode = TRunMode::rmFile;
    start.StartPath = file;
    TKAVUMain w(context, services, start);
    QEventLoop loop;
    QObject::connect(&w, &TKAVUMain::ExtractionEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    w.show();
    loop.exec();
    EXPECT_EQ(TMainWindowProbe(w).Listing().SelectedFile(), file);
    EXPECT_EQ(w.IconCount(), 1);
    EXPECT_FALSE(TMainWindowProbe(w).FirstShowPending());
    w.hide();
    w.ListView().Clear();
    w.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.ExtractionRunning());
    EXPECT_EQ(w.ListView().ItemCount(), 0);
}

// What the settings store said before the window came up (here: a folder where the store
// should be) and what could not be read are shown in one warning once the window is up,
// each a sentence; showing the window again tells nothing twice.
TEST(TKAVUMain, TheSettingsStoresTroublesAreShownInOneBoxOnceTheWindowIsUp) {
    qtApp();
    Tree dir;
    TRegistryStore store(dir.path.string());
    testing::internal::CaptureStderr();
    store.begin(TRegistryStore::Mode::Read).Commit();
    testing::internal::GetCapturedStderr();
    TAppContext context(store);
    context.Options.ShowTips = false;
    context.StoreNotices = {"the options could not be read; x"};
    FakeServices services;
    TKAVUMain w(context, services);
    w.show();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!services.boxes.empty()) loop.quit();
    });
    poll.start(10);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a bound for "it comes", not a measure
    loop.exec();
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].msg, "The options could not be read; x.\n\nThe settings store " + dir.path.string() +
                                         " cannot be used (it is not a regular file); settings of this run will "
                                         "not be kept.");
    EXPECT_EQ(services.boxes[0].type, int(TQBMessageType::mtWarning));
    w.hide();
    w.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(services.boxes.size(), 1u);
}

TEST(TKAVUMain, ThePreviewShowsEachImageOfOneSelectedIconSmallestFirst) {
    Window t;
    Tree dir;
    const std::string module = dir.put("p.dll", peWithGroups(2)).string();
    t.listWith([&] { t.w->SelectFile(module); });
    auto* preview = t.w->findChild<QListWidget*>("lbIconPreview");
    auto lines = [&] {
        t.w->alMainUpdate();
        QStringList out;
        for (int i = 0; i < preview->count(); ++i) out << preview->item(i)->text();
        return out;
    };
    TIconListView& list = t.w->ListView();
    QAbstractItemModel* model = list.IconView()->model();
    EXPECT_EQ(lines(), QStringList{"No icon selected"});
    list.Selection().select(model->index(0, 0), QItemSelectionModel::Select);
    EXPECT_EQ(lines(), (QStringList{"16x16x16", "32x32x256"}));
    list.Selection().select(model->index(1, 0), QItemSelectionModel::Select);
    EXPECT_EQ(lines(), QStringList{"Multiple icons selected"});
    std::filesystem::remove(module);  // the second icon was never read whole
    list.Selection().clearSelection();
    list.Selection().select(model->index(1, 0), QItemSelectionModel::Select);
    t.w->Guard([&] { t.w->alMainUpdate(); });
    ASSERT_EQ(t.services.boxes.size(), 1u);
    EXPECT_EQ(t.services.boxes[0].msg, "Unable to preview selected icon.");
    EXPECT_EQ(t.services.boxes[0].type, int(TQBMessageType::mtWarning));
}

TEST(TKAVUMain, TheOptionsGiveTheListItsColoursFontAndTheRecentListsTheirLimit) {
    qtApp();
    TRegistryStore store(":memory:");
    TAppContext context(store);
    context.Options.ListWindowsColors = false;
    context.Options.ListBackColor = 0x0000FF;  // stored as 0x00BBGGRR: red
    context.Options.ListTextColor = 0x00FF00;
    context.Options.ListFontSize = 3;
    context.Options.MRULimit = 2;
    FakeServices services;
    TKAVUMain w(context, services);
    const QPalette pal = w.ListView().IconView()->palette();
    EXPECT_EQ(pal.color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(pal.color(QPalette::Text), QColor(0, 255, 0));
    EXPECT_EQ(w.ListView().IconView()->font().pointSize(), 12);
    for (const char* p : {"/a", "/b", "/c"}) TMainWindowProbe(w).MRUFolders().AddToTop(p);
    EXPECT_EQ(TMainWindowProbe(w).MRUFolders().Items(), (std::vector<std::string>{"/c", "/b"}));
    context.Options.MRULimit = 0;  // clamped where it is used
    w.ApplyOptions();
    EXPECT_EQ(TMainWindowProbe(w).MRUFolders().Items(), std::vector<std::string>{"/c"});

    // A face that is not installed: the list is drawn in the one the desktop falls back to,
    // and the options keep the chosen name for a machine that has it.
    context.Options.ListFontName = "A Family Nobody Has";
    w.ApplyOptions();
    const QString inUse = QFontInfo(QFont("A Family Nobody Has")).family();
    ASSERT_TRUE(QFontDatabase::families().contains(inUse)) << inUse.toStdString();
    EXPECT_EQ(w.ListView().IconView()->font().family(), inUse);
    EXPECT_EQ(context.Options.ListFontName, "A Family Nobody Has");
    context.Options.ListFontName = inUse.toUpper().toStdString();  // an installed one in its listed spelling
    w.ApplyOptions();
    EXPECT_EQ(w.ListView().IconView()->font().family(), inUse);
    EXPECT_EQ(context.Options.ListFontName, inUse.toUpper().toStdString());
}

TEST(TIconListModel, RowsArriveInBatchesAndAClearDropsTheQueue) {
    qtApp();
    TListPixmaps pixmaps;
    TIconListModel model(pixmaps);
    int inserts = 0;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&] { ++inserts; });
    std::vector<std::unique_ptr<TIconDef>> defs;
    for (int i = 0; i < 500; ++i) {
        defs.push_back(std::make_unique<TIconDef>());
        defs.back()->Name = "n" + std::to_string(i);
        model.Append(defs.back().get());
    }
    EXPECT_EQ(model.rowCount(), 0);  // queued, not yet laid out
    EXPECT_EQ(model.Count(), 500);
    model.Flush();
    EXPECT_EQ(inserts, 1);
    EXPECT_EQ(model.rowCount(), 500);
    EXPECT_EQ(model.index(499, 0).data().toString(), "n499");
    model.Append(defs.front().get());
    model.Clear();
    model.Flush();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(inserts, 1);
}

TEST(TKAVUMain, HelpCommandsOpenTheAboutAndTipWindows) {
    Window t;
    std::string opened;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->objectName().toStdString() + " " + modal->windowTitle().toStdString();
            modal->close();
        }
    });
    t.w->Execute(A::actHelpAbout);
    EXPECT_EQ(opened, "AboutForm About Veltrazone Glyphscope...");
    EXPECT_TRUE(t.services.boxes.empty());

    // The first activation asks for the tips; without a tip file nothing shows and they go off.
    t.context.Options.ShowTips = true;
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(t.w.get(), &activate);
    QCoreApplication::processEvents();
    EXPECT_FALSE(t.context.Options.ShowTips);
    EXPECT_TRUE(t.services.boxes.empty());

    // The program's tip file does not exist here: the command warns and turns the tips off.
    t.context.Options.ShowTips = true;
    t.w->Execute(A::actHelpTipOfTheDay);
    ASSERT_EQ(t.services.boxes.size(), 1u);
    EXPECT_EQ(t.services.boxes[0].type, int(TQBMessageType::mtWarning));
    EXPECT_FALSE(t.context.Options.ShowTips);
    const TQBApplication& app = application();
    EXPECT_FALSE(RegReadBool(t.store, app.RegRoot, app.RegAppKey + "\\" + TKAVUOptions::kOptionsSubkey, "ShowTips", true));
}

// The window's two busy animations are strips of square frames side by side, so the animated
// image counts their frames from their shape alone.
TEST(TKAVUMain, ThePleaseWaitStripsAreCountedAsTheirFrames) {
    qtApp();
    const struct {
        QImage strip;
        int frames;
    } strips[] = {{PleaseWaitStrip(), kPleaseWaitFrames}, {SavePleaseWaitStrip(), kSavePleaseWaitFrames}};
    for (const auto& s : strips) {
        EXPECT_EQ(s.strip.size(), QSize(kAnimationFrameSize * s.frames, kAnimationFrameSize));
        TAnimatedImage image;
        image.SetGlyph(s.strip);
        EXPECT_EQ(image.NumGlyphs(), s.frames);
    }
}
