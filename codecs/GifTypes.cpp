#include "codecs/GifTypes.h"

#include <exception>

namespace gs {

TGifProgress::TGifProgress(const TGIFProgressEvent& event, std::string message)
    : event_(event), message_(std::move(message)), exceptionsAtStart_(std::uncaught_exceptions()) {
    if (event_) event_(TProgressStage::psStarting, 0, message_);
}

TGifProgress::~TGifProgress() {
    if (!event_) return;
    bool failing = std::uncaught_exceptions() > exceptionsAtStart_;
    try {
        event_(TProgressStage::psEnding, failing ? 0 : 100, message_);
    } catch (...) {
        // A destructor cannot pass an error on; a failing end-of-work handler is ignored.
    }
}

void TGifProgress::Step(int percentDone) const {
    if (event_) event_(TProgressStage::psRunning, percentDone, message_);
}

}  // namespace gs
