#include "framework/core/MimeInfo.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sstream>

#include "platform/ByteReader.h"
#include "platform/ByteSource.h"

namespace gs {

namespace {

// globs2 is some 100 KiB and a type's definition a few; anything far larger is no such file.
constexpr std::uint64_t kMaxDatabaseFile = 8 * 1024 * 1024;
constexpr const char* kIconSizes[] = {"32x32", "48x48", "24x24", "64x64", "22x22", "16x16", "128x128", "256x256"};
constexpr const char* kPreferredTheme = "hicolor";

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// The text of a small regular file, or nothing (missing, unreadable, too large).
std::optional<std::string> smallFile(const std::filesystem::path& path) {
    try {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
        std::shared_ptr<const IByteSource> src = openFileSource(path);
        if (src->Size() > kMaxDatabaseFile) return std::nullopt;
        TByteReader in(*src);
        const TBytes b = in.Bytes(in.Remaining());
        return std::string(b.begin(), b.end());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string envOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

std::string unescapeXml(std::string s) {
    static const std::pair<const char*, char> entities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
    for (const auto& [entity, c] : entities)
        for (std::size_t at = s.find(entity); at != std::string::npos; at = s.find(entity, at + 1))
            s.replace(at, std::string_view(entity).size(), 1, c);
    return s;
}

}  // namespace

TMimeInfo::TMimeInfo(std::vector<std::filesystem::path> dataDirs) : dirs_(std::move(dataDirs)) {
    for (const auto& dir : dirs_) readGlobs(dir / "mime" / "globs2");
}

const TMimeInfo& TMimeInfo::Session() {
    static const TMimeInfo session = [] {
        std::vector<std::filesystem::path> dirs{envOr("XDG_DATA_HOME", envOr("HOME", "/") + "/.local/share")};
        std::stringstream list(envOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share"));
        for (std::string dir; std::getline(list, dir, ':');)
            if (!dir.empty()) dirs.emplace_back(dir);
        return TMimeInfo(std::move(dirs));
    }();
    return session;
}

void TMimeInfo::readGlobs(const std::filesystem::path& file) {
    const std::optional<std::string> text = smallFile(file);
    if (!text) return;
    std::stringstream lines(*text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        // weight:type:glob[:flags[:...]]
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string x; std::getline(fields, x, ':');) f.push_back(x);
        if (f.size() < 3 || !f[2].starts_with("*.") || f[2].find_first_of("*?[", 1) != std::string::npos) continue;
        char* end = nullptr;
        const long weight = std::strtol(f[0].c_str(), &end, 10);
        if (end == f[0].c_str() || *end != '\0') continue;
        const bool cs = f.size() > 3 && f[3].find("cs") != std::string::npos;
        globs_.push_back({int(weight), f[1], cs ? f[2].substr(1) : lower(f[2].substr(1)), cs});
    }
}

std::string TMimeInfo::TypeOfName(const std::string& fileName) const {
    const std::string name = std::filesystem::path(fileName).filename().string(), folded = lower(name);
    const Glob* best = nullptr;
    for (const Glob& g : globs_) {
        if (!(g.caseSensitive ? name : folded).ends_with(g.suffix)) continue;
        if (!best || g.weight > best->weight || (g.weight == best->weight && g.suffix.size() > best->suffix.size()))
            best = &g;
    }
    return best ? best->type : std::string();
}

std::string TMimeInfo::Comment(const std::string& type) const {
    if (type.empty() || type.find("..") != std::string::npos) return {};
    for (const auto& dir : dirs_) {
        const std::optional<std::string> xml = smallFile(dir / "mime" / (type + ".xml"));
        if (!xml) continue;
        // The first <comment> without a language is the untranslated one.
        for (std::size_t at = xml->find("<comment"); at != std::string::npos; at = xml->find("<comment", at + 1)) {
            const std::size_t close = xml->find('>', at), end = xml->find("</comment>", at);
            if (close == std::string::npos || end == std::string::npos || end < close) break;
            if (xml->substr(at, close - at).find("xml:lang") != std::string::npos) continue;
            return unescapeXml(xml->substr(close + 1, end - close - 1));
        }
    }
    return {};
}

std::string TMimeInfo::lookup(const char* fileName, const std::string& type) const {
    for (const auto& dir : dirs_) {
        const std::optional<std::string> text = smallFile(dir / "mime" / fileName);
        if (!text) continue;
        std::stringstream lines(*text);
        for (std::string line; std::getline(lines, line);)
            if (line.size() > type.size() && line.starts_with(type) && line[type.size()] == ':')
                return line.substr(type.size() + 1);
    }
    return {};
}

std::string TMimeInfo::IconName(const std::string& type) const {
    if (std::string icon = lookup("icons", type); !icon.empty()) return icon;
    std::string icon = type;
    std::replace(icon.begin(), icon.end(), '/', '-');
    return icon;
}

std::string TMimeInfo::GenericIconName(const std::string& type) const {
    if (std::string icon = lookup("generic-icons", type); !icon.empty()) return icon;
    return type.substr(0, type.find('/')) + "-x-generic";
}

std::filesystem::path TMimeInfo::IconFile(const std::string& iconName) const {
    if (iconName.empty() || iconName.find('/') != std::string::npos) return {};
    const std::string file = iconName + ".png";
    std::error_code ec;
    for (const auto& dir : dirs_) {
        std::vector<std::filesystem::path> themes;
        for (const auto& entry : std::filesystem::directory_iterator(dir / "icons", ec))
            if (entry.is_directory(ec)) themes.push_back(entry.path());
        std::sort(themes.begin(), themes.end(), [](const auto& a, const auto& b) {
            return (a.filename() == kPreferredTheme) != (b.filename() == kPreferredTheme) ? a.filename() == kPreferredTheme
                                                                                         : a < b;
        });
        for (const auto& theme : themes)
            for (const char* size : kIconSizes)
                for (const char* context : {"mimetypes", "apps", "places", "devices"})
                    if (std::filesystem::is_regular_file(theme / size / context / file, ec)) return theme / size / context / file;
        if (std::filesystem::is_regular_file(dir / "pixmaps" / file, ec)) return dir / "pixmaps" / file;
    }
    return {};
}

}  // namespace gs
