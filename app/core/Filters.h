#pragma once
// The criteria that narrow the icon list: a field of the icon (its list name, its file or
// its images), a condition and a value. A filter set accepts an icon when every criterion
// does. Filters live for the run only; they are never stored.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/core/QBList.h"

namespace gs {

class TIconDef;

enum class TFilterField : std::uint8_t { ffIconName = 0, ffFileName = 1, ffIconImages = 2 };
inline constexpr int kFilterFieldCount = 3;
// Conditions 0 to 7 test text fields, 8 and 9 the images.
inline constexpr int kFilterConditionCount = 10;
inline constexpr int kFirstImageCondition = 8;
// The image kinds a value of the images field names, by its one decimal digit.
inline constexpr int kImageKindCount = 5;

inline constexpr const char* kMsgFilterExists = "This filter already exists.";

struct TFilter {
    std::uint8_t Field = 0;
    std::uint8_t Condition = 0;
    std::string Value;
};

// Texts the Filter dialog shows for the codes; empty for a code out of range.
const char* FilterFieldText(int field);
const char* FilterConditionText(int condition);
const char* ImageKindText(int kind);

// The test of one criterion against one icon. A condition that does not belong to the
// field, and an images value that is not one of the defined digits, match nothing.
bool Matches(const TFilter& filter, std::string_view name, std::uint8_t sizes, std::uint8_t colors,
             std::string_view fileName);
bool Matches(const TFilter& filter, const TIconDef& def);

class TFilters {
public:
    TQBList<TFilter> Items;

    // Same field and condition, and a value equal but for the case of a to z.
    bool Exists(const TFilter& filter) const;
    std::unique_ptr<TFilters> Clone() const;
    // Every criterion in order, stopping at the first that rejects.
    bool Accepts(const TIconDef& def) const;
};

// Letters a to z upper-cased; every other byte as it is.
std::string UpperAscii(std::string_view s);

}  // namespace gs
