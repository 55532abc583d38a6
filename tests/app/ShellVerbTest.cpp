// The Glyphtrek verb's desktop entry: the quoting of Exec and of string values, and the
// status, registering and removing over a real entry file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "app/core/ShellVerb.h"
#include "platform/DesktopEntry.h"
#include "support/TempDir.h"

using namespace gs;

TEST(DesktopEntry, ExecArgumentsAndValuesAreEscapedByTheRules) {
    const std::pair<const char*, const char*> quoting[] = {
        {"/opt/gs/glyphscope", "/opt/gs/glyphscope"},
        {"/opt/my tools/gs", "\"/opt/my tools/gs\""},
        {"/opt/100%/gs", "/opt/100%%/gs"},
        {"/a b/$x\"y`z\\w%", "\"/a b/\\$x\\\"y\\`z\\\\w%%\""},
        {"", "\"\""},
    };
    for (const auto& [in, out] : quoting) EXPECT_EQ(QuoteExecArgument(in), out) << in;
    for (const std::string value : {"a\\b\nc\td\re", " lead and trail ", "\\s\\"}) {
        EXPECT_EQ(UnescapeDesktopValue(EscapeDesktopValue(value)), value);
        EXPECT_EQ(EscapeDesktopValue(value).find_first_of("\n\t\r"), std::string::npos);
    }
}

TEST(ShellVerb, StatusCountsTheClassesThatRunThisProgram) {
    gstest::TempDir dir;
    const std::filesystem::path file = dir.path / "apps" / kShellVerbEntryName;
    const std::string self = "/opt/Glyph Scope/glyphscope";
    const TShellVerb verb(self, file), other("/usr/bin/other", file), upper("/OPT/GLYPH SCOPE/GLYPHSCOPE", file);
    EXPECT_EQ(verb.Status(), TShellVerbStatus::Off);
    ASSERT_TRUE(verb.Register());
    EXPECT_EQ(verb.Status(), TShellVerbStatus::On);
    EXPECT_EQ(upper.Status(), TShellVerbStatus::On);  // the letters' case does not count
    EXPECT_EQ(other.Status(), TShellVerbStatus::Off);
    std::optional<TDesktopEntry> entry = ReadDesktopEntry(file);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->Value("X-Glyphscope-Command-iclfile"), "\"/opt/Glyph Scope/glyphscope\" \"/X:%1\"");
    EXPECT_EQ(entry->Value("Exec"), "\"/opt/Glyph Scope/glyphscope\" /X:%f");
    EXPECT_EQ(entry->Value("MimeType"), "inode/directory;application/x-ms-dos-executable;image/vnd.microsoft.icon;");
    entry->Set("X-Glyphscope-Command-dllfile", "\"/elsewhere\" \"/X:%1\"");
    WriteDesktopEntry(file, *entry);
    EXPECT_EQ(verb.Status(), TShellVerbStatus::Partly);
    // Another program's remove leaves our entry; ours removes it.
    EXPECT_TRUE(other.Unregister());
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_TRUE(verb.Unregister());
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(verb.Status(), TShellVerbStatus::Off);
}

TEST(ShellVerb, EntriesThatAreNotPlainSmallFilesReadAsOff) {
    gstest::TempDir dir;
    const std::filesystem::path big = dir.path / "big.desktop", fifo = dir.path / "fifo.desktop";
    TShellVerb("/p", big).Register();
    std::ofstream(big, std::ios::app) << std::string(kMaxDesktopEntrySize, '#');
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& file : {big, fifo, dir.path}) EXPECT_EQ(TShellVerb("/p", file).Status(), TShellVerbStatus::Off) << file;
    EXPECT_TRUE(TShellVerb("/p", fifo).Unregister());
    EXPECT_TRUE(std::filesystem::exists(fifo));
}
