#include "controls/core/StoredProps.h"
#include "platform/Text.h"

#include <charconv>
#include <cstdio>
#include <stdexcept>

#include "framework/core/RxUtils.h"

namespace gs {

namespace {

constexpr const char* kCount = "Count";
constexpr int kSetBits = 32;

std::string trimmed(const std::string& s) { return TrimBlanks(s); }

bool sameText(const std::string& a, const std::string& b) { return foldCaseUtf8(a) == foldCaseUtf8(b); }

std::string itemIdent(long long i) { return "Item" + std::to_string(i); }

}  // namespace

std::optional<std::pair<std::string, std::string>> SplitStoredPropName(const std::string& text) {
    const auto point = text.find('.');
    if (point == std::string::npos) return std::nullopt;
    std::string component = trimmed(text.substr(0, point)), property = trimmed(text.substr(point + 1));
    if (component.empty() || property.empty()) return std::nullopt;
    return std::make_pair(std::move(component), std::move(property));
}

std::string StoredPropIdent(const std::string& component, const std::string& property) {
    return component + "_" + property;
}

int FloatPrecision(TFloatType type) {
    switch (type) {
        case TFloatType::Single: return 7;
        case TFloatType::Extended: case TFloatType::Comp: return 18;
        case TFloatType::Currency: return 19;
        case TFloatType::Double: break;
    }
    return 15;
}

std::string FloatText(long double value, TFloatType type) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.*LG", FloatPrecision(type), value);
    std::string text = buffer;
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}

namespace {
template <class T>
std::optional<T> floatFromText(const std::string& text) {
    const std::string t = trimmed(text);
    T value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return value;
}
}  // namespace

std::optional<double> FloatFromText(const std::string& text) { return floatFromText<double>(text); }

std::optional<long double> ExtendedFromText(const std::string& text) { return floatFromText<long double>(text); }

std::string CharText(char32_t c) {
    std::string text;
    const bool character = c != 0 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    if (character) appendUtf8(text, c);
    return text;
}

std::optional<char32_t> CharFromText(const std::string& text) {
    std::size_t i = 0;
    if (text.empty()) return std::nullopt;
    return decodeUtf8(text, i);
}

std::string SetText(std::uint32_t members, const std::vector<std::string>& names) {
    std::string text = "[";
    for (int bit = 0; bit < kSetBits && std::size_t(bit) < names.size(); ++bit)
        if (members & (1u << bit)) text += (text.size() > 1 ? "," : "") + names[std::size_t(bit)];
    return text + "]";
}

std::uint32_t SetFromText(const std::string& text, const std::vector<std::string>& names) {
    std::uint32_t members = 0;
    const std::string delims = " ,[]";
    for (int n = 1, count = CountWordsIn(text, delims); n <= count; ++n)
        if (const std::optional<int> bit = EnumFromText(NthWord(n, text, delims), names); bit && *bit < kSetBits)
            members |= 1u << *bit;
    return members;
}

std::optional<int> EnumFromText(const std::string& text, const std::vector<std::string>& names) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (sameText(names[i], trimmed(text))) return int(i);
    return std::nullopt;
}

std::string StringListSection(const std::string& section, const std::string& ident) { return section + "." + ident; }

std::string CollectionCountIdent(const std::string& ident) { return ident + "." + kCount; }

std::string CollectionItemPrefix(int index) { return itemIdent(index) + "_"; }

void SaveStringList(IPlacementStorage& storage, const std::string& subsection, const std::vector<std::string>& items) {
    storage.EraseSection(subsection);
    if (items.empty()) return;
    storage.WriteString(subsection, kCount, std::to_string(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) storage.WriteString(subsection, itemIdent((long long)i), items[i]);
}

std::optional<std::vector<std::string>> LoadStringList(IPlacementStorage& storage, const std::string& subsection) {
    const long long count = ParseInteger(storage.ReadString(subsection, kCount, "0")).value_or(0);
    if (count <= 0) return std::nullopt;
    std::vector<std::string> items;
    for (long long i = 0; i < count; ++i) {
        std::optional<std::string> item = storage.Read(subsection, itemIdent(i));
        if (!item) break;
        items.push_back(std::move(*item));
    }
    return items;
}

TStoredValue& TStoredValues::Add(const std::string& name) {
    if (!name.empty() && Find(name)) throw std::invalid_argument(kMsgDuplicateName);
    auto item = std::make_unique<TStoredValue>();
    item->Name = name;
    return *items_.GetItem(items_.Add(std::move(item)));
}

void TStoredValues::Rename(TStoredValue& item, const std::string& name) {
    if (!name.empty() && !sameText(name, item.Name) && Find(name)) throw std::invalid_argument(kMsgDuplicateName);
    item.Name = name;
}

TStoredValue* TStoredValues::Find(const std::string& name) const {
    for (const auto& item : items_)
        if (sameText(item->Name, name)) return item.get();
    return nullptr;
}

std::string TStoredVariant::Text() const {
    if (const bool* b = Get<bool>()) return *b ? kTrueText : kFalseText;
    if (const std::int64_t* n = Get<std::int64_t>()) return std::to_string(*n);
    if (const double* d = Get<double>()) return FloatText(*d);
    if (const std::string* s = Get<std::string>()) return *s;
    return {};
}

void TStoredValue::Assign(const TStoredValue& source) {
    Value = source.Value;
    Name = source.Name;
    KeyString = source.KeyString;
}

void TStoredValues::SaveValues(IPlacementStorage& storage, const std::string& section) const {
    for (const auto& item : items_) {
        TStoredVariant value = item->Value;
        if (item->OnSave) item->OnSave(*item, value);
        const std::string text = value.Text();
        storage.WriteString(section, item->Name, item->KeyString.empty() ? text : XorEncodeString(item->KeyString, text));
    }
}

void TStoredValues::RestoreValues(IPlacementStorage& storage, const std::string& section) {
    for (const auto& item : items_) {
        const bool keyed = !item->KeyString.empty();
        const std::string current = item->Value.Text();
        const std::string def = keyed ? XorEncodeString(item->KeyString, current) : current;
        const std::string text = storage.ReadString(section, item->Name, def);
        TStoredVariant value = keyed ? XorDecodeString(item->KeyString, text) : text;
        if (item->OnRestore) item->OnRestore(*item, value);
        item->Value = std::move(value);
    }
}

}  // namespace gs
