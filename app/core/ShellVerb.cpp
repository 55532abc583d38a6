#include "app/core/ShellVerb.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "framework/core/Application.h"
#include "platform/DesktopEntry.h"

namespace gs {

namespace {

constexpr const char* kFolderMime = "inode/directory";
constexpr const char* kExecutableMime = "application/x-ms-dos-executable";
constexpr const char* kIconMime = "image/vnd.microsoft.icon";
// The field code that takes the file manager's item, standing where the command has "%1".
constexpr const char* kExecItemArgument = "/X:%f";

bool sameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(x) == lower(y);
           });
}

}  // namespace

std::string ShellVerbCommand(const std::string& exePath) { return "\"" + exePath + "\" \"/X:%1\""; }

std::string ShellVerbExec(const std::string& exePath) {
    return QuoteExecArgument(exePath) + " " + kExecItemArgument;
}

std::vector<std::string> ShellClassMimeTypes(const std::string& shellClass) {
    if (shellClass == "Folder") return {kFolderMime};
    if (shellClass == "icofile") return {kIconMime};
    // Modules and icon libraries all start as DOS executables; the desktop sniffs them so.
    return {kExecutableMime};
}

std::filesystem::path ShellVerbEntryFile() { return DesktopApplicationsDir() / kShellVerbEntryName; }

int TShellVerb::matchingClasses() const {
    const std::optional<TDesktopEntry> entry = ReadDesktopEntry(entryFile_);
    if (!entry) return 0;
    const std::string expected = ShellVerbCommand(exePath_);
    int count = 0;
    for (const char* cls : kShellClasses)
        if (sameIgnoringAsciiCase(entry->Value(std::string(kShellCommandKeyPrefix) + cls).value_or(""), expected)) ++count;
    return count;
}

TShellVerbStatus TShellVerb::Status() const {
    const int count = matchingClasses();
    if (count == 0) return TShellVerbStatus::Off;
    return count == int(kShellClasses.size()) ? TShellVerbStatus::On : TShellVerbStatus::Partly;
}

bool TShellVerb::Register() const {
    TDesktopEntry entry;
    entry.Set("Type", "Application");
    entry.Set("Name", kShellVerbName);
    entry.Set("Exec", ShellVerbExec(exePath_));
    entry.Set("NoDisplay", "true");
    entry.Set("Terminal", "false");
    std::vector<std::string> types;
    for (const char* cls : kShellClasses)
        for (const std::string& type : ShellClassMimeTypes(cls))
            if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(type);
    std::string mime;
    for (const std::string& type : types) mime += type + ";";
    entry.Set("MimeType", mime);
    const std::string command = ShellVerbCommand(exePath_);
    for (const char* cls : kShellClasses) entry.Set(std::string(kShellCommandKeyPrefix) + cls, command);
    try {
        WriteDesktopEntry(entryFile_, entry);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TShellVerb::Unregister() const {
    if (matchingClasses() == 0) return true;
    std::error_code ec;
    std::filesystem::remove(entryFile_, ec);
    return !ec;
}

namespace {

TShellVerb runningProgramVerb() { return TShellVerb(application().ExeName, ShellVerbEntryFile()); }

}  // namespace

int GetShellExtensionStatus() { return int(runningProgramVerb().Status()); }

void RegisterShellExtension() { runningProgramVerb().Register(); }

void UnregisterShellExtension() { runningProgramVerb().Unregister(); }

}  // namespace gs
