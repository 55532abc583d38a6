#include "controls/core/PlacementStorage.h"

#include <charconv>
#include <filesystem>

#include "framework/core/RegUtils.h"

namespace gs {

namespace {

bool quotedText(const std::string& v) {
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

}  // namespace

std::string TrimBlanks(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") + 1 - first);
}

template <class T>
std::optional<T> ParseDecimal(const std::string& text) {
    const std::string t = TrimBlanks(text);
    T value = 0;
    const char* first = t.data() + (t.size() > 1 && t[0] == '+' ? 1 : 0);
    const auto [end, ec] = std::from_chars(first, t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}

template std::optional<int> ParseDecimal<int>(const std::string&);
template std::optional<std::int64_t> ParseDecimal<std::int64_t>(const std::string&);
template std::optional<std::uint64_t> ParseDecimal<std::uint64_t>(const std::string&);

std::string IPlacementStorage::ReadString(const std::string& section, const std::string& ident, const std::string& def) {
    return Read(section, ident).value_or(def);
}

int IPlacementStorage::ReadInteger(const std::string& section, const std::string& ident, int def) {
    const std::optional<std::string> text = Read(section, ident);
    if (!text) return def;
    return ParseInteger(*text).value_or(def);
}

TRegIniStorage::TRegIniStorage(TRegistryStore& store, RegRootId root, std::string keyPath, bool readOnly)
    : root_(root), keyPath_(std::move(keyPath)), readOnly_(readOnly) {
    // Unreachable store: reads give their defaults, writes go nowhere.
    if (readOnly) {
        if (std::optional<TRegTransaction> t = RegBeginRead(store)) tx_.emplace(std::move(*t));
        return;
    }
    try {
        tx_.emplace(store.begin(TRegistryStore::Mode::Write));
    } catch (const ERegistryError&) {
    }
}

TRegIniStorage::~TRegIniStorage() = default;

std::optional<RegKeyId> TRegIniStorage::sectionKey(const std::string& section, bool create) {
    if (!tx_) return std::nullopt;
    const std::string path = section.empty() ? keyPath_ : keyPath_ + "\\" + section;
    if (create && !readOnly_) return tx_->CreateKey(root_, path);
    return tx_->OpenKey(root_, path);
}

std::optional<std::string> TRegIniStorage::Read(const std::string& section, const std::string& ident) {
    try {
        const std::optional<RegKeyId> key = sectionKey(section, false);
        if (!key) return std::nullopt;
        const std::optional<TRegValue> value = tx_->ReadValue(*key, ident);
        if (!value) return std::nullopt;
        if (std::optional<std::string> text = value->Text()) return text;
        if (std::optional<std::uint32_t> number = value->Number()) return std::to_string(std::int32_t(*number));
    } catch (const ERegistryError&) {
    }
    return std::nullopt;
}

template <class F>
void TRegIniStorage::change(F&& body) {
    if (readOnly_ || !tx_) return;
    try {
        body();
    } catch (const ERegistryError&) {
        refused_ = true;
        tx_.reset();
    }
}

void TRegIniStorage::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    change([&] { tx_->WriteValue(*sectionKey(section, true), ident, TRegValue::Sz(value)); });
}

void TRegIniStorage::WriteInteger(const std::string& section, const std::string& ident, int value) {
    change([&] { tx_->WriteValue(*sectionKey(section, true), ident, TRegValue::Dword(std::uint32_t(value))); });
}

void TRegIniStorage::EraseSection(const std::string& section) {
    if (section.empty()) return;
    change([&] {
        if (const std::optional<RegKeyId> key = sectionKey(section, false)) tx_->DeleteKey(*key);
    });
}

bool TRegIniStorage::Close() {
    if (!tx_) return false;
    try {
        if (!readOnly_) tx_->Commit();
        tx_.reset();
        return true;
    } catch (const ERegistryError&) {
        tx_.reset();
        return false;
    }
}

std::optional<std::string> TIniStorage::Read(const std::string& section, const std::string& ident) {
    return ini_.Read(section, ident);
}

void TIniStorage::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    ini_.WriteString(section, ident, quotedText(value) ? "\"" + value + "\"" : value);
}

void TIniStorage::WriteInteger(const std::string& section, const std::string& ident, int value) {
    ini_.WriteString(section, ident, std::to_string(value));
}

void TIniStorage::EraseSection(const std::string& section) { ini_.EraseSection(section); }

RegRootId PlacementRootKey(TPlacementRegRoot root) {
    switch (root) {
        case prLocalMachine: return HKEY_LOCAL_MACHINE;
        case prCurrentConfig: return HKEY_CURRENT_CONFIG;
        case prClassesRoot: return HKEY_CLASSES_ROOT;
        case prUsers: return HKEY_USERS;
        case prDynData: return HKEY_DYN_DATA;
        case prCurrentUser: break;
    }
    return HKEY_CURRENT_USER;
}

std::string DefaultPlacementRegKey(const std::string& exeName) {
    return "Software\\" + std::filesystem::path(exeName).stem().string();
}

std::string DefaultPlacementIniName(const std::string& exeName) {
    return std::filesystem::path(exeName).filename().replace_extension(".INI").string();
}

}  // namespace gs
