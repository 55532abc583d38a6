#pragma once
// Where the program keeps its settings and what it is called.
#include <filesystem>
#include <memory>
#include <string>

#include "framework/core/Application.h"
#include "platform/RegistryStore.h"

namespace gs {

constexpr RegRootId kAppRegRoot = HKEY_LOCAL_MACHINE;
constexpr const char* kRegBaseKey = "Software\\Veltrazone\\Veltrazone Toolchest";
constexpr const char* kRegAppKey = "Software\\Veltrazone\\Veltrazone Toolchest\\Glyphscope";
constexpr const char* kProductName = "Glyphscope";
constexpr const char* kFamilyName = "Veltrazone Toolchest";
constexpr const char* kAppTitle = "Veltrazone Glyphscope";
constexpr const char* kWebSite = "https://veltrazone.example/glyphscope";
constexpr const char* kSupportAddress = "support@veltrazone.example";
constexpr std::uint32_t kPanelColor = 0xA56E3A;  // red 58, green 110, blue 165
// Where an installed program's help and tips files live, from the program's folder.
constexpr const char* kInstalledDataFolder = "../share/glyphscope";
constexpr const char* kHelpFileExtension = ".html";
constexpr const char* kTipFileExtension = ".tip";

// The program's own file with `extension` (the program's name with it): beside the program
// (a build folder), else in the installed data folder; the one beside the program when
// neither exists (nothing will be found there then).
std::filesystem::path ProgramDataFile(const std::filesystem::path& exe, const std::string& extension);

// The descriptor as start-up fills it for the program file `exeName`, with the version
// text, legal notice and language of the program's own version block.
std::unique_ptr<TQBApplication> makeApplicationDescriptor(const std::string& exeName);

}  // namespace gs
