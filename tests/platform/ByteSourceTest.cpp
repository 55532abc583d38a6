#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "platform/ByteReader.h"
#include "platform/ByteSource.h"
#include "platform/Errors.h"
#include "support/TempDir.h"

using namespace gs;
namespace fs = std::filesystem;

namespace {
using gstest::TempDir;
}  // namespace

TEST(ByteReader, ReadsLittleEndianAndRefusesPastTheEnd) {
    MemorySource src(Bytes{1, 2, 3, 4, 5, 6, 7});
    ByteReader r(src);
    EXPECT_EQ(r.u16(), 0x0201);
    EXPECT_EQ(r.u32(), 0x06050403u);
    EXPECT_THROW(r.u16(), EReadError);
    r.seek(UINT64_MAX - 1);  // offsets near the top must not wrap around
    EXPECT_THROW(r.u32(), EReadError);
    EXPECT_THROW(src.read(5, UINT64_MAX), EReadError);
}

TEST(FileSource, OpensOnlyRegularFiles) {
    TempDir d;
    EXPECT_THROW(FileSource(d.path), EFOpenError);
    EXPECT_THROW(FileSource(d.path / "missing"), EFOpenError);
    fs::path fifo = d.path / "x.exe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(FileSource{fifo}, EFOpenError);  // and does not block
    std::ofstream(d.path / "f") << "hello";
    FileSource f(d.path / "f");
    EXPECT_EQ(f.size(), 5u);
    EXPECT_EQ(f.read(1, 3), (Bytes{'e', 'l', 'l'}));
    EXPECT_THROW(f.read(3, 3), EReadError);
}

// Both ways of writing (a file without a name until complete, and the named temporary
// where the file system has no unnamed files): new files of the longest name a folder
// takes, replacement, the usual permissions, and failures that leave nothing behind.
TEST(AtomicFile, WritesWholeFilesOfAnyNameAndLeavesNothingBehind) {
    for (bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed" : "named");
        TempDir d;
        const fs::path longest = d.path / (std::string(251, 'n') + ".ico");  // 255 bytes
        detail::writeFileAtomically(longest, Bytes{1, 2, 3}, unnamed);
        detail::writeFileAtomically(longest, Bytes{4, 5}, unnamed);
        EXPECT_EQ(readWholeFile(longest), (Bytes{4, 5}));
        const mode_t mask = ::umask(0);
        ::umask(mask);
        EXPECT_EQ(fs::status(longest).permissions(), fs::perms(0666 & ~mask));

        fs::create_directory(d.path / "in the way");
        try {
            detail::writeFileAtomically(d.path / "in the way", Bytes{1}, unnamed);
            ADD_FAILURE() << "a folder was written over";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot create file \"" + (d.path / "in the way").string() + "\". Is a directory");
        }
        EXPECT_THROW(detail::writeFileAtomically(d.path / "no" / "x", Bytes{1}, unnamed), EFCreateError);
        EXPECT_EQ(std::distance(fs::directory_iterator(d.path), fs::directory_iterator{}), 2);  // no temporaries
    }
}
