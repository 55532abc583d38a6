// gsprobe subcommands over the favourites and the shell verb:
//   favorites show               the stored tree, one line per node, children indented by
//                                two blanks: "Favorites", "[folder]", "name|target"
//   favorites add-many           NAME|PATH lines on stdin, each added to the root; the tree
//                                is saved by the program's own start and teardown
//   shellverb status|register|remove [PROGRAM]
//                                for PROGRAM (default: this probe) and the user's entry;
//                                status prints 0, 1 or 2
// The store is the one GLYPHSCOPE_REGISTRY names; the entry is under XDG_DATA_HOME.
#include <filesystem>
#include <iostream>
#include <string>

#include "Probe.h"
#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/core/Favorites.h"
#include "app/core/ShellVerb.h"
#include "framework/core/Exceptions.h"

namespace {

using namespace gs;

std::string selfPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

int show() {
    TFavoritesFolder root;
    root.Load(defaultRegistryStore(), kAppRegRoot, FavoritesKey(kRegAppKey));
    WalkFavorites(root, true, [](const TFavoritesNode& n) {
        std::cout << std::string(std::size_t(n.Depth) * 2, ' ');
        if (n.NodeKind == TFavoritesNode::nkFavorite) std::cout << n.Item->Name << '|' << n.Item->Target << '\n';
        else if (n.NodeKind == TFavoritesNode::nkFolder) std::cout << '[' << n.Folder->Name << "]\n";
        else std::cout << n.Folder->Name << '\n';
    });
    return 0;
}

int addMany() {
    std::unique_ptr<TAppContext> context = InitializeApplication(selfPath(), defaultRegistryStore());
    int refused = 0;
    for (std::string line; std::getline(std::cin, line);) {
        const std::size_t bar = line.find('|');
        if (bar == std::string::npos) continue;
        try {
            AddFavorite(context->Favorites, line.substr(0, bar), line.substr(bar + 1));
        } catch (const EQBException& e) {
            std::cerr << e.MessageCopy() << '\n';
            ++refused;
        }
    }
    FinalizeApplication(std::move(context), TFinalizeMode::SaveState);
    return refused ? 1 : 0;
}

int favorites(const gsprobe::Args& args) {
    if (args.size() == 1 && args[0] == "show") return show();
    if (args.size() == 1 && args[0] == "add-many") return addMany();
    std::cerr << "usage: gsprobe favorites show|add-many\n";
    return gsprobe::kUsage;
}

int shellverb(const gsprobe::Args& args) {
    if (args.empty() || args.size() > 2) {
        std::cerr << "usage: gsprobe shellverb status|register|remove [PROGRAM]\n";
        return gsprobe::kUsage;
    }
    const TShellVerb verb(args.size() == 2 ? args[1] : selfPath(), ShellVerbEntryFile());
    if (args[0] == "status") {
        std::cout << int(verb.Status()) << '\n';
        return 0;
    }
    if (args[0] == "register") return verb.Register() ? 0 : 1;
    if (args[0] == "remove") return verb.Unregister() ? 0 : 1;
    return gsprobe::kUsage;
}

gsprobe::Registrar favoritesCommand("favorites", favorites);
gsprobe::Registrar shellverbCommand("shellverb", shellverb);

}  // namespace
