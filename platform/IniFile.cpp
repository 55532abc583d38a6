#include "platform/IniFile.h"

#include <algorithm>

#include "platform/AtomicFile.h"
#include "platform/ByteSource.h"
#include "platform/Errors.h"

namespace gs {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") + 1 - first);
}

// One line's worth of text: line breaks would start a new line of the file.
std::string oneLine(std::string_view s) {
    std::string out(s);
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return out;
}

std::string unquoted(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return std::string(v.substr(1, v.size() - 2));
    return std::string(v);
}

}  // namespace

TIniFile::TIniFile(std::filesystem::path fileName) : fileName_(std::move(fileName)) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName_, ec)) return;
    const auto size = std::filesystem::file_size(fileName_, ec);
    if (ec || size > kMaxIniSize) return;
    try {
        const TBytes bytes = readWholeFile(fileName_);
        Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } catch (const EPlatformError&) {
        sections_.clear();
    }
}

TIniFile::TIniFile(std::filesystem::path fileName, std::string_view text) : fileName_(std::move(fileName)) {
    Parse(text.substr(0, kMaxIniSize));
}

void TIniFile::Parse(std::string_view text) {
    Section* current = nullptr;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line = trim(line.substr(0, line.size() - 1));
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string_view name = trim(line.substr(1, line.size() - 2));
            current = const_cast<Section*>(Find(name));
            if (!current) current = &sections_.emplace_back(Section{std::string(name), {}});
            continue;
        }
        const auto eq = line.find('=');
        if (!current || eq == std::string_view::npos) continue;
        const std::string_view key = trim(line.substr(0, eq));
        const std::string_view value = trim(line.substr(eq + 1));
        auto it = std::find_if(current->entries.begin(), current->entries.end(),
                               [&](const Entry& e) { return sameName(e.key, key); });
        if (it == current->entries.end()) current->entries.push_back({std::string(key), std::string(value)});
    }
}

const TIniFile::Section* TIniFile::Find(std::string_view section) const {
    for (const Section& s : sections_)
        if (sameName(s.name, section)) return &s;
    return nullptr;
}

std::optional<std::string> TIniFile::Read(std::string_view section, std::string_view ident) const {
    if (const Section* s = Find(trim(section)))
        for (const Entry& e : s->entries)
            if (sameName(e.key, trim(ident))) return unquoted(e.value);
    return std::nullopt;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view ident, const std::string& def) const {
    return Read(section, ident).value_or(def);
}

void TIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
    const std::string name = oneLine(trim(section)), key = oneLine(trim(ident));
    auto* s = const_cast<Section*>(Find(name));
    if (!s) s = &sections_.emplace_back(Section{name, {}});
    auto it = std::find_if(s->entries.begin(), s->entries.end(), [&](const Entry& e) { return sameName(e.key, key); });
    if (it == s->entries.end()) s->entries.push_back({key, oneLine(value)});
    else it->value = oneLine(value);
    Save();
}

void TIniFile::EraseSection(std::string_view section) {
    const Section* s = Find(trim(section));
    if (!s) return;
    sections_.erase(sections_.begin() + (s - sections_.data()));
    Save();
}

std::vector<std::string> TIniFile::Sections() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) names.push_back(s.name);
    return names;
}

std::vector<std::string> TIniFile::Keys(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = Find(trim(section)))
        for (const Entry& e : s->entries) keys.push_back(e.key);
    return keys;
}

void TIniFile::Save() const {
    std::string text;
    for (const Section& s : sections_) {
        text += "[" + s.name + "]\n";
        for (const Entry& e : s.entries) text += e.key + "=" + e.value + "\n";
        text += "\n";
    }
    writeFileAtomically(fileName_, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace gs
