#pragma once
// Files the user keeps are written whole: into a temporary file in the target folder,
// flushed, then renamed over the target. A failure leaves the old file untouched and no
// partial file behind.
#include <filesystem>
#include <functional>
#include <span>

#include "platform/ByteSource.h"

namespace gs {

// Throws EFCreateError when the file cannot be written.
void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> data);

}  // namespace gs
