#include "app/core/Job.h"

#include <new>

namespace gs {

TJobEnd RunJob(IJob& job, TJobContext& context) {
    TJobEnd end;
    try {
        job.Run(context);
        if (context.StoppedReason()) {
            end.Kind = TJobEnd::TKind::Stopped;
            end.Reason = *context.StoppedReason();
        } else if (context.StopRequested()) {
            end.Kind = TJobEnd::TKind::Stopped;
        }
    } catch (const std::bad_alloc&) {
        end = {TJobEnd::TKind::Failed, kMsgJobOutOfMemory, {}, std::current_exception()};
    } catch (const std::exception& e) {
        end = {TJobEnd::TKind::Failed, e.what(), {}, std::current_exception()};
    } catch (...) {
        end = {TJobEnd::TKind::Failed, "Unknown error.", {}, std::current_exception()};
    }
    return end;
}

TJobWorker::TJobWorker(std::shared_ptr<IJob> job, std::shared_ptr<THandOverChannel> channel, EndNotice onEnd)
    : thread_([job = std::move(job), channel = std::move(channel), onEnd = std::move(onEnd)](std::stop_token stop) {
          TJobContext context(channel, std::move(stop));
          const TJobEnd end = RunJob(*job, context);
          if (onEnd) onEnd(end);
      }) {}

}  // namespace gs
