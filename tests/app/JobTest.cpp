// The job runner without windows: a job's end (done, stopped, failed with its reason), its
// stop token, questions answered through the hand-over on the receiving thread (here the
// test's own), a stop while a question waits, and the save loop and the batch run as jobs.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <new>
#include <stdexcept>
#include <thread>

#include "app/SaveMaterial.h"
#include "app/core/BatchJob.h"
#include "app/core/Job.h"
#include "app/core/SaveJob.h"

using namespace gs;
using namespace gstest;
using namespace std::chrono_literals;
using R = TQBMessageResult;

namespace {

constexpr auto kGenerous = 30s;  // a bound for "it ends", never a measure of speed

// The receiving thread's queue: tasks posted by workers run when the test drains them.
struct Receiver {
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<THandOverChannel::Task> tasks;
    std::shared_ptr<THandOverChannel> channel = std::make_shared<THandOverChannel>([this](THandOverChannel::Task t) {
        {
            std::lock_guard lock(mutex);
            tasks.push_back(std::move(t));
        }
        posted.notify_all();
    });

    // Runs what was posted, waiting (bounded) for one task when none is there yet.
    bool runOne() {
        THandOverChannel::Task task;
        {
            std::unique_lock lock(mutex);
            if (!posted.wait_for(lock, kGenerous, [this] { return !tasks.empty(); })) return false;
            task = std::move(tasks.front());
            tasks.pop_front();
        }
        task();
        return true;
    }
    // Runs posted tasks until `done` holds (bounded), looking at it between short waits.
    template <class F>
    bool runUntil(F done) {
        const auto deadline = std::chrono::steady_clock::now() + kGenerous;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            THandOverChannel::Task task;
            {
                std::unique_lock lock(mutex);
                if (!posted.wait_for(lock, 5ms, [this] { return !tasks.empty(); })) continue;
                task = std::move(tasks.front());
                tasks.pop_front();
            }
            task();
        }
        return true;
    }
    std::size_t waiting() {
        std::lock_guard lock(mutex);
        return tasks.size();
    }
};

// A job made of a function.
struct FnJob : IJob {
    std::function<void(TJobContext&)> body;
    explicit FnJob(std::function<void(TJobContext&)> b) : body(std::move(b)) {}
    void Run(TJobContext& context) override { body(context); }
};

// The end of a job run on a worker, as its notice gave it.
struct Ended {
    std::promise<TJobEnd> promise;
    std::future<TJobEnd> future = promise.get_future();
    TJobWorker::EndNotice notice() {
        return [this](const TJobEnd& end) { promise.set_value(end); };
    }
    bool arrived() { return future.wait_for(0s) == std::future_status::ready; }
};

}  // namespace

