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
using std::chrono::hours;

namespace {

const auto kNow = std::chrono::system_clock::time_point(std::chrono::seconds(2'000'000'000));

// Sets the modification time of `p` itself (a link is not followed) to `days` before kNow.
void stamp(const fs::path& p, double days) {
    const auto when = kNow - std::chrono::duration_cast<std::chrono::seconds>(hours(24) * days);
    const timespec times[2] = {{std::chrono::system_clock::to_time_t(when), 0}, {std::chrono::system_clock::to_time_t(when), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << p;
}

// A folder as a run leaves it: an editor's file and a mail's subfolder, all `days` old.
fs::path handed(const fs::path& root, const std::string& name, double days) {
    const fs::path f = root / name;
    fs::create_directories(f / "send-Ab12Cd");
    std::ofstream(f / "edit.ico") << "icon";
    std::ofstream(f / "send-Ab12Cd" / "mail.ico") << "icon";
    fs::permissions(f, fs::perms::owner_all);
    for (const fs::path& p : {f / "send-Ab12Cd" / "mail.ico", f / "send-Ab12Cd", f / "edit.ico", f}) stamp(p, days);
    return f;
}

}  // namespace

TEST(HandOverFolders, OnlyOwnFoldersUntouchedForAWeekGoAndLinksAreNeverFollowed) {
    gstest::TempDir tmp;
    const fs::path root = tmp.path / "tmp", outside = tmp.path / "outside";
    fs::create_directories(root);
    fs::create_directories(outside);
    std::ofstream(outside / "precious") << "keep";
    const struct {
        const char* name;
        double days;
        bool goes;
    } folders[] = {
        {"glyphscope-handed-a1B2c3", 8, true},
        {"glyphscope-handed-Zz9900", 7.5, true},
        {"glyphscope-handed-young1", 6.9, false},   // within the week
        {"glyphscope-handed-abc", 30, false},       // not a name this program makes
        {"glyphscope-handed-a1B2c3x", 30, false},
        {"glyphscope-handed-a.B2c3", 30, false},
        {"glyphscope-a1B2c3", 30, false},           // a run's private folder: not a hand-over
        {"other-handed-a1B2c3", 30, false},
    };
    for (const auto& f : folders) handed(root, f.name, f.days);

    // An old folder whose editor saved a file yesterday stays.
    const fs::path edited = handed(root, "glyphscope-handed-edited", 30);
    stamp(edited / "edit.ico", 1);
    // Writable by others: not one this program made.
    const fs::path shared = handed(root, "glyphscope-handed-shared", 30);
    fs::permissions(shared, fs::perms::group_write, fs::perm_options::add);
    stamp(shared, 30);
    // A link named like ours, to an old folder elsewhere: neither it nor its target goes.
    const fs::path target = handed(tmp.path, "target", 30);
    fs::create_directory_symlink(target, root / "glyphscope-handed-link01");
    stamp(root / "glyphscope-handed-link01", 30);
    // A plain file named like ours stays.
    std::ofstream(root / "glyphscope-handed-file01") << "x";
    stamp(root / "glyphscope-handed-file01", 30);
    // An old folder of ours holding a link out: the folder goes, what the link names stays.
    const fs::path linking = handed(root, "glyphscope-handed-linkin", 30);
    fs::create_directory_symlink(outside, linking / "out");
    fs::create_symlink(outside / "precious", linking / "file");
    for (const char* p : {"out", "file"}) stamp(linking / p, 30);
    stamp(linking, 30);

    EXPECT_EQ(RemoveStaleHandOverFolders(root, kNow), 3);
    for (const auto& f : folders) EXPECT_EQ(fs::exists(fs::symlink_status(root / f.name)), !f.goes) << f.name;
    for (const char* kept : {"glyphscope-handed-edited", "glyphscope-handed-shared", "glyphscope-handed-link01",
                             "glyphscope-handed-file01"})
        EXPECT_TRUE(fs::exists(fs::symlink_status(root / kept))) << kept;
    EXPECT_FALSE(fs::exists(fs::symlink_status(linking)));
    EXPECT_TRUE(fs::exists(target / "edit.ico"));
    EXPECT_TRUE(fs::exists(outside / "precious"));
    // A week later by the clock, the young one and the edited one go too.
    EXPECT_EQ(RemoveStaleHandOverFolders(root, kNow + hours(24 * 7)), 2);
    EXPECT_EQ(RemoveStaleHandOverFolders(tmp.path / "missing", kNow), 0);
}

TEST(HandOverFolders, ThisRunsOwnFolderAndOtherUsersFoldersStay) {
    gstest::TempDir tmp;
    ::setenv("TMPDIR", tmp.path.c_str(), 1);
    const fs::path own = HandOverFolder();
    ASSERT_EQ(own.parent_path(), tmp.path);
    stamp(own, 30);
    const fs::path theirs = handed(tmp.path, "glyphscope-handed-theirs", 30);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::lchown(theirs.c_str(), 65534, 65534), 0);
        stamp(theirs, 30);
    }
    EXPECT_EQ(RemoveStaleHandOverFolders(tmp.path, kNow), root ? 0 : 1);
    EXPECT_TRUE(fs::exists(own));
    EXPECT_EQ(fs::exists(theirs), root);
    ::unsetenv("TMPDIR");
}
