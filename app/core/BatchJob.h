#pragma once
// The "/XB:" walk as a job (Job.h): its progress goes to an observer on the receiving
// thread (the progress window), each new file asked and waited for, so that a stop given
// meanwhile is seen before that file's first icon; the counts are posted. Stopping is the
// worker's stop token.
#include <memory>

#include "app/core/BatchExport.h"
#include "app/core/Job.h"

namespace gs {

// The walk's observer on the worker thread, carrying what it shows to `receiver`, which is
// reached only on the receiving thread.
class THandOverBatchObserver final : public IBatchObserver {
public:
    THandOverBatchObserver(const TJobContext& context, IBatchObserver& receiver)
        : context_(context), receiver_(receiver) {}

    void ShowCurrentFile(const std::string& path) override;
    void ShowFound(int foundTotal) override;
    void ShowSaved(int savedTotal) override;
    bool StopRequested() const override { return context_.StopRequested(); }

private:
    const TJobContext& context_;
    IBatchObserver& receiver_;
};

class TBatchRunJob : public IJob {
public:
    // `receiver` must outlive the run (the progress window that runs it).
    TBatchRunJob(TBatchJob job, IBatchObserver& receiver) : job_(std::move(job)), receiver_(receiver) {}

    void Run(TJobContext& context) override;
    // The walk's result once its job ended: an error that ended the job is the failure of
    // the source as a whole.
    TBatchResult ResultOf(const TJobEnd& end) const;

private:
    TBatchJob job_;
    IBatchObserver& receiver_;
    TBatchResult result_;
};

}  // namespace gs
