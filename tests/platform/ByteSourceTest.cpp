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
#include "platform/FileKinds.h"
#include "support/TempDir.h"

using namespace gs;
namespace fs = std::filesystem;

namespace {
using gstest::TempDir;
}  // namespace

TEST(TByteReader, ReadsLittleEndianAndRefusesPastTheEnd) {
    TMemorySource src(TBytes{1, 2, 3, 4, 5, 6, 7});
    TByteReader r(src);
    EXPECT_EQ(r.U16(), 0x0201);
    EXPECT_EQ(r.U32(), 0x06050403u);
    EXPECT_THROW(r.U16(), EReadError);
    r.Seek(UINT64_MAX - 1);  // offsets near the top must not wrap around
    EXPECT_THROW(r.U32(), EReadError);
    EXPECT_THROW(src.Read(5, UINT64_MAX), EReadError);
}

TEST(TFileSource, OpensOnlyRegularFiles) {
    TempDir d;
    EXPECT_THROW(TFileSource(d.path), EFOpenError);
    EXPECT_THROW(TFileSource(d.path / "missing"), EFOpenError);
    fs::path fifo = d.path / "x.exe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THROW(TFileSource{fifo}, EFOpenError);  // and does not block
    std::ofstream(d.path / "f") << "hello";
    TFileSource f(d.path / "f");
    EXPECT_EQ(f.Size(), 5u);
    EXPECT_EQ(f.Read(1, 3), (TBytes{'e', 'l', 'l'}));
    EXPECT_THROW(f.Read(3, 3), EReadError);
}

// Files whose mode says regular but whose bytes are the kernel's (/proc, /sys), devices and
// FIFOs are never taken for data, by the check and by the source itself.
TEST(TFileSource, RefusesFilesOfPseudoFileSystemsAndDevices) {
    TempDir d;
    std::ofstream(d.path / "data") << "x";
    ASSERT_EQ(mkfifo((d.path / "pipe").c_str(), 0600), 0);
    fs::create_symlink(d.path / "data", d.path / "link");
    fs::create_symlink("/proc/self/status", d.path / "status-link");
    struct Row {
        fs::path path;
        bool data;
    };
    for (const Row& row : {Row{d.path / "data", true}, Row{d.path / "link", true}, Row{d.path / "pipe", false},
                           Row{"/proc/self/status", false}, Row{d.path / "status-link", false},
                           Row{"/proc/kmsg", false}, Row{"/sys/kernel/mm/transparent_hugepage/enabled", false},
                           Row{"/dev/null", false}, Row{"/dev/zero", false}, Row{d.path, false}}) {
        SCOPED_TRACE(row.path.string());
        EXPECT_EQ(IsDataFile(row.path), row.data);
        if (row.data) EXPECT_NO_THROW(TFileSource{row.path});
        else EXPECT_THROW(TFileSource{row.path}, EFOpenError);
    }
    EXPECT_TRUE(OnPseudoFileSystem(fs::path("/proc")));
    EXPECT_TRUE(OnPseudoFileSystem(fs::path("/proc/self/status")));
    EXPECT_FALSE(OnPseudoFileSystem(d.path));
    EXPECT_FALSE(OnPseudoFileSystem(d.path / "missing"));
    try {
        TFileSource{"/proc/self/status"};
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("pseudo file system"), std::string::npos) << e.what();
    }
}

// Both ways of writing (a file without a name until complete, and the named temporary
// where the file system has no unnamed files): new files of the longest name a folder
// takes, replacement, the usual permissions, and failures that leave nothing behind.
TEST(AtomicFile, WritesWholeFilesOfAnyNameAndLeavesNothingBehind) {
    for (bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed" : "named");
        TempDir d;
        const fs::path longest = d.path / (std::string(251, 'n') + ".ico");  // 255 bytes
        detail::writeFileAtomically(longest, TBytes{1, 2, 3}, unnamed);
        detail::writeFileAtomically(longest, TBytes{4, 5}, unnamed);
        EXPECT_EQ(readWholeFile(longest), (TBytes{4, 5}));
        const mode_t mask = ::umask(0);
        ::umask(mask);
        EXPECT_EQ(fs::status(longest).permissions(), fs::perms(0666 & ~mask));

        fs::create_directory(d.path / "in the way");
        try {
            detail::writeFileAtomically(d.path / "in the way", TBytes{1}, unnamed);
            ADD_FAILURE() << "a folder was written over";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Cannot create file \"" + (d.path / "in the way").string() + "\". Is a directory");
        }
        EXPECT_THROW(detail::writeFileAtomically(d.path / "no" / "x", TBytes{1}, unnamed), EFCreateError);
        EXPECT_EQ(std::distance(fs::directory_iterator(d.path), fs::directory_iterator{}), 2);  // no temporaries
    }
}

