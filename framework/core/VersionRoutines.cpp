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

std::optional<TVersionInfo> LoadVersionInfo(const std::filesystem::path& file) {
    try {
        std::optional<TBytes> bytes = readVersionResourceBytes(file);
        if (!bytes) return std::nullopt;
        return TVersionInfo::parse(*bytes);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

const TVersionInfo& programVersionInfo() {
    static const TVersionInfo block = [] {
        using namespace build;
        TVersionBlockContent c;
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
        return TVersionInfo::parse(buildVersionBlock(c));
    }();
    return block;
}

std::string GetVersionText(const std::optional<TVersionInfo>& block) {
    std::optional<TVsFixedFileInfo> fixed = block ? block->GetFixedFileInfo() : std::nullopt;
    if (!fixed) return kDefaultVersionText;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%u.%u.%u Build %u", fixed->fileVersionMS >> 16, fixed->fileVersionMS & 0xFFFF,
                  fixed->fileVersionLS >> 16, fixed->fileVersionLS & 0xFFFF);
    return buf;
}

std::string GetCopyrightText(const std::optional<TVersionInfo>& block) {
    if (!block || !block->GetFixedFileInfo()) return kDefaultCopyrightText;
    return block->GetVersionString("LegalCopyright");
}

bool IsEnglishVersion(const std::optional<TVersionInfo>& block) {
    std::optional<TVersionTranslation> t = block ? block->GetTranslationTable() : std::nullopt;
    return !t || (t->language != kLangPortugueseBrazil && t->language != kLangPortuguesePortugal);
}

std::string GetVersionText(const std::filesystem::path& file) { return GetVersionText(LoadVersionInfo(file)); }
std::string GetCopyrightText(const std::filesystem::path& file) { return GetCopyrightText(LoadVersionInfo(file)); }
bool IsEnglishVersion(const std::filesystem::path& file) { return IsEnglishVersion(LoadVersionInfo(file)); }

}  // namespace gs
