#include "platform/DesktopEntry.h"

#include <cstdlib>
#include <exception>

#include "platform/AtomicFile.h"
#include "platform/ByteSource.h"
#include "platform/Errors.h"

namespace gs {

namespace {

constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

// Blanks before a value are not part of it (a leading blank is written "\s"); blanks
// after it are.
std::string_view leftTrimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return s;
}

std::string_view trimmed(std::string_view s) {
    s = leftTrimmed(s);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::optional<std::string> TDesktopEntry::Value(std::string_view key) const {
    for (const auto& [name, value] : Keys)
        if (name == key) return value;
    return std::nullopt;
}

void TDesktopEntry::Set(const std::string& key, const std::string& value) {
    for (auto& [name, old] : Keys)
        if (name == key) {
            old = value;
            return;
        }
    Keys.emplace_back(key, value);
}

std::string EscapeDesktopValue(std::string_view value) {
    std::string out;
    for (char c : value) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case ' ':
                if (out.empty()) out += "\\s";
                else out += c;
                break;
            default: out += c;
        }
    }
    return out;
}

std::string UnescapeDesktopValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's': out += ' '; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case '\\': out += '\\'; break;
            default: out += '\\'; out += value[i];  // not an escape: kept as written
        }
    }
    return out;
}

std::string QuoteExecArgument(std::string_view argument) {
    const bool quote = argument.empty() || argument.find_first_of(kReservedInExec) != std::string_view::npos;
    std::string out = quote ? "\"" : "";
    for (char c : argument) {
        if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) out += '\\';
        out += c;
        if (c == '%') out += '%';
    }
    if (quote) out += '"';
    return out;
}

std::filesystem::path DesktopApplicationsDir() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return std::filesystem::path(data) / "applications";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/") / ".local/share/applications";
}

std::optional<TDesktopEntry> ReadDesktopEntry(const std::filesystem::path& file) {
    std::string text;
    try {
        TFileSource source(file);
        if (source.Size() > kMaxDesktopEntrySize) return std::nullopt;
        const TBytes bytes = source.Read(0, source.Size());
        text.assign(bytes.begin(), bytes.end());
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return ParseDesktopEntry(text);
}

TDesktopEntry ParseDesktopEntry(std::string_view text) {
    TDesktopEntry entry;
    bool inGroup = false;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = leftTrimmed(rest.substr(0, end));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[') {
            inGroup = trimmed(line) == "[" + std::string(kDesktopEntryGroup) + "]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inGroup || eq == std::string_view::npos) continue;
        entry.Keys.emplace_back(std::string(trimmed(line.substr(0, eq))), UnescapeDesktopValue(leftTrimmed(line.substr(eq + 1))));
    }
    return entry;
}

void WriteDesktopEntry(const std::filesystem::path& file, const TDesktopEntry& entry) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) throw EFCreateError("Cannot create " + file.parent_path().string() + ": " + ec.message());
    std::string text = "[" + std::string(kDesktopEntryGroup) + "]\n";
    for (const auto& [key, value] : entry.Keys) text += key + "=" + EscapeDesktopValue(value) + "\n";
    writeFileAtomically(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace gs
