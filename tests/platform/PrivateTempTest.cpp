// Hand-over folders of earlier runs: only the program's own, untouched for a week, go at
// start; links are neither followed to find them nor inside them. Times come from a fake
// clock and stamped modification times.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/PrivateTemp.h"
#include "support/TempDir.h"

using namespace gs;
namespace fs = std::filesystem;

namespace {

const auto kNow = std::chrono::system_clock::time_point(std::chrono::seconds(2'000'000'000));

// Stamps `p` itself (a link is not followed) `days` before kNow.
void stamp(const fs::path& p, double days) {
    const std::time_t t = std::chrono::system_clock::to_time_t(kNow) - std::time_t(days * 86400);
    const timespec times[2] = {{t, 0}, {t, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << p;
}

// A folder as a run leaves it (an editor's file, a mail's subfolder), all `days` old.
fs::path handed(const fs::path& f, double days) {
    fs::create_directories(f / "send-Ab12Cd");
    std::ofstream(f / "send-Ab12Cd" / "mail.ico") << "icon";
    fs::permissions(f, fs::perms::owner_all);
    for (const fs::path& p : {f / "send-Ab12Cd" / "mail.ico", f / "send-Ab12Cd", f}) stamp(p, days);
    return f;
}

}  // namespace

TEST(HandOverFolders, OnlyOwnFoldersUntouchedForAWeekGoAndLinksAreNeverFollowed) {
    gstest::TempDir tmp;
    ::setenv("TMPDIR", tmp.path.c_str(), 1);
    const fs::path own = HandOverFolder(), outside = tmp.path / "outside";  // this run's stays
    ::unsetenv("TMPDIR");
    stamp(own, 30);
    fs::create_directories(outside);
    std::ofstream(outside / "precious") << "keep";
    const struct {
        const char* name;
        double days;
        bool goes;
    } folders[] = {
        {"glyphscope-handed-a1B2c3", 8, true},   {"glyphscope-handed-Zz9900", 7.5, true},
        {"glyphscope-handed-young1", 6.9, false}, {"glyphscope-handed-abc", 30, false},  // not our names:
        {"glyphscope-handed-a1B2c3x", 30, false}, {"glyphscope-handed-a.B2c3", 30, false},
        {"glyphscope-a1B2c3", 30, false},          {"other-handed-a1B2c3", 30, false},
    };
    for (const auto& f : folders) handed(tmp.path / f.name, f.days);
    const fs::path edited = handed(tmp.path / "glyphscope-handed-edited", 30);
    stamp(edited / "send-Ab12Cd" / "mail.ico", 1);  // written yesterday
    const fs::path shared = handed(tmp.path / "glyphscope-handed-shared", 30);
    fs::permissions(shared, fs::perms::group_write, fs::perm_options::add);
    stamp(shared, 30);
    const fs::path target = handed(tmp.path / "target", 30);  // reached by a link named like ours
    fs::create_directory_symlink(target, tmp.path / "glyphscope-handed-link01");
    const fs::path linking = handed(tmp.path / "glyphscope-handed-linkin", 30);  // holding links out
    fs::create_directory_symlink(outside, linking / "out");
    fs::create_symlink(outside / "precious", linking / "file");
    for (const fs::path& p : {linking / "out", linking / "file", linking, tmp.path / "glyphscope-handed-link01"})
        stamp(p, 30);
    const fs::path theirs = handed(tmp.path / "glyphscope-handed-theirs", 30);
    const bool root = ::geteuid() == 0;  // only root can give a folder to another user
    if (root) {
        ASSERT_EQ(::lchown(theirs.c_str(), 65534, 65534), 0);
    }

    EXPECT_EQ(RemoveStaleHandOverFolders(tmp.path, kNow), root ? 3 : 4);
    for (const auto& f : folders) EXPECT_EQ(fs::exists(fs::symlink_status(tmp.path / f.name)), !f.goes) << f.name;
    for (const fs::path& kept : {own, edited, shared, tmp.path / "glyphscope-handed-link01", target / "send-Ab12Cd",
                                 outside / "precious"})
        EXPECT_TRUE(fs::exists(fs::symlink_status(kept))) << kept;
    EXPECT_FALSE(fs::exists(fs::symlink_status(linking)));
    EXPECT_EQ(fs::exists(theirs), root);
    // A week later by the clock, the young one and the edited one go too.
    EXPECT_EQ(RemoveStaleHandOverFolders(tmp.path, kNow + std::chrono::hours(24 * 7)), 2);
    EXPECT_EQ(RemoveStaleHandOverFolders(tmp.path / "missing", kNow), 0);
}
