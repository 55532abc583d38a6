#include "framework/core/VersionRoutines.h"

namespace gs {

// The seam to the icon library's PE resource reader: until that reader is linked in here,
// no other file's version block can be read, and the version routines give their
// no-block answers for them.
std::optional<Bytes> readVersionResourceBytes(const std::filesystem::path&) { return std::nullopt; }

}  // namespace gs
