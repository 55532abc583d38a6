#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <fstream>

#include "support/TempDir.h"
#include "framework/core/FileUtils.h"
#include "framework/core/StrUtils.h"

using namespace gs;
using gstest::TempDir;
namespace fs = std::filesystem;

TEST(FileUtils, ExistenceTestsAcceptOnlyRegularFilesAndFolders) {
    TempDir d;
    std::ofstream(d / "file.exe") << "x";
    ASSERT_EQ(mkfifo((d / "fifo").c_str(), 0600), 0);  // must not block
    fs::create_symlink(d / "file.exe", d.path / "link");
    fs::create_symlink(d / "nowhere", d.path / "dangling");

    EXPECT_TRUE(SafeFileExists(d.path / "file.exe"));
    EXPECT_TRUE(SafeFileExists(d.path / "link"));
    EXPECT_FALSE(SafeFileExists(d.path / "fifo"));
    EXPECT_FALSE(SafeFileExists(d.path / "dangling"));
    EXPECT_FALSE(SafeFileExists(d.path));
    EXPECT_FALSE(SafeFileExists("/dev/null"));
    EXPECT_FALSE(SafeFileExists(""));
    EXPECT_TRUE(SafeDirectoryExists(d.path));
    EXPECT_FALSE(SafeDirectoryExists(d.path / "file.exe"));
    EXPECT_FALSE(SafeDirectoryExists(d.path / "file.exe/sub"));  // ENOTDIR is just "no"
}

TEST(FileUtils, PathAndNameRoutines) {
    EXPECT_EQ(AddTrailingBackslash(""), "");
    EXPECT_EQ(AddTrailingBackslash("/"), "/");
    EXPECT_EQ(AddTrailingBackslash("ab"), "ab/");
    EXPECT_EQ(AddTrailingBackslash("c"), "c/");  // no drive-letter rule
    EXPECT_EQ(AddTrailingBackslash("a\\"), "a\\/");
    EXPECT_EQ(CutAtFirstDot("my.app.exe"), "my");
    EXPECT_EQ(CutAtFirstDot("noext"), "noext");
    EXPECT_EQ(CutAtFirstDot(".hidden"), "");
    EXPECT_TRUE(IsUNCPath("//server/share"));
    EXPECT_FALSE(IsUNCPath("/local"));
}

TEST(FileUtils, SizesAttributesAndDeletion) {
    TempDir d;
    std::ofstream(d / "five") << "12345";
    std::ofstream(d / "f*") << "1";  // a name with a pattern character matches only itself
    EXPECT_EQ(GetFileSize64(d.path / "five"), 5);
    EXPECT_EQ(GetFileSize64(d.path / "f*"), 1);
    EXPECT_EQ(GetFileSize64(d.path / "f?ve"), -1);
    EXPECT_EQ(GetFileSize64(d.path), -1);
    EXPECT_EQ(GetFileSize64(d.path / "missing"), -1);

    std::ofstream(d / ".hidden") << "";
    chmod((d / "five").c_str(), 0444);
    EXPECT_TRUE(FileHasAttributes(d.path / "five", faReadOnly));
    EXPECT_FALSE(FileHasAttributes(d.path / "five", faReadOnly | faHidden));
    EXPECT_TRUE(FileHasAttributes(d.path / ".hidden", faHidden));
    EXPECT_TRUE(FileHasAttributes(d.path, faDirectory));
    EXPECT_FALSE(FileHasAttributes(d.path / "missing", 0));

    ForceDeleteFile(d.path / "five");  // read-only files go too
    EXPECT_FALSE(fs::exists(d.path / "five"));
    ForceDeleteFile(d.path);  // never a folder, never an error
    ForceDeleteFile(d.path / "missing");
    EXPECT_TRUE(fs::exists(d.path));
}

TEST(FileUtils, TimesAreRealTimesOrMissing) {
    TempDir d;
    std::ofstream(d / "old") << "x";
    timeval times[2] = {{100000000, 0}, {-86400 * 365 * 5, 0}};  // 1973 and 1965
    ASSERT_EQ(utimes((d / "old").c_str(), times), 0);
    using namespace std::chrono;
    EXPECT_EQ(GetFileAccessTime(d.path / "old"), FileTime(seconds(100000000)));
    EXPECT_EQ(GetFileWriteTime(d.path / "old"), FileTime(seconds(-86400 * 365 * 5)));
    EXPECT_EQ(GetFileWriteTime(d.path / "missing"), std::nullopt);
    EXPECT_EQ(GetFileCreationTime(d.path / "missing"), std::nullopt);
    if (auto created = GetFileCreationTime(d.path / "old")) {  // only where the file system keeps it
        EXPECT_LE(*created, system_clock::now() + minutes(1));
    }
}

TEST(StrUtils, CharactersAreCodePoints) {
    EXPECT_EQ(LeftText("abc", 5), "abc");
    EXPECT_EQ(LeftText("abc", 0), "");
    EXPECT_EQ(LeftText("abc", -1), "");
    EXPECT_EQ(RightText("abcdef", 2), "ef");
    EXPECT_EQ(RightText("ab", 9), "ab");
    EXPECT_EQ(LeftText("\xC3\xA9t\xC3\xA9", 1), "\xC3\xA9");    // été
    EXPECT_EQ(RightText("\xC3\xA9t\xC3\xA9", 2), "t\xC3\xA9");
    EXPECT_EQ(ReverseText("ab\xE2\x82\xAC"), "\xE2\x82\xAC" "ba");  // ab€
    EXPECT_EQ(ReverseText("a\xFF"), "\xFF" "a");                      // a stray byte is one character
    EXPECT_TRUE(IsDigitChar('0') && IsDigitChar('9') && !IsDigitChar('a'));
    EXPECT_TRUE(IsLetterChar('z') && IsLetterChar('Q') && !IsLetterChar('_') && !IsLetterChar('\xC3'));
}

TEST(StrUtils, GroupDigitsFromTheRight) {
    EXPECT_EQ(GroupDigits("1234567", ","), "1,234,567");
    EXPECT_EQ(GroupDigits("1234567890", ","), "1,234,567,890");
    EXPECT_EQ(GroupDigits("123", ","), "123");
    EXPECT_EQ(GroupDigits("12", ","), "12");
    EXPECT_EQ(GroupDigits("", ","), "");
    EXPECT_EQ(GroupDigits("123456", "."), "123.456");
}
