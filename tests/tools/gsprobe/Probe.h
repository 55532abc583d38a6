#pragma once
// gsprobe: each probe_*.cpp registers its subcommands with a static Registrar.
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace gsprobe {

using Args = std::vector<std::string>;
using Command = std::function<int(const Args&)>;

std::map<std::string, Command>& commands();

struct Registrar {
    Registrar(const std::string& name, Command cmd) { commands()[name] = std::move(cmd); }
};

// Exit code for a wrong call.
constexpr int kUsage = 2;
// Exit codes when the icon yields no bitmap of the kind asked, or there is no icon at INDEX.
constexpr int kNothing = 3;
constexpr int kNoSuchIcon = 4;

}  // namespace gsprobe

#include <optional>

#include "platform/Raster.h"

namespace gsprobe {

// The bitmap KIND (exact48 ... scaled16, preview) of icon INDEX of FILE; on failure the
// exit code in `status`.
std::optional<gs::TRaster> bitmapOf(const std::string& file, const std::string& index, const std::string& kind,
                                   int& status);

}  // namespace gsprobe
