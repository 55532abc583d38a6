#include "app/core/Filters.h"

#include <array>

#include "app/core/IconDef.h"

namespace gs {

namespace {

constexpr std::array<const char*, kFilterFieldCount> kFieldTexts = {"Icon name", "Filename", "Icon images"};
constexpr std::array<const char*, kFilterConditionCount> kConditionTexts = {
    "is equal to",     "is different from",   "contains",  "does not contain", "starts with",
    "does not start with", "ends with",       "does not end with", "include", "do not include"};
constexpr std::array<const char*, kImageKindCount> kImageKindTexts = {
    "16 colors image", "256 colors image", "16x16 pixels image", "32x32 pixels image", "48x48 pixels image"};

// The flag an images value names, as (is a size flag, bit); nothing for any other value.
bool imageFlag(std::string_view value, std::uint8_t sizes, std::uint8_t colors, bool& set) {
    if (value.size() != 1 || value[0] < '0' || value[0] >= '0' + kImageKindCount) return false;
    switch (value[0] - '0') {
        case 0: set = colors & kHas16Colors; break;
        case 1: set = colors & kHas256Colors; break;
        case 2: set = sizes & kHas16x16; break;
        case 3: set = sizes & kHas32x32; break;
        default: set = sizes & kHas48x48; break;
    }
    return true;
}

bool textMatches(int condition, const std::string& s, const std::string& v) {
    const bool starts = s.size() >= v.size() && s.compare(0, v.size(), v) == 0;
    const bool ends = s.size() >= v.size() && s.compare(s.size() - v.size(), v.size(), v) == 0;
    switch (condition) {
        case 0: return s == v;
        case 1: return s != v;
        case 2: return s.find(v) != std::string::npos;
        case 3: return s.find(v) == std::string::npos;
        case 4: return starts;
        case 5: return !starts;
        case 6: return ends;
        case 7: return !ends;
        default: return false;
    }
}

template <std::size_t N>
const char* textOf(const std::array<const char*, N>& texts, int code) {
    return code >= 0 && std::size_t(code) < N ? texts[std::size_t(code)] : "";
}

}  // namespace

const char* FilterFieldText(int field) { return textOf(kFieldTexts, field); }
const char* FilterConditionText(int condition) { return textOf(kConditionTexts, condition); }
const char* ImageKindText(int kind) { return textOf(kImageKindTexts, kind); }

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

bool Matches(const TFilter& filter, std::string_view name, std::uint8_t sizes, std::uint8_t colors,
             std::string_view fileName) {
    const bool images = filter.Field == std::uint8_t(TFilterField::ffIconImages);
    if (filter.Field > std::uint8_t(TFilterField::ffIconImages)) return false;
    if (images != (filter.Condition >= kFirstImageCondition)) return false;
    if (images) {
        bool set = false;
        if (!imageFlag(filter.Value, sizes, colors, set)) return false;
        if (filter.Condition == kFirstImageCondition) return set;
        if (filter.Condition == kFirstImageCondition + 1) return !set;
        return false;
    }
    const std::string s = UpperAscii(filter.Field == 0 ? name : fileName);
    return textMatches(filter.Condition, s, UpperAscii(filter.Value));
}

bool Matches(const TFilter& filter, const TIconDef& def) {
    return Matches(filter, def.Name, def.Sizes, def.Colors, def.FileName.string());
}

bool TFilters::Exists(const TFilter& filter) const {
    const std::string value = UpperAscii(filter.Value);
    for (const auto& f : Items)
        if (f->Field == filter.Field && f->Condition == filter.Condition && UpperAscii(f->Value) == value) return true;
    return false;
}

std::unique_ptr<TFilters> TFilters::Clone() const {
    auto copy = std::make_unique<TFilters>();
    for (const auto& f : Items) copy->Items.Add(std::make_unique<TFilter>(*f));
    return copy;
}

bool TFilters::Accepts(const TIconDef& def) const {
    for (const auto& f : Items)
        if (!Matches(*f, def)) return false;
    return true;
}

}  // namespace gs
