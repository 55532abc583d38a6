#pragma once
// Files the user keeps are written whole. The data goes into a file that has no name until
// it is complete (O_TMPFILE), which is then linked in under the target's name; a file
// being replaced is flushed and renamed over. Where the file system cannot make unnamed
// files, a temporary with a short fixed-length name beside the target is used instead, so
// any name the folder accepts can be written. A failure leaves the old file untouched and
// no partial file behind.
#include <filesystem>
#include <span>

#include "platform/ByteSource.h"

namespace gs {

// Throws EFCreateError ("Cannot create file "<target>". <reason>") when the file cannot
// be written.
void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> data);
// The file made of the parts one after the other, written from where they are: large data
// held elsewhere (an icon's images) is not first copied into one buffer.
using FileParts = std::span<const std::span<const std::uint8_t>>;
void writeFileAtomically(const std::filesystem::path& target, FileParts parts);

namespace detail {
// As writeFileAtomically; `unnamed` false takes the named-temporary way (tests of it).
void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> data, bool unnamed);
void writeFileAtomically(const std::filesystem::path& target, FileParts parts, bool unnamed);
}  // namespace detail

}  // namespace gs
