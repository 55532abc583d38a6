#pragma once
// Helpers shared by the codec tests.
#include <functional>
#include <string>

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

}  // namespace gstest
