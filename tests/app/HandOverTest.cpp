// The hand-over of a worker's calls to a receiving thread: answers come back from that
// thread, and a worker that is stopped, or whose receiver closes, stops waiting.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <future>
#include <mutex>

#include "app/ExtractMaterial.h"
#include "app/core/ScanJob.h"
#include "app/core/HandOver.h"
#include "iconlib/Icon.h"
#include "platform/ByteSource.h"
#include "support/IconMaker.h"

using namespace gs;
using namespace gstest;
using namespace std::chrono_literals;

namespace {

constexpr auto kGenerous = 30s;  // a bound for "it ends", never a measure of speed

// Stands in for the UI thread: posted tasks wait until the test thread runs them.
class ManualQueue {
public:
    THandOverChannel::Poster poster() {
        return [this](THandOverChannel::Task task) {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        };
    }
    bool runOne() {
        THandOverChannel::Task task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) return false;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        return true;
    }
    std::size_t pending() {
        std::lock_guard lock(mutex_);
        return tasks_.size();
    }
    void dropAll() {
        std::lock_guard lock(mutex_);
        tasks_.clear();
    }
    void waitForPost() {
        const auto until = std::chrono::steady_clock::now() + kGenerous;
        while (pending() == 0 && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
        ASSERT_GT(pending(), 0u);
    }

private:
    std::mutex mutex_;
    std::deque<THandOverChannel::Task> tasks_;
};

// `watch` follows the icon's image data, which only the icon holds.
std::unique_ptr<TIconDef> defWithPicture(std::weak_ptr<const TBytes>& watch) {
    auto def = std::make_unique<TIconDef>();
    auto icon = std::make_unique<TQBIcon>();
    TMemorySource source(makeIcoFile({dibSpec(16, 4)}));
    icon->LoadFromSource(source);
    watch = icon->Images().GetImage(0)->SharedData();
    def->SetIcon(std::move(icon));
    return def;
}

}  // namespace

TEST(HandOver, AWorkersCallsRunOnTheReceivingThreadInOrder) {
    Tree t;
    t.put("a.dll", peWithGroups(3));
    t.put("b.ico", oneIcon());
    ManualQueue ui;
    auto channel = std::make_shared<THandOverChannel>(ui.poster());
    RecordingSink receiver;
    std::promise<TJobEnd> ended;
    auto end = ended.get_future();
    auto scan = std::make_shared<TScanJob>(
        std::make_unique<TExtractFromFolderThread>(t.path, settings()),
        [&](std::stop_token stop) { return std::make_unique<THandOverIconSink>(channel, receiver, stop); });
    TJobWorker worker(scan, channel, [&, scan](const TJobEnd& e) { ended.set_value(scan->EndOf(e)); });
    const auto until = std::chrono::steady_clock::now() + kGenerous;
    while (end.wait_for(0s) != std::future_status::ready && std::chrono::steady_clock::now() < until)
        if (!ui.runOne()) std::this_thread::sleep_for(1ms);
    ASSERT_EQ(end.wait_for(0s), std::future_status::ready);
    EXPECT_EQ(end.get(), TJobEnd::Of(TJobEnd::TKind::Done));
    EXPECT_EQ(receiver.resets, 1);
    EXPECT_EQ(receiver.listing(), (std::vector<std::string>{"a#0@a.dll", "a#1@a.dll", "a#2@a.dll", "b#0@b.ico"}));
    for (auto id : receiver.threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(HandOver, AStoppedWorkerGivesUpAndItsCallNeverRunsButIsFreed) {
    ManualQueue ui;
    auto channel = std::make_shared<THandOverChannel>(ui.poster());
    RecordingSink receiver;
    std::stop_source stop;
    std::weak_ptr<const TBytes> picture;
    auto def = defWithPicture(picture);
    auto answer = std::async(std::launch::async, [&, d = std::move(def)]() mutable {
        THandOverIconSink sink(channel, receiver, stop.get_token());
        TIconBatch batch;
        batch.push_back(std::move(d));
        return sink.AddIcons(std::move(batch));
    });
    ui.waitForPost();
    EXPECT_EQ(answer.wait_for(50ms), std::future_status::timeout);  // it waits for an answer
    stop.request_stop();
    ASSERT_EQ(answer.wait_for(kGenerous), std::future_status::ready);
    EXPECT_EQ(answer.get(), -1);
    EXPECT_TRUE(ui.runOne());  // the receiving thread comes round to it late
    EXPECT_TRUE(receiver.threads.empty());
    EXPECT_TRUE(picture.expired());
}

TEST(HandOver, AClosedChannelReleasesItsWaitersAndRefusesLaterCalls) {
    ManualQueue ui;
    THandOverChannel channel(ui.poster());
    bool ran = false;
    auto answer = std::async(std::launch::async, [&] { return channel.Call([&] { return ran = true, 1; }, {}); });
    ui.waitForPost();
    channel.Close();
    ASSERT_EQ(answer.wait_for(kGenerous), std::future_status::ready);
    EXPECT_FALSE(answer.get().has_value());
    ui.dropAll();  // what Qt does with events of an object that is gone

    EXPECT_FALSE(channel.Call([&] { return ran = true, 1; }, {}).has_value());
    EXPECT_FALSE(channel.Post([&] { ran = true; }));
    EXPECT_EQ(ui.pending(), 0u);
    EXPECT_FALSE(ran);
}

TEST(HandOver, AnErrorOfTheReceiverCountsAsARefusal) {
    struct Throwing : RecordingSink {
        int AddIcons(TIconBatch) override { throw std::runtime_error("list full"); }
    } receiver;
    ManualQueue ui;
    auto channel = std::make_shared<THandOverChannel>(ui.poster());
    auto answer = std::async(std::launch::async, [&] {
        THandOverIconSink sink(channel, receiver, {});
        TIconBatch batch;
        batch.push_back(std::make_unique<TIconDef>());
        return sink.AddIcons(std::move(batch));
    });
    ui.waitForPost();
    ui.runOne();
    ASSERT_EQ(answer.wait_for(kGenerous), std::future_status::ready);
    EXPECT_EQ(answer.get(), -1);
}

TEST(ScanJob, ARunThatBreaksOffSaysWhat) {
    struct Breaking final : TExtractThread {
        Breaking() : TExtractThread(TExtractSettings{}) {}
        void Run() override { throw std::runtime_error("the folder went away"); }
    };
    std::promise<TJobEnd> ended;
    auto end = ended.get_future();
    {
        auto scan = std::make_shared<TScanJob>(
            std::make_unique<Breaking>(),
            [](std::stop_token) -> std::unique_ptr<IIconSink> { return std::make_unique<RecordingSink>(); });
        TJobWorker worker(scan, nullptr, [&, scan](const TJobEnd& e) { ended.set_value(scan->EndOf(e)); });
    }
    EXPECT_EQ(end.get(), TJobEnd::Of(TJobEnd::TKind::Failed, "the folder went away"));  // on no one file
}
