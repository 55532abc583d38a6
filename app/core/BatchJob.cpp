#include "app/core/BatchJob.h"

namespace gs {

void THandOverBatchObserver::ShowCurrentFile(const std::string& path) {
    context_.Ask<int>([receiver = &receiver_, path] {
        receiver->ShowCurrentFile(path);
        return 0;
    });
}

void THandOverBatchObserver::ShowFound(int foundTotal) {
    context_.Post([receiver = &receiver_, foundTotal] { receiver->ShowFound(foundTotal); });
}

void THandOverBatchObserver::ShowSaved(int savedTotal) {
    context_.Post([receiver = &receiver_, savedTotal] { receiver->ShowSaved(savedTotal); });
}

void TBatchRunJob::Run(TJobContext& context) {
    THandOverBatchObserver observer(context, receiver_);
    result_ = TBatchExport(job_, observer).ExtractFiles();
}

TBatchResult TBatchRunJob::ResultOf(const TJobEnd& end) const {
    TBatchResult result = result_;
    if (end.Failed() && !result.End.Failed()) result.End = TJobEnd::Failure(job_.FileSpec, end.Reason);
    return result;
}

}  // namespace gs
