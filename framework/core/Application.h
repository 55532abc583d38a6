#pragma once
// The descriptor of the running program: its names, its place in the settings store, its
// version text and language, the face of its windows, its help and tip files. Start-up
// fills one and installs it; from then on it is read-only and reached through
// application().
#include <cstdint>
#include <memory>
#include <string>

#include "platform/RegistryStore.h"

namespace gs {

// The face of the program's windows, boxes and list where the desktop has it.
inline constexpr const char* kFontName = "Tahoma";

// Companions kept for their shape; none of them takes part in what the program does.
struct TQBLoginInfo {
    int UserId = 0;
    std::string UserName;
    std::string Password;
    int Level = 0;
};

// A connection that exists and is never opened.
struct TQBDatabase {
    bool Enabled = false;
    bool Connected = false;
};

struct TQBWebAddresses {
    std::string WebSite;
    std::string Reserved;
    std::string SupportAddress;  // recipient of the support mail
};

struct TQBAppLogger {
    bool Enabled = false;
    std::string FileName;
};

class TQBApplication {
public:
    // Stores the program file's path; the logger's file name follows it the first time.
    void SetExeName(const std::string& exeName);

    std::string ExeName;
    std::string AppPath;  // folder of ExeName, with its trailing separator
    RegRootId RegRoot = 0;
    std::string RegBaseKey;
    std::string RegAppKey;
    TQBLoginInfo LoginInfo;
    std::string ProductName;
    std::string FamilyName;
    std::string ShortName;  // shown by the about window when Title equals FamilyName
    std::string Title;      // also the caption of every message box
    std::string VersionText;
    std::string SpecialVersionText;
    std::uint8_t LanguageId = 0;  // 0 Portuguese, 1 English
    std::string Copyright;
    TQBDatabase Database;
    std::string FontName;
    std::string HelpFile;
    TQBWebAddresses WebAddresses;
    std::uint32_t PanelColor = 0;  // 0x00BBGGRR
    std::string TipFile;
    TQBAppLogger Logger;
};

// Hands the filled descriptor over for the rest of the run; a second installation is a
// programming error (std::logic_error).
void installApplication(std::unique_ptr<TQBApplication> app);
// The installed descriptor (std::logic_error before start-up installed one).
const TQBApplication& application();
bool hasApplication();
// Takes the descriptor back at teardown.
std::unique_ptr<TQBApplication> uninstallApplication();

}  // namespace gs
