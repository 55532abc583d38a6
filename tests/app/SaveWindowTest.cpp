// The window's save and share commands offscreen, with scripted desktop answers: the saving
// page above fifty icons only, the list's commands off during any save, the clipboard's
// bitmap and formats, the image format without asking, and the editor.
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListView>
#include <QMimeData>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>

#include <deque>
#include <functional>

#include "support/QtTestApp.h"
#include "app/SaveMaterial.h"
#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "app/ui/SelectFormatDlg.h"
#include "platform/PrivateTemp.h"
#include "support/DialogFrame.h"

using namespace gs;
using namespace gstest;
using A = TMainAction;

namespace {

struct Box {
    std::string msg;
    int type;
    bool idle, busyPage, removeEnabled;  // the window while the box is up
};

struct ScriptedDesktop : IMainServices, IMessageBoxes {
    TKAVUMain* window = nullptr;
    std::vector<Box> boxes;
    std::deque<TQBMessageResult> answers;
    std::optional<TBatchFormat> format;
    int formatAsked = 0;
    std::vector<std::vector<std::string>> started;
    bool startWorks = true;
    std::function<void()> onQuestion;  // what the user does while a question is up

    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string&, std::uint8_t type, std::uint8_t,
                                   std::uint16_t, std::uint8_t, const std::string&) override {
        // Any save makes the window busy; the saving page shows only for many icons.
        const bool page = window->findChild<QStackedWidget*>("pClient")->currentWidget()->objectName() == "pPleaseWait";
        boxes.push_back({msg, type, window->Idle(), page && window->Busy() == TBusyState::Saving,
                         window->Action(A::actEditRemove)->isEnabled()});
        if (type == int(TQBMessageType::mtQuestion) && onQuestion) onQuestion();
        if (type != int(TQBMessageType::mtQuestion) || answers.empty()) return TQBMessageResult::mrOK;
        const TQBMessageResult next = answers.front();
        answers.pop_front();
        return next;
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string&, const std::string&, std::uint8_t type,
                              std::uint8_t, const std::string&, bool) override {
        boxes.push_back({msg, type, true, false, false});
    }
    IMessageBoxes& Boxes() override { return *this; }
    std::optional<std::string> BrowseForFolder(QWidget*, const std::string&, const std::string&, int) override { return {}; }
    std::optional<std::string> OpenFileName(QWidget*, const TOpenDialogSpec&) override { return {}; }
    std::optional<TBatchFormat> AskImageFormat(QWidget*) override {
        ++formatAsked;
        return format;
    }
    bool Start(const std::vector<std::string>& argv) override {
        started.push_back(argv);
        return startWorks;
    }
    bool ProgramAvailable(const std::string&) override { return true; }
    int MemoryLoad() override { return 0; }
    void Terminate() override {}
};

struct Window : Tree {
    TRegistryStore store{":memory:"};
    TAppContext context{store};
    ScriptedDesktop desktop;
    std::unique_ptr<TKAVUMain> w;
    std::filesystem::path out = dir("out");

    Window() {
        qtTestApp();
        if (!hasApplication()) installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));
        context.Options.DefaultFolder = out.string();
        w = std::make_unique<TKAVUMain>(context, desktop);
        desktop.window = w.get();
    }
    void list(const std::filesystem::path& source) {
        QEventLoop loop;
        QObject::connect(w.get(), &TKAVUMain::ExtractionEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a bound for "it ends", not a measure
        w->Guard([&] {
            if (std::filesystem::is_directory(source)) w->SelectFolder(source.string());
            else w->SelectFile(source.string());
        });
        if (w->ExtractionRunning()) loop.exec();
        QCoreApplication::processEvents();
        w->ListView().Model().Flush();
    }
    void select(int n) {
        TIconListView& lv = w->ListView();
        lv.Selection().clearSelection();
        for (int i = 0; i < n; ++i) lv.Selection().select(lv.IconView()->model()->index(i, 0), QItemSelectionModel::Select);
        QCoreApplication::processEvents();  // the window's states follow the selection now
    }
    // As the menu runs it: only when enabled, errors to the window's handler; a save it
    // starts runs on a worker, and is waited for.
    void run(A id) {
        w->Guard([&] { w->Execute(id); });
        QElapsedTimer bound;  // for "it ends", not a measure
        bound.start();
        while (!w->Idle() && bound.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        ASSERT_TRUE(w->Idle());
    }
    std::size_t written() const {
        return std::size_t(std::distance(std::filesystem::directory_iterator(out), std::filesystem::directory_iterator()));
    }
};

}  // namespace

