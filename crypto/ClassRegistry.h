#pragma once
// The scheme that the hash and the cipher registries share: each class is described once
// (class name, registered name, comment), listed in registration order, and found by name.
#include <string>
#include <string_view>
#include <vector>

namespace gs::crypto {

struct TClassNames {
    std::string_view className;  // "TCipher_Blowfish"
    std::string_view name;       // registered name; empty: the short class name stands for it
    std::string_view comment;
};

// The class name without the leading "T" and everything up to and including the first "_".
std::string_view ShortClassName(std::string_view className);
std::string_view RegisteredName(const TClassNames& names);
// "NAME=COMMENT", the registry entry.
std::string RegistryEntry(const TClassNames& names);
bool SameText(std::string_view a, std::string_view b);

// The given name, less everything up to its first "_", against each short class name
// (letter case ignored), then the whole name against the registered names.
template <class C>
const C* FindRegistered(const std::vector<const C*>& list, std::string_view name) {
    std::string_view stripped = name.substr(name.find('_') == std::string_view::npos ? 0 : name.find('_') + 1);
    for (const C* c : list)
        if (SameText(stripped, ShortClassName(c->names.className))) return c;
    for (const C* c : list)
        if (SameText(name, RegisteredName(c->names))) return c;
    return nullptr;
}

// As FindRegistered; raises EUnknownAlgorithm "KIND "NAME" is not registered." when none answers.
[[noreturn]] void NotRegistered(std::string_view kind, std::string_view name);
template <class C>
const C& RequireRegistered(const std::vector<const C*>& list, std::string_view name, std::string_view kind) {
    if (const C* c = FindRegistered(list, name)) return *c;
    NotRegistered(kind, name);
}

}  // namespace gs::crypto
