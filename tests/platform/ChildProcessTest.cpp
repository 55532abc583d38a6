// Programs run with a bounded wait, and the private temporary folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/ChildProcess.h"
#include "platform/PrivateTemp.h"

using namespace gs;

TEST(RunBounded, ExitCodesAMissingProgramAndOneStillRunningAtTheLimit) {
    using namespace std::chrono_literals;
    struct Row {
        std::vector<std::string> argv;
        TChildEnd end;
        int code;
    };
    const Row rows[] = {
        {{"sh", "-c", "exit 0"}, TChildEnd::Exited, 0},
        {{"sh", "-c", "exit 4"}, TChildEnd::Exited, 4},
        {{"sh", "-c", "kill -9 $$"}, TChildEnd::Exited, 128 + 9},
        {{"glyphscope-no-such-program"}, TChildEnd::NotStarted, -1},
        {{}, TChildEnd::NotStarted, -1},
        {{"sleep", "5"}, TChildEnd::StillRunning, -1},
    };
    for (const Row& row : rows) {
        const TChildResult r = RunBounded(row.argv, row.end == TChildEnd::StillRunning ? 50ms : 2000ms);
        EXPECT_EQ(r.End, row.end) << (row.argv.empty() ? "" : row.argv.back());
        EXPECT_EQ(r.ExitCode, row.code);
    }
}

TEST(PrivateTempFolder, IsOneFolderOfThisUserAloneWithFreshSubfolders) {
    const std::filesystem::path& folder = PrivateTempFolder();
    EXPECT_EQ(&folder, &PrivateTempFolder());
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    const auto a = NewPrivateTempSubfolder(), b = NewPrivateTempSubfolder();
    EXPECT_NE(a, b);
    EXPECT_EQ(a.parent_path(), folder);
    EXPECT_TRUE(std::filesystem::is_empty(b));
}
