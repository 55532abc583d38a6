#include "app/ui/ExtractionRunner.h"

namespace gs {

ExtractionRunner::ExtractionRunner(IconSink& receiver, QObject* parent) : TJobRunner(parent), receiver_(receiver) {}

bool ExtractionRunner::Start(std::unique_ptr<TExtractThread> job) {
    auto makeSink = [channel = Channel(), receiver = &receiver_](std::stop_token stop) -> std::unique_ptr<IconSink> {
        return std::make_unique<HandOverIconSink>(channel, *receiver, std::move(stop));
    };
    auto scan = std::make_shared<TScanJob>(std::move(job), std::move(makeSink));
    return Start(scan, [this, scan](const TJobEnd& end) { emit Ended(scan->EndOf(end)); });
}

}  // namespace gs
