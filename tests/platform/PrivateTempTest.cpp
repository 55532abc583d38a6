// Hand-over folders of earlier runs: only the program's own (named, marked and made as it
// makes them), untouched for a week, go at start; links are neither followed to find them
// nor inside them; a folder swapped in for one after its check is never taken. Times come
// from a fake clock and stamped modification times.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
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

// A folder as a run leaves it (its mark, an editor's file, a mail's subfolder), all `days`
// old; `marked` false for a folder the program did not make.
fs::path handed(const fs::path& f, double days, fs::perms mode = fs::perms::owner_all, bool marked = true) {
    fs::create_directories(f / "send-Ab12Cd");
    std::ofstream(f / "send-Ab12Cd" / "mail.ico") << "icon";
    if (marked) std::ofstream(f / kHandOverMark) << "";
    fs::permissions(f, mode);
    for (const fs::path& p : {f / "send-Ab12Cd" / "mail.ico", f / "send-Ab12Cd", f}) stamp(p, days);
    if (marked) stamp(f / kHandOverMark, days);
    return f;
}

}  // namespace

TEST(HandOverFolders, OnlyOwnFoldersUntouchedForAWeekGoAndLinksAreNeverFollowed) {
    gstest::TempDir tmp;
    ::setenv("TMPDIR", tmp.path.c_str(), 1);
    const fs::path own = HandOverFolder(), outside = tmp.path / "outside";  // this run's stays
    ::unsetenv("TMPDIR");
    ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(own / kHandOverMark)));  // made as the others below
    stamp(own, 30);
    fs::create_directories(outside);
    std::ofstream(outside / "precious") << "keep";
    constexpr auto kMade = fs::perms::owner_all;  // as mkdtemp makes it
    const struct {
        const char* name;
        double days;
        bool goes;
        fs::perms mode = kMade;
        bool marked = true;
    } folders[] = {
        {"glyphscope-handed-a1B2c3", 8, true},   {"glyphscope-handed-Zz9900", 7.5, true},
        {"glyphscope-handed-young1", 6.9, false}, {"glyphscope-handed-abc", 30, false},  // not our names:
        {"glyphscope-handed-a1B2c3x", 30, false}, {"glyphscope-handed-a.B2c3", 30, false},
        {"glyphscope-a1B2c3", 30, false},          {"other-handed-a1B2c3", 30, false},
        {"glyphscope-handed-backup", 30, false, kMade, false},  // our name, not our folder
        {"glyphscope-handed-open01", 30, false, kMade | fs::perms::group_read | fs::perms::group_exec},
        {"glyphscope-handed-ro0001", 30, false, fs::perms::owner_read | fs::perms::owner_exec},
    };
    for (const auto& f : folders) handed(tmp.path / f.name, f.days, f.mode, f.marked);
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
    const fs::path marking = handed(tmp.path / "glyphscope-handed-marker", 30, kMade, false);  // its mark a link
    fs::create_symlink(outside / "precious", marking / kHandOverMark);
    for (const fs::path& p : {linking / "out", linking / "file", linking, tmp.path / "glyphscope-handed-link01",
                              marking / kHandOverMark, marking})
        stamp(p, 30);
    const fs::path theirs = handed(tmp.path / "glyphscope-handed-theirs", 30);
    const bool root = ::geteuid() == 0;  // only root can give a folder to another user
    if (root) {
        ASSERT_EQ(::lchown(theirs.c_str(), 65534, 65534), 0);
    }

    // A root where others may rename (swap a folder for another after its check) is left alone.
    for (const fs::perms open : {fs::perms::others_all, fs::perms::group_write}) {
        fs::permissions(tmp.path, open, fs::perm_options::add);
        EXPECT_EQ(RemoveStaleHandOverFolders(tmp.path, kNow), 0);
        fs::permissions(tmp.path, open, fs::perm_options::remove);
    }
    fs::permissions(tmp.path, fs::perms::others_all | fs::perms::sticky_bit, fs::perm_options::add);  // as /tmp
    EXPECT_EQ(RemoveStaleHandOverFolders(tmp.path, kNow), root ? 3 : 4);
    for (const auto& f : folders) EXPECT_EQ(fs::exists(fs::symlink_status(tmp.path / f.name)), !f.goes) << f.name;
    for (const fs::path& kept : {own, edited, shared, marking, tmp.path / "glyphscope-handed-link01",
                                 target / "send-Ab12Cd", outside / "precious"})
        EXPECT_TRUE(fs::exists(fs::symlink_status(kept))) << kept;
    EXPECT_FALSE(fs::exists(fs::symlink_status(linking)));
    EXPECT_EQ(fs::exists(theirs), root);
    // A week later by the clock, the young one and the edited one go too.
    EXPECT_EQ(RemoveStaleHandOverFolders(tmp.path, kNow + std::chrono::hours(24 * 7)), 2);
    EXPECT_EQ(RemoveStaleHandOverFolders(tmp.path / "missing", kNow), 0);
}

// Another process that may rename in the root swaps the stale folder for the user's own, over
// and over, while the cleanup runs: the user's folder and its file survive every try.
TEST(HandOverFolders, AFolderSwappedInAfterTheCheckIsNeverRemoved) {
    gstest::TempDir tmp;
    const fs::path stale = tmp.path / "glyphscope-handed-Old123", aside = tmp.path / "aside", mine = tmp.path / "mine";
    constexpr int kTries = 300;
    int lost = 0, removed = 0;
    for (int i = 0; i < kTries; ++i) {
        for (const fs::path& p : {stale, aside, mine}) fs::remove_all(p);
        handed(stale, 30);
        fs::create_directory(mine);
        std::ofstream(mine / "precious") << "keep";
        const pid_t swapper = ::fork();
        ASSERT_GE(swapper, 0);
        if (swapper == 0) {
            for (;;) {
                ::rename(stale.c_str(), aside.c_str());
                ::rename(mine.c_str(), stale.c_str());
                ::rename(stale.c_str(), mine.c_str());
                ::rename(aside.c_str(), stale.c_str());
            }
        }
        removed += RemoveStaleHandOverFolders(tmp.path, kNow);
        ::kill(swapper, SIGKILL);
        ASSERT_EQ(::waitpid(swapper, nullptr, 0), swapper);
        if (!fs::exists(mine / "precious") && !fs::exists(stale / "precious")) ++lost;
    }
    EXPECT_EQ(lost, 0) << "of " << kTries << " tries";
    EXPECT_GT(removed, 0);  // the stale folder was found, and went, in some of them
}