TEST(Job, ItsEndSaysHowItEndedAndWhy) {
    struct Row {
        const char* name;
        std::function<void(TJobContext&)> body;
        bool stopAsked;
        TJobEnd::TKind kind;
        std::string reason;
    };
    const Row rows[] = {
        {"returns", [](TJobContext&) {}, false, TJobEnd::TKind::Done, ""},
        {"returns after a stop", [](TJobContext&) {}, true, TJobEnd::TKind::Stopped, ""},
        {"says it stopped", [](TJobContext& c) { c.EndStopped("Cancelled."); }, false, TJobEnd::TKind::Stopped, "Cancelled."},
        {"raises", [](TJobContext&) { throw std::runtime_error("the disk went away"); }, false, TJobEnd::TKind::Failed,
         "the disk went away"},
        {"raises after a stop", [](TJobContext&) { throw std::runtime_error("late"); }, true, TJobEnd::TKind::Failed, "late"},
        {"runs out of memory", [](TJobContext&) { throw std::bad_alloc(); }, false, TJobEnd::TKind::Failed,
         kMsgJobOutOfMemory},
        {"raises no exception type", [](TJobContext&) { throw 7; }, false, TJobEnd::TKind::Failed, "Unknown error."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::stop_source stop;
        if (row.stopAsked) stop.request_stop();
        TJobContext context(nullptr, stop.get_token());
        FnJob job(row.body);
        const TJobEnd end = RunJob(job, context);
        EXPECT_EQ(end.Kind, row.kind);
        EXPECT_EQ(end.Reason, row.reason);
        // A failure keeps the error itself, for the receiver's own handler.
        EXPECT_EQ(end.Error != nullptr, row.kind == TJobEnd::TKind::Failed);
        if (row.kind == TJobEnd::TKind::Failed && row.reason == "the disk went away") {
            EXPECT_THROW(std::rethrow_exception(end.Error), std::runtime_error);
        }
    }
}

TEST(Job, AWorkerHonoursItsStopTokenAndSaysItStopped) {
    Receiver ui;
    Ended ended;
    std::atomic<int> rounds{0};
    {
        TJobWorker worker(std::make_shared<FnJob>([&](TJobContext& c) {
                              const auto deadline = std::chrono::steady_clock::now() + kGenerous;
                              while (!c.StopRequested() && std::chrono::steady_clock::now() < deadline) {
                                  ++rounds;
                                  std::this_thread::yield();
                              }
                          }),
                          ui.channel, ended.notice());
        while (rounds.load() == 0) std::this_thread::yield();
        worker.RequestStop();
        ASSERT_EQ(ended.future.wait_for(kGenerous), std::future_status::ready);
    }
    EXPECT_EQ(ended.future.get().Kind, TJobEnd::TKind::Stopped);
}

TEST(Job, AQuestionIsAnsweredOnTheReceivingThreadAndResultsArePosted) {
    Receiver ui;
    Ended ended;
    std::optional<std::string> answer;
    std::thread::id askedOn;
    std::vector<int> results;
    TJobWorker worker(std::make_shared<FnJob>([&](TJobContext& c) {
                          answer = c.Ask<std::string>([&] {
                              askedOn = std::this_thread::get_id();
                              return std::string("Yes to All");
                          });
                          for (int i = 1; i <= 3; ++i) c.Post([&results, i] { results.push_back(i); });
                      }),
                      ui.channel, ended.notice());
    ASSERT_TRUE(ui.runUntil([&] { return results.size() == 3; }));
    ASSERT_EQ(ended.future.wait_for(kGenerous), std::future_status::ready);
    EXPECT_EQ(ended.future.get().Kind, TJobEnd::TKind::Done);
    EXPECT_EQ(answer, "Yes to All");
    EXPECT_EQ(askedOn, std::this_thread::get_id());
    EXPECT_EQ(results, (std::vector<int>{1, 2, 3}));
}

TEST(Job, AStopOrAClosedReceiverWhileAQuestionWaitsEndsItUnanswered) {
    for (const bool closeInstead : {false, true}) {
        SCOPED_TRACE(closeInstead ? "receiver closed" : "stop asked");
        Receiver ui;
        Ended ended;
        std::optional<std::optional<int>> answer;
        bool questionRan = false;
        TJobWorker worker(std::make_shared<FnJob>([&](TJobContext& c) {
                              answer = c.Ask<int>([&] {
                                  questionRan = true;
                                  return 1;
                              });
                          }),
                          ui.channel, ended.notice());
        // The question is posted and waits; nobody answers it.
        {
            std::unique_lock lock(ui.mutex);
            ASSERT_TRUE(ui.posted.wait_for(lock, kGenerous, [&] { return !ui.tasks.empty(); }));
        }
        EXPECT_FALSE(ended.arrived());
        if (closeInstead) ui.channel->Close();
        else worker.RequestStop();
        ASSERT_EQ(ended.future.wait_for(kGenerous), std::future_status::ready);
        EXPECT_EQ(ended.future.get().Kind, closeInstead ? TJobEnd::TKind::Done : TJobEnd::TKind::Stopped);
        ASSERT_TRUE(answer.has_value());
        EXPECT_FALSE(answer->has_value());
        // The question given up on never runs later.
        while (ui.waiting() > 0) ui.runOne();
        EXPECT_FALSE(questionRan);
    }
}

namespace {

// The save loop on a worker, its questions answered by the test thread from a script.
struct SaveOnWorker : SaveMaterial {
    ScriptedQuestions& answers = SaveMaterial::ui;
    Receiver ui;

    std::shared_ptr<TSaveJob> job() {
        return std::make_shared<TSaveJob>(TBatchFormat::bfICO, TBatchIconSize::bsAll, listed.defs, options, answers);
    }
};

}  // namespace

TEST(SaveJob, YesToAllIsAnsweredThroughTheHandOverAndTheResultShown) {
    SaveOnWorker t;
    for (const char* name : {"a.ico", "b.ico"}) writeFile(t.out / name, TBytes{'o', 'l', 'd'});
    t.answers.answers = {R::mrYesToAll};
    auto job = t.job();
    Ended ended;
    TJobWorker worker(job, t.ui.channel, ended.notice());
    ASSERT_TRUE(t.ui.runUntil([&] { return ended.arrived(); }));
    EXPECT_EQ(ended.future.get().Kind, TJobEnd::TKind::Done);
    EXPECT_EQ(job->Saved(), 3);
    EXPECT_EQ(t.answers.asked.size(), 1u);
    EXPECT_EQ(t.answers.results, std::vector<std::string>{"3 icon(s) saved."});
    EXPECT_NE(fileBytes((t.out / "b.ico").string()), (TBytes{'o', 'l', 'd'}));
}

TEST(SaveJob, CancelAndAStopWhileTheReplaceQuestionWaitsEndItStoppedWithTheCount) {
    for (const bool stopInstead : {false, true}) {
        SCOPED_TRACE(stopInstead ? "stop" : "Cancel");
        SaveOnWorker t;
        writeFile(t.out / "b.ico", TBytes{'o', 'l', 'd'});
        t.answers.answers = {R::mrCancel};
        auto job = t.job();
        Ended ended;
        TJobWorker worker(job, t.ui.channel, ended.notice());
        if (stopInstead) {
            // The replace question of b is posted and waits; the user stops instead.
            std::unique_lock lock(t.ui.mutex);
            ASSERT_TRUE(t.ui.posted.wait_for(lock, kGenerous, [&] { return !t.ui.tasks.empty(); }));
            lock.unlock();
            worker.RequestStop();
            ASSERT_EQ(ended.future.wait_for(kGenerous), std::future_status::ready);
        } else {
            ASSERT_TRUE(t.ui.runUntil([&] { return ended.arrived(); }));
        }
        const TJobEnd end = ended.future.get();
        EXPECT_EQ(end.Kind, TJobEnd::TKind::Stopped);
        EXPECT_EQ(end.Reason, "Operation cancelled by user. Saved 1 icon(s).");
        EXPECT_EQ(t.answers.asked.size(), stopInstead ? 0u : 1u);
        EXPECT_TRUE(t.answers.results.empty());
        EXPECT_TRUE(SafeFileExists(t.out / "a.ico"));
        EXPECT_FALSE(SafeFileExists(t.out / "c.ico"));
        EXPECT_EQ(fileBytes((t.out / "b.ico").string()), (TBytes{'o', 'l', 'd'}));
    }
}

namespace {

// The progress window's side of a batch: what it was shown, and on which thread.
struct ShownProgress : IBatchObserver {
    std::vector<std::string> files;
    int found = -1, saved = -1;
    std::vector<std::thread::id> threads;
    void ShowCurrentFile(const std::string& p) override {
        files.push_back(p);
        threads.push_back(std::this_thread::get_id());
    }
    void ShowFound(int n) override {
        found = n;
        threads.push_back(std::this_thread::get_id());
    }
    void ShowSaved(int n) override {
        saved = n;
        threads.push_back(std::this_thread::get_id());
    }
    bool StopRequested() const override { return false; }
};

}  // namespace

TEST(BatchRunJob, ShowsItsProgressOnTheReceivingThreadAndAFailedJobIsTheSourcesFailure) {
    Tree t;
    t.put("a.dll", peWithGroups(3, 1));
    t.put("b.dll", peWithGroups(2, 9));
    const std::filesystem::path out = t.dir("out");
    TBatchJob batch;
    batch.FileSpec = (t.path / "*.dll").string();
    batch.TargetDir = out.string();
    Receiver ui;
    ShownProgress window;
    auto job = std::make_shared<TBatchRunJob>(batch, window);
    Ended ended;
    TJobWorker worker(job, ui.channel, ended.notice());
    ASSERT_TRUE(ui.runUntil([&] { return ended.arrived() && window.saved == 5; }));
    const TJobEnd end = ended.future.get();
    EXPECT_EQ(end.Kind, TJobEnd::TKind::Done);
    EXPECT_EQ(window.files, (std::vector<std::string>{(t.path / "a.dll").string(), (t.path / "b.dll").string()}));
    EXPECT_EQ(window.found, 5);
    for (std::thread::id id : window.threads) EXPECT_EQ(id, std::this_thread::get_id());
    const TBatchResult outcome = job->ResultOf(end);
    EXPECT_EQ(outcome.FoundTotal, 5);
    EXPECT_EQ(outcome.SavedTotal, 5);
    EXPECT_FALSE(outcome.End.Failed());

    // A job that broke off outside the walk's own failures fails the source as a whole.
    const TBatchResult failed = job->ResultOf(TJobEnd::Of(TJobEnd::TKind::Failed, kMsgJobOutOfMemory));
    ASSERT_TRUE(failed.End.Failed());
    EXPECT_EQ(failed.End.Subject, batch.FileSpec);
    EXPECT_EQ(failed.End.Reason, kMsgJobOutOfMemory);
    EXPECT_EQ(failed.SavedTotal, 5);
}
