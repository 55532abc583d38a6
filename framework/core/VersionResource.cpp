#include "framework/core/VersionRoutines.h"
#include "iconlib/PEResources.h"

namespace gs {

// Other files' version blocks come from their RT_VERSION resource, read by the icon
// library's PE reader without loading the module.
std::optional<TBytes> readVersionResourceBytes(const std::filesystem::path& path) { return readVersionResource(path); }

}  // namespace gs
