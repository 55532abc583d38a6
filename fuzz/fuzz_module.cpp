// A module opened for its icon groups, each group then loaded by the names the program
// uses: as listed, in another case, as "#id", and names no group has.
#include <algorithm>
#include <cctype>
#include <exception>

#include "FuzzCommon.h"
#include "FuzzFile.h"
#include "iconlib/IconModule.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzInputAsFile(data, size);
    if (path.empty()) return 0;
    std::unique_ptr<gs::IIconModule> module;
    std::vector<std::string> names;
    try {
        module = gs::IIconModule::Open(path);
        names = module->GroupNames();  // a damaged resource directory raises its read error
    } catch (const std::exception&) {
        return 0;
    }
    if (names.size() > 8) names.resize(8);
    for (std::string name : std::vector<std::string>(names)) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        names.push_back(name);
        names.push_back("#" + name);
    }
    for (const char* other : {"", "#", "#0", "1", "#65535", "#4294967296", "MAINICON"}) names.emplace_back(other);
    for (const std::string& name : names) {
        try {
            if (auto icon = module->LoadIcon(name)) exerciseIcon(*icon);
        } catch (const std::exception&) {
        }
    }
    return 0;
}
