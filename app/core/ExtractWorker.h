#pragma once
// One extraction on its own std::jthread. The worker starts at once; its end notice runs on
// the worker thread after the work returned (a window posts it on to its own thread). The
// sink is made on the worker thread from the worker's stop token, so that a hand-over to
// another thread gives up waiting as soon as the worker is asked to stop.
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>

#include "app/core/ExtractThread.h"

namespace gs {

class ExtractWorker {
public:
    using SinkMaker = std::function<std::unique_ptr<IconSink>(std::stop_token)>;
    // How the run ended and, when it broke off (Aborted), what broke it.
    using EndNotice = std::function<void(ExtractEnd, const std::string& why)>;

    ExtractWorker(std::unique_ptr<TExtractThread> job, SinkMaker makeSink, EndNotice onEnd);
    // Asks the worker to stop and waits for it. This never hangs on a worker that waits
    // for another thread: the hand-over looks at the stop request in short slices. Never
    // destroy a worker from its own end notice on the worker thread.
    ~ExtractWorker() = default;
    ExtractWorker(const ExtractWorker&) = delete;
    ExtractWorker& operator=(const ExtractWorker&) = delete;

    // The worker ends after the current folder entry or icon.
    void RequestStop() { thread_.request_stop(); }

private:
    std::jthread thread_;
};

}  // namespace gs
