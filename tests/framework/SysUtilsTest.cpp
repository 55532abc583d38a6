// The framework's desktop routines: addresses, name checks, file types and registered icons
// from the classes, and the session's special folders.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>

#include "framework/core/RegUtils.h"
#include "framework/core/SysUtils.h"
#include "platform/RegistryStore.h"
#include "support/TempDir.h"

using namespace gs;

TEST(DesktopRoutines, AddressesKeepTheirSchemeAndOthersGetHttp) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"veltrazone.example", "http://veltrazone.example"},
        {"http://a.example", "http://a.example"},
        {"HTTP://A.EXAMPLE", "HTTP://A.EXAMPLE"},
        {"https://a.example/x?y", "https://a.example/x?y"},
        {"mailto:someone@a.example", "mailto:someone@a.example"},
        {"localhost:8080/x", "http://localhost:8080/x"},
        {"1a://x", "http://1a://x"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(URLToOpen(in), out) << in;
}

TEST(DesktopRoutines, NameChecksAndFormats) {
    EXPECT_EQ(FilterNameChar(':'), '\0');
    EXPECT_EQ(FilterNameChar(';'), '\0');
    for (char c : {'a', 'Z', '5', ' ', '\b'}) EXPECT_EQ(FilterNameChar(c), c);
    EXPECT_FALSE(IsValidFileName("it's"));
    EXPECT_FALSE(IsValidFileName("a/b"));
    EXPECT_TRUE(IsValidFileName("plain name.ico"));
    EXPECT_TRUE(IsPlainText(""));
    EXPECT_TRUE(IsPlainText("Name 2"));
    EXPECT_FALSE(IsPlainText("na_me"));
    EXPECT_EQ(FormatOne("Folder '%s' not found.", "/x"), "Folder '/x' not found.");
    EXPECT_EQ(FormatOne("Icons: %d", "12"), "Icons: 12");
    EXPECT_EQ(FormatOne("reached %d%%.", "95"), "reached 95%.");
}

TEST(DesktopRoutines, FileDatesAreWrittenByTheLocale) {
    EXPECT_FALSE(FormatFileDate(std::chrono::system_clock::time_point{}).empty());
}

TEST(DesktopRoutines, SpecialFoldersFromTheSessionsFolders) {
    gstest::TempDir home;
    const std::string config = home / "config";
    std::filesystem::create_directories(config);
    std::ofstream(config + "/user-dirs.dirs") << "# written by xdg-user-dirs-update\n"
                                                 "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                                 "XDG_DOCUMENTS_DIR=\"relative/ignored\"\n";
    setenv("HOME", home.path.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    struct Case {
        std::uint8_t code;
        std::optional<std::string> path;
    };
    const Case cases[] = {
        {0, home / "Schreibtisch"},          {0x80, home / "Schreibtisch"},  // high bit ignored
        {7, home / "Documents"},             {1, "/"},
        {2, home / ".local/share/Trash"},    {10, config + "/autostart"},
        {12, home / ".local/share/applications"}, {3, std::nullopt},
        {13, std::nullopt},
    };
    for (const Case& c : cases) {
        std::string path = "unchanged";
        EXPECT_EQ(GetSpecialFolderPath(c.code, path), c.path.has_value()) << int(c.code);
        EXPECT_EQ(path, c.path.value_or("unchanged")) << int(c.code);
    }
    EXPECT_EQ(GetDesktopPath(), home / "Schreibtisch");
}