TEST(SaveWindow, FiftyOneIconsShowTheSavingPageFiftyDoNotAndTheListStaysLockedEitherWay) {
    Window t;
    const auto src = t.dir("src");
    for (int i = 0; i < 6; ++i) writeFile((src / ("m" + std::to_string(i) + ".dll")).string(), peWithGroups(10, unsigned(i)));
    t.list(src);
    for (int n : {51, 50}) {
        t.desktop.boxes.clear();
        std::filesystem::remove_all(t.out);
        std::filesystem::create_directory(t.out);
        t.select(n);
        t.run(A::actIconSaveIcons);
        ASSERT_EQ(t.desktop.boxes.size(), 1u);
        const Box& result = t.desktop.boxes[0];
        EXPECT_EQ(result.msg, std::to_string(n) + " icon(s) saved.");
        EXPECT_EQ(result.busyPage, n > 50) << n;
        EXPECT_FALSE(result.idle) << n;
        EXPECT_FALSE(result.removeEnabled) << n;
        EXPECT_TRUE(t.w->Idle());
        EXPECT_EQ(t.w->findChild<QStackedWidget*>("pClient")->currentWidget()->objectName(), "pDefault");
    }
    // Every file exists now: Yes, then Cancel, reported through the window's handler.
    t.desktop.boxes.clear();
    t.desktop.answers = {TQBMessageResult::mrYes, TQBMessageResult::mrCancel};
    t.run(A::actIconSaveIcons);
    ASSERT_EQ(t.desktop.boxes.size(), 3u);
    EXPECT_EQ(t.desktop.boxes[2].msg, "Operation cancelled by user. Saved 1 icon(s).");
    EXPECT_TRUE(t.w->Idle());
    EXPECT_EQ(t.written(), 50u);
}

TEST(SaveWindow, StopOnTheSavingPageEndsTheSaveAndTheWindowSaysHowManyWereSaved) {
    Window t;
    const auto src = t.dir("src");
    for (int i = 0; i < 6; ++i) writeFile((src / ("m" + std::to_string(i) + ".dll")).string(), peWithGroups(10, unsigned(i)));
    t.list(src);
    t.select(51);
    t.run(A::actIconSaveIcons);
    ASSERT_EQ(t.written(), 51u);
    // Every file exists now: the first replace question is up when the user clicks Stop.
    t.desktop.boxes.clear();
    t.desktop.answers = {TQBMessageResult::mrYes};
    bool stopShown = false, renamed = true;
    t.desktop.onQuestion = [&] {
        auto* stop = t.w->findChild<QWidget*>("pStop");
        stopShown = stop && !stop->isHidden();
        // A caption editor left open commits now: the save's worker reads the names.
        TIconListModel& model = t.w->ListView().Model();
        renamed = model.setData(model.index(0, 0), "renamed", Qt::EditRole);
        t.w->cmdStopClick();
    };
    t.run(A::actIconSaveIcons);
    EXPECT_TRUE(stopShown);
    EXPECT_FALSE(renamed);
    ASSERT_EQ(t.desktop.boxes.size(), 2u);
    EXPECT_TRUE(t.desktop.boxes[0].busyPage);
    // The answer given with the click may or may not have been taken: one file or none.
    const std::string& said = t.desktop.boxes[1].msg;
    EXPECT_TRUE(said == "Operation cancelled by user. Saved 1 icon(s)." || said == "Operation cancelled by user. Saved 0 icon(s).")
        << said;
    EXPECT_EQ(t.desktop.boxes[1].type, int(TQBMessageType::mtInformation));
    EXPECT_TRUE(t.w->Idle());
    EXPECT_TRUE(t.w->findChild<QWidget*>("pStop")->isHidden());
    EXPECT_EQ(t.w->findChild<QStackedWidget*>("pClient")->currentWidget()->objectName(), "pDefault");
    EXPECT_EQ(t.written(), 51u);
}

TEST(SaveWindow, ASaveThatFailsShowsItsReasonAndLeavesTheWindowIdle) {
    Window t;
    const auto module = t.put("gone.dll", peWithGroups(2));
    t.list(module);
    t.select(2);
    std::filesystem::remove(module);  // the icons are read again from their file when saved
    t.run(A::actIconSaveIcons);
    ASSERT_EQ(t.desktop.boxes.size(), 1u);
    EXPECT_EQ(t.desktop.boxes[0].msg, "Invalid file name.");
    EXPECT_EQ(t.desktop.boxes[0].type, int(TQBMessageType::mtWarning));
    EXPECT_TRUE(t.w->Idle());
    EXPECT_EQ(t.written(), 0u);
}

