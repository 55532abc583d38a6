#include "app/core/ExtractWorker.h"

#include <new>
#include <stdexcept>

namespace gs {

void TScanJob::Run(TJobContext& context) {
    try {
        std::unique_ptr<IconSink> sink = makeSink_(context.StopToken());
        end_ = scan_->Execute(*sink, context.StopToken());
    } catch (const std::bad_alloc&) {
        // Said in the scan's own words; the listing so far stays.
        throw std::runtime_error(kMsgScanOutOfMemory);
    }
}

TJobEnd TScanJob::EndOf(const TJobEnd& end) const { return end.Failed() ? end : end_; }

TJobWorker::EndNotice ExtractWorker::scanEnd(const std::shared_ptr<TScanJob>& job, EndNotice onEnd) {
    return [job, onEnd = std::move(onEnd)](const TJobEnd& end) {
        if (onEnd) onEnd(job->EndOf(end));
    };
}

ExtractWorker::ExtractWorker(std::unique_ptr<TExtractThread> job, SinkMaker makeSink, EndNotice onEnd)
    : job_(std::make_shared<TScanJob>(std::move(job), std::move(makeSink))),
      worker_(job_, nullptr, scanEnd(job_, std::move(onEnd))) {}

}  // namespace gs
