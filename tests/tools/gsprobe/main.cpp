#include <exception>
#include <iostream>

#include "Probe.h"

namespace gsprobe {
std::map<std::string, Command>& commands() {
    static std::map<std::string, Command> table;
    return table;
}
}  // namespace gsprobe

int main(int argc, char** argv) {
    auto& table = gsprobe::commands();
    if (argc < 2 || !table.count(argv[1])) {
        std::cerr << "usage: gsprobe COMMAND ARGS...\ncommands:";
        for (auto& [name, cmd] : table) std::cerr << ' ' << name;
        std::cerr << '\n';
        return gsprobe::kUsage;
    }
    try {
        return table[argv[1]](gsprobe::Args(argv + 2, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "gsprobe: " << e.what() << '\n';
        return 1;
    }
}
