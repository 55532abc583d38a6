#include "platform/ReadBudget.h"

#include <algorithm>

namespace gs {

std::uint64_t TReadBudget::LimitFor(std::uint64_t fileSize) {
    const std::uint64_t multiple = fileSize > kCeiling / kFileMultiple ? kCeiling : fileSize * kFileMultiple;
    return std::clamp(multiple, kFloor, kCeiling);
}

TReadBudget TReadBudget::ForFile(std::uint64_t fileSize) { return TReadBudget(LimitFor(fileSize), fileSize); }

void TReadBudget::Take(std::uint64_t bytes, const std::string& what) {
    if (Fits(bytes)) {
        held_ += bytes;
        return;
    }
    throw EOverBudget("The file is refused: reading " + what + " would hold more than " + std::to_string(limit_) +
                      " bytes of memory for a file of " + std::to_string(fileSize_) + " bytes (at most " +
                      std::to_string(kFileMultiple) + " times its size, at least " + std::to_string(kFloor >> 20) +
                      " MiB, never more than " + std::to_string(kCeiling >> 20) + " MiB).");
}

}  // namespace gs
