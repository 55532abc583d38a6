#pragma once
// Errors of the cipher and hash library. Each carries the library's own message text.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace gs::crypto {

class ECryptoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A chain of protections that would lead back to itself.
class EProtection : public ECryptoError {
public:
    using ECryptoError::ECryptoError;
};

// A string format that is not registered, or text/bytes it cannot convert.
class EStringFormat : public ECryptoError {
public:
    using ECryptoError::ECryptoError;
};

// A name that no registered hash or cipher class answers to.
class EUnknownAlgorithm : public ECryptoError {
public:
    using ECryptoError::ECryptoError;
};

// A file that could not be read or written while coding it.
class ECodingFile : public ECryptoError {
public:
    using ECryptoError::ECryptoError;
};

class ECipherException : public ECryptoError {
public:
    // Codes: 3 coding before a key; 4 a partial block in ECB mode; 5 an initial vector
    // shorter than the block.
    static constexpr std::int32_t kNotInitialized = 3;
    static constexpr std::int32_t kPartialBlock = 4;
    static constexpr std::int32_t kShortVector = 5;

    ECipherException(std::int32_t code, const std::string& message) : ECryptoError(message), code_(code) {}
    std::int32_t ErrorCode() const { return code_; }

private:
    std::int32_t code_;
};

}  // namespace gs::crypto
