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
#include "platform/ReadBudget.h"
#include "support/HeldBytes.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

using namespace gs;
using namespace gstest;

namespace {

struct Hostile {
    const char* name;  // the file's name says its kind
    Bytes data;
};

TIconsRead readFile(const TempDir& dir, const Hostile& file, TQBIconLibrary& lib) {
    const auto path = dir.path / file.name;
    writeFile(path.string(), file.data);
    return lib.Read(path);
}

std::vector<const TQBIcon*> iconsOf(const TQBIconLibrary& lib) {
    std::vector<const TQBIcon*> icons;
    for (int i = 0; i < lib.Icons.Count(); ++i) icons.push_back(lib.Icons.GetIcon(i));
    return icons;
}

// A module of `groups` groups, each naming the one image `entries` times.
Hostile peNaming(const ImageSpec& img, int groups, int entries) {
    std::vector<PeResource> res = {{RT_ICON, 1, "", 0x0409, img.data}};
    const Bytes group = makeGroup(std::vector<ImageSpec>(entries, img), std::vector<std::uint16_t>(entries, 1));
    for (int g = 0; g < groups; ++g) res.push_back({RT_GROUP_ICON, std::uint16_t(g + 1), "", 0x0409, group});
    return {"shared.dll", makePeModule(res)};
}

Hostile neNaming(const ImageSpec& img, int groups, int entries, std::uint16_t shift = 4) {
    std::vector<NeResource> res = {{0x8003, 0x8001, img.data}};
    const Bytes group = makeGroup(std::vector<ImageSpec>(entries, img), std::vector<std::uint16_t>(entries, 1));
    for (int g = 0; g < groups; ++g) res.push_back({0x800E, std::uint16_t(0x8001 + g), group});
    return {"shared.icl", makeNeModule(res, {}, shift)};
}

// An icon file whose entries all name `length` bytes of one blob, entry i from byte `step` x i.
Hostile icoNaming(const char* name, int entries, std::uint32_t length, std::uint32_t step) {
    ByteWriter w;
    for (int v : {0, 1, entries}) w.u16(std::uint16_t(v));
    const std::uint32_t start = 6 + 16 * std::uint32_t(entries);
    for (int i = 0; i < entries; ++i) {
        for (int v : {16, 16, 0, 0}) w.u8(std::uint8_t(v));
        for (int v : {1, 4}) w.u16(std::uint16_t(v));
        w.u32(length);
        w.u32(start + step * std::uint32_t(i));
    }
    w.bytes(Bytes(length + step * std::uint32_t(entries), 0x5A));
    return {name, w.take()};
}

// A PNG stream whose IHDR declares the size, its CRC made right so only the size is wrong.
Bytes pngDeclaring(std::uint32_t width, std::uint32_t height) {
    Bytes png = pngSpec(16, 16).data;
    for (int b = 0; b < 4; ++b) {
        png[bounds::kPngWidthField + b] = std::uint8_t(width >> (24 - 8 * b));
        png[bounds::kPngHeightField + b] = std::uint8_t(height >> (24 - 8 * b));
    }
    const uLong crc = crc32(0, png.data() + 12, 17);  // chunk type and the 13 IHDR bytes
    for (int b = 0; b < 4; ++b) png[29 + b] = std::uint8_t(crc >> (24 - 8 * b));
    return png;
}

}  // namespace

TEST(ReadBudget, LimitIsAMultipleOfTheFileBetweenFloorAndCeiling) {
    const std::pair<std::uint64_t, std::uint64_t> cases[] = {
        {0, ReadBudget::kFloor},
        {1000, ReadBudget::kFloor},
        {10 << 20, 40 << 20},
        {std::uint64_t(2) << 30, ReadBudget::kCeiling},
        {UINT64_MAX, ReadBudget::kCeiling},
    };
    for (auto [size, limit] : cases) EXPECT_EQ(ReadBudget::limitFor(size), limit) << size;
    ReadBudget b = ReadBudget::forFile(0);
    b.take(ReadBudget::kFloor - 1, "x");
    EXPECT_THROW(b.take(2, "the images"), EOverBudget);
    EXPECT_EQ(b.held(), ReadBudget::kFloor - 1);
}

