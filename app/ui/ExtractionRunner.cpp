#include "app/ui/ExtractionRunner.h"

#include <QMetaObject>

namespace gs {

ExtractionHandOver::ExtractionHandOver(IconSink& receiver, QObject* parent)
    : QObject(parent), receiver_(receiver) {
    // The channel posts under its lock and drops the poster on Close, so `this` is alive
    // whenever it is posted to; Qt discards events still queued for it when it goes.
    channel_ = std::make_shared<HandOverChannel>([this](HandOverChannel::Task task) {
        QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
    });
}

ExtractionHandOver::~ExtractionHandOver() { channel_->Close(); }

ExtractWorker::SinkMaker ExtractionHandOver::SinkMaker() const {
    return [channel = channel_, receiver = &receiver_](std::stop_token stop) -> std::unique_ptr<IconSink> {
        return std::make_unique<HandOverIconSink>(channel, *receiver, std::move(stop));
    };
}

ExtractWorker::EndNotice ExtractionHandOver::PostedEndNotice(ExtractWorker::EndNotice onEnd) const {
    return [channel = channel_, onEnd = std::move(onEnd)](ExtractEnd end, const std::string& why) {
        channel->Post([onEnd, end, why] { onEnd(end, why); });
    };
}

ExtractionRunner::ExtractionRunner(IconSink& receiver, QObject* parent)
    : QObject(parent), handOver_(std::make_unique<ExtractionHandOver>(receiver)) {}

ExtractionRunner::~ExtractionRunner() {
    handOver_.reset();
    worker_.reset();
}

bool ExtractionRunner::Start(std::unique_ptr<TExtractThread> job) {
    if (worker_) return false;
    // The notice runs on this thread through the hand-over object, which this runner owns,
    // so `this` is alive whenever it runs.
    worker_ = std::make_unique<ExtractWorker>(std::move(job), handOver_->SinkMaker(),
                                              handOver_->PostedEndNotice([this](ExtractEnd end, const std::string& why) { WorkerEnded(end, why); }));
    return true;
}

void ExtractionRunner::Stop() {
    if (worker_) worker_->RequestStop();
}

void ExtractionRunner::WorkerEnded(ExtractEnd end, const std::string& why) {
    // The worker has posted its last word and is returning; waiting for it is brief.
    worker_.reset();
    abortReason_ = why;
    emit Ended(end);
}

}  // namespace gs
