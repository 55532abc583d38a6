#pragma once
// Where a form keeps its state: a storage of string values by section and identifier,
// either below a key of the settings store (a section is a subkey of the key path, an
// identifier a value name) or in an INI file. Reading never raises: a missing value, or a
// storage that cannot be reached, gives the default.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/IniFile.h"
#include "platform/RegistryStore.h"

namespace gs {

class IPlacementStorage {
public:
    virtual ~IPlacementStorage() = default;
    virtual std::optional<std::string> Read(const std::string& section, const std::string& ident) = 0;
    virtual void WriteString(const std::string& section, const std::string& ident, const std::string& value) = 0;
    virtual void WriteInteger(const std::string& section, const std::string& ident, int value) = 0;
    virtual void EraseSection(const std::string& section) = 0;

    // False when the storage could not be reached at all (its reads give their defaults):
    // what it holds was not seen, so a save of the same state would put defaults over it.
    virtual bool Reachable() const { return true; }

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def);
    // The stored number; a missing value, or one that is not a number, gives the default.
    int ReadInteger(const std::string& section, const std::string& ident, int def);
};

// A key of the settings store, opened for the life of this object as one transaction: a
// writing storage commits its changes at Close (or not at all when it is dropped without).
// A write the store refuses (read-only, busy) is dropped with all before it: the writes
// never raise, and Close answers false.
class TRegIniStorage : public IPlacementStorage {
public:
    TRegIniStorage(TRegistryStore& store, RegRootId root, std::string keyPath, bool readOnly);
    ~TRegIniStorage() override;

    std::optional<std::string> Read(const std::string& section, const std::string& ident) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void WriteInteger(const std::string& section, const std::string& ident, int value) override;
    void EraseSection(const std::string& section) override;
    bool Reachable() const override { return tx_.has_value() || refused_; }
    // Commits what was written; false when the store refused.
    bool Close();

private:
    std::optional<RegKeyId> sectionKey(const std::string& section, bool create);
    template <class F>
    void change(F&& body);

    RegRootId root_;
    std::string keyPath_;
    bool readOnly_;
    bool refused_ = false;  // a write was refused: the transaction is gone, nothing is kept
    std::optional<TRegTransaction> tx_;
};

// An INI file; a quoted value is written inside one more pair of double quotes, since the
// file drops one pair on reading.
class TIniStorage : public IPlacementStorage {
public:
    explicit TIniStorage(const std::filesystem::path& fileName) : ini_(fileName) {}

    std::optional<std::string> Read(const std::string& section, const std::string& ident) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void WriteInteger(const std::string& section, const std::string& ident, int value) override;
    void EraseSection(const std::string& section) override;

private:
    TIniFile ini_;
};

// The roots a placement may be kept under, each selecting the store's root of that id.
enum TPlacementRegRoot { prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData };
RegRootId PlacementRootKey(TPlacementRegRoot root);

// "Software\" and the program file's name without folder and extension.
std::string DefaultPlacementRegKey(const std::string& exeName);
// The program file's name without folder, its extension made ".INI".
std::string DefaultPlacementIniName(const std::string& exeName);
// A whole decimal number (blanks around it allowed) within the range of T, else nothing.
template <class T>
std::optional<T> ParseDecimal(const std::string& text);
inline std::optional<int> ParseInteger(const std::string& text) { return ParseDecimal<int>(text); }
// Without the blanks and tabs at either end.
std::string TrimBlanks(const std::string& s);

}  // namespace gs
