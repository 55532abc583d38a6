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
//   and says so on stderr. A store that can be read but not written (the file, or the
//   folder its journal goes in) is read, said to be read-only at its opening, and writes
//   to it have no effect; a write the file system refuses later makes it read-only then;
// - another process holding the file is waited for a few seconds in all over the life of
//   the store, then said once on stderr; from then on the store is tried without waiting.
// Everything said on stderr is also kept as a notice, for a window to show the user.
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

struct TRegValue {
    RegType type = RegType::Sz;
    std::variant<std::string, std::uint32_t, TBytes> data;

    static TRegValue Sz(std::string s) { return {RegType::Sz, std::move(s)}; }
    static TRegValue ExpandSz(std::string s) { return {RegType::ExpandSz, std::move(s)}; }
    static TRegValue Dword(std::uint32_t v) { return {RegType::Dword, v}; }
    static TRegValue Binary(TBytes b) { return {RegType::Binary, std::move(b)}; }
    // The text of a string value (either string type), else nothing.
    std::optional<std::string> Text() const;
    // The number of a double-word value, else nothing.
    std::optional<std::uint32_t> Number() const;
    friend bool operator==(const TRegValue&, const TRegValue&) = default;
};

// Any failure of the store: open, busy, a damaged page, a bad root, a read-only file.
class ERegistryError : public EPlatformError {
public:
    using EPlatformError::EPlatformError;
};

// Another process holds the store (beyond what this store still waits).
class ERegistryBusy : public ERegistryError {
public:
    using ERegistryError::ERegistryError;
};

using RegKeyId = std::int64_t;

class TRegTransaction;

class TRegistryStore {
public:
    static constexpr std::string_view kInMemory = ":memory:";
    static constexpr const char* kEnvVariable = "GLYPHSCOPE_REGISTRY";
    // How long this store waits, in all, for other processes that hold the file.
    static constexpr std::chrono::milliseconds kBusyBudget{3000};

    // A database file, or ":memory:" for a store that lives as long as this object.
    // Opening is lazy: the first transaction opens (and, if need be, replaces) the file.
    explicit TRegistryStore(std::string location);
    ~TRegistryStore();
    TRegistryStore(const TRegistryStore&) = delete;
    TRegistryStore& operator=(const TRegistryStore&) = delete;

    // $GLYPHSCOPE_REGISTRY, else ${XDG_CONFIG_HOME:-~/.config}/glyphscope/registry.sqlite3,
    // ~ being $HOME or else the home folder of the password database (":memory:" when the
    // user has none).
    static std::string DefaultLocation();
    const std::string& Location() const { return location_; }
    // Outermost transactions committed through this object (a save that is one
    // transaction adds one).
    std::uint64_t CommitCount() const { return commits_; }

    enum class Mode { Read, Write };
    // Starts a transaction (a savepoint when this thread already has one open on this
    // store). Throws ERegistryError when the store cannot be reached (ERegistryBusy when
    // another process holds it), or for a write when the file is read-only. Writes kept
    // back by DeferWrite are made first.
    TRegTransaction begin(Mode mode);

    // A change refused only because another process held the store: it is made, in the
    // order given, before the next transaction that finds the store free, or by flush.
    using DeferredWrite = std::function<void(TRegTransaction&)>;
    void DeferWrite(DeferredWrite write);
    std::size_t DeferredCount() const;
    // Makes the kept-back changes now if the store is free; false when some remain.
    bool FlushDeferred();

    // What was said about the store (damaged and moved aside, busy, unusable, read-only)
    // since the last call, each a sentence without the program's prefix.
    std::vector<std::string> TakeNotices();

private:
    friend class TRegTransaction;
    void Open();
    void OpenInMemory();
    void UseInMemory(const std::string& reason);
    void Close();
    void Exec(const char* sql);
    static int OnBusy(void* store, int count);
    void SayBusy();
    void Say(const std::string& notice);
    void RefusedWrite(int code);

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
    std::vector<std::string> notices_;
    mutable std::recursive_mutex mutex_;
};

// The process's own store, opened from DefaultLocation() on first use.
TRegistryStore& defaultRegistryStore();

// One transaction (or savepoint) on a store. Everything it does is undone unless Commit()
// is called; the operations throw ERegistryError on failure.
class TRegTransaction {
public:
    TRegTransaction(TRegTransaction&& other) noexcept;
    TRegTransaction& operator=(TRegTransaction&&) = delete;
    ~TRegTransaction();
    void Commit();

    // The key at a `\`-separated path below a root; empty components are skipped and an
    // empty path is the root itself. nullopt when a part is missing or the root unknown.
    std::optional<RegKeyId> OpenKey(RegRootId root, std::string_view path);
    std::optional<RegKeyId> OpenSubkey(RegKeyId parent, std::string_view path);
    // As OpenKey, creating the missing parts.
    RegKeyId CreateKey(RegRootId root, std::string_view path);
    RegKeyId CreateSubkey(RegKeyId parent, std::string_view path);
    // Deletes a key with everything under it; a root cannot be deleted.
    void DeleteKey(RegKeyId key);

    std::vector<std::string> SubkeyNames(RegKeyId key);  // sorted without regard to case
    std::vector<std::string> ValueNames(RegKeyId key);   // in creation order
    bool HasValue(RegKeyId key, std::string_view name);
    // nullopt when there is no such value; ERegistryError when its data does not fit its type.
    std::optional<TRegValue> ReadValue(RegKeyId key, std::string_view name);
    void WriteValue(RegKeyId key, std::string_view name, const TRegValue& value);
    bool DeleteValue(RegKeyId key, std::string_view name);

private:
    friend class TRegistryStore;
    TRegTransaction(TRegistryStore& store, std::unique_lock<std::recursive_mutex> lock, bool outer);
    std::optional<RegKeyId> ChildKey(RegKeyId parent, std::string_view name);
    std::optional<RegKeyId> RootKey(RegRootId root);
    std::vector<std::string> Names(const char* sql, RegKeyId key);

    TRegistryStore* store_;
    std::unique_lock<std::recursive_mutex> lock_;
    bool outer_;
    bool done_ = false;
    std::string savepoint_;
};

}  // namespace gs
