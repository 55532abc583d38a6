#pragma once
// Long work of the program (a folder scan, a batch export, saving icons, mailing them, writing
// an icon library) runs as a job on a worker thread: the job sees a stop token, asks its
// questions of the receiving thread (the UI thread) through the cancellable hand-over, and
// posts its results there without waiting. Its end says how it ended, so the window can show
// a stop or a failure with its reason. The receiving side (Qt) owns the channel's posting;
// this file knows no Qt.
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

#include "app/core/HandOver.h"

namespace gs {

inline constexpr const char* kMsgJobOutOfMemory = "Not enough memory to go on.";

// How a job ended: the one way every job (the scan, a save, the batch, the mail, an icon
// library) says it.
struct TJobEnd {
    enum class TKind : std::uint8_t {
        Done,     // the work ran to its end (or to the end its settings set, Reason says which)
        Stopped,  // a stop was asked for (by the stop token, a signal, or the user's answer)
        Failed,   // an error ended it; Reason says which
    };
    TKind Kind = TKind::Done;
    std::string Reason;        // Failed: what went wrong; Stopped: what the job said, if anything;
                               // Done: why the work ended before all of it was done, if it did
    std::string Subject;       // Failed: the file (or folder) that failed, when the error is one file's
    std::exception_ptr Error;  // Failed: the error itself, for the receiver's own handler
    int Signal = 0;            // Stopped: the signal (Ctrl-C, SIGTERM) that asked for the stop

    static TJobEnd Of(TKind kind, std::string reason = {}) { return {kind, std::move(reason), {}, nullptr, 0}; }
    static TJobEnd Failure(std::string subject, std::string reason) {
        return {TKind::Failed, std::move(reason), std::move(subject), nullptr, 0};
    }
    bool Failed() const { return Kind == TKind::Failed; }
    bool operator==(const TJobEnd& other) const {
        return Kind == other.Kind && Reason == other.Reason && Subject == other.Subject && Signal == other.Signal;
    }
};

// What a running job reaches: its stop token and the hand-over to the receiving thread
// (none for a job that reaches nothing but its own sink).
class TJobContext {
public:
    TJobContext(std::shared_ptr<THandOverChannel> channel, std::stop_token stop)
        : channel_(std::move(channel)), stop_(std::move(stop)) {}

    const std::stop_token& StopToken() const { return stop_; }
    bool StopRequested() const { return stop_.stop_requested(); }
    const std::shared_ptr<THandOverChannel>& Channel() const { return channel_; }

    // Runs `question` on the receiving thread and waits for its answer in slices; nothing
    // when a stop is asked for or the receiver closes first (a question that raised counts
    // as unanswered too). `question` must hold nothing of the caller's stack.
    template <class T>
    std::optional<T> Ask(std::function<T()> question) const {
        if (!channel_) return std::nullopt;
        auto answer = std::make_shared<std::optional<T>>();
        const std::optional<int> done = channel_->Call(
            [answer, question = std::move(question)] {
                *answer = question();
                return 0;
            },
            stop_);
        if (!done) return std::nullopt;
        return std::move(*answer);
    }
    // Hands a result over without waiting; false once the receiver has closed.
    bool Post(THandOverChannel::Task task) const { return channel_ && channel_->Post(std::move(task)); }

    // The job ends as stopped, whatever its run returns, with what it says about it.
    void EndStopped(std::string reason) { stoppedReason_ = std::move(reason); }
    const std::optional<std::string>& StoppedReason() const { return stoppedReason_; }

private:
    std::shared_ptr<THandOverChannel> channel_;
    std::stop_token stop_;
    std::optional<std::string> stoppedReason_;
};

class IJob {
public:
    virtual ~IJob() = default;
    // The whole work, on the worker thread. Errors may leave it: they end the job as Failed.
    virtual void Run(TJobContext& context) = 0;
};

// Runs a job's body and says how it ended; nothing leaves it.
TJobEnd RunJob(IJob& job, TJobContext& context);

// One job on its own std::jthread, started at once. The end notice runs on the worker
// thread after the job returned (a receiver posts it on to its own thread). Destroying the
// worker asks it to stop and waits: never from its own end notice, and never while the
// receiving thread is what the job waits on unless the channel was closed first (the
// hand-over gives up within a slice then).
class TJobWorker {
public:
    using EndNotice = std::function<void(const TJobEnd&)>;

    TJobWorker(std::shared_ptr<IJob> job, std::shared_ptr<THandOverChannel> channel, EndNotice onEnd);
    TJobWorker(const TJobWorker&) = delete;
    TJobWorker& operator=(const TJobWorker&) = delete;

    void RequestStop() { thread_.request_stop(); }

private:
    std::jthread thread_;
};

}  // namespace gs
