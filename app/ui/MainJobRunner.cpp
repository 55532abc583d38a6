#include "app/ui/MainJobRunner.h"

namespace gs {

TMainJobRunner::TMainJobRunner(IIconSink& receiver, QObject* parent) : TJobRunner(parent), receiver_(receiver) {}

bool TMainJobRunner::Start(std::unique_ptr<TExtractThread> job) {
    auto makeSink = [channel = Channel(), receiver = &receiver_](std::stop_token stop) -> std::unique_ptr<IIconSink> {
        return std::make_unique<THandOverIconSink>(channel, *receiver, std::move(stop));
    };
    auto scan = std::make_shared<TScanJob>(std::move(job), std::move(makeSink));
    return Start(scan, [this, scan](const TJobEnd& end) { emit ScanEnded(scan->EndOf(end)); });
}

}  // namespace gs
