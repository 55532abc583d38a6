// The batch progress window offscreen: its face after Setup, Stop between icons while the
// walk runs on the UI thread, and the window gone before the result box appears.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>
#include <sstream>

#include "app/ui/BatchProgressDlg.h"
#include "controls/ui/AnimatedImage.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"
#include "support/DialogFrame.h"
#include "support/QtTestApp.h"

using namespace gs;
using namespace gstest;
namespace fs = std::filesystem;

namespace {

QApplication& qtApp() { return gstest::qtTestApp(); }

TBytes moduleOfGroups(int groups, unsigned seed) {
    std::vector<PeResource> res;
    for (int g = 0; g < groups; ++g) {
        ImageSpec image = dibSpec(32, 8, seed + unsigned(g));
        res.push_back({RT_ICON, std::uint16_t(g + 1), "", 0x0409, image.data});
        res.push_back({RT_GROUP_ICON, std::uint16_t(g + 1), "", 0x0409, makeGroup({image}, {std::uint16_t(g + 1)})});
    }
    return makePeModule(res);
}

TQBApplication descriptor() {
    TQBApplication app;
    app.ProductName = "Glyphscope";
    app.Title = "Veltrazone Glyphscope";
    app.LanguageId = 1;
    return app;
}

template <class W> W* child(QWidget& parent, const char* name) {
    W* w = parent.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QString text(QWidget& dlg, const char* name) { return child<QLineEdit>(dlg, name)->text(); }

struct Boxes : IMessageBoxes {
    std::vector<std::string> messages;
    int progressWindowsOpen = -1;
    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string&, std::uint8_t, std::uint8_t,
                                   std::uint16_t, std::uint8_t, const std::string&) override {
        messages.push_back(msg);
        progressWindowsOpen = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TBatchProgressDlg*>(w)) ++progressWindowsOpen;
        return TQBMessageResult::mrOK;
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string&, const std::string&, std::uint8_t,
                              std::uint8_t, const std::string&, bool) override {
        messages.push_back(msg);
    }
};

class BatchProgressTest : public ::testing::Test {
protected:
    void SetUp() override { qtApp(); }
    TempDir src, out;
    TBatchJob job() const {
        TBatchJob j;
        j.FileSpec = src / "*.dll";
        j.TargetDir = out.path.string();
        return j;
    }
};

}  // namespace

