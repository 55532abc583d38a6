#pragma once
// Stored properties as text: how each kind of value is written into a storage section and
// read back, string lists kept as a subsection of "Count" and "Item0", "Item1", ..., and
// the named values a form keeps besides its properties. The window side finds the
// properties; this side decides the texts.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
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

// A named value kept with the form; with a key its text is stored scrambled.
struct TStoredValue {
    std::string Name;
    std::string Value;
    std::string KeyString;
};

class TStoredValues {
public:
    // Raises std::invalid_argument "String list does not allow duplicates" when another
    // value already has the name in any case.
    TStoredValue& Add(const std::string& name);
    void Rename(TStoredValue& item, const std::string& name);
    TStoredValue* Find(const std::string& name) const;
    int Count() const { return items_.Count(); }

    void SaveValues(IPlacementStorage& storage, const std::string& section) const;
    void RestoreValues(IPlacementStorage& storage, const std::string& section);

private:
    TQBList<TStoredValue> items_;
};

}  // namespace gs
