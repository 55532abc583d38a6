// The extraction's hand-over through a real Qt event loop: the window's sink is called on
// the UI thread, Stop ends the run after the current icon, and a worker waiting on a window
// that closes ends without anyone answering it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <future>
#include <optional>

#include "app/ExtractMaterial.h"
#include "app/ui/MainJobRunner.h"
#include "support/QtTestApp.h"

using namespace gs;
using namespace gstest;
using namespace std::chrono_literals;

namespace {

constexpr auto kGenerous = 30s;  // a bound for "it ends", never a measure of speed

QApplication& application() { return gstest::qtTestApp(); }

std::optional<TJobEnd> runUntilEnded(TMainJobRunner& runner) {
    std::optional<TJobEnd> end;
    QEventLoop loop;
    QObject::connect(&runner, &TMainJobRunner::ScanEnded, &loop, [&](const TJobEnd& e) {
        end = e;
        loop.quit();
    });
    QTimer::singleShot(std::chrono::milliseconds(kGenerous), &loop, &QEventLoop::quit);
    loop.exec();
    return end;
}

struct Material : Tree {
    Material() {
        put("a.dll", peWithGroups(3));
        put("sub/b.ico", oneIcon());
    }
    std::unique_ptr<TExtractThread> job() const {
        return std::make_unique<TExtractFromFolderThread>(path, settings());
    }
};

}  // namespace

TEST(MainJobRunner, ListsEveryIconThroughTheEventLoopOnTheUiThread) {
    application();
    Material m;
    RecordingSink window;
    TMainJobRunner runner(window);
    ASSERT_TRUE(runner.Start(m.job()));
    EXPECT_TRUE(runner.Running());
    EXPECT_FALSE(runner.Start(m.job()));  // one worker at a time
    EXPECT_EQ(runUntilEnded(runner), TJobEnd::Of(TJobEnd::TKind::Done));
    EXPECT_FALSE(runner.Running());
    EXPECT_EQ(window.listing(), (std::vector<std::string>{"a#0@a.dll", "a#1@a.dll", "a#2@a.dll", "b#0@b.ico"}));
    for (auto id : window.threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(MainJobRunner, StopEndsTheRunAfterTheCurrentBatchAndAnotherRunCanFollow) {
    application();
    Material m;
    RecordingSink window;
    TMainJobRunner runner(window);
    window.onAdd = [&](const TIconDef&) { runner.Stop(); };
    ASSERT_TRUE(runner.Start(m.job()));
    EXPECT_EQ(runUntilEnded(runner), TJobEnd::Of(TJobEnd::TKind::Stopped));
    EXPECT_EQ(window.listing(), (std::vector<std::string>{"a#0@a.dll", "a#1@a.dll", "a#2@a.dll"}));

    window.onAdd = nullptr;
    ASSERT_TRUE(runner.Start(m.job()));
    EXPECT_EQ(runUntilEnded(runner), TJobEnd::Of(TJobEnd::TKind::Done));
    EXPECT_EQ(window.defs.size(), 4u);
}

TEST(MainJobRunner, AWorkerWaitingOnAWindowThatClosesEnds) {
    application();
    Material m;
    RecordingSink receiver;
    auto* window = new QWidget;
    auto* runner = new TJobRunner(window);
    std::promise<TJobEnd> ended;
    auto end = ended.get_future();
    auto sinks = [channel = runner->Channel(), &receiver](std::stop_token stop) {
        return std::make_unique<THandOverIconSink>(channel, receiver, std::move(stop));
    };
    auto scan = std::make_shared<TScanJob>(m.job(), sinks);
    TJobWorker worker(scan, nullptr, [&, scan](const TJobEnd& e) { ended.set_value(scan->EndOf(e)); });
    // Nobody runs the event loop: the worker waits for its first answer.
    EXPECT_EQ(end.wait_for(100ms), std::future_status::timeout);
    delete window;
    ASSERT_EQ(end.wait_for(kGenerous), std::future_status::ready);
    EXPECT_EQ(end.get(), TJobEnd::Of(TJobEnd::TKind::Done, kScanRefused));
    QCoreApplication::processEvents();  // what was posted to the window is gone with it
    EXPECT_TRUE(receiver.threads.empty());
}

TEST(MainJobRunner, ARunnerClosedWhileItsWorkerWaitsLeavesNoCallBehind) {
    application();
    Material m;
    RecordingSink window;
    std::optional<TJobEnd> end;
    {
        TMainJobRunner runner(window);
        QObject::connect(&runner, &TMainJobRunner::ScanEnded, [&](const TJobEnd& e) { end = e; });
        ASSERT_TRUE(runner.Start(m.job()));
    }  // closes the hand-over, then stops and joins the worker
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.threads.empty());
    EXPECT_FALSE(end.has_value());
}
