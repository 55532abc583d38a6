#pragma once
// Where the program keeps its settings and what it is called.
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

// The descriptor as start-up fills it for the program file `exeName`, with the version
// text, legal notice and language of the program's own version block.
std::unique_ptr<TQBApplication> makeApplicationDescriptor(const std::string& exeName);

}  // namespace gs
