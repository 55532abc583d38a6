// The pseudo file systems as the kernel reports them, and where a dialog may open: the
// machine's own /proc, /sys and /dev against a temporary folder, through links and through
// paths that do not exist.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "platform/FileSystems.h"
#include "support/TempDir.h"

using namespace gs;
namespace fs = std::filesystem;

TEST(FileSystems, TheKernelsOwnTypesArePseudoStoredOnesAreNot) {
    const struct {
        unsigned long type;
        bool pseudo;
    } cases[] = {
        {0x9fa0, true},       {0x62656572, true},  {0x1cd1, true},       {0x64626720, true}, {0x74726163, true},
        {0x63677270, true},   {0x27e0eb, true},    {0xEF53, false},      {0x01021994, false},  // ext4, tmpfs
        {0x58465342, false},  {0x9123683E, false}, {0x6969, false},      {0, false},           // xfs, btrfs, nfs
    };
    for (const auto& c : cases) EXPECT_EQ(IsPseudoFileSystemType(c.type), c.pseudo) << std::hex << c.type;
}

TEST(FileSystems, ProcSysAndDevAreFoundThroughLinksAndMissingNames) {
    gstest::TempDir d;
    if (!fs::exists("/proc/self")) GTEST_SKIP() << "no /proc here";
    EXPECT_TRUE(OnPseudoFileSystem("/proc"));
    EXPECT_TRUE(OnPseudoFileSystem("/proc/"));
    EXPECT_TRUE(OnPseudoFileSystem("/proc/self/fd"));
    EXPECT_TRUE(OnPseudoFileSystem("/proc/no-such-entry/deeper"));  // the nearest existing folder counts
    EXPECT_TRUE(OnPseudoFileSystem(d.path / ".." / ".." / "proc"));
    if (fs::exists("/sys/kernel")) {
        EXPECT_TRUE(OnPseudoFileSystem("/sys/kernel"));
    }
    struct stat dev {}, root {};
    if (::stat("/dev", &dev) == 0 && ::stat("/", &root) == 0 && dev.st_dev != root.st_dev) {
        EXPECT_TRUE(OnPseudoFileSystem("/dev"));
        EXPECT_TRUE(OnPseudoFileSystem("/dev/null"));
    }
    fs::create_directory_symlink("/proc", d.path / "kernel");
    EXPECT_TRUE(OnPseudoFileSystem(d.path / "kernel"));

    EXPECT_FALSE(OnPseudoFileSystem(d.path));
    EXPECT_FALSE(OnPseudoFileSystem(d.path / "not-made-yet" / "deeper"));
    EXPECT_FALSE(OnPseudoFileSystem("/"));
    EXPECT_FALSE(OnPseudoFileSystem(""));
}

TEST(FileSystems, ADialogStartsInTheNearestStoredFolderOrTheFallback) {
    gstest::TempDir d;
    const fs::path home = d.path / "home";
    fs::create_directories(d.path / "icons" / "sub");
    std::ofstream(d.path / "icons" / "a.ico") << "x";
    fs::create_directory_symlink("/proc", d.path / "kernel");
    const struct {
        fs::path wanted, start;
    } cases[] = {
        {d.path / "icons", d.path / "icons"},
        {d.path / "icons" / "sub" / "", d.path / "icons" / "sub" / ""},
        {d.path / "icons" / "a.ico", d.path / "icons"},            // a file: its folder
        {d.path / "icons" / "gone" / "deeper", d.path / "icons"},  // the nearest that exists
        {d.path / "icons" / ".." / "icons", d.path / "icons"},
        {"/proc", home},
        {"/proc/sys/kernel", home},
        {"/proc/no-such-entry", home},
        {d.path / "kernel", home},  // a link into /proc
        {"", home},
        {"relative/folder", home},
    };
    for (const auto& c : cases) EXPECT_EQ(DialogStartFolder(c.wanted, home), c.start) << c.wanted;
}
