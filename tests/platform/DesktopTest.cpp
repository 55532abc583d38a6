// The desktop routines of the platform: memory load, the single-instance lock, starting
// programs, and the private temporary folder that goes at exit.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/Desktop.h"
#include "platform/PrivateTemp.h"
#include "support/TempDir.h"

using namespace gs;

TEST(DesktopRoutines, MemoryLoadFromMeminfoText) {
    struct Case {
        const char* text;
        std::optional<int> load;
    };
    const Case cases[] = {
        {"MemTotal:       1000 kB\nMemFree: 5 kB\nMemAvailable:    250 kB\n", 75},
        {"MemAvailable: 1000 kB\nMemTotal: 1000 kB\n", 0},
        {"MemTotal: 1000 kB\nMemAvailable: 0 kB\n", 100},
        {"MemTotal: 1000 kB\n", std::nullopt},
        {"MemTotal: 0 kB\nMemAvailable: 0 kB\n", std::nullopt},
        {"MemTotal: 10 kB\nMemAvailable: 20 kB\n", std::nullopt},
        {"MemTotal: x kB\nMemAvailable: 1 kB\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(MemoryLoadFromMeminfo(c.text), c.load) << c.text;
    const int now = GetMemoryLoad();
    EXPECT_GE(now, 0);
    EXPECT_LE(now, 100);
}

TEST(DesktopRoutines, TheInstanceLockIsHeldOnceAndSpawnNeedsAProgram) {
    gstest::TempDir dir;
    const std::string lock = dir / "glyphscope-test.lock";
    EXPECT_TRUE(HoldInstanceLock(lock));
    EXPECT_FALSE(HoldInstanceLock(lock));  // a second open of the file cannot take it
    EXPECT_TRUE(HoldInstanceLock(dir / "missing-dir/x.lock"));  // no lock file: the program still runs
    EXPECT_TRUE(ProgramOnPath("sh"));
    EXPECT_FALSE(ProgramOnPath("glyphscope-no-such-program"));
    EXPECT_FALSE(SpawnDetached({"glyphscope-no-such-program"}));
    EXPECT_FALSE(SpawnDetached({}));
    EXPECT_TRUE(SpawnDetached({"true"}));
}

TEST(DesktopRoutines, ThePrivateTemporaryFolderIsOneAndGoesAtExitButHandedFilesStay) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string folder = GetTempDirectory();
        const bool one = PrivateTempFolder().string() + "/" == folder;
        std::ofstream(folder + "left-behind.txt") << "x";
        // A file handed to another program, as the icon editor and the mail composer get them.
        std::ofstream(NewHandOverSubfolder() / "handed.ico") << "y";
        const std::string report = (one ? "1" : "0") + PrivateTempFolder().string() + "\n" + HandOverFolder().string();
        if (write(fds[1], report.data(), report.size()) < 0) _exit(2);
        exit(0);  // a normal exit removes the private folder
    }
    close(fds[1]);
    char buffer[4096];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_GT(n, 1);
    const std::string both(buffer + 1, std::size_t(n - 1));
    const std::size_t newline = both.find('\n');
    ASSERT_NE(newline, std::string::npos) << both;
    const std::string folder = both.substr(0, newline);
    const std::filesystem::path handed = both.substr(newline + 1);
    EXPECT_EQ(buffer[0], '1');
    EXPECT_NE(folder.find("/glyphscope-"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder));
    // The handed file outlived the program, in a folder of this user's alone.
    std::size_t handedFiles = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(handed))
        if (e.path().filename() == "handed.ico") ++handedFiles;
    EXPECT_EQ(handedFiles, 1u);
    EXPECT_EQ(std::filesystem::status(handed).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    std::filesystem::remove_all(handed);
    const auto perms = std::filesystem::status(PrivateTempFolder()).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all, std::filesystem::perms::owner_all);
}
