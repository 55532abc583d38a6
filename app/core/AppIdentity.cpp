#include "app/core/AppIdentity.h"

#include <filesystem>

#include "framework/core/FileUtils.h"
#include "framework/core/VersionRoutines.h"

namespace gs {

std::filesystem::path ProgramDataFile(const std::filesystem::path& exe, const std::string& extension) {
    const std::filesystem::path name = exe.filename().replace_extension(extension);
    std::filesystem::path beside = exe;
    beside.replace_extension(extension);
    if (SafeFileExists(beside.string())) return beside;
    const std::filesystem::path installed = (exe.parent_path() / kInstalledDataFolder / name).lexically_normal();
    if (SafeFileExists(installed.string())) return installed;
    return beside;
}

std::unique_ptr<TQBApplication> makeApplicationDescriptor(const std::string& exeName) {
    auto app = std::make_unique<TQBApplication>();
    const std::filesystem::path exe(exeName);
    const std::optional<TVersionInfo> version = programVersionInfo();
    app->SetExeName(exeName);
    app->AppPath = AddTrailingBackslash(exe.parent_path().string());
    app->RegRoot = kAppRegRoot;
    app->RegBaseKey = kRegBaseKey;
    app->RegAppKey = kRegAppKey;
    app->ProductName = kProductName;
    app->FamilyName = kFamilyName;
    app->Title = kAppTitle;
    app->VersionText = GetVersionText(version);
    app->LanguageId = IsEnglishVersion(version) ? 1 : 0;
    app->Copyright = GetCopyrightText(version);
    app->FontName = kDefaultFontName;
    app->HelpFile = ProgramDataFile(exe, kHelpFileExtension).string();
    app->TipFile = ProgramDataFile(exe, kTipFileExtension).string();
    app->WebAddresses.WebSite = kWebSite;
    app->WebAddresses.SupportAddress = kSupportAddress;
    app->PanelColor = kPanelColor;
    return app;
}

}  // namespace gs
