#pragma once
// Stored properties as text: how each kind of value is written into a storage section and
// read back, string lists kept as a subsection of "Count" and "Item0", "Item1", ..., and
// the named values a form keeps besides its properties. The window side finds the
// properties; this side decides the texts.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "controls/core/PlacementStorage.h"
#include "framework/core/QBList.h"

namespace gs {

inline constexpr const char* kTrueText = "True";
inline constexpr const char* kFalseText = "False";
inline constexpr const char* kNullComponent = "(null)";
inline constexpr const char* kMsgDuplicateName = "String list does not allow duplicates";

// "Component.Property" split at the first point, both parts trimmed; nothing unless both
// parts are there.
std::optional<std::pair<std::string, std::string>> SplitStoredPropName(const std::string& text);
// The identifier of a listed property: component name, "_", property name.
std::string StoredPropIdent(const std::string& component, const std::string& property);

// How a float property holds its value, which decides the digits it is written with.
enum class TFloatType { Single, Double, Extended, Comp, Currency };
int FloatPrecision(TFloatType type);
// Floats with a point whatever the locale, in the general format of their type's digits.
std::string FloatText(long double value, TFloatType type = TFloatType::Double);
std::optional<double> FloatFromText(const std::string& text);
std::optional<long double> ExtendedFromText(const std::string& text);
// A character property as text: the character itself, or nothing for the null character,
// which no stored text can hold.
std::string CharText(char32_t c);
// The first character of the text; nothing when it is empty or not UTF-8.
std::optional<char32_t> CharFromText(const std::string& text);
// A set as "[a,b]" of its member names (bits 0 to 31 of `members`) ...
std::string SetText(std::uint32_t members, const std::vector<std::string>& names);
// ... and back: words separated by blanks, commas and brackets, each a member name (any case).
std::uint32_t SetFromText(const std::string& text, const std::vector<std::string>& names);
// The index of the name (any case), or nothing.
std::optional<int> EnumFromText(const std::string& text, const std::vector<std::string>& names);

// "%s.%s" of the section and the identifier.
std::string StringListSection(const std::string& section, const std::string& ident);
// A collection's count in the section: "%s.Count" of the identifier; its items' values
// in the subsection (as for string lists) under "Item%d_" and the item's property name.
std::string CollectionCountIdent(const std::string& ident);
std::string CollectionItemPrefix(int index);

// Erases the subsection, then writes "Count" and the items when there are any.
void SaveStringList(IPlacementStorage& storage, const std::string& subsection, const std::vector<std::string>& items);
// The stored items, or nothing when the subsection holds none (the list then stays as it
// is). Reading stops at the first missing item, so a damaged "Count" never makes more
// items than the subsection holds.
std::optional<std::vector<std::string>> LoadStringList(IPlacementStorage& storage, const std::string& subsection);

// A value of any of the kinds a form keeps: none yet, a Boolean, a whole number, a float or
// a string. It is stored as its text and read back as a string.
class TStoredVariant {
public:
    TStoredVariant() = default;
    TStoredVariant(bool v) : v_(v) {}
    TStoredVariant(std::int64_t v) : v_(v) {}
    TStoredVariant(int v) : v_(std::int64_t(v)) {}
    TStoredVariant(double v) : v_(v) {}
    TStoredVariant(std::string v) : v_(std::move(v)) {}
    TStoredVariant(const char* v) : v_(std::string(v)) {}
    bool Unassigned() const { return std::holds_alternative<std::monostate>(v_); }
    // "True"/"False", decimal digits, a float with a point, the string; empty when unassigned.
    std::string Text() const;
    template <class T>
    const T* Get() const { return std::get_if<T>(&v_); }
    friend bool operator==(const TStoredVariant&, const TStoredVariant&) = default;

private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string> v_;
};

// A named value kept with the form; with a key its text is stored scrambled. OnSave sees
// (and may change) a copy of the value before it is written; OnRestore the string read
// before it becomes the value.
struct TStoredValue {
    std::string Name;
    TStoredVariant Value;
    std::string KeyString;
    std::function<void(TStoredValue& sender, TStoredVariant& value)> OnSave, OnRestore;
    // Copies the value, name and key (not the handlers).
    void Assign(const TStoredValue& source);
    // The name, or the kind's own when there is none.
    std::string DisplayName() const { return Name.empty() ? "TStoredValue" : Name; }
};

class TStoredValues {
public:
    // Raises std::invalid_argument "String list does not allow duplicates" when another
    // value already has the name in any case.
    TStoredValue& Add(const std::string& name);
    void Rename(TStoredValue& item, const std::string& name);
    TStoredValue* Find(const std::string& name) const;
    int Count() const { return items_.Count(); }

    // Each value in order; a handler may raise, and the rest are then not done.
    void SaveValues(IPlacementStorage& storage, const std::string& section) const;
    void RestoreValues(IPlacementStorage& storage, const std::string& section);

private:
    TQBList<TStoredValue> items_;
};

}  // namespace gs
