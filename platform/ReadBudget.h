#pragma once
// What reading one file may make us hold. Every reader of a file counts what it keeps (image
// bytes, the objects that hold them) against one budget made for that file before it
// allocates; a file that would pass it is refused as a whole, with EOverBudget saying why.
// The limit is a small multiple of the bytes the file really has, so that honest files,
// whose images are their bytes, always fit, and files naming the same bytes over and over
// never multiply them; a floor lets small files hold their few objects; a ceiling bounds
// the largest files. The figures are listed in docs/bounds.md.
#include <cstdint>
#include <string>
#include <utility>

#include "platform/Errors.h"

namespace gs {

// Reading a file would hold more than its budget: the file is refused. The message is the
// reason, unless a reader says its own error and keeps the reason apart.
class EOverBudget : public EReadError {
public:
    explicit EOverBudget(const std::string& reason) : EReadError(reason), reason_(reason) {}
    EOverBudget(const std::string& message, std::string reason) : EReadError(message), reason_(std::move(reason)) {}
    // Why the file was refused: what was being read and the limit.
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

class TReadBudget {
public:
    static constexpr std::uint64_t kFileMultiple = 4;
    static constexpr std::uint64_t kFloor = std::uint64_t(1) << 20;       // 1 MiB
    static constexpr std::uint64_t kCeiling = std::uint64_t(256) << 20;   // 256 MiB
    // What one object kept for a file costs besides its bytes (an image, an icon, a name).
    static constexpr std::uint64_t kObjectCost = 128;

    // The budget of a file of `fileSize` bytes.
    static TReadBudget ForFile(std::uint64_t fileSize);
    static std::uint64_t LimitFor(std::uint64_t fileSize);

    std::uint64_t Limit() const { return limit_; }
    std::uint64_t Held() const { return held_; }
    bool Fits(std::uint64_t bytes) const { return bytes <= limit_ - held_; }
    // Counts `bytes` more; EOverBudget, naming `what` was being read, when they do not fit.
    void Take(std::uint64_t bytes, const std::string& what);
    // Counts one more object kept (see kObjectCost).
    void TakeObject(const std::string& what) { Take(kObjectCost, what); }

private:
    TReadBudget(std::uint64_t limit, std::uint64_t fileSize) : limit_(limit), fileSize_(fileSize) {}

    std::uint64_t limit_;
    std::uint64_t fileSize_;
    std::uint64_t held_ = 0;
};

}  // namespace gs
