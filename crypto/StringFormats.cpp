#include "crypto/StringFormats.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "crypto/CryptoErrors.h"

namespace gs::crypto {

namespace {

constexpr std::string_view kSeparators = " \t\r\n";
constexpr std::string_view kHexTable = "0123456789ABCDEFabcdefxX$ \t\r\n,.:;-/";
constexpr std::string_view kMime64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kMime64Table =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/= \t\r\n";
constexpr std::string_view kUUAlphabet = "`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_";
constexpr std::string_view kUUTable = "`!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_ \t\r\n";
constexpr std::string_view kXXAlphabet = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kXXTable = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz \t\r\n";
constexpr std::size_t kUULineBytes = 45;

bool isSeparator(char c) { return kSeparators.find(c) != std::string_view::npos; }

[[noreturn]] void notValid(const TStringFormat& f) {
    throw EStringFormat("Input is not an valid " + std::string(f.FormatName()) + " Format.");
}

// Value of each character in `alphabet`, -1 for the others.
std::array<int, 256> valuesOf(std::string_view alphabet) {
    std::array<int, 256> v;
    v.fill(-1);
    for (std::size_t i = 0; i < alphabet.size(); ++i) v[std::uint8_t(alphabet[i])] = int(i);
    return v;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string withoutSeparators(std::string_view text) {
    std::string s;
    s.reserve(text.size());
    for (char c : text)
        if (!isSeparator(c)) s += c;
    return s;
}

// Four characters for up to three bytes (missing bytes count as 0).
void encodeGroup(std::string& out, std::string_view alphabet, const std::uint8_t* b, std::size_t n) {
    std::uint32_t v = std::uint32_t(b[0]) << 16 | std::uint32_t(n > 1 ? b[1] : 0) << 8 | (n > 2 ? b[2] : 0);
    for (int shift = 18; shift >= 0; shift -= 6) out += alphabet[(v >> shift) & 63];
}

}  // namespace

bool TStringFormat::IsValidInput(std::string_view data, Direction direction) const {
    std::string_view table = CharTable();
    if (direction == Direction::BytesToText || table.empty()) return true;
    for (char c : data)
        if (table.find(c) == std::string_view::npos) return false;
    return true;
}

std::string_view TStringFormat_HEX::CharTable() const { return kHexTable; }

std::string TStringFormat_HEX::BytesToText(std::string_view bytes) const {
    const char* digits = Digits();
    std::string s;
    s.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

std::string TStringFormat_HEX::TextToBytes(std::string_view text) const {
    std::string out;
    int high = -1;
    bool prefixSeen = false;
    for (char c : text) {
        if (c == 'x' || c == 'X' || c == '$') {
            if (!prefixSeen) {  // "0x12" and "$12": what came before the prefix is dropped
                prefixSeen = true;
                out.clear();
                high = -1;
            }
            continue;
        }
        int v = hexValue(c);
        if (v < 0) {
            if (kHexTable.find(c) == std::string_view::npos) notValid(*this);
            continue;
        }
        if (high < 0) {
            high = v;
        } else {
            out += char(high << 4 | v);
            high = -1;
        }
    }
    return out;
}

std::string_view TStringFormat_MIME64::CharTable() const { return kMime64Table; }

std::string TStringFormat_MIME64::BytesToText(std::string_view bytes) const {
    std::string s;
    s.reserve((bytes.size() + 2) / 3 * 4);
    auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        encodeGroup(s, kMime64Alphabet, b + i, n);
        if (n < 3) s.replace(s.size() - (3 - n), 3 - n, 3 - n, '=');
    }
    return s;
}

std::string TStringFormat_MIME64::TextToBytes(std::string_view text) const {
    static const auto values = valuesOf(kMime64Alphabet);
    std::string s = withoutSeparators(text);
    s.append((4 - s.size() % 4) % 4, '=');
    std::string out;
    out.reserve(s.size() / 4 * 3);
    for (std::size_t g = 0; g < s.size(); g += 4) {
        std::uint32_t v = 0;
        int data = 0;
        for (int k = 0; k < 4; ++k) {
            char c = s[g + k];
            if (c == '=') continue;
            int d = values[std::uint8_t(c)];
            if (d < 0 || data != k) notValid(*this);  // a foreign character, or data after "="
            v |= std::uint32_t(d) << (18 - 6 * k);
            ++data;
        }
        // One character is not a byte; a group with fill must be the last one.
        if (data < 2 || (data < 4 && g + 4 < s.size())) notValid(*this);
        for (int k = 0; k < data - 1; ++k) out += char(v >> (16 - 8 * k));
    }
    return out;
}

std::string_view TStringFormat_UU::Alphabet() const { return kUUAlphabet; }
std::string_view TStringFormat_UU::CharTable() const { return kUUTable; }
std::string_view TStringFormat_XX::Alphabet() const { return kXXAlphabet; }
std::string_view TStringFormat_XX::CharTable() const { return kXXTable; }

std::string TStringFormat_UU::BytesToText(std::string_view bytes) const {
    std::string_view alphabet = Alphabet();
    std::string s;
    auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t line = 0; line < bytes.size(); line += kUULineBytes) {
        std::size_t n = std::min(kUULineBytes, bytes.size() - line);
        s += alphabet[n];
        for (std::size_t i = 0; i < n; i += 3) encodeGroup(s, alphabet, b + line + i, std::min<std::size_t>(3, n - i));
    }
    return s;
}

std::string TStringFormat_UU::TextToBytes(std::string_view text) const {
    const auto values = valuesOf(Alphabet());
    std::string s = withoutSeparators(text);
    std::string out;
    std::size_t at = 0;
    while (at < s.size()) {
        int n = values[std::uint8_t(s[at++])];
        if (n < 0 || n > int(kUULineBytes)) notValid(*this);
        std::size_t chars = (std::size_t(n) + 2) / 3 * 4;
        if (chars > s.size() - at) notValid(*this);  // the line claims more than the text holds
        for (int i = 0; i < n; i += 3, at += 4) {
            std::uint32_t v = 0;
            for (int k = 0; k < 4; ++k) {
                int d = values[std::uint8_t(s[at + k])];
                if (d < 0) notValid(*this);
                v = v << 6 | std::uint32_t(d);
            }
            for (int k = 0; k < std::min(3, n - i); ++k) out += char(v >> (16 - 8 * k));
        }
    }
    return out;
}

namespace {
std::vector<const TStringFormat*>& registry() {
    static const TStringFormat copy;
    static const TStringFormat_HEX hex;
    static const TStringFormat_HEXL hexl;
    static const TStringFormat_MIME64 mime64;
    static const TStringFormat_UU uu;
    static const TStringFormat_XX xx;
    static std::vector<const TStringFormat*> list{&copy, &hex, &hexl, &mime64, &uu, &xx};
    return list;
}
}  // namespace

void RegisterStringFormats(const std::vector<const TStringFormat*>& formats) {
    auto& list = registry();
    for (const TStringFormat* f : formats) {
        if (!f || f->FormatId() == -1) continue;
        bool replaced = false;
        for (auto& entry : list)
            if (entry->FormatId() == f->FormatId()) {
                entry = f;
                replaced = true;
            }
        if (!replaced) list.push_back(f);
    }
}

const std::vector<const TStringFormat*>& StringFormats() { return registry(); }

const TStringFormat* StringFormatById(int id) {
    if (id == -1) id = TStringFormat::kDefaultFormat;
    for (const TStringFormat* f : registry())
        if (f->FormatId() == id) return f;
    return nullptr;
}

namespace {
const TStringFormat& registered(int id) {
    const TStringFormat* f = StringFormatById(id);
    if (!f) throw EStringFormat("String Format \"" + std::to_string(id) + "\" not exists.");
    return *f;
}
}  // namespace

std::string BytesToFormat(std::string_view bytes, int formatId) {
    if (bytes.empty() || formatId == 0) return {};
    const TStringFormat& f = registered(formatId);
    if (!f.IsValidInput(bytes, Direction::BytesToText))
        throw EStringFormat("Input can not be convert to " + std::string(f.FormatName()) + " Format.");
    return f.BytesToText(bytes);
}

std::string FormatToBytes(std::string_view text, int formatId) {
    if (text.empty() || formatId == 0) return {};
    const TStringFormat& f = registered(formatId);
    if (!f.IsValidInput(text, Direction::TextToBytes)) notValid(f);
    return f.TextToBytes(text);
}

}  // namespace gs::crypto
