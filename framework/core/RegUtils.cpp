#include "framework/core/RegUtils.h"

#include <exception>

namespace gs {

namespace {

using Mode = RegistryStore::Mode;

// Runs `body` as one transaction; any failure undoes it and gives `fallback`.
template <class R, class F>
R attempt(RegistryStore& store, Mode mode, R fallback, F&& body) {
    try {
        RegTransaction t = store.begin(mode);
        R result = body(t);
        t.commit();
        return result;
    } catch (const std::exception&) {
        return fallback;
    }
}

// A change is one write transaction. One refused only because another process holds the
// store is kept by the store and made later in the run, so `body` owns what it writes.
bool change(RegistryStore& store, RegistryStore::DeferredWrite body) {
    try {
        RegTransaction t = store.begin(Mode::Write);
        body(t);
        t.commit();
        return true;
    } catch (const RegistryBusy&) {
        store.deferWrite(std::move(body));
    } catch (const std::exception&) {
    }
    return false;
}

std::optional<RegValue> readValue(RegistryStore& store, RegRootId root, std::string_view key,
                                  std::string_view name) {
    return attempt(store, Mode::Read, std::optional<RegValue>(), [&](RegTransaction& t) {
        std::optional<RegKeyId> k = t.openKey(root, key);
        return k ? t.readValue(*k, name) : std::nullopt;
    });
}

bool writeValue(RegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                const RegValue& value) {
    return change(store, [root, key = std::string(key), name = std::string(name), value](RegTransaction& t) {
        t.writeValue(t.createKey(root, key), name, value);
    });
}

}  // namespace

std::string RegReadString(RegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                          const std::string& defaultValue) {
    std::optional<RegValue> v = readValue(store, root, key, name);
    return v && v->text() ? *v->text() : defaultValue;
}

bool RegReadBool(RegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                 bool defaultValue) {
    std::optional<RegValue> v = readValue(store, root, key, name);
    return v && v->number() ? *v->number() != 0 : defaultValue;
}

int RegReadInteger(RegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                   int defaultValue) {
    std::optional<RegValue> v = readValue(store, root, key, name);
    return v && v->number() ? static_cast<int>(*v->number()) : defaultValue;
}

std::optional<StringList> RegReadStringList(RegistryStore& store, RegRootId root, std::string_view key,
                                            std::string_view subKey) {
    return attempt(store, Mode::Read, std::optional<StringList>(), [&](RegTransaction& t) {
        std::optional<RegKeyId> k = t.openKey(root, key);
        if (k) k = t.openSubkey(*k, subKey);
        return k ? std::optional<StringList>(t.valueNames(*k)) : std::nullopt;
    });
}

bool RegWriteString(RegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                    std::string_view value) {
    return writeValue(store, root, key, name, RegValue::sz(std::string(value)));
}

bool RegWriteBool(RegistryStore& store, RegRootId root, std::string_view key, std::string_view name, bool value) {
    return writeValue(store, root, key, name, RegValue::dword(value ? 1 : 0));
}

bool RegWriteInteger(RegistryStore& store, RegRootId root, std::string_view key, std::string_view name, int value) {
    return writeValue(store, root, key, name, RegValue::dword(static_cast<std::uint32_t>(value)));
}

bool RegWriteStringList(RegistryStore& store, RegRootId root, std::string_view key, std::string_view subKey,
                        const StringList& list) {
    return change(store, [root, key = std::string(key), subKey = std::string(subKey), list](RegTransaction& t) {
        RegKeyId parent = t.createKey(root, key);
        if (std::optional<RegKeyId> old = t.openSubkey(parent, subKey)) t.deleteKey(*old);
        RegKeyId sub = t.createSubkey(parent, subKey);
        for (const std::string& s : list) t.writeValue(sub, s, RegValue::sz({}));
    });
}

bool RegValueExists(RegistryStore& store, RegRootId root, std::string_view key, std::string_view name) {
    return attempt(store, Mode::Read, false, [&](RegTransaction& t) {
        std::optional<RegKeyId> k = t.openKey(root, key);
        return k && t.hasValue(*k, name);
    });
}

StringList RegGetKeyNames(RegistryStore& store, RegRootId root, std::string_view key) {
    return attempt(store, Mode::Read, StringList(), [&](RegTransaction& t) {
        std::optional<RegKeyId> k = t.openKey(root, key);
        return k ? t.subkeyNames(*k) : StringList();
    });
}

StringList RegGetValueNames(RegistryStore& store, RegRootId root, std::string_view key) {
    return attempt(store, Mode::Read, StringList(), [&](RegTransaction& t) {
        std::optional<RegKeyId> k = t.openKey(root, key);
        return k ? t.valueNames(*k) : StringList();
    });
}

bool RegDeleteSubkeys(RegistryStore& store, RegRootId root, std::string_view key) {
    return change(store, [root, key = std::string(key)](RegTransaction& t) {
        if (std::optional<RegKeyId> k = t.openKey(root, key))
            for (const std::string& name : t.subkeyNames(*k))
                if (std::optional<RegKeyId> sub = t.openSubkey(*k, name)) t.deleteKey(*sub);
    });
}

bool RegDeleteValues(RegistryStore& store, RegRootId root, std::string_view key) {
    return change(store, [root, key = std::string(key)](RegTransaction& t) {
        if (std::optional<RegKeyId> k = t.openKey(root, key))
            for (const std::string& name : t.valueNames(*k)) t.deleteValue(*k, name);
    });
}

bool RegCreateSubkey(RegistryStore& store, RegRootId root, std::string_view key, std::string_view subKey) {
    return change(store, [root, key = std::string(key), subKey = std::string(subKey)](RegTransaction& t) {
        if (std::optional<RegKeyId> k = t.openKey(root, key)) t.createSubkey(*k, subKey);
    });
}

bool RegDeleteSubkey(RegistryStore& store, RegRootId root, std::string_view key, std::string_view subKey) {
    return change(store, [root, key = std::string(key), subKey = std::string(subKey)](RegTransaction& t) {
        std::optional<RegKeyId> k = t.openKey(root, key);
        if (k) k = t.openSubkey(*k, subKey);
        if (k) t.deleteKey(*k);
    });
}

}  // namespace gs