TEST_F(BatchProgressTest, SetupShowsTheJobAndEnablesStop) {
    TBatchProgressDlg dlg;
    EXPECT_TRUE(gstest::HasDialogFrame(dlg));
    QPushButton* stop = child<QPushButton>(dlg, "cmdStop");
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_TRUE(stop->isDefault());
    EXPECT_EQ(stop->text(), "&Stop");
    dlg.Setup(job(), descriptor());
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_EQ(dlg.windowTitle(), "Glyphscope");
    EXPECT_TRUE(dlg.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(text(dlg, "txtFileSpec"), QString::fromStdString(" " + src / "*.dll"));
    EXPECT_EQ(text(dlg, "txtTargetDir"), QString::fromStdString(" " + out.path.string()));
    EXPECT_EQ(text(dlg, "txtIconsFound"), " 0");
    EXPECT_EQ(text(dlg, "txtIconsSaved"), " 0");
    EXPECT_EQ(child<QLabel>(dlg, "lblTitle")->text(), "Extracting icons... Please wait.");
    EXPECT_TRUE(child<TAnimatedImage>(dlg, "anWait")->Active());
    // Long paths are shown shortened, after one blank.
    dlg.ShowCurrentFile("/" + std::string(100, 'd') + "/shell32.dll");
    EXPECT_EQ(text(dlg, "txtCurrentFile").size(), 74);
    EXPECT_TRUE(text(dlg, "txtCurrentFile").endsWith("/shell32.dll"));
}

namespace {

// The walk as the window's own thread would see it, with a click between two icons: the
// walk asks whether to stop before every icon, and the third time the user has clicked.
struct ClickingBetweenIcons : IBatchObserver {
    TBatchProgressDlg& dlg;
    QPushButton* stop;
    mutable int asked = 0;
    ClickingBetweenIcons(TBatchProgressDlg& d, QPushButton* s) : dlg(d), stop(s) {}
    void ShowCurrentFile(const std::string& p) override { dlg.ShowCurrentFile(p); }
    void ShowFound(int n) override { dlg.ShowFound(n); }
    void ShowSaved(int n) override { dlg.ShowSaved(n); }
    bool StopRequested() const override {
        if (++asked == 3) stop->click();
        return dlg.StopRequested();
    }
};

}  // namespace

TEST_F(BatchProgressTest, StopEndsTheRunBetweenIcons) {
    writeFile(src / "a.dll", moduleOfGroups(3, 1));
    writeFile(src / "b.dll", moduleOfGroups(2, 9));
    TBatchProgressDlg dlg;
    dlg.Setup(job(), descriptor());
    dlg.show();
    ClickingBetweenIcons observer(dlg, child<QPushButton>(dlg, "cmdStop"));
    const TBatchResult outcome = TBatchExport(job(), observer).ExtractFiles();
    EXPECT_FALSE(outcome.End.Failed());
    EXPECT_EQ(outcome.FoundTotal, 1);
    EXPECT_EQ(outcome.SavedTotal, 1);
    EXPECT_TRUE(fs::exists(out.path / "a_1.ico"));
    EXPECT_FALSE(fs::exists(out.path / "a_2.ico"));
    EXPECT_FALSE(fs::exists(out.path / "b_1.ico"));
    EXPECT_EQ(child<QLabel>(dlg, "lblTitle")->text(), "Stopping. Please wait...");
    EXPECT_EQ(text(dlg, "txtIconsFound"), " 1");
    EXPECT_EQ(text(dlg, "txtIconsSaved"), " 1");
    // Esc asks for the same stop instead of hiding the window under a running walk.
    TBatchProgressDlg other;
    other.Setup(job(), descriptor());
    other.show();
    EXPECT_FALSE(other.StopRequested());
    other.reject();
    EXPECT_TRUE(other.StopRequested());
    EXPECT_TRUE(other.isVisible());
}

namespace {

// Runs the walk on the window's worker and lets the window's events run until it ends.
std::optional<TBatchResult> runOnWorker(TBatchProgressDlg& dlg, const TBatchJob& job) {
    std::optional<TBatchResult> outcome;
    QEventLoop loop;
    if (!dlg.Start(job, [&](const TBatchResult& o) {
            outcome = o;
            loop.quit();
        }))
        return outcome;
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a bound for "it ends", not a measure
    loop.exec();
    return outcome;
}

}  // namespace

TEST_F(BatchProgressTest, OnAWorkerStopIsSeenBeforeTheNextIconAndTheWindowStaysLive) {
    writeFile(src / "a.dll", moduleOfGroups(3, 1));
    writeFile(src / "b.dll", moduleOfGroups(2, 9));
    TBatchProgressDlg dlg;
    dlg.Setup(job(), descriptor());
    dlg.show();
    QLineEdit* current = child<QLineEdit>(dlg, "txtCurrentFile");
    QPushButton* stop = child<QPushButton>(dlg, "cmdStop");
    std::vector<QString> shown;
    // The second file is shown on the window's thread while the worker waits for it.
    QObject::connect(current, &QLineEdit::textChanged, stop, [&](const QString& t) {
        EXPECT_EQ(QThread::currentThread(), dlg.thread());
        shown.push_back(t);
        if (shown.size() == 2) stop->click();
    });
    const std::optional<TBatchResult> ran = runOnWorker(dlg, job());
    ASSERT_TRUE(ran);
    const TBatchResult& outcome = *ran;
    EXPECT_FALSE(outcome.End.Failed());
    EXPECT_EQ(outcome.FoundTotal, 3);
    EXPECT_EQ(outcome.SavedTotal, 3);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_FALSE(fs::exists(out.path / "b_1.ico"));
    QCoreApplication::processEvents();  // the counts posted before the end
    EXPECT_EQ(text(dlg, "txtIconsSaved"), " 3");
}

TEST_F(BatchProgressTest, TheWindowIsGoneBeforeTheResultBox) {
    writeFile(src / "a.dll", moduleOfGroups(3, 1));
    Boxes boxes;
    std::ostringstream err;
    EXPECT_EQ(RunBatchWithProgress(job(), boxes, descriptor(), err), 0);
    EXPECT_EQ(boxes.messages, std::vector<std::string>{"3 icon(s) saved."});
    EXPECT_EQ(boxes.progressWindowsOpen, 0);
    EXPECT_EQ(err.str(), "");
}
