#pragma once
// The icon library's own error, raised by its readers and writers and by every call of the
// library given an index outside what it holds.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace gs {

class EQBICLReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A library that cannot be written as an icon library: a read error too, so that whoever
// catches the library's errors catches this one.
class EQBICLWriteError : public EQBICLReadError {
public:
    using EQBICLReadError::EQBICLReadError;
};

// "List index out of bounds (N)", the error of an index outside a list or a picture.
EQBICLReadError indexOutOfBounds(std::int64_t index);

}  // namespace gs
