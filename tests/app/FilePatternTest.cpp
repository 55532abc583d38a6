// File patterns of the batch export, the order folders are read in, the names its
// files get and paths shortened for display.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "app/core/BatchWriters.h"
#include "app/core/FilePattern.h"
#include "app/core/PathDisplay.h"
#include "support/TempDir.h"

using namespace gs;
namespace fs = std::filesystem;

namespace {

void touch(const fs::path& p) { std::ofstream(p) << "x"; }

std::vector<std::string> namesOf(const std::vector<fs::path>& files) {
    std::vector<std::string> names;
    for (const fs::path& f : files) names.push_back(f.filename().string());
    return names;
}

}  // namespace

TEST(FileSpec, MatchingIgnoresCaseAndFollowsTheDesktopWildcards) {
    EXPECT_TRUE(MatchesFileSpec("*.DLL", "shell32.dll"));
    EXPECT_TRUE(MatchesFileSpec("Shell??.Dll", "SHELL32.DLL"));
    EXPECT_FALSE(MatchesFileSpec("shell?.dll", "shell32.dll"));
    EXPECT_FALSE(MatchesFileSpec("*.dll", "a.dll.bak"));
    EXPECT_TRUE(MatchesFileSpec("*a*b*", "xxaxxbxx"));
    EXPECT_FALSE(MatchesFileSpec("*a*b", "xxaxxbxx"));
    EXPECT_TRUE(MatchesFileSpec("a.exe", "A.EXE"));
    // "*.*" takes every name, dotless ones too, and a trailing ".*" may match nothing.
    for (const char* name : {"noext", "a.b.c", "x.", "Makefile"}) EXPECT_TRUE(MatchesFileSpec("*.*", name)) << name;
    EXPECT_TRUE(MatchesFileSpec("a*.*", "abc"));
    EXPECT_FALSE(MatchesFileSpec("a*.*", "bcd"));
    // "?" is one character, however many bytes it takes; letters beyond ASCII fold too.
    EXPECT_TRUE(MatchesFileSpec("?cone.ico", "\xc3\xad" "cone.ico"));
    EXPECT_TRUE(MatchesFileSpec("\xc3\x89T\xc3\x89.ICO", "\xc3\xa9t\xc3\xa9.ico"));
}

TEST(FileSpec, ListsOnlyRegularFilesSortedWithoutRegardToCaseThenByBytes) {
    gstest::TempDir dir;
    for (const char* n : {"b.dll", "A.dll", "a.dll", "C.DLL", ".hidden.dll", "other.exe"}) touch(dir.path / n);
    fs::create_directory(dir.path / "y.dll");
    ASSERT_EQ(::mkfifo((dir.path / "x.dll").c_str(), 0600), 0);
    fs::create_directory_symlink(dir.path, dir.path / "loop.dll");
    fs::create_symlink(dir.path / "missing", dir.path / "dangling.dll");
    fs::create_symlink(dir.path / "b.dll", dir.path / "link.dll");

    const auto files = ListMatchingFiles(SplitFileSpec(dir.path.string() + "/*.dll"));
    EXPECT_EQ(namesOf(files), (std::vector<std::string>{"A.dll", "a.dll", "b.dll", "C.DLL", "link.dll"}));
    EXPECT_EQ(files.front(), dir.path / "A.dll");

    EXPECT_TRUE(ListMatchingFiles(SplitFileSpec(dir.path.string() + "/nothere/*.*")).empty());
    EXPECT_TRUE(ListMatchingFiles(SplitFileSpec(dir.path.string() + "/b.dll/*.*")).empty());
    // A spec naming a folder finds nothing in it: there is no recursion.
    EXPECT_TRUE(ListMatchingFiles(SplitFileSpec(dir.path.string() + "/y.dll")).empty());
}

TEST(BatchNaming, OutputNamesStayInTheTargetFolder) {
    EXPECT_EQ(BatchOutputName("/out", "shell32", 3), fs::path("/out/shell32_3"));
    EXPECT_EQ(BatchOutputName("/out/", "a", 1), fs::path("/out/a_1"));
    EXPECT_EQ(BatchOutputName("/out", "../../etc/x", 1), fs::path("/out/.._.._etc_x_1"));
    EXPECT_EQ(SafeOutputBaseName(".."), "_..");
    EXPECT_EQ(SafeOutputBaseName(""), "_");
    EXPECT_EQ(SafeOutputBaseName("back\\slash"), "back\\slash");
    for (const char* base : {"..", "../x", "/", "a/../../b"})
        EXPECT_EQ(BatchOutputName("/out", base, 1).parent_path(), fs::path("/out")) << base;
}

TEST(ShortenPath, KeepsHeadAndTailOfLongPaths) {
    const std::string p75(75, 'a');
    EXPECT_EQ(ShortenPath(p75), p75);
    std::string p76 = std::string(20, 'h') + std::string(6, 'm') + std::string(50, 't');
    EXPECT_EQ(ShortenPath(p76), std::string(20, 'h') + "..." + std::string(50, 't'));
    EXPECT_EQ(ShortenPath(p76).size(), 73u);
    // Two-byte characters are counted and kept whole.
    std::string wide;
    for (int i = 0; i < 80; ++i) wide += "\xc3\xa9";
    const std::string shortened = ShortenPath(wide);
    EXPECT_EQ(shortened.size(), 70u * 2 + 3);
    EXPECT_EQ(shortened.substr(40, 3), "...");
}
