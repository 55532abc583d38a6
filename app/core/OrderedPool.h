#pragma once
// A few worker threads, made once and reused, that run jobs in the order they were given
// and hand the results back in that same order, whichever worker finishes first. A scan
// gives it one job a file; the workers live as long as the scan, not one thread a file.
//
//     TOrderedPool<int> pool(4);
//     pool.Submit([] { return 1; });
//     pool.Submit([] { return 2; });
//     pool.TakeFirst();  // 1, then 2
//
// Destroying the pool drops the jobs no worker has started and waits for the running ones.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace gs {

template <class Result>
class TOrderedPool {
public:
    using Job = std::function<Result()>;

    explicit TOrderedPool(std::size_t workers) {
        if (workers == 0) workers = 1;
        threads_.reserve(workers);
        for (std::size_t i = 0; i < workers; ++i) threads_.emplace_back([this] { work(); });
    }
    ~TOrderedPool() {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
            slots_.erase(slots_.begin() + std::ptrdiff_t(started_), slots_.end());
        }
        wake_.notify_all();
        for (std::thread& t : threads_) t.join();
    }
    TOrderedPool(const TOrderedPool&) = delete;
    TOrderedPool& operator=(const TOrderedPool&) = delete;

    std::size_t Workers() const { return threads_.size(); }

    void Submit(Job job) {
        {
            std::lock_guard lock(mutex_);
            slots_.push_back(Slot{std::move(job), {}, {}, false});
        }
        wake_.notify_one();
    }
    // Jobs given and not yet taken back.
    std::size_t Pending() const {
        std::lock_guard lock(mutex_);
        return slots_.size();
    }
    // Waits for the oldest job not yet taken and gives its result (or raises what it raised).
    // Only with a job pending.
    Result TakeFirst() {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return slots_.front().finished; });
        Slot first = std::move(slots_.front());
        slots_.pop_front();
        --started_;
        lock.unlock();
        if (first.error) std::rethrow_exception(first.error);
        return std::move(*first.result);
    }

private:
    struct Slot {
        Job job;
        std::optional<Result> result;
        std::exception_ptr error;
        bool finished = false;
    };

    void work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return closing_ || started_ < slots_.size(); });
            if (closing_) return;
            // The slot stays where it is until taken, and it is taken only once finished:
            // a deque keeps it in place while others are added behind it and taken before it.
            Slot& slot = slots_[started_++];
            Job job = std::move(slot.job);
            lock.unlock();
            std::optional<Result> result;
            std::exception_ptr error;
            try {
                result.emplace(job());
            } catch (...) {
                error = std::current_exception();
            }
            job = nullptr;  // what the job holds goes on this thread, before the result is taken
            lock.lock();
            slot.result = std::move(result);
            slot.error = error;
            slot.finished = true;
            done_.notify_all();
        }
    }

    mutable std::mutex mutex_;
    std::condition_variable wake_;  // a job was given, or the pool closes
    std::condition_variable done_;  // a job finished
    std::deque<Slot> slots_;        // given and not yet taken, oldest first
    std::size_t started_ = 0;       // the first `started_` slots are running or finished
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace gs
