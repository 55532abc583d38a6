#pragma once
// A module opened for its icon groups, as a program's instance was for the platform's icon
// loader: a 32-bit or 64-bit PE module, or a 16-bit NE module or icon library. Groups are
// found by name without regard to case, as the platform's resource lookup finds them; a PE
// group with an integer id is also found by its id written in decimal or as "#id".
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "iconlib/Icon.h"
#include "iconlib/PEResources.h"

namespace gs {

class IIconModule {
public:
    // EFOpenError when the file cannot be opened; EReadError when it is no module whose
    // icon groups can be read.
    static std::unique_ptr<IIconModule> Open(const std::filesystem::path& fileName);
    virtual ~IIconModule() = default;

    // The names of its icon groups, in the order the module lists them.
    virtual std::vector<std::string> GroupNames() const = 0;
    // A new icon of the group; EResNotFound when the module has no such group.
    virtual std::unique_ptr<TQBIcon> LoadIcon(const std::string& name) const = 0;
};

}  // namespace gs
