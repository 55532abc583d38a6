// What hostile files make the readers hold: images shared by many groups are read once, a
// file naming more than its budget is refused saying why, an image larger than its format
// allows is left out unread, a picture larger than any icon is never decoded, and every
// index given to the library is checked.
#include <gtest/gtest.h>

#include <zlib.h>

#include "iconlib/IconBounds.h"
#include "iconlib/IconChoice.h"
#include "iconlib/IconLibrary.h"
#include "iconlib/Resample.h"
#include "platform/ByteWriter.h"
#include "support/HeldBytes.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

using namespace gs;
using namespace gstest;

namespace {

struct Hostile {
    std::string name;  // its extension says its kind
    TBytes data;
    std::shared_ptr<TQBIconLibrary> lib = std::make_shared<TQBIconLibrary>();
    TIconsRead read(const TempDir& dir) const {
        writeFile((dir.path / name).string(), data);
        return lib->Read(dir.path / name);
    }
};

// A module of `groups` groups (".dll" PE, ".icl" NE), each naming image 1 `entries` times.
Hostile module(const std::string& name, const ImageSpec& img, int groups, int entries, std::uint16_t shift = 4) {
    const TBytes group = makeGroup(std::vector<ImageSpec>(entries, img), std::vector<std::uint16_t>(entries, 1));
    std::vector<PeResource> pe = {{RT_ICON, 1, "", 0x0409, img.data}};
    std::vector<NeResource> ne = {{0x8003, 0x8001, img.data}};
    for (int g = 0; g < groups; ++g) {
        pe.push_back({RT_GROUP_ICON, std::uint16_t(g + 1), "", 0x0409, group});
        ne.push_back({0x800E, std::uint16_t(0x8001 + g), group});
    }
    return {name, name.ends_with(".dll") ? makePeModule(pe) : makeNeModule(ne, {}, shift)};
}

// An icon file whose entries all name `length` bytes of one blob, entry i from byte `step` x i.
Hostile icoNaming(int entries, std::uint32_t length, std::uint32_t step) {
    TByteWriter w;
    for (int v : {0, 1, entries}) w.U16(std::uint16_t(v));
    for (int i = 0; i < entries; ++i) {
        for (std::uint32_t v : {16u, 16u, 0u, 0u}) w.U8(std::uint8_t(v));
        w.U16(1), w.U16(4), w.U32(length);
        w.U32(6 + 16 * std::uint32_t(entries) + step * std::uint32_t(i));
    }
    w.Bytes(TBytes(length + step * std::uint32_t(entries), 0x5A));
    return {"a.ico", w.Take()};
}

// A PNG stream whose IHDR declares the size, its CRC made right so only the size is wrong.
TBytes pngDeclaring(std::uint32_t width, std::uint32_t height) {
    TBytes png = pngSpec(16, 16).data;
    const uLong crc = (png[19] = std::uint8_t(width), png[18] = std::uint8_t(width >> 8), png[23] = std::uint8_t(height),
                       png[22] = std::uint8_t(height >> 8), crc32(0, png.data() + 12, 17));  // type and IHDR data
    for (int b = 0; b < 4; ++b) png[29 + b] = std::uint8_t(crc >> (24 - 8 * b));
    return png;
}

}  // namespace

TEST(TReadBudget, LimitIsAMultipleOfTheFileBetweenFloorAndCeiling) {
    const std::pair<std::uint64_t, std::uint64_t> cases[] = {
        {0, 1 << 20}, {1000, 1 << 20}, {10 << 20, 40 << 20}, {std::uint64_t(2) << 30, 256 << 20}, {UINT64_MAX, 256 << 20}};
    for (auto [size, limit] : cases) EXPECT_EQ(TReadBudget::LimitFor(size), limit) << size;
    TReadBudget b = TReadBudget::ForFile(0);
    b.Take(TReadBudget::kFloor - 1, "x");
    EXPECT_THROW(b.Take(2, "the images"), EOverBudget);
    EXPECT_EQ(b.Held(), TReadBudget::kFloor - 1);
}

TEST(TReadBudget, GroupsSharingOneImageHoldItOnceAndCopiesShareIt) {
    const auto img = dibSpec(256, 32);
    TempDir dir;
    for (Hostile file : {module("a.dll", img, 200, 1), module("a.icl", img, 200, 1)}) {
        ASSERT_EQ(file.read(dir).Result, TLoadResult::Read) << file.name;
        ASSERT_EQ(file.lib->Icons.Count(), 200) << file.name;
        std::vector<const TQBIcon*> icons;
        for (int i = 0; i < 200; ++i) icons.push_back(file.lib->Icons.GetIcon(i));
        EXPECT_EQ(heldBytes(icons), img.data.size()) << file.name;
        TQBIcon copy;
        copy.Assign(*icons[3]);
        EXPECT_EQ(heldBytes({icons[199], &copy}), img.data.size()) << file.name;
        EXPECT_EQ(copy.Images().GetImage(0)->Width(), 256) << file.name;
    }
}

