#include "app/core/AppIdentity.h"

#include <filesystem>

#include "framework/core/FileUtils.h"
#include "framework/core/VersionRoutines.h"

namespace gs {

std::unique_ptr<TQBApplication> makeApplicationDescriptor(const std::string& exeName) {
    auto app = std::make_unique<TQBApplication>();
    const std::filesystem::path exe(exeName);
    const std::optional<VersionInfo> version = programVersionInfo();
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
    app->HelpFile = std::filesystem::path(exe).replace_extension(".chm").string();
    app->TipFile = std::filesystem::path(exe).replace_extension(".tip").string();
    app->WebAddresses.WebSite = kWebSite;
    app->WebAddresses.SupportAddress = kSupportAddress;
    app->PanelColor = kPanelColor;
    return app;
}

}  // namespace gs
