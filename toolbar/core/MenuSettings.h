#pragma once
// The desktop's menu settings as the registry store holds them (HKEY_CURRENT_USER): the
// delay before a submenu opens and whether the menu sounds of the sound scheme are set.
// Windows that have a style ask it first (toolbar/ui); these are the fallbacks.
#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryStore.h"

namespace tb {

constexpr int kDefaultMenuShowDelayMs = 400;
constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kMenuShowDelayValue = "MenuShowDelay";
constexpr const char* kSoundMenuPopup = "MenuPopup";
constexpr const char* kSoundMenuCommand = "MenuCommand";

// The "MenuShowDelay" string of the store: 400 when the key or the value is missing; 0
// for a value that is not a string or not a whole decimal number of at most 31
// characters that fits 32 bits; a negative number is 0. Never raises.
int MenuShowDelayFromStore(gs::TRegistryStore& store);
// The same for the process's store, read once per process.
int MenuShowDelayMs();

// Whether menus drop right-aligned under their item (the desktop's handedness setting, the
// "MenuDropAlignment" string of "Software\Microsoft\Windows NT\CurrentVersion\Windows"
// being a non-zero number). Missing or unreadable: left-aligned. Never raises.
constexpr const char* kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kMenuDropAlignmentValue = "MenuDropAlignment";
bool MenuDropsRightFromStore(gs::TRegistryStore& store);
// The same for the process's store, read once per process.
bool MenuDropsRight();

// True when "AppEvents\Schemes\Apps\.Default\<name>\.Current" exists and its default
// value is not empty. Never raises (a store that fails answers False).
bool SoundSchemeEnabled(gs::TRegistryStore& store, std::string_view name);
bool SoundSchemeEnabled(std::string_view name);

// Whole decimal number text as "MenuShowDelay" holds it; nullopt when it is not one.
std::optional<int> ParseMenuDelay(std::string_view text);

}  // namespace tb
