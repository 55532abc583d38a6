#include "controls/core/SpinValue.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace gs {

namespace {

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Rounds halves to even, as the whole types show their values; saturates at 64 bits.
std::int64_t roundEven(double v) {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);  // the default rounding mode: to nearest, ties to even
    if (r >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
    if (r <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}

// A whole text as a number, or nothing.
bool parseWhole(const std::string& text, int base, double& out) {
    std::string s = trimmed(text);
    // strtoll would also take a "0x" prefix; typed hex text has none.
    if (s.empty() || (base == 16 && s.find_first_of("xX") != std::string::npos)) return false;
    errno = 0;
    char* end = nullptr;
    const bool negative = s[0] == '-';
    const long long v = std::strtoll(s.c_str(), &end, base);
    if (*end != '\0' || errno == ERANGE) {
        // Hex text past the signed range (FFFFFFFFFFFFFFFF) is read as its two's complement.
        if (base != 16 || negative) return false;
        errno = 0;
        const unsigned long long u = std::strtoull(s.c_str(), &end, 16);
        if (*end != '\0' || errno == ERANGE) return false;
        out = double(static_cast<std::int64_t>(u));
        return true;
    }
    out = double(v);
    return true;
}

bool parseFloat(const std::string& text, double& out) {
    std::string s = trimmed(text);
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || !std::isfinite(v)) return false;
    // strtod also reads hex floats, "inf" and "nan": none of them is typed into a spin edit.
    if (s.find_first_of("xXiInN") != std::string::npos) return false;
    out = v;
    return true;
}

}  // namespace

void TSpinValue::SetValueType(TValueType type) {
    type_ = type;
    if (type != TValueType::vtFloat) {
        Increment = double(roundEven(Increment));
        if (Increment == 0) Increment = 1;
    }
}

double TSpinValue::Clamp(double value) const {
    if (MinValue == MaxValue) return value;
    return std::clamp(value, MinValue, MaxValue);
}

double TSpinValue::Parse(const std::string& text) const {
    double v = 0;
    switch (type_) {
        case TValueType::vtFloat: return parseFloat(text, v) ? v : MinValue;
        case TValueType::vtHex: return parseWhole(text, 16, v) ? v : std::trunc(MinValue);
        case TValueType::vtInteger: return parseWhole(text, 10, v) ? v : std::trunc(MinValue);
    }
    return MinValue;
}

std::string TSpinValue::Format(double value) const {
    value = Clamp(value);
    char buf[400];
    switch (type_) {
        case TValueType::vtFloat:
            std::snprintf(buf, sizeof buf, "%.*f", int(std::min<std::uint8_t>(Decimal, 18)), value);
            return buf;
        case TValueType::vtHex:
            std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(roundEven(value)));
            return buf;
        case TValueType::vtInteger:
            std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(roundEven(value)));
            return buf;
    }
    return {};
}

std::string TSpinValue::Step(const std::string& text, int direction) const {
    return Format(Parse(text) + (direction >= 0 ? Increment : -Increment));
}

bool TSpinValue::AcceptsChar(char32_t c, const std::string& text, bool editorEnabled, char decimalSeparator) const {
    if (!editorEnabled && c >= 8 && c <= 255) return false;
    if (c < 32) return true;
    if (c == '+' || c == '-' || (c >= '0' && c <= '9')) return true;
    if (type_ == TValueType::vtFloat) {
        if (c == char32_t(decimalSeparator) && text.find(decimalSeparator) == std::string::npos) return true;
        if ((c == 'E' || c == 'e') && text.find_first_of("Ee") == std::string::npos) return true;
    }
    if (type_ == TValueType::vtHex && ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) return true;
    return false;
}

std::string TSpinValue::ClampedOnExit(const std::string& text) const {
    double v = 0;
    const bool read = type_ == TValueType::vtFloat ? parseFloat(text, v)
                                                   : parseWhole(text, type_ == TValueType::vtHex ? 16 : 10, v);
    return Format(read ? v : MinValue);
}

}  // namespace gs
