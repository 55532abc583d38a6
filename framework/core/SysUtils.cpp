#include "framework/core/SysUtils.h"

#include "framework/core/FileUtils.h"
#include "framework/core/StrUtils.h"

namespace gs {

namespace {

constexpr const char* kDefaultScheme = "http://";
constexpr const char* kInvalidNameChars = "\\/:*<>|'\"?";
constexpr char kBackspace = 8;
// Schemes written without "//" after their colon.
constexpr const char* kOpaqueSchemes[] = {"mailto", "news", "tel", "urn", "data", "file"};

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

std::optional<std::string> HelpFileToOpen(const TQBApplication& app) {
    if (app.HelpFile.empty() || !SafeFileExists(app.HelpFile)) return std::nullopt;
    return app.HelpFile;
}

std::vector<std::string> MailCommand(const TQBApplication& app, const std::string& address) {
    return {kMailProgram, "--subject", app.Title + " " + app.VersionText, "--body", " ", address};
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
