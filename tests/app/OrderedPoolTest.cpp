// The scan's reader pool: results in the order given whatever order the workers finish in,
// a job's error at its own place, a few threads reused for every job, and on its end the
// jobs not started dropped while the running ones are waited for.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "app/core/OrderedPool.h"

using gs::TOrderedPool;

namespace {

// A count a thread waits to see reach zero; the wait's bound only keeps a broken pool from
// hanging the test run.
class CountDown {
public:
    explicit CountDown(int n) : left_(n) {}
    void Down() {
        std::lock_guard lock(m_);
        if (--left_ == 0) cv_.notify_all();
    }
    bool Wait() {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, std::chrono::seconds(60), [&] { return left_ <= 0; });
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    int left_;
};

}  // namespace

TEST(OrderedPool, ResultsComeInTheOrderGivenAndErrorsAtTheirPlace) {
    // The first job finishes last: it waits for every other one.
    TOrderedPool<int> pool(2);
    CountDown others(5);
    pool.Submit([&] { return others.Wait() ? 0 : -1; });
    for (int i = 1; i <= 5; ++i)
        pool.Submit([&, i]() -> int {
            others.Down();
            if (i == 3) throw std::runtime_error("three");
            return i;
        });
    EXPECT_EQ(pool.Pending(), 6u);
    for (int i = 0; i <= 5; ++i) {
        if (i == 3) {
            EXPECT_THROW(pool.TakeFirst(), std::runtime_error);
        } else {
            EXPECT_EQ(pool.TakeFirst(), i);
        }
    }
    EXPECT_EQ(pool.Pending(), 0u);
}

TEST(OrderedPool, AFewThreadsRunEveryJobAsTheyAreTakenAndGivenAgain) {
    TOrderedPool<std::thread::id> pool(3);
    EXPECT_EQ(pool.Workers(), 3u);
    std::set<std::thread::id> threads;
    int taken = 0;
    // Given and taken interleaved, as the scan does: at most six ahead.
    for (int i = 0; i < 300; ++i) {
        pool.Submit([] { return std::this_thread::get_id(); });
        if (pool.Pending() >= 6) threads.insert(pool.TakeFirst()), ++taken;
    }
    while (pool.Pending() > 0) threads.insert(pool.TakeFirst()), ++taken;
    EXPECT_EQ(taken, 300);
    EXPECT_LE(threads.size(), 3u);
    EXPECT_FALSE(threads.contains(std::this_thread::get_id()));
    EXPECT_EQ(TOrderedPool<int>(0).Workers(), 1u);
}

TEST(OrderedPool, ItsEndDropsTheJobsNotStartedAndWaitsForTheRunningOne) {
    // Each job not started holds a token that tells when it is dropped; the running job
    // ends only once all three are dropped, which the pool's end does before waiting for it.
    CountDown started(1), dropped(3);
    struct Token {
        CountDown& count;
        ~Token() { count.Down(); }
    };
    std::atomic<int> ran{0};
    std::atomic<bool> runningEnded{false};
    {
        TOrderedPool<int> pool(1);
        pool.Submit([&] {
            started.Down();
            const bool ok = dropped.Wait();
            runningEnded = true;
            return ok ? 1 : 0;
        });
        for (int i = 0; i < 3; ++i)
            pool.Submit([&, token = std::make_shared<Token>(dropped)] { return ++ran; });
        ASSERT_TRUE(started.Wait());
    }
    EXPECT_TRUE(runningEnded);
    EXPECT_EQ(ran, 0);
}
