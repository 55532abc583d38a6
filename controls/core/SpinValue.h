#pragma once
// The number behind a spin edit's text: how text is read as a value of its type, how a value
// is clamped and written back, how a step changes it and which typed characters it accepts.
// The spin edit widget holds one of these and only moves text in and out of it.
#include <cstdint>
#include <string>

namespace gs {

enum class TValueType { vtInteger, vtFloat, vtHex };

class TSpinValue {
public:
    TValueType ValueType() const { return type_; }
    // Re-reads the increment for the new type: whole types round it, and 0 becomes 1.
    void SetValueType(TValueType type);
    std::uint8_t Decimal = 2;
    double Increment = 1;
    double MinValue = 0;
    double MaxValue = 0;

    // Within [MinValue, MaxValue], unless the two are equal (then anything goes).
    double Clamp(double value) const;
    // The text read as this type; text that does not parse gives MinValue (truncated toward
    // zero for the whole types). Never raises.
    double Parse(const std::string& text) const;
    // The clamped value written as this type: fixed with Decimal digits, hexadecimal
    // without "$" (upper case, at least one digit), or decimal; whole types round halves
    // to even.
    std::string Format(double value) const;
    // The text after one step up (+1) or down (-1) from the text's value.
    std::string Step(const std::string& text, int direction) const;
    // Whether a typed character may go into `text`: signs and digits, the decimal
    // separator once and one exponent for floats, hex digits for hex; control characters
    // always, except that without the editor nothing from backspace up is accepted.
    bool AcceptsChar(char32_t c, const std::string& text, bool editorEnabled, char decimalSeparator = '.') const;
    // What leaving the control makes of its text, as the options dialog's fields do: an
    // empty or unreadable text becomes the minimum, anything else is clamped.
    std::string ClampedOnExit(const std::string& text) const;

private:
    TValueType type_ = TValueType::vtInteger;
};

}  // namespace gs
