#pragma once
// The root of every error the toolbar library raises (items, docking), so the windows'
// guard and the program can tell the library's refusals from anything else.
#include <stdexcept>

namespace tb {

class ETBError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tb
