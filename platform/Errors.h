#pragma once
// Stand-ins for the error classes of the class library the program was designed on.
// Each carries a user-readable message; callers that only care about "could not read"
// catch std::exception.
#include <cstddef>
#include <stdexcept>
#include <string>

namespace gs {

// Every line the program prints on stderr begins with this, boxes printed for want of a
// display included.
constexpr const char* kMessagePrefix = "glyphscope: ";

// Base of every error raised by the platform layer.
class EPlatformError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be opened for reading (missing, not a regular file, no permission).
class EFOpenError : public EPlatformError {
public:
    using EPlatformError::EPlatformError;
};

// A file could not be created or written.
class EFCreateError : public EPlatformError {
public:
    using EPlatformError::EPlatformError;
};

// Data ended early or a field points outside the bytes that exist.
class EReadError : public EPlatformError {
public:
    using EPlatformError::EPlatformError;
};

// A resource asked for by type and name is not in a module.
class EResNotFound : public EPlatformError {
public:
    using EPlatformError::EPlatformError;
};

// An index outside a list, as every list of the program says it.
class EListError : public std::out_of_range {
public:
    explicit EListError(long index) : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}
};

// `index` when it names one of `count` items; EListError otherwise.
inline std::size_t checkedListIndex(long index, std::size_t count) {
    if (index < 0 || std::size_t(index) >= count) throw EListError(index);
    return std::size_t(index);
}

}  // namespace gs
