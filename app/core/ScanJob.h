#pragma once
// One extraction as a job (Job.h): the scan runs on a worker with its stop token and hands
// its icons to a sink made on the worker thread from that token, so that a hand-over to
// another thread gives up waiting as soon as the worker is asked to stop. The window runs it
// on its runner (app/ui/MainJobRunner).
#include <functional>
#include <memory>
#include <stop_token>
#include <string>

#include "app/core/ExtractThread.h"
#include "app/core/Job.h"

namespace gs {

inline constexpr const char* kMsgScanOutOfMemory = "Not enough memory to go on listing icons.";

class TScanJob : public IJob {
public:
    using SinkMaker = std::function<std::unique_ptr<IIconSink>(std::stop_token)>;

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

}  // namespace gs
