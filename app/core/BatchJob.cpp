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
    outcome_ = TBatchExport(job_, observer).ExtractFiles();
}

TBatchOutcome TBatchRunJob::OutcomeOf(const TJobEnd& end) const {
    TBatchOutcome outcome = outcome_;
    if (end.Kind == TJobEndKind::Failed && !outcome.Failure) outcome.Failure = TBatchFailure{job_.FileSpec, end.Reason};
    return outcome;
}

}  // namespace gs
