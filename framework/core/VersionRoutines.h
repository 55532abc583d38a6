#pragma once
// The version routines start-up uses to fill the descriptor: the version text, the legal
// notice and the language of a version block. The program's own block is compiled in;
// other files' blocks come from their RT_VERSION resource. None of these raises.
#include <filesystem>
#include <optional>
#include <string>

#include "framework/core/VersionInfo.h"
#include "platform/ByteSource.h"

namespace gs {

// Shown when a file has no version block.
constexpr const char* kDefaultVersionText = "0.0.0";
constexpr const char* kDefaultCopyrightText = "Copyright (C) Veltrazone. All rights reserved.";
constexpr std::uint16_t kLangPortugueseBrazil = 0x0416;
constexpr std::uint16_t kLangPortuguesePortugal = 0x0816;

// The RT_VERSION resource of a PE file, through the icon library's resource reader.
std::optional<TBytes> readVersionResourceBytes(const std::filesystem::path& file);

// The version block of a file, or nothing when it has none or it is damaged.
std::optional<TVersionInfo> LoadVersionInfo(const std::filesystem::path& file);
// The block built into this program from its build's version and language.
const TVersionInfo& programVersionInfo();

// "major.minor.release Build n" from the fixed file information, else "0.0.0".
std::string GetVersionText(const std::optional<TVersionInfo>& block);
// The block's "LegalCopyright" (empty when the block lacks it); the default notice
// without a block.
std::string GetCopyrightText(const std::optional<TVersionInfo>& block);
// False only when the first translation is Portuguese (Brazil or Portugal).
bool IsEnglishVersion(const std::optional<TVersionInfo>& block);

std::string GetVersionText(const std::filesystem::path& file);
std::string GetCopyrightText(const std::filesystem::path& file);
bool IsEnglishVersion(const std::filesystem::path& file);

}  // namespace gs
