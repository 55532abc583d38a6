#include "framework/core/SysUtils.h"

#include <dlfcn.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "framework/core/FileUtils.h"
#include "framework/core/RegUtils.h"
#include "framework/core/StrUtils.h"

namespace gs {

namespace {

constexpr const char* kDefaultScheme = "http://";
constexpr const char* kFileScheme = "file://";
// The manual names the section of each help context "help-" and the context's number.
constexpr const char* kHelpSectionPrefix = "help-";
constexpr const char* kFileTypePattern = "%s File";
constexpr std::size_t kDateCapacity = 128;
constexpr const char* kInvalidNameChars = "\\/:*<>|'\"?";
constexpr char kBackspace = 8;
// Schemes written without "//" after their colon.
// The types of the files that hold their own icons, the ones our readers take: icon and
// cursor files, Windows programs and libraries.
constexpr std::string_view kOwnIconTypes[] = {
    "image/vnd.microsoft.icon", "image/x-icon", "image/x-win-bitmap", "application/x-ms-dos-executable",
    "application/x-msdownload", "application/x-ms-ne-executable", "application/vnd.microsoft.portable-executable"};
constexpr const char* kOpaqueSchemes[] = {"mailto", "news", "tel", "urn", "data", "file"};

std::string asciiCase(std::string s, bool upper) {
    for (char& c : s) {
        if (upper && c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return s;
}


bool isSchemeChar(char c) { return IsLetterChar(c) || IsDigitChar(c) || c == '+' || c == '-' || c == '.'; }

bool hasScheme(const std::string& url) {
    const std::size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0 || !IsLetterChar(url[0])) return false;
    for (std::size_t i = 1; i < colon; ++i)
        if (!isSchemeChar(url[i])) return false;
    if (url.compare(colon + 1, 2, "//") == 0) return true;
    std::string scheme = url.substr(0, colon);
    for (char& c : scheme) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const char* opaque : kOpaqueSchemes)
        if (scheme == opaque) return true;
    return false;
}

}  // namespace

std::string FormatOne(std::string_view pattern, std::string_view arg) {
    std::string out;
    bool used = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '%' && next == '%') {
            out += '%';
            ++i;
        } else if (pattern[i] == '%' && (next == 's' || next == 'd') && !used) {
            out += arg;
            used = true;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string URLToOpen(const std::string& url) {
    if (url.empty()) return {};
    return hasScheme(url) ? url : kDefaultScheme + url;
}

std::string HelpSectionName(int helpContext) { return kHelpSectionPrefix + std::to_string(helpContext); }

std::string FileAddress(const std::string& absolutePath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = kFileScheme;
    for (const char c : absolutePath) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsLetterChar(c) || IsDigitChar(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::optional<std::string> HelpFileToOpen(const TQBApplication& app, int helpContext) {
    if (app.HelpFile.empty() || !SafeFileExists(app.HelpFile)) return std::nullopt;
    if (helpContext == 0) return app.HelpFile;
    std::error_code ec;
    std::filesystem::path file = std::filesystem::absolute(app.HelpFile, ec);
    if (ec) file = app.HelpFile;
    return FileAddress(file.lexically_normal().string()) + "#" + HelpSectionName(helpContext);
}

std::vector<std::string> MailCommand(const TQBApplication& app, const std::string& address) {
    return {kMailProgram, "--subject", app.Title + " " + app.VersionText, "--body", " ", address};
}

std::string FormatFileDate(std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    if (!localtime_r(&t, &local)) return {};
    char text[kDateCapacity];
    const std::size_t n = std::strftime(text, sizeof text, "%x %X", &local);
    return std::string(text, n);
}

std::string GetFileTypeName(const std::string& fileName, const TMimeInfo& mime) {
    const std::string ext = asciiCase(std::filesystem::path(fileName).extension().string(), false);
    std::string result = FormatOne(kFileTypePattern, asciiCase(ext.empty() ? ext : ext.substr(1), true));
    if (ext.empty()) return result;
    if (std::string description = mime.Comment(mime.TypeOfName(fileName)); !description.empty()) return description;
    return result;
}

bool GetRegisteredIcon(const std::string& ext, std::string& iconFile, int& iconIndex, const TMimeInfo& mime) {
    const std::string type = mime.TypeOfName(ext);
    // Icon files and programs show their own icon: the desktop registers the file itself
    // ("%1") as their icon, which names no icon file and index here.
    if (type.empty() || std::find(std::begin(kOwnIconTypes), std::end(kOwnIconTypes), type) != std::end(kOwnIconTypes))
        return false;
    std::filesystem::path file = mime.IconFile(mime.IconName(type));
    if (file.empty()) file = mime.IconFile(mime.GenericIconName(type));
    if (file.empty()) return false;
    iconFile = file.string();
    iconIndex = 0;
    return true;
}

bool GetFileDefaultIcon(const std::string& fileName, std::string& iconFile, int& iconIndex, const TMimeInfo& mime) {
    const std::string ext = asciiCase(std::filesystem::path(fileName).extension().string(), false);
    return !ext.empty() && GetRegisteredIcon(ext, iconFile, iconIndex, mime);
}

bool GetLibraryProc(const std::string& libName, const std::string& procName, void*& proc) {
    proc = nullptr;
    // Never closed: whatever the caller does with the symbol, the library stays.
    void* library = dlopen(libName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return false;
    proc = dlsym(library, procName.c_str());
    return proc != nullptr;
}

namespace {

constexpr std::uint8_t kCodeMask = 0x7F;
constexpr std::uintmax_t kUserDirsCap = 64 * 1024;  // the real file is a few hundred bytes

std::string environmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

std::string homeFolder() { return environmentOr("HOME", "/"); }
std::string dataHome() { return environmentOr("XDG_DATA_HOME", homeFolder() + "/.local/share"); }
std::string configHome() { return environmentOr("XDG_CONFIG_HOME", homeFolder() + "/.config"); }

// A folder named in user-dirs.dirs ("XDG_DESKTOP_DIR="$HOME/Desktop""), else the fallback
// below the home folder.
std::string userDir(const std::string& key, const char* fallback) {
    const std::string file = configHome() + "/user-dirs.dirs";
    std::error_code ec;
    if (SafeFileExists(file) && std::filesystem::file_size(file, ec) <= kUserDirsCap && !ec) {
        std::ifstream in(file);
        std::string line;
        const std::string prefix = key + "=\"";
        while (std::getline(in, line)) {
            if (!line.starts_with(prefix) || line.size() < prefix.size() + 1 || line.back() != '"') continue;
            std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
            if (value.starts_with("$HOME")) value = homeFolder() + value.substr(5);
            if (value.starts_with('/')) return value;
        }
    }
    return homeFolder() + "/" + fallback;
}

}  // namespace

bool GetSpecialFolderPath(std::uint8_t code, std::string& path) {
    std::string found;
    switch (code & kCodeMask) {
        case 0: found = userDir("XDG_DESKTOP_DIR", "Desktop"); break;
        case 1: found = "/"; break;
        case 2: found = dataHome() + "/Trash"; break;
        case 4: found = dataHome() + "/fonts"; break;
        case 7: found = userDir("XDG_DOCUMENTS_DIR", "Documents"); break;
        case 9:
        case 12: found = dataHome() + "/applications"; break;
        case 10: found = configHome() + "/autostart"; break;
        default: return false;
    }
    path = found;
    return true;
}

std::string GetDesktopPath() {
    std::string path;
    return GetSpecialFolderPath(0, path) ? path : std::string();
}

char FilterNameChar(char key) {
    return key == kBackspace || key == ' ' || IsDigitChar(key) || IsLetterChar(key) ? key : '\0';
}

bool IsValidFileName(const std::string& name) { return name.find_first_of(kInvalidNameChars) == std::string::npos; }

bool IsPlainText(const std::string& s) {
    for (char c : s)
        if (c != ' ' && !IsDigitChar(c) && !IsLetterChar(c)) return false;
    return true;
}

}  // namespace gs
