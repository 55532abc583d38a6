#pragma once
// The "Glyphtrek" verb of the file manager: folders and the file types the program reads
// open in it with "/X:" and the item's path. Each of the seven shell classes keeps the
// verb's command text; on this desktop they live in one desktop entry ("Open With >
// Glyphtrek") whose MimeType is the union of the classes' types and which keeps each
// class's command in an X-Glyphscope-Command-<class> key for the status to read back.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace gs {

inline constexpr const char* kShellVerbName = "Glyphtrek";
inline constexpr std::array<const char*, 7> kShellClasses = {"Folder",  "exefile", "dllfile", "ocxfile",
                                                              "cplfile", "icofile", "iclfile"};
inline constexpr const char* kShellVerbEntryName = "glyphscope-glyphtrek.desktop";
inline constexpr const char* kShellCommandKeyPrefix = "X-Glyphscope-Command-";

enum class TShellVerbStatus { Off = 0, Partly = 1, On = 2 };

// The command a class runs: the program in double quotes, a blank, then "/X:%1" in double
// quotes.
std::string ShellVerbCommand(const std::string& exePath);
// The desktop entry's Exec line for the program (the path quoted by the entry's rules).
std::string ShellVerbExec(const std::string& exePath);
// The media types a class's files have on this desktop.
std::vector<std::string> ShellClassMimeTypes(const std::string& shellClass);
// ${XDG_DATA_HOME:-~/.local/share}/applications/glyphscope-glyphtrek.desktop
std::filesystem::path ShellVerbEntryFile();

// The verb of one program (exePath) as kept in one entry file.
class TShellVerb {
public:
    TShellVerb(std::string exePath, std::filesystem::path entryFile)
        : exePath_(std::move(exePath)), entryFile_(std::move(entryFile)) {}

    // How many classes run this program's command (compared ignoring the case of a to z):
    // none, some or all seven.
    TShellVerbStatus Status() const;
    // Writes the entry with every class. False when it could not be written.
    bool Register() const;
    // Deletes the entry, but only when some class runs this program's command: another
    // program's verb stays. False when an entry of ours could not be deleted.
    bool Unregister() const;

private:
    int matchingClasses() const;

    std::string exePath_;
    std::filesystem::path entryFile_;
};

// The three routines of the preferences, for the running program and the user's entry;
// failures are not reported (the status then reads what is there).
int GetShellExtensionStatus();
void RegisterShellExtension();
void UnregisterShellExtension();

}  // namespace gs
