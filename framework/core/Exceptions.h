#pragma once
// The error type of the program: a message for the user, a details text (often the
// message of the error that caused it) and a severity that decides whether the program
// goes on after showing it.
#include <cstdint>
#include <stdexcept>
#include <string>

#include "framework/core/MessageBoxes.h"

namespace gs {

// Also the kind of box the error is shown in (BoxTypeOf).
enum class TQBSeverity : std::uint8_t { Critical = 0, Warning = 1, Information = 2 };

// The box an error of this severity is shown in.
constexpr TQBMessageType BoxTypeOf(TQBSeverity severity) {
    switch (severity) {
    case TQBSeverity::Critical: return TQBMessageType::mtError;
    case TQBSeverity::Warning: return TQBMessageType::mtWarning;
    default: return TQBMessageType::mtInformation;
    }
}

class EQBException : public std::runtime_error {
public:
    EQBException(const std::string& msg, std::string details, TQBSeverity severity)
        : std::runtime_error(msg), messageCopy_(msg), details_(std::move(details)), severity_(severity) {}

    const std::string& MessageCopy() const { return messageCopy_; }
    const std::string& Details() const { return details_; }
    TQBSeverity Severity() const { return severity_; }

private:
    std::string messageCopy_;
    std::string details_;
    TQBSeverity severity_;
};

}  // namespace gs
