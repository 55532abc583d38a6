#include "app/core/ScanJob.h"

#include <new>
#include <stdexcept>

namespace gs {

void TScanJob::Run(TJobContext& context) {
    try {
        std::unique_ptr<IIconSink> sink = makeSink_(context.StopToken());
        end_ = scan_->Execute(*sink, context.StopToken());
    } catch (const std::bad_alloc&) {
        // Said in the scan's own words; the listing so far stays.
        throw std::runtime_error(kMsgScanOutOfMemory);
    }
}

TJobEnd TScanJob::EndOf(const TJobEnd& end) const { return end.Failed() ? end : end_; }

}  // namespace gs
