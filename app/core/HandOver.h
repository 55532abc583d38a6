#pragma once
// Calls from a worker thread into a receiving thread (the UI thread) that the worker waits
// for, without ever blocking for good: the call is posted, its answer comes back through a
// future, and the worker waits in short slices that look at its stop token and at whether
// the receiving side has closed. So a worker stopped, or waiting on a window that goes
// away, ends within a slice, and a thread that joins a stopped worker never deadlocks.
// The posting itself belongs to the receiving side (Qt lives in the ui layer).
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>

#include "app/core/IconSink.h"

namespace gs {

class THandOverChannel {
public:
    using Task = std::function<void()>;
    // Runs a task later on the receiving thread. Called with the channel's lock held, so
    // it never runs once Close has returned.
    using Poster = std::function<void(Task)>;

    static constexpr std::chrono::milliseconds kWaitSlice{20};

    explicit THandOverChannel(Poster post) : post_(std::move(post)) {}

    // From the receiving side when it goes away: waiting calls give up, later calls and
    // posts are refused, and the poster is dropped.
    void Close();
    bool IsClosed() const { return closed_.load(); }

    // From a worker: has `fn` run on the receiving thread and waits for its answer. Nothing
    // when the stop token fires or the channel closes first; `fn` then never runs if it had
    // not begun, and its answer is dropped if it had. `fn` must hold nothing of the
    // caller's stack. An error thrown by `fn` counts as no answer.
    std::optional<int> Call(std::function<int()> fn, const std::stop_token& stop);

    // Posts a task without waiting for it; false when the channel is closed.
    bool Post(Task task);

private:
    mutable std::mutex mutex_;
    Poster post_;
    std::atomic<bool> closed_{false};
};

// An IIconSink for a worker whose consumer lives on the receiving thread: every call is
// carried over the channel and waited for, one call per batch. A call that gets no answer
// counts as a refusal (AddIcons answers -1), so the extraction ends.
class THandOverIconSink : public IIconSink {
public:
    // `receiver` is reached only on the receiving thread, while the channel is open.
    THandOverIconSink(std::shared_ptr<THandOverChannel> channel, IIconSink& receiver, std::stop_token stop)
        : channel_(std::move(channel)), receiver_(receiver), stop_(std::move(stop)) {}

    void ResetIconList() override;
    int AddIcons(TIconBatch batch) override;
    void FileFailed(const std::filesystem::path& file, const std::string& error) override;

private:
    std::shared_ptr<THandOverChannel> channel_;
    IIconSink& receiver_;
    std::stop_token stop_;
};

}  // namespace gs