TEST(TReadBudget, FilesNamingMoreThanTheirBudgetAreRefusedSayingWhy) {
    // Twenty thousand one-byte images in one group: the images kept pass 1 MiB though the
    // file is a few hundred kilobytes.
    const ImageSpec tiny{TBytes{0}, 16, 16, 0, 4};
    const std::tuple<Hostile, TLoadResult, std::string> cases[] = {
        {module("a.dll", tiny, 1, 20000), TLoadResult::Failed, "icon group 1"},
        {module("a.icl", tiny, 1, 20000), TLoadResult::Failed, "group 1"},
        {icoNaming(20000, 1, 0), TLoadResult::Failed, "the icon file"}};
    TempDir dir;
    for (auto [file, result, what] : cases) {
        const TIconsRead read = file.read(dir);
        EXPECT_EQ(read.Result, result) << file.name;
        EXPECT_EQ(file.lib->Icons.Count(), 0) << file.name;
        const std::uint64_t size = file.data.size();
        EXPECT_EQ(read.Reason, "The file is refused: reading the images of " + what + " would hold more than " +
                                   std::to_string(TReadBudget::LimitFor(size)) + " bytes of memory for a file of " + std::to_string(size) +
                                   " bytes (at most 4 times its size, at least 1 MiB, never more than 256 MiB).");
    }
}

TEST(TReadBudget, AnIconNeverAddsUpToMoreThanItsFile) {
    // Windows of 100 000 bytes a kilobyte apart, or one image named a hundred times: each is
    // in the file, but together they would write out more than the file; the rest are left out.
    const auto img = dibSpec(32, 32);
    TempDir dir;
    for (Hostile file : {icoNaming(12, 100000, 1000), module("a.dll", img, 1, 100)}) {
        ASSERT_EQ(file.read(dir).Result, TLoadResult::Read) << file.name;
        const std::uint64_t each = file.name == "a.ico" ? 100000 : img.data.size();
        EXPECT_EQ(file.lib->Icons.GetIcon(0)->Images().Count(), file.data.size() / each) << file.name;
    }
}

TEST(IconBounds, ImagesLargerThanTheirFormatAllowsAreLeftOutUnread) {
    const auto good = dibSpec(16, 4);
    ImageSpec huge = good;
    huge.data.resize(bounds::kMaxIconImageBytes + 1, 0x11);
    Hostile files[] = {
        {"a.ico", makeIcoFile({good, huge})},
        {"a.dll", makePeModule({{RT_ICON, 1, "", 0x0409, good.data}, {RT_ICON, 2, "", 0x0409, huge.data},
                                {RT_GROUP_ICON, 1, "", 0x0409, makeGroup({good, huge}, {1, 2})}})},
        {"a.icl", makeNeModule({{0x8003, 0x8001, good.data}, {0x8003, 0x8002, huge.data},
                                {0x800E, 0x8001, makeGroup({good, huge}, {1, 2})}}, {}, 8)}};
    TempDir dir;
    for (const Hostile& file : files) {
        ASSERT_EQ(file.read(dir).Result, TLoadResult::Read) << file.name;
        ASSERT_EQ(file.lib->Icons.GetIcon(0)->Images().Count(), 1) << file.name;
        EXPECT_EQ(file.lib->Icons.GetIcon(0)->Images().GetImage(0)->Data(), good.data) << file.name;
    }
    // Nothing of it is counted: it was never read.
    TMemorySource src(files[0].data);
    TImageDataPool pool(src.Size());
    ASSERT_TRUE(TQBIcon().LoadFromWindow(TByteReader(src), pool));
    EXPECT_EQ(pool.Budget().Held(), good.data.size() + TReadBudget::kObjectCost);
}

TEST(IconBounds, PicturesDeclaringMoreThanAnIconAreNeverDecoded) {
    // Sixty PNG images declaring 4096 x 4096: kept as bytes, neither decoded nor taken at
    // their declared size. At the largest side the header's size is taken.
    const TBytes file = makeIcoFile(std::vector<ImageSpec>(60, ImageSpec{pngDeclaring(4096, 4096), 48, 48, 0, 32}));
    TQBIcon icon;
    ASSERT_TRUE(icon.LoadFromSource(TMemorySource(file)));
    ASSERT_EQ(icon.Images().Count(), 60);
    const TQBIconImage& image = *icon.Images().GetImage(59);
    EXPECT_EQ(image.Width(), 48);
    EXPECT_TRUE(image.CreateIcon()->Empty());
    try {
        decodeIconImage(image.Data());
        ADD_FAILURE() << "decoded";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Invalid PNG image: size 4096 x 4096 is larger than an icon's");
    }
    TQBIconImage largest(TIconImageHead{48, 48}, pngDeclaring(bounds::kMaxIconSide, 300));
    largest.FixSize();
    EXPECT_EQ(std::pair(largest.Width(), largest.Height()), std::pair(bounds::kMaxIconSide, 300));
    EXPECT_FALSE(bounds::declaredSide(TBytes(11, 0)));
}

TEST(IconLibraryIndexes, EveryIndexOutsideIsTheLibrarysError) {
    TQBIconList list;
    list.AddIcon("a", std::make_unique<TQBIcon>());
    for (int bad : {-1, 1, 1000}) {
        EXPECT_THROW(list.GetIcon(bad), EQBICLReadError) << bad;
        EXPECT_THROW(list.SetName(bad, "x"), EQBICLReadError) << bad;
    }
    EXPECT_EQ(std::string(indexOutOfBounds(3).what()), "List index out of bounds (3)");
    TIconPicture pic{2, 2, std::vector<Argb>(3, 0), {}, false};  // a pixel short
    EXPECT_THROW(pic.rgbaAt(1, 1), EQBICLReadError);
    EXPECT_THROW(pic.rgbaAt(2, 0), EQBICLReadError);
    EXPECT_THROW(EncodeIconImage(pic), EQBICLReadError);
    EXPECT_THROW(resamplePicture(pic, 4, 4), std::invalid_argument);
    TRaster canvas(4, 4);
    pic.drawOn(canvas, 0, 0);  // draws nothing rather than reading past the pixels
    EXPECT_EQ(canvas, TRaster(4, 4));
}
