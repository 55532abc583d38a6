#pragma once
// Helpers shared by the codec tests.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "codecs/GifTypes.h"

namespace gstest {

// The message of the error that f raises, or "" when it raises none.
inline std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

// Every progress event as "message stage percent".
struct ProgressLog {
    std::vector<std::string> events;
    gs::TGIFProgressEvent handler() {
        return [this](gs::TProgressStage stage, int percent, const std::string& message) {
            const char* s = stage == gs::TProgressStage::psStarting ? "start"
                            : stage == gs::TProgressStage::psEnding ? "end"
                                                                     : "step";
            events.push_back(message + " " + s + " " + std::to_string(percent));
        };
    }
    int count(const std::string& event) const { return int(std::count(events.begin(), events.end(), event)); }
};

}  // namespace gstest
