#pragma once
// Where the program keeps its settings and what it is called.
#include "platform/RegistryStore.h"

namespace gs {

constexpr RegRootId kAppRegRoot = HKEY_LOCAL_MACHINE;
constexpr const char* kRegBaseKey = "Software\\Veltrazone\\Veltrazone Toolchest";
constexpr const char* kRegAppKey = "Software\\Veltrazone\\Veltrazone Toolchest\\Glyphscope";
constexpr const char* kProductName = "Glyphscope";
constexpr const char* kFamilyName = "Veltrazone Toolchest";
constexpr const char* kAppTitle = "Veltrazone Glyphscope";

}  // namespace gs
