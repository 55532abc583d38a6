// Icon libraries: the writer's layout, its refusals and limits, and reading back.
#include <gtest/gtest.h>

#include <filesystem>

#include "iconlib/IclWriter.h"
#include "iconlib/NEReader.h"
#include "platform/ByteReader.h"
#include "platform/Errors.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

using namespace gs;
using namespace gstest;
namespace fs = std::filesystem;

namespace {
using gstest::TempDir;

std::unique_ptr<TQBIcon> iconOf(std::vector<ImageSpec> specs) {
    auto icon = std::make_unique<TQBIcon>();
    TMemorySource src(makeIcoFile(specs));
    icon->LoadFromSource(src);
    return icon;
}

ImageSpec specOfSize(std::size_t bytes) {
    ImageSpec s = dibSpec(32, 4);
    s.data.resize(bytes, 0);
    return s;
}
}  // namespace

TEST(IclWriter, OneSmallIconNeedsNoAlignment) {
    TQBIconLibrary lib;
    lib.Icons.AddIcon("Disk", iconOf({specOfSize(744)}));
    TQB16BitWriter w(lib);
    TBytes f = w.Build();
    TMemorySource src(f);
    TByteReader r(src);
    EXPECT_EQ(w.AlignShift, 0);
    EXPECT_EQ(r.U16At(192), 0);
    EXPECT_EQ(r.U16At(164), 64);
    // Group record: offset 246, length 20; image record: offset 266, length 744.
    EXPECT_EQ(r.U16At(202), 246);
    EXPECT_EQ(r.U16At(204), 20);
    EXPECT_EQ(r.U16At(206), 0x1C30);
    EXPECT_EQ(r.U16At(208), 0x8001);
    EXPECT_EQ(r.U16At(222), 266);
    EXPECT_EQ(r.U16At(224), 744);
    EXPECT_EQ(f.size(), 266u + 744u + 2u);
    EXPECT_EQ(std::string(f.begin() + 126, f.begin() + 130), "IMNE");
}

TEST(IclWriter, ImageIdsRunAcrossIconsAndReadBack) {
    TQBIconLibrary lib;
    lib.Icons.AddIcon("Folder", iconOf({dibSpec(16, 4), dibSpec(32, 8), dibSpec(48, 32)}));
    lib.Icons.AddIcon("", iconOf({dibSpec(16, 4, 2), pngSpec(256, 256)}));
    TempDir d;
    auto path = d.path / "t.icl";
    lib.SaveToFile(path);
    TQB16BitReader reader(path);
    ASSERT_TRUE(reader.Read());
    ASSERT_EQ(reader.Icons.Count(), 2);
    EXPECT_EQ(reader.Icons.Name(0), "Folder");
    EXPECT_EQ(reader.Icons.Name(1), "Icon 2");
    for (int i = 0; i < 2; ++i) {
        const auto& a = lib.Icons.GetIcon(i)->Images();
        const auto& b = reader.Icons.GetIcon(i)->Images();
        ASSERT_EQ(a.Count(), b.Count());
        for (std::uint16_t k = 0; k < a.Count(); ++k) {
            EXPECT_EQ(a.GetImage(k)->Data(), b.GetImage(k)->Data());
            EXPECT_EQ(a.GetImage(k)->Width(), b.GetImage(k)->Width());
        }
    }
    // Group entries: nID 1, 2, 3 then 4, 5.
    TMemorySource src(readWholeFile(path));
    TByteReader r(src);
    const std::uint16_t shift = r.U16At(192);
    const std::uint64_t group2 = std::uint64_t(r.U16At(202 + 12)) << shift;
    EXPECT_EQ(r.U16At(group2 + 4), 2);
    EXPECT_EQ(r.U16At(group2 + 6 + 12), 4);
    EXPECT_EQ(r.U16At(group2 + 6 + 14 + 12), 5);
}

TEST(IclWriter, RefusalsAndNameLimits) {
    TempDir d;
    TQBIconLibrary empty;
    try {
        empty.SaveToFile(d.path / "e.icl");
        FAIL();
    } catch (const EQBICLWriteError& e) {
        EXPECT_STREQ(e.what(), "Unable to write Icon Library with no icons.");
    }
    TQBIconLibrary many;
    for (int i = 0; i < 32768; ++i) many.Icons.AddIcon("", std::make_unique<TQBIcon>());
    try {
        many.SaveToFile(d.path / "m.icl");
        FAIL();
    } catch (const EQBICLWriteError& e) {
        EXPECT_STREQ(e.what(), "Icon Libraries with more than 32767 are not possible.");
    }
    many.Icons.Delete(0);
    EXPECT_NO_THROW(many.SaveToFile(d.path / "m.icl"));
    EXPECT_FALSE(fs::exists(d.path / "e.icl"));

    EXPECT_EQ(TQB16BitWriter::FileName(std::string(300, 'x'), 0).size(), 255u);
    EXPECT_EQ(TQB16BitWriter::FileName("", 4), "Icon 5");
    EXPECT_EQ(TQB16BitWriter::FileName("Caf\xC3\xA9", 0), "Caf\xE9");
}

TEST(IclWriter, LargeLibrariesChooseAShiftThatFitsTheirPaddedLayout) {
    // 40 icons of 60 KB: well past 64 KB, so offsets need a shift, and each padded image
    // must still fit its 16-bit length.
    TQBIconLibrary lib;
    for (int i = 0; i < 40; ++i) lib.Icons.AddIcon("big", iconOf({specOfSize(60000)}));
    TQB16BitWriter w(lib);
    TBytes f = w.Build();
    EXPECT_GT(w.AlignShift, 0);
    TempDir d;
    writeFile((d.path / "big.icl").string(), f);
    TQB16BitReader reader(d.path / "big.icl");
    ASSERT_TRUE(reader.Read());
    ASSERT_EQ(reader.Icons.Count(), 40);
    EXPECT_EQ(reader.Icons.GetIcon(39)->Images().GetImage(0)->Data().size(), 60000u);
}

TEST(IclWriter, FailedWriteKeepsTheOldFile) {
    TempDir d;
    TQBIconLibrary lib;
    lib.Icons.AddIcon("A", iconOf({dibSpec(16, 4)}));
    auto path = d.path / "keep.icl";
    writeFile(path.string(), TBytes{1, 2, 3});
    EXPECT_THROW(lib.SaveToFile(d.path / "nofolder" / "x.icl"), EFCreateError);
    EXPECT_EQ(readWholeFile(path), (TBytes{1, 2, 3}));
}
