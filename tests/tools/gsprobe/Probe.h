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

}  // namespace gsprobe