namespace {
// A file of `n` bytes whose byte i is i * 7 + 3, so that any misplaced copy shows.
TBytes counting(std::size_t n) {
    TBytes b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = std::uint8_t(i * 7 + 3);
    return b;
}
}  // namespace

TEST(TFileSource, ReadsEveryRangeAsTheFileHoldsIt) {
    TempDir d;
    const std::size_t block = TFileSource::kBlockSize;
    const TBytes data = counting(block * 20 + 123);
    writeFileAtomically(d.path / "f", data);
    TFileSource f(d.path / "f");
    // Inside a block, across one and several blocks, as large reads, up to the last byte,
    // and again after the cache has been turned over.
    const std::pair<std::uint64_t, std::uint64_t> ranges[] = {
        {0, 2},         {5, 1},          {block - 1, 2},          {block * 3 - 5, block + 10},
        {17, block * 4}, {block * 19, 1}, {data.size() - 1, 1},    {data.size() - 200, 200},
        {0, data.size()}, {block * 7 + 9, 300}, {3, 4},
    };
    for (int pass = 0; pass < 2; ++pass)
        for (auto [off, n] : ranges)
            EXPECT_EQ(f.Read(off, n), TBytes(data.begin() + long(off), data.begin() + long(off + n))) << off << "+" << n;
    EXPECT_THROW(f.Read(data.size() - 1, 2), EReadError);
}

TEST(TFileSource, AFileThatShrinksWhileReadGivesAReadErrorNotStaleBytes) {
    TempDir d;
    const std::size_t block = TFileSource::kBlockSize;
    writeFileAtomically(d.path / "f", counting(block * 8));
    TFileSource f(d.path / "f");
    f.Read(0, 16);  // the first block is held
    ASSERT_EQ(::truncate((d.path / "f").c_str(), block * 2), 0);
    EXPECT_EQ(f.Read(2, 4), (TBytes{17, 24, 31, 38}));  // from the block held
    for (auto [off, n] : {std::pair<std::uint64_t, std::uint64_t>{block * 5, 4}, {block * 3, block * 2}, {block * 2 - 2, 4}})
        EXPECT_THROW(f.Read(off, n), EReadError) << off;
}

TEST(TByteReader, AWindowIsCheckedWhenMadeAndReadsNothingOutsideIt) {
    TMemorySource src(counting(64));
    TByteReader whole(src);
    TByteReader w = whole.Window(10, 8);
    EXPECT_EQ(w.Size(), 8u);
    EXPECT_EQ(w.U8(), std::uint8_t(10 * 7 + 3));
    EXPECT_EQ(w.SourceOffset(w.Pos()), 11u);
    EXPECT_EQ(w.BytesAt(6, 2), (TBytes{std::uint8_t(16 * 7 + 3), std::uint8_t(17 * 7 + 3)}));
    EXPECT_THROW(w.U32At(6), EReadError);  // the source has the bytes, the window does not
    EXPECT_THROW(w.Window(4, 5), EReadError);
    EXPECT_EQ(w.Window(4, 4).U8(), std::uint8_t(14 * 7 + 3));
    EXPECT_THROW(whole.Window(60, 5), EReadError);
    EXPECT_THROW(whole.Window(UINT64_MAX, 2), EReadError);
    w.Seek(UINT64_MAX - 1);
    EXPECT_THROW(w.U16(), EReadError);
}