TEST(ReadBudget, GroupsSharingOneImageHoldItOnce) {
    // 200 groups of a module and of an icon library all naming one image.
    const auto img = dibSpec(256, 32);
    TempDir dir;
    for (const Hostile& file : {peNaming(img, 200, 1), neNaming(img, 200, 1)}) {
        TQBIconLibrary lib;
        ASSERT_EQ(readFile(dir, file, lib).Result, TLoadResult::Read) << file.name;
        ASSERT_EQ(lib.Icons.Count(), 200) << file.name;
        EXPECT_EQ(heldBytes(iconsOf(lib)), img.data.size()) << file.name;
        const TQBIconImage& last = *lib.Icons.GetIcon(199)->Images().GetImage(0);
        EXPECT_EQ(&last.Data(), &lib.Icons.GetIcon(0)->Images().GetImage(0)->Data()) << file.name;
        EXPECT_EQ(last.Width(), 256) << file.name;
        // A copy shares the bytes too: icons are values over bytes never changed.
        TQBIcon copy;
        copy.Assign(*lib.Icons.GetIcon(3));
        EXPECT_EQ(&copy.Images().GetImage(0)->Data(), &last.Data()) << file.name;
    }
}

TEST(ReadBudget, FilesNamingMoreThanTheirBudgetAreRefusedSayingWhy) {
    // Twenty thousand one-byte images in one group, a few hundred kilobytes of file: the
    // images kept pass 1 MiB though their bytes do not.
    const ImageSpec tiny{Bytes{0}, 16, 16, 0, 4};
    const struct {
        Hostile file;
        TLoadResult result;
        std::string what;
    } cases[] = {
        {peNaming(tiny, 1, 20000), TLoadResult::Failed, "the images of icon group 1"},
        {neNaming(tiny, 1, 20000), TLoadResult::Refused, "the images of group 1"},
        {icoNaming("many.ico", 20000, 1, 0), TLoadResult::Failed, "the images of the icon file"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        TQBIconLibrary lib;
        const TIconsRead read = readFile(dir, c.file, lib);
        EXPECT_EQ(read.Result, c.result) << c.file.name;
        EXPECT_EQ(lib.Icons.Count(), 0) << c.file.name;
        EXPECT_EQ(read.Reason, "The file is refused: reading " + c.what + " would hold more than " +
                                   std::to_string(ReadBudget::limitFor(c.file.data.size())) + " bytes of memory for a file of " +
                                   std::to_string(c.file.data.size()) +
                                   " bytes (at most 4 times its size, at least 1 MiB, never more than 256 MiB).");
    }
}

TEST(ReadBudget, AnIconNeverAddsUpToMoreThanItsFile) {
    // Windows of 100 000 bytes a kilobyte apart: each is in the file, but two of them would
    // make an icon that writes out more than the file; the rest are left out.
    const Hostile overlap = icoNaming("overlap.ico", 12, 100000, 1000);
    TempDir dir;
    TQBIconLibrary lib;
    ASSERT_EQ(readFile(dir, overlap, lib).Result, TLoadResult::Read);
    EXPECT_EQ(lib.Icons.GetIcon(0)->Images().Count(), 1);
    // The same holds for a group naming one image over and over: shared, yet written out once each.
    const auto img = dibSpec(32, 32);
    const Hostile pe = peNaming(img, 1, 100);
    TQBIconLibrary module;
    ASSERT_EQ(readFile(dir, pe, module).Result, TLoadResult::Read);
    const std::uint16_t kept = module.Icons.GetIcon(0)->Images().Count();
    EXPECT_EQ(kept, pe.data.size() / img.data.size());
}

TEST(IconBounds, ImagesLargerThanTheirFormatAllowsAreLeftOutUnread) {
    // Each file holds a good 16x16 image and one whose size passes the largest icon image.
    const auto good = dibSpec(16, 4);
    ImageSpec huge = good;
    huge.data.resize(bounds::kMaxIconImageBytes + 1, 0x11);
    const Hostile files[] = {
        {"big.ico", makeIcoFile({good, huge})},
        {"big.dll", makePeModule({{RT_ICON, 1, "", 0x0409, good.data},
                                  {RT_ICON, 2, "", 0x0409, huge.data},
                                  {RT_GROUP_ICON, 1, "", 0x0409, makeGroup({good, huge}, {1, 2})}})},
        {"big.icl", makeNeModule({{0x8003, 0x8001, good.data}, {0x8003, 0x8002, huge.data},
                                  {0x800E, 0x8001, makeGroup({good, huge}, {1, 2})}}, {}, 8)},
    };
    TempDir dir;
    for (const Hostile& file : files) {
        TQBIconLibrary lib;
        ASSERT_EQ(readFile(dir, file, lib).Result, TLoadResult::Read) << file.name;
        ASSERT_EQ(lib.Icons.Count(), 1) << file.name;
        ASSERT_EQ(lib.Icons.GetIcon(0)->Images().Count(), 1) << file.name;
        EXPECT_EQ(lib.Icons.GetIcon(0)->Images().GetImage(0)->Data(), good.data) << file.name;
    }
    // Nothing of it is counted: it was never read.
    MemorySource src(files[0].data);
    TImageDataPool pool(src.size());
    TQBIcon icon;
    ASSERT_TRUE(icon.LoadFromWindow(ByteReader(src), pool));
    EXPECT_EQ(pool.Budget().held(), good.data.size() + ReadBudget::kObjectCost);
}

TEST(IconBounds, PicturesDeclaringMoreThanAnIconAreNeverDecoded) {
    // Sixty PNG images declaring 4096 x 4096 in a small icon file: read, kept as bytes, but
    // neither decoded nor taken at their declared size.
    ImageSpec png{pngDeclaring(4096, 4096), 48, 48, 0, 32};
    const Bytes file = makeIcoFile(std::vector<ImageSpec>(60, png));
    MemorySource src(file);
    TQBIcon icon;
    ASSERT_TRUE(icon.LoadFromSource(src));
    ASSERT_EQ(icon.Images().Count(), 60);
    EXPECT_LE(heldBytes(std::vector<const TQBIcon*>{&icon}), file.size());
    const TQBIconImage& image = *icon.Images().GetImage(59);
    EXPECT_EQ(image.Width(), 48);
    EXPECT_EQ(image.GetHandle(), nullptr);
    EXPECT_TRUE(image.CreateIcon()->Empty());
    try {
        decodeIconImage(image.Data());
        ADD_FAILURE() << "decoded";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Invalid PNG image: size 4096 x 4096 is larger than an icon's");
    }
    // At the largest side the same header is taken, and a cut DIB header says nothing.
    TQBIconImage largest(IconImageHead{48, 48}, pngDeclaring(bounds::kMaxIconSide, 300));
    largest.FixSize();
    EXPECT_EQ(largest.Width(), bounds::kMaxIconSide);
    EXPECT_EQ(largest.Height(), 300);
    EXPECT_FALSE(bounds::declaredSide(Bytes(11, 0)));
}

TEST(IconLibraryIndexes, EveryIndexOutsideIsTheLibrarysError) {
    TQBIconList list;
    list.AddIcon("a", std::make_unique<TQBIcon>());
    for (int bad : {-1, 1, 1000}) {
        EXPECT_THROW(list.GetIcon(bad), EQBICLReadError) << bad;
        EXPECT_THROW(list.SetName(bad, "x"), EQBICLReadError) << bad;
    }
    try {
        list.Name(3);
        ADD_FAILURE();
    } catch (const EQBICLReadError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (3)");
    }
    IconPicture pic;
    pic.width = pic.height = 2;
    pic.colour.assign(3, 0);  // a pixel short
    EXPECT_THROW(pic.rgbaAt(1, 1), EQBICLReadError);
    EXPECT_THROW(pic.rgbaAt(2, 0), EQBICLReadError);
    EXPECT_THROW(EncodeIconImage(pic), EQBICLReadError);
    EXPECT_THROW(resamplePicture(pic, 4, 4), std::invalid_argument);
    Raster canvas(4, 4);
    pic.drawOn(canvas, 0, 0);  // draws nothing rather than reading past the pixels
    EXPECT_EQ(canvas, Raster(4, 4));
}
