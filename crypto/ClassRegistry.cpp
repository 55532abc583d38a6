#include "crypto/ClassRegistry.h"

#include "crypto/CryptoErrors.h"

namespace gs::crypto {

std::string_view ShortClassName(std::string_view className) {
    std::size_t underscore = className.find('_');
    if (underscore != std::string_view::npos) return className.substr(underscore + 1);
    return className.starts_with('T') ? className.substr(1) : className;
}

std::string_view RegisteredName(const TClassNames& names) {
    return names.name.empty() ? ShortClassName(names.className) : names.name;
}

std::string RegistryEntry(const TClassNames& names) {
    return std::string(RegisteredName(names)) + "=" + std::string(names.comment);
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

void NotRegistered(std::string_view kind, std::string_view name) {
    throw EUnknownAlgorithm(std::string(kind) + " \"" + std::string(name) + "\" is not registered.");
}

}  // namespace gs::crypto
