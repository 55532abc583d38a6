#pragma once
// One extraction as a job (Job.h): the scan runs on a worker with its stop token and hands
// its icons to a sink made on the worker thread from that token, so that a hand-over to
// another thread gives up waiting as soon as the worker is asked to stop.
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "app/core/ExtractThread.h"
#include "app/core/Job.h"

namespace gs {

inline constexpr const char* kMsgScanOutOfMemory = "Not enough memory to go on listing icons.";

class TScanJob : public TJob {
public:
    using SinkMaker = std::function<std::unique_ptr<IconSink>(std::stop_token)>;

    TScanJob(std::unique_ptr<TExtractThread> scan, SinkMaker makeSink)
        : scan_(std::move(scan)), makeSink_(std::move(makeSink)) {}

    void Run(TJobContext& context) override;
    // How the scan ended, given how its job ended: a job that failed broke off, on no one
    // file (no Subject).
    TJobEnd EndOf(const TJobEnd& end) const;

private:
    std::unique_ptr<TExtractThread> scan_;
    SinkMaker makeSink_;
    TJobEnd end_;
};

// A scan on its own worker, without a receiving thread of its own: its sink carries what
// it needs. The end notice runs on the worker thread after the work returned.
class ExtractWorker {
public:
    using SinkMaker = TScanJob::SinkMaker;
    using EndNotice = std::function<void(const TJobEnd&)>;

    // Starts at once. Destroying the worker asks it to stop and waits for it (TJobWorker).
    ExtractWorker(std::unique_ptr<TExtractThread> job, SinkMaker makeSink, EndNotice onEnd);

    // The worker ends after the current folder entry or icon.
    void RequestStop() { worker_.RequestStop(); }

private:
    static TJobWorker::EndNotice scanEnd(const std::shared_ptr<TScanJob>& job, EndNotice onEnd);

    std::shared_ptr<TScanJob> job_;
    TJobWorker worker_;
};

}  // namespace gs
