#include "framework/core/VersionRoutines.h"

#include <cstdio>
#include <stdexcept>

#include "framework/core/BuildVersion.h"
#include "framework/core/VersionBlockWriter.h"

namespace gs {

namespace {
constexpr std::uint16_t kCodePageWindowsLatin1 = 1252;

std::string dotted(std::initializer_list<unsigned> parts) {
    std::string s;
    for (unsigned p : parts) {
        if (!s.empty()) s += '.';
        s += std::to_string(p);
    }
    return s;
}
}  // namespace

std::optional<VersionInfo> LoadVersionInfo(const std::filesystem::path& file) {
    try {
        std::optional<Bytes> bytes = readVersionResourceBytes(file);
        if (!bytes) return std::nullopt;
        return VersionInfo::parse(*bytes);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

const VersionInfo& programVersionInfo() {
    static const VersionInfo block = [] {
        using namespace build;
        VersionBlockContent c;
        c.fileVersion = {kVersionMajor, kVersionMinor, kVersionPatch, kBuildNumber};
        c.productVersion = c.fileVersion;
        c.translations = {{kLanguage, kCodePageWindowsLatin1}};
        c.strings = {{"CompanyName", "Veltrazone"},
                     {"FileDescription", "Veltrazone Glyphscope"},
                     {"FileVersion", dotted({kVersionMajor, kVersionMinor, kVersionPatch, kBuildNumber})},
                     {"InternalName", "Glyphscope"},
                     {"LegalCopyright", kDefaultCopyrightText},
                     {"OriginalFilename", "glyphscope"},
                     {"ProductName", "Veltrazone Glyphscope"},
                     {"ProductVersion", dotted({kVersionMajor, kVersionMinor, kVersionPatch})}};
        return VersionInfo::parse(buildVersionBlock(c));
    }();
    return block;
}

std::string GetVersionText(const std::optional<VersionInfo>& block) {
    std::optional<VsFixedFileInfo> fixed = block ? block->GetFixedFileInfo() : std::nullopt;
    if (!fixed) return kDefaultVersionText;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%u.%u.%u Build %u", fixed->fileVersionMS >> 16, fixed->fileVersionMS & 0xFFFF,
                  fixed->fileVersionLS >> 16, fixed->fileVersionLS & 0xFFFF);
    return buf;
}

std::string GetCopyrightText(const std::optional<VersionInfo>& block) {
    if (!block || !block->GetFixedFileInfo()) return kDefaultCopyrightText;
    return block->GetVersionString("LegalCopyright");
}

bool IsEnglishVersion(const std::optional<VersionInfo>& block) {
    std::optional<VersionTranslation> t = block ? block->GetTranslationTable() : std::nullopt;
    return !t || (t->language != kLangPortugueseBrazil && t->language != kLangPortuguesePortugal);
}

std::string GetVersionText(const std::filesystem::path& file) { return GetVersionText(LoadVersionInfo(file)); }
std::string GetCopyrightText(const std::filesystem::path& file) { return GetCopyrightText(LoadVersionInfo(file)); }
bool IsEnglishVersion(const std::filesystem::path& file) { return IsEnglishVersion(LoadVersionInfo(file)); }

}  // namespace gs
