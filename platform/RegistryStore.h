#pragma once
// The settings store that stands in for the system registry: one SQLite database holding
// keys under numbered roots and typed values under keys. docs/registry.md describes the
// tables so that the store can be read without this code. RegistryOpen.cpp opens and
// checks the file; RegistryStore.cpp holds the transactions and what they do.
//
// Rules kept here rather than by the callers:
// - key and value names compare without regard to case and keep the spelling they were
//   created with; `\` in a key path separates keys, any other text is a name;
// - values are listed in the order they were created (overwriting keeps the place),
//   subkeys sorted without regard to case;
// - every change happens inside a transaction; nested transactions become savepoints, so
//   a routine that is one transaction on its own can also be one step of a larger save;
// - only a regular file that SQLite finds damaged (not a database, or corrupt pages) is
//   moved aside (name.corrupt-<time>) with a line on stderr, and a new empty store takes
//   its place: a damaged store is never silently overwritten;
// - anything else at the store's path (a folder, a device, a file that cannot be read, a
//   database of another program) is left as it is: the run goes on with a store in memory
//   and says so on stderr. A store that can be read but not written is read, and writes
//   to it have no effect;
// - another process holding the file is waited for a few seconds in all over the life of
//   the store, then said once on stderr; from then on the store is tried without waiting.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/ByteSource.h"
#include "platform/Errors.h"

struct sqlite3;

namespace gs {

// Predefined roots, by the numeric ids callers pass around.
using RegRootId = std::uint32_t;
constexpr RegRootId HKEY_CLASSES_ROOT = 0x80000000u;
constexpr RegRootId HKEY_CURRENT_USER = 0x80000001u;
constexpr RegRootId HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr RegRootId HKEY_USERS = 0x80000003u;
constexpr RegRootId HKEY_CURRENT_CONFIG = 0x80000005u;
constexpr RegRootId HKEY_DYN_DATA = 0x80000006u;

// Value types, numbered as the registry numbers them.
enum class RegType : std::uint32_t { Sz = 1, ExpandSz = 2, Binary = 3, Dword = 4 };

struct RegValue {
    RegType type = RegType::Sz;
    std::variant<std::string, std::uint32_t, Bytes> data;

    static RegValue sz(std::string s) { return {RegType::Sz, std::move(s)}; }
    static RegValue expandSz(std::string s) { return {RegType::ExpandSz, std::move(s)}; }
    static RegValue dword(std::uint32_t v) { return {RegType::Dword, v}; }
    static RegValue binary(Bytes b) { return {RegType::Binary, std::move(b)}; }
    // The text of a string value (either string type), else nothing.
    std::optional<std::string> text() const;
    // The number of a double-word value, else nothing.
    std::optional<std::uint32_t> number() const;
    friend bool operator==(const RegValue&, const RegValue&) = default;
};

// Any failure of the store: open, busy, a damaged page, a bad root, a read-only file.
class RegistryError : public EPlatformError {
public:
    using EPlatformError::EPlatformError;
};

// Another process holds the store (beyond what this store still waits).
class RegistryBusy : public RegistryError {
public:
    using RegistryError::RegistryError;
};

using RegKeyId = std::int64_t;

class RegTransaction;

class RegistryStore {
public:
    static constexpr std::string_view kInMemory = ":memory:";
    static constexpr const char* kEnvVariable = "GLYPHSCOPE_REGISTRY";
    // How long this store waits, in all, for other processes that hold the file.
    static constexpr std::chrono::milliseconds kBusyBudget{3000};

    // A database file, or ":memory:" for a store that lives as long as this object.
    // Opening is lazy: the first transaction opens (and, if need be, replaces) the file.
    explicit RegistryStore(std::string location);
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // $GLYPHSCOPE_REGISTRY, else ${XDG_CONFIG_HOME:-~/.config}/glyphscope/registry.sqlite3,
    // ~ being $HOME or else the home folder of the password database (":memory:" when the
    // user has none).
    static std::string defaultLocation();
    const std::string& location() const { return location_; }
    // Outermost transactions committed through this object (a save that is one
    // transaction adds one).
    std::uint64_t commitCount() const { return commits_; }

    enum class Mode { Read, Write };
    // Starts a transaction (a savepoint when this thread already has one open on this
    // store). Throws RegistryError when the store cannot be reached (RegistryBusy when
    // another process holds it), or for a write when the file is read-only. Writes kept
    // back by deferWrite are made first.
    RegTransaction begin(Mode mode);

    // A change refused only because another process held the store: it is made, in the
    // order given, before the next transaction that finds the store free, or by flush.
    using DeferredWrite = std::function<void(RegTransaction&)>;
    void deferWrite(DeferredWrite write);
    std::size_t deferredCount() const;
    // Makes the kept-back changes now if the store is free; false when some remain.
    bool flushDeferred();

private:
    friend class RegTransaction;
    void open();
    void openInMemory();
    void useInMemory(const std::string& reason);
    void close();
    void exec(const char* sql);
    static int onBusy(void* store, int count);
    void sayBusy();

    std::string location_;
    sqlite3* db_ = nullptr;
    bool damaged_ = false;
    bool readOnly_ = false;
    int depth_ = 0;
    std::uint64_t commits_ = 0;
    std::chrono::milliseconds busyWaited_{0};
    bool busySaid_ = false;
    bool flushing_ = false;
    std::vector<DeferredWrite> deferred_;
    mutable std::recursive_mutex mutex_;
};

// The process's own store, opened from defaultLocation() on first use.
RegistryStore& defaultRegistryStore();

// One transaction (or savepoint) on a store. Everything it does is undone unless commit()
// is called; the operations throw RegistryError on failure.
class RegTransaction {
public:
    RegTransaction(RegTransaction&& other) noexcept;
    RegTransaction& operator=(RegTransaction&&) = delete;
    ~RegTransaction();
    void commit();

    // The key at a `\`-separated path below a root; empty components are skipped and an
    // empty path is the root itself. nullopt when a part is missing or the root unknown.
    std::optional<RegKeyId> openKey(RegRootId root, std::string_view path);
    std::optional<RegKeyId> openSubkey(RegKeyId parent, std::string_view path);
    // As openKey, creating the missing parts.
    RegKeyId createKey(RegRootId root, std::string_view path);
    RegKeyId createSubkey(RegKeyId parent, std::string_view path);
    // Deletes a key with everything under it; a root cannot be deleted.
    void deleteKey(RegKeyId key);

    std::vector<std::string> subkeyNames(RegKeyId key);  // sorted without regard to case
    std::vector<std::string> valueNames(RegKeyId key);   // in creation order
    bool hasValue(RegKeyId key, std::string_view name);
    // nullopt when there is no such value; RegistryError when its data does not fit its type.
    std::optional<RegValue> readValue(RegKeyId key, std::string_view name);
    void writeValue(RegKeyId key, std::string_view name, const RegValue& value);
    bool deleteValue(RegKeyId key, std::string_view name);

private:
    friend class RegistryStore;
    RegTransaction(RegistryStore& store, std::unique_lock<std::recursive_mutex> lock, bool outer);
    std::optional<RegKeyId> childKey(RegKeyId parent, std::string_view name);
    std::optional<RegKeyId> rootKey(RegRootId root);
    std::vector<std::string> names(const char* sql, RegKeyId key);

    RegistryStore* store_;
    std::unique_lock<std::recursive_mutex> lock_;
    bool outer_;
    bool done_ = false;
    std::string savepoint_;
};

}  // namespace gs
