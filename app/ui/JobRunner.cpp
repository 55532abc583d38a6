#include "app/ui/JobRunner.h"

#include <QMetaObject>

namespace gs {

TJobRunner::TJobRunner(QObject* parent) : QObject(parent) {
    // The channel posts under its lock and drops the poster on Close, so `this` is alive
    // whenever it is posted to; Qt discards events still queued for it when it goes.
    channel_ = std::make_shared<THandOverChannel>([this](THandOverChannel::Task task) {
        QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
    });
}

TJobRunner::~TJobRunner() {
    channel_->Close();
    worker_.reset();
}

bool TJobRunner::Start(std::shared_ptr<IJob> job, EndHandler onEnd) {
    if (worker_ || !job) return false;
    onEnd_ = std::move(onEnd);
    // The end is posted to this object, so `this` is alive whenever it runs.
    worker_ = std::make_unique<TJobWorker>(std::move(job), channel_, [channel = channel_, this](const TJobEnd& end) {
        channel->Post([this, end] { finish(end); });
    });
    return true;
}

void TJobRunner::Stop() {
    if (worker_) worker_->RequestStop();
}

void TJobRunner::finish(const TJobEnd& end) {
    // The worker has posted its last word and is returning; waiting for it is brief.
    worker_.reset();
    EndHandler onEnd = std::move(onEnd_);
    onEnd_ = nullptr;
    if (onEnd) onEnd(end);
}

}  // namespace gs
