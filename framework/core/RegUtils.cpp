#include "framework/core/RegUtils.h"

#include <exception>

namespace gs {

namespace {

using Mode = TRegistryStore::Mode;

// Runs `body` as one transaction; any failure undoes it and gives `fallback`.
template <class R, class F>
R attempt(TRegistryStore& store, Mode mode, R fallback, F&& body) {
    try {
        TRegTransaction t = store.begin(mode);
        R result = body(t);
        t.Commit();
        return result;
    } catch (const std::exception&) {
        return fallback;
    }
}

// A change is one write transaction. One refused only because another process holds the
// store is kept by the store and made later in the run, so `body` owns what it writes.
bool change(TRegistryStore& store, TRegistryStore::DeferredWrite body) {
    try {
        TRegTransaction t = store.begin(Mode::Write);
        body(t);
        t.Commit();
        return true;
    } catch (const ERegistryBusy&) {
        store.DeferWrite(std::move(body));
    } catch (const std::exception&) {
    }
    return false;
}

std::optional<TRegValue> readValue(TRegistryStore& store, RegRootId root, std::string_view key,
                                  std::string_view name) {
    return attempt(store, Mode::Read, std::optional<TRegValue>(), [&](TRegTransaction& t) {
        std::optional<RegKeyId> k = t.OpenKey(root, key);
        return k ? t.ReadValue(*k, name) : std::nullopt;
    });
}

bool writeValue(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                const TRegValue& value) {
    return change(store, [root, key = std::string(key), name = std::string(name), value](TRegTransaction& t) {
        t.WriteValue(t.CreateKey(root, key), name, value);
    });
}

}  // namespace

std::string RegReadString(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                          const std::string& defaultValue) {
    std::optional<TRegValue> v = readValue(store, root, key, name);
    return v && v->Text() ? *v->Text() : defaultValue;
}

bool RegReadBool(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                 bool defaultValue) {
    std::optional<TRegValue> v = readValue(store, root, key, name);
    return v && v->Number() ? *v->Number() != 0 : defaultValue;
}

int RegReadInteger(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                   int defaultValue) {
    std::optional<TRegValue> v = readValue(store, root, key, name);
    return v && v->Number() ? static_cast<int>(*v->Number()) : defaultValue;
}

std::optional<StringList> RegReadStringList(TRegistryStore& store, RegRootId root, std::string_view key,
                                            std::string_view subKey) {
    return attempt(store, Mode::Read, std::optional<StringList>(), [&](TRegTransaction& t) {
        std::optional<RegKeyId> k = t.OpenKey(root, key);
        if (k) k = t.OpenSubkey(*k, subKey);
        return k ? std::optional<StringList>(t.ValueNames(*k)) : std::nullopt;
    });
}

bool RegWriteString(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name,
                    std::string_view value) {
    return writeValue(store, root, key, name, TRegValue::Sz(std::string(value)));
}

bool RegWriteBool(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name, bool value) {
    return writeValue(store, root, key, name, TRegValue::Dword(value ? 1 : 0));
}

bool RegWriteInteger(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name, int value) {
    return writeValue(store, root, key, name, TRegValue::Dword(static_cast<std::uint32_t>(value)));
}

bool RegWriteStringList(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view subKey,
                        const StringList& list) {
    return change(store, [root, key = std::string(key), subKey = std::string(subKey), list](TRegTransaction& t) {
        RegKeyId parent = t.CreateKey(root, key);
        if (std::optional<RegKeyId> old = t.OpenSubkey(parent, subKey)) t.DeleteKey(*old);
        RegKeyId sub = t.CreateSubkey(parent, subKey);
        for (const std::string& s : list) t.WriteValue(sub, s, TRegValue::Sz({}));
    });
}

std::optional<TRegTransaction> RegBeginRead(TRegistryStore& store) {
    try {
        TRegTransaction t = store.begin(Mode::Read);
        t.OpenKey(HKEY_LOCAL_MACHINE, "");  // the first read takes the lock
        return std::optional<TRegTransaction>(std::move(t));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool RegValueExists(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view name) {
    return attempt(store, Mode::Read, false, [&](TRegTransaction& t) {
        std::optional<RegKeyId> k = t.OpenKey(root, key);
        return k && t.HasValue(*k, name);
    });
}

StringList RegGetKeyNames(TRegistryStore& store, RegRootId root, std::string_view key) {
    return attempt(store, Mode::Read, StringList(), [&](TRegTransaction& t) {
        std::optional<RegKeyId> k = t.OpenKey(root, key);
        return k ? t.SubkeyNames(*k) : StringList();
    });
}

StringList RegGetValueNames(TRegistryStore& store, RegRootId root, std::string_view key) {
    return attempt(store, Mode::Read, StringList(), [&](TRegTransaction& t) {
        std::optional<RegKeyId> k = t.OpenKey(root, key);
        return k ? t.ValueNames(*k) : StringList();
    });
}

bool RegDeleteSubkeys(TRegistryStore& store, RegRootId root, std::string_view key) {
    return change(store, [root, key = std::string(key)](TRegTransaction& t) {
        if (std::optional<RegKeyId> k = t.OpenKey(root, key))
            for (const std::string& name : t.SubkeyNames(*k))
                if (std::optional<RegKeyId> sub = t.OpenSubkey(*k, name)) t.DeleteKey(*sub);
    });
}

bool RegDeleteValues(TRegistryStore& store, RegRootId root, std::string_view key) {
    return change(store, [root, key = std::string(key)](TRegTransaction& t) {
        if (std::optional<RegKeyId> k = t.OpenKey(root, key))
            for (const std::string& name : t.ValueNames(*k)) t.DeleteValue(*k, name);
    });
}

bool RegCreateSubkey(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view subKey) {
    return change(store, [root, key = std::string(key), subKey = std::string(subKey)](TRegTransaction& t) {
        if (std::optional<RegKeyId> k = t.OpenKey(root, key)) t.CreateSubkey(*k, subKey);
    });
}

bool RegDeleteSubkey(TRegistryStore& store, RegRootId root, std::string_view key, std::string_view subKey) {
    return change(store, [root, key = std::string(key), subKey = std::string(subKey)](TRegTransaction& t) {
        std::optional<RegKeyId> k = t.OpenKey(root, key);
        if (k) k = t.OpenSubkey(*k, subKey);
        if (k) t.DeleteKey(*k);
    });
}

}  // namespace gs