TEST(SaveWindow, TheClipboardGetsTheBitmapOfTheCommand) {
    Window t;
    t.list(t.put("three.dll", peWithThreeSizes()));
    t.select(1);
    const std::pair<A, QSize> rows[] = {{A::actEditCopyToClipboard, {102, 50}},
                                        {A::actEditCopy48x48ToClipboard, {48, 48}},
                                        {A::actEditCopy16x16ToClipboard, {16, 16}}};
    for (const auto& [action, size] : rows) {
        QGuiApplication::clipboard()->clear();
        t.run(action);
        EXPECT_EQ(QGuiApplication::clipboard()->image().size(), size);
    }
    EXPECT_TRUE(t.desktop.boxes.empty());
}

TEST(SaveWindow, ImagesTakeTheDefaultFormatWithoutAskingOrTheDialogsAnswer) {
    Window t;
    t.list(t.put("m.dll", peWithGroups(2)));
    t.select(2);
    t.context.Options.PromptForImageFormat = false;
    t.context.Options.DefaultImageFormat = 1;
    t.run(A::actIconSave32x32Images);
    EXPECT_EQ(t.desktop.formatAsked, 0);
    EXPECT_TRUE(SafeFileExists(t.out / "m_1.jpg"));
    EXPECT_TRUE(SafeFileExists(t.out / "m_2.jpg"));
    t.context.Options.PromptForImageFormat = true;
    t.run(A::actIconSaveImages);  // cancelled
    EXPECT_EQ(t.desktop.formatAsked, 1);
    EXPECT_EQ(t.written(), 2u);
    t.desktop.format = TBatchFormat::bfWMF;
    t.run(A::actIconSaveImages);
    EXPECT_TRUE(SafeFileExists(t.out / "m_2.wmf"));

    TSelectFormatDlg dialog;
    EXPECT_TRUE(gstest::HasDialogFrame(dialog));
    EXPECT_EQ(dialog.Format(), TBatchFormat::bfGIF);
    // The question offers the formats in the table's order, under the table's captions.
    const std::pair<QRadioButton*, const char*> captions[] = {{dialog.radGIF, "CompuServe &GIF Image (*.GIF)"},
                                                              {dialog.radJPG, "&JPEG Image File (*.JPG)"},
                                                              {dialog.radWMF, "&Windows Meta File (*.WMF)"},
                                                              {dialog.radTIF, "&Tagged Image File Format (*.TIF)"}};
    const std::vector<TBatchFormat> offered = ImageChoiceFormats();
    ASSERT_EQ(offered.size(), std::size(captions));
    for (std::size_t i = 0; i < offered.size(); ++i) {
        EXPECT_EQ(captions[i].first->text().toStdString(), captions[i].second);
        EXPECT_EQ(ImageFormatOf(offered[i]).ChoiceCaption, std::string(captions[i].second));
        EXPECT_EQ(captions[i].first->objectName().toStdString(), std::string("rad") + ImageFormatOf(offered[i]).Word);
    }
    const std::pair<QRadioButton*, TBatchFormat> radios[] = {
        {dialog.radJPG, TBatchFormat::bfJPG}, {dialog.radWMF, TBatchFormat::bfWMF}, {dialog.radTIF, TBatchFormat::bfTIF}};
    for (const auto& [radio, format] : radios) {
        radio->setChecked(true);
        EXPECT_EQ(dialog.Format(), format);
    }
}

TEST(SaveWindow, TheEditorGetsTheWholeIconAndAFailedStartReachesTheHandler) {
    Window t;
    t.list(t.put("three.dll", peWithThreeSizes()));
    t.select(1);
    t.run(A::actIconEditIcon);  // no editor set: the command is off
    EXPECT_TRUE(t.desktop.started.empty());
    t.context.Options.IconEditApp = "icon-editor";
    t.run(A::actIconEditIcon);
    ASSERT_EQ(t.desktop.started.size(), 1u);
    ASSERT_EQ(t.desktop.started[0].size(), 2u);
    EXPECT_EQ(t.desktop.started[0][0], "icon-editor");
    EXPECT_EQ(iconImages(q(t.desktop.started[0][1])), "16x16 8\n32x32 8\n48x48 32\n");
    t.desktop.startWorks = false;
    t.run(A::actIconEditIcon);
    ASSERT_EQ(t.desktop.boxes.size(), 1u);
    EXPECT_EQ(t.desktop.boxes[0].msg, "There was an error running the external application.");
    t.desktop.boxes.clear();
    // The editor's file is handed over: it lives outside the folder removed at exit.
    EXPECT_EQ(std::filesystem::path(t.desktop.started[0][1]).parent_path(), HandOverFolder());
    std::filesystem::remove_all(HandOverFolder());
}
