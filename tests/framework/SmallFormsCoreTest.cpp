// The tip list and the file-properties values, without windows; file properties are held
// against what the system's own tools (truncate, stat, date) say of the same file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "support/TempDir.h"
#include "framework/core/FileProperties.h"
#include "framework/core/TipList.h"
#include "platform/ReadBudget.h"

using namespace gs;

namespace {

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
        if (pclose(p) != 0) out.clear();
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

void write(const std::string& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

}  // namespace

TEST(TipList, LinesEndAtCrlfLfOrCr) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\ntwo", {"one", "two"}},
        {"one\rtwo\r", {"one", "two"}},
        {"a\r\n\r\nb\n\rc", {"a", "", "b", "", "c"}},
        {"\n", {""}},
    };
    for (const Case& c : cases) EXPECT_EQ(TipsOfText(c.text), c.lines) << c.text;  // short tips are the lines
}

TEST(TipList, TipsAreBoundedInLengthAndNumber) {
    std::string accents = "a";
    for (int i = 0; i < 3000; ++i) accents += "\xC3\xA9";  // a byte, then two-byte characters
    const std::vector<std::string> cut = TipsOfText(std::string(5000, 'x') + "\n" + accents + "\nlast");
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_EQ(cut[0], std::string(kMaxTipBytes, 'x'));
    EXPECT_EQ(cut[1], accents.substr(0, kMaxTipBytes - 1));  // not half a character
    EXPECT_EQ(cut[2], "last");
    // A text of line breaks alone: the tips stop at the budget of a file of that size.
    const std::string breaks(1 << 20, '\n');
    const std::size_t count = TipsOfText(breaks).size();
    EXPECT_EQ(count, TReadBudget::LimitFor(breaks.size()) / TReadBudget::kObjectCost);
    EXPECT_LT(count, breaks.size() / 16);
}

TEST(TipList, OnlyTheHeadOfALargeFileIsRead) {
    gstest::TempDir dir;
    // Two GB without a line break (sparse): one tip, cut.
    const std::string sparse = dir / "sparse.tip";
    write(sparse, "");
    std::filesystem::resize_file(sparse, std::uint64_t(2) << 30);
    EXPECT_EQ(ReadTipFile(sparse), (std::vector<std::string>{std::string(kMaxTipBytes, '\0')}));
    // A line that starts past the first MiB is not read.
    write(dir / "long.tip", "tip\n" + std::string(kMaxTipFileBytes - 4, 'y') + "\nbeyond\n");
    EXPECT_EQ(ReadTipFile(dir / "long.tip"), (std::vector<std::string>{"tip", std::string(kMaxTipBytes, 'y')}));
}

TEST(TipList, NextWrapsAndNothingWithoutTips) {
    TTipList one({"only"});
    one.Next();
    EXPECT_EQ(one.Current(), "only");

    TTipList three({"a", "b", "c"});
    std::mt19937 random(7);
    three.Shuffle(random);
    const std::string first = three.Current();
    std::vector<std::string> seen{first};
    for (int i = 0; i < 2; ++i) {
        three.Next();
        seen.push_back(three.Current());
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c"}));
    three.Next();
    EXPECT_EQ(three.Current(), first);

    TTipList none({});
    none.Next();
    EXPECT_EQ(none.Current(), "");
    EXPECT_EQ(none.Index(), 0);
}

TEST(TipList, UnreadableFileHasNoTips) {
    gstest::TempDir dir;
    EXPECT_TRUE(ReadTipFile(dir / "missing.tip").empty());
    EXPECT_TRUE(ReadTipFile(dir.path).empty());  // a folder
    write(dir / "crlf.tip", "first\r\nsecond\r\n");
    EXPECT_EQ(ReadTipFile(dir / "crlf.tip"), (std::vector<std::string>{"first", "second"}));
}

TEST(FileProperties, SizeGroupsDigits) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0 bytes"}, {999, "999 bytes"}, {1000, "1,000 bytes"}, {1234567, "1,234,567 bytes"},
        {4294967296ull, "4,294,967,296 bytes"}};
    for (const auto& [size, text] : cases) EXPECT_EQ(FormatByteSize(size), text);
}

TEST(FileProperties, AgreeWithTheSystem) {
    gstest::TempDir dir;
    const TMimeInfo noTypes({});  // no database: every extension is "EXT File"
    const std::string file = dir / "sized.ico";
    ASSERT_EQ(run("truncate -s 1234567 '" + file + "' && echo ok"), "ok");
    const TFileProperties p = GetFileProperties(file, noTypes);
    EXPECT_EQ(p.FileName, "sized.ico");
    EXPECT_EQ(p.Location, dir.path.string() + "/");
    EXPECT_EQ(p.FileType, "ICO File");
    EXPECT_EQ(p.Size, "1,234,567 bytes");
    const std::string seconds = run("stat -c %Y '" + file + "'");
    ASSERT_FALSE(seconds.empty());
    EXPECT_EQ(p.Modified, run("date -d @" + seconds + " '+%x %X'"));
    EXPECT_FALSE(p.Attributes[1]);  // writable
    EXPECT_FALSE(p.Attributes[2]);  // not hidden

    const std::string hidden = dir / ".hidden";
    write(hidden, "x");
    ASSERT_EQ(run("chmod 444 '" + hidden + "' && echo ok"), "ok");
    const TFileProperties h = GetFileProperties(hidden, noTypes);
    EXPECT_EQ(h.FileType, "File");  // no extension: not " File"
    EXPECT_TRUE(h.Attributes[1]);   // Read-only
    EXPECT_TRUE(h.Attributes[2]);   // Hidden
    EXPECT_EQ(h.Size, "1 bytes");

    // A time of zero is no time the file system keeps.
    const std::string zero = dir / "zero.txt";
    write(zero, "");
    ASSERT_EQ(run("touch -m -d @0 '" + zero + "' && echo ok"), "ok");
    EXPECT_EQ(GetFileProperties(zero, noTypes).Modified, "Unknown");
    EXPECT_EQ(GetFileProperties(zero, noTypes).Size, "0 bytes");

    const TFileProperties m = GetFileProperties(dir / "missing", noTypes);
    EXPECT_EQ(m.Size, "Unknown");  // never "-1 bytes"
    EXPECT_EQ(m.Created, "Unknown");
    EXPECT_EQ(m.Modified, "Unknown");
    EXPECT_EQ(m.Accessed, "Unknown");
    EXPECT_EQ(m.FileType, "File");
    for (bool on : m.Attributes) EXPECT_FALSE(on);
}
