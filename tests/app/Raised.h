#pragma once
// The EQBException a call raises, for checking its message, details and severity.
#include <gtest/gtest.h>

#include "framework/core/Exceptions.h"

namespace gstest {

// Runs f, which must raise EQBException, and returns it.
template <class F>
gs::EQBException raised(F&& f) {
    try {
        f();
    } catch (const gs::EQBException& e) {
        return e;
    }
    ADD_FAILURE() << "no EQBException";
    return gs::EQBException("", "", gs::TQBSeverity::Critical);
}

}  // namespace gstest
