#pragma once
// String formats: classes that turn bytes into text and back, registered by a numeric id.
// Each format is one stateless object standing for its class.
#include <string>
#include <string_view>
#include <vector>

namespace gs::crypto {

enum class Direction { TextToBytes, BytesToText };

class TStringFormat {
public:
    static constexpr int kDefaultFormat = 4196;  // MIME base 64; the id -1 means this one

    virtual ~TStringFormat() = default;
    // The base class copies bytes unchanged both ways.
    virtual std::string TextToBytes(std::string_view text) const { return std::string(text); }
    virtual std::string BytesToText(std::string_view bytes) const { return std::string(bytes); }
    virtual std::string_view FormatName() const { return "copy Input to Output"; }
    virtual int FormatId() const { return 1; }
    virtual std::string_view ClassName() const { return "TStringFormat"; }
    // From text every character must stand in CharTable(); bytes are always valid.
    virtual bool IsValidInput(std::string_view data, Direction direction) const;
    // The alphabet and the separators; empty for the copying base class (any byte goes).
    virtual std::string_view CharTable() const { return {}; }
};

// Hexadecimal, upper-case digits (id 16); reading takes both cases, 0x / $ prefixes and the
// separators " \t\r\n,.:;-/".
class TStringFormat_HEX : public TStringFormat {
public:
    std::string TextToBytes(std::string_view text) const override;
    std::string BytesToText(std::string_view bytes) const override;
    std::string_view FormatName() const override { return "Hexadecimal"; }
    int FormatId() const override { return 16; }
    std::string_view ClassName() const override { return "TStringFormat_HEX"; }
    std::string_view CharTable() const override;

protected:
    virtual const char* Digits() const { return "0123456789ABCDEF"; }
};

class TStringFormat_HEXL final : public TStringFormat_HEX {
public:
    std::string_view FormatName() const override { return "Hexadecimal lowercase"; }
    int FormatId() const override { return 1016; }
    std::string_view ClassName() const override { return "TStringFormat_HEXL"; }

protected:
    const char* Digits() const override { return "0123456789abcdef"; }
};

// Base 64 with the standard alphabet and "=" fill (id 4196). Reading passes over space, tab,
// CR and LF, takes a missing fill as present, and refuses any other character.
class TStringFormat_MIME64 final : public TStringFormat_HEX {
public:
    std::string TextToBytes(std::string_view text) const override;
    std::string BytesToText(std::string_view bytes) const override;
    std::string_view FormatName() const override { return "MIME Base 64"; }
    int FormatId() const override { return 4196; }
    std::string_view ClassName() const override { return "TStringFormat_MIME64"; }
    std::string_view CharTable() const override;
};

// UU coding (id 21845): lines of at most 45 bytes, each a length character and four
// characters for every three bytes, written without line breaks; "`" stands for 0.
class TStringFormat_UU : public TStringFormat {
public:
    std::string TextToBytes(std::string_view text) const override;
    std::string BytesToText(std::string_view bytes) const override;
    std::string_view FormatName() const override { return "UU Coding"; }
    int FormatId() const override { return 21845; }
    std::string_view ClassName() const override { return "TStringFormat_UU"; }
    std::string_view CharTable() const override;

protected:
    // The 64 characters for the values 0 to 63.
    virtual std::string_view Alphabet() const;
};

class TStringFormat_XX final : public TStringFormat_UU {
public:
    std::string_view FormatName() const override { return "XX Coding"; }
    int FormatId() const override { return 22616; }
    std::string_view ClassName() const override { return "TStringFormat_XX"; }
    std::string_view CharTable() const override;

protected:
    std::string_view Alphabet() const override;
};

// The registry, filled with the six formats on first use, in id order of their introduction.
// A format with id -1 is skipped; one whose id is registered replaces the registered one.
void RegisterStringFormats(const std::vector<const TStringFormat*>& formats);
const std::vector<const TStringFormat*>& StringFormats();
// -1 means the default; nullptr when the id is not registered.
const TStringFormat* StringFormatById(int id);

// Raise EStringFormat for an unregistered id or input the format refuses. An empty input
// or the id 0 gives the empty string.
std::string BytesToFormat(std::string_view bytes, int formatId);
std::string FormatToBytes(std::string_view text, int formatId);

}  // namespace gs::crypto
