#include "app/core/ShareJobs.h"

#include <utility>

namespace gs {

TMailIconsJob::TMailIconsJob(std::vector<TIconDef*> entries, TKAVUOptions options, const TQBApplication& app,
                             TQBMapi mapi)
    : entries_(std::move(entries)), options_(std::move(options)), app_(app), mapi_(std::move(mapi)) {
    // The worker only notes the outcome; its events are kept for the receiving thread.
    onSuccess_ = std::exchange(mapi_.OnSuccess, [this](TQBMapi&) { outcome_ = kMapiSuccess; });
    onUserAbort_ = std::exchange(mapi_.OnUserAbort, [this](TQBMapi&) { outcome_ = kMapiUserAbort; });
    onMapiError_ = std::exchange(mapi_.OnMapiError, [this](TQBMapi&, int code) { outcome_ = code; });
}

void TMailIconsJob::Run(TJobContext& context) {
    mapi_.Stop = context.StopToken();
    SendIconsByMail(entries_, options_, app_, mapi_);
}

void TMailIconsJob::DeliverOutcome() {
    if (!outcome_) return;
    if (*outcome_ == kMapiSuccess) {
        if (onSuccess_) onSuccess_(mapi_);
    } else if (*outcome_ == kMapiUserAbort) {
        if (onUserAbort_) onUserAbort_(mapi_);
    } else if (onMapiError_) {
        onMapiError_(mapi_, *outcome_);
    }
}

void TIconLibraryJob::Run(TJobContext&) {
    if (way_ == TWay::Create) CreateIconLibrary(file_, entries_);
    else AddToIconLibrary(file_, entries_);
}

}  // namespace gs
