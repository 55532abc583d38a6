// Icon files and icon images: the .ico layout, size fix-up, colour classes, list
// operations, and decoding with mask, inverted pixels, alpha and PNG.
#include <gtest/gtest.h>

#include <filesystem>

#include "iconlib/HiResIcon.h"
#include "iconlib/Icon.h"
#include "iconlib/IconBounds.h"
#include "iconlib/IconLibrary.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Dib.h"
#include "platform/Errors.h"
#include "support/HeldBytes.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

using namespace gs;
using namespace gstest;
namespace fs = std::filesystem;

namespace {
std::unique_ptr<TQBIcon> iconFrom(const TBytes& file) {
    auto icon = std::make_unique<TQBIcon>();
    TMemorySource src(file);
    EXPECT_TRUE(icon->LoadFromSource(src));
    return icon;
}

TBytes saved(const TQBIcon& icon) {
    TByteWriter w;
    icon.SaveToStream(w);
    return w.Take();
}

using gstest::TempDir;
}  // namespace

TEST(IconFile, WritesDirectoryThenDataBackToBack) {
    auto a = dibSpec(16, 4), b = dibSpec(32, 8), c = dibSpec(48, 32);
    auto icon = iconFrom(makeIcoFile({a, b, c}));
    TBytes out = saved(*icon);
    TMemorySource src(out);
    TByteReader r(src);
    EXPECT_EQ(r.U16(), 0);
    EXPECT_EQ(r.U16(), 1);
    EXPECT_EQ(r.U16(), 3);
    const std::uint32_t expected[3] = {54, 54 + std::uint32_t(a.data.size()),
                                       54 + std::uint32_t(a.data.size() + b.data.size())};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(r.U32At(18 + 16 * i), expected[i]);
    EXPECT_EQ(out.size(), 54 + a.data.size() + b.data.size() + c.data.size());
    // The same bytes read back give the same file again.
    EXPECT_EQ(saved(*iconFrom(out)), out);
}

TEST(IconFile, RefusesCursorsAndBadHeadersButAcceptsEmptyIconFiles) {
    TBytes cursor = makeIcoFile({dibSpec(32, 4)});
    cursor[2] = 2;
    TQBIcon icon;
    TMemorySource cur(cursor);
    EXPECT_FALSE(icon.LoadFromSource(cur));
    EXPECT_EQ(icon.Images().Count(), 0);
    TBytes reserved = makeIcoFile({dibSpec(32, 4)});
    reserved[0] = 1;
    TMemorySource res(reserved);
    EXPECT_FALSE(icon.LoadFromSource(res));
    TMemorySource tiny(TBytes{0, 0, 1});
    EXPECT_FALSE(icon.LoadFromSource(tiny));
    auto empty = iconFrom(makeIcoFile({}));
    EXPECT_EQ(empty->Images().Count(), 0);
    EXPECT_TRUE(saved(*empty).empty());
    TempDir d;
    empty->SaveToFile(d.path / "none.ico");
    EXPECT_FALSE(fs::exists(d.path / "none.ico"));
    EXPECT_FALSE(empty->Has32x32() || empty->Has16Colors());
}

TEST(IconFile, EntriesWhoseDataIsNotInTheFileAreSkipped) {
    TBytes file = makeIcoFile({dibSpec(16, 4), dibSpec(32, 4)});
    // Second entry's offset points past the end.
    file[6 + 16 + 12] = 0xFF, file[6 + 16 + 13] = 0xFF, file[6 + 16 + 14] = 0xFF;
    auto icon = iconFrom(file);
    ASSERT_EQ(icon->Images().Count(), 1);
    EXPECT_EQ(icon->Images().GetImage(0)->Width(), 16);
    EXPECT_EQ(icon->Images().GetImage(0)->BytesInRes(), icon->Images().GetImage(0)->Data().size());
    // Cut in the middle of the data: that image goes, nothing is read short.
    TBytes cut = makeIcoFile({dibSpec(16, 4), dibSpec(32, 4)});
    cut.resize(cut.size() - 10);
    EXPECT_EQ(iconFrom(cut)->Images().Count(), 1);
    // A count far beyond the entries that exist: the directory ends with the file.
    TBytes one = makeIcoFile({dibSpec(16, 4)});
    one[4] = 0xE8, one[5] = 0x03;
    one.resize(6 + 16 + dibSpec(16, 4).data.size());
    auto many = iconFrom(one);
    ASSERT_GE(many->Images().Count(), 1);
    EXPECT_LE(many->Images().Count(), (one.size() - 6) / 16);
    EXPECT_EQ(many->Images().GetImage(0)->Data(), dibSpec(16, 4).data);
}

TEST(IconFile, AFileWhoseDeclaredImagesCannotBeReadIsUnreadableSayingWhy) {
    // Cut after its header, cut inside its directory, its data past the end or larger than
    // any icon image: no icon to show or save, so the file is a read error, not an empty icon.
    const TBytes one = makeIcoFile({dibSpec(16, 4)});
    TBytes inDirectory = makeIcoFile({dibSpec(16, 4), dibSpec(32, 4)});
    inDirectory.resize(6 + 16 + 5);
    TBytes pastEnd = one;
    pastEnd[6 + 14] = 0xFF, pastEnd[6 + 15] = 0xFF;
    ImageSpec huge = dibSpec(16, 4);
    huge.data.resize(bounds::kMaxIconImageBytes + 1);
    const std::pair<TBytes, std::string> cases[] = {
        {TBytes{0, 0, 1, 0, 1, 0}, "The icon file declares 1 image but ends after its 6 bytes, before its directory."},
        {inDirectory, "The icon file declares 2 images but ends at byte 27, inside its directory of 38 bytes, and no "
                      "image in it can be read."},
        {pastEnd, "The icon file declares 1 image but none of them can be read: their data lies outside the file's " +
                      std::to_string(one.size()) + " bytes or is larger than an icon image can be."},
        {makeIcoFile({huge}), "The icon file declares 1 image but none of them can be read: their data lies outside "
                              "the file's " + std::to_string(22 + huge.data.size()) +
                                  " bytes or is larger than an icon image can be."}};
    TempDir d;
    for (const auto& [data, reason] : cases) {
        writeFile(d.path / "cut.ico", data);
        TQBIconLibrary lib;
        const TIconsRead read = lib.Read(d.path / "cut.ico");
        EXPECT_EQ(read.Result, TLoadResult::Failed) << reason;
        EXPECT_EQ(read.Reason, reason);
        EXPECT_EQ(lib.Icons.Count(), 0);
        EXPECT_THROW(TQBIconLibrary().LoadFromFile(d.path / "cut.ico"), EReadError);
        EXPECT_EQ(ReadFirstIcon(d.path / "cut.ico"), nullptr);
    }
}

// An icon file lying inside a larger file (an icon list's entry, a cursor's frame) is read
// in place: its offsets count from its own start, nothing beyond it is read, and a cursor is
// taken only when asked for.
TEST(IconFile, AnIconFileInAWindowOfALargerFileReadsAsAlone) {
    const TBytes file = makeIcoFile({dibSpec(16, 4, 1), dibSpec(32, 8, 2)});
    TByteWriter around;
    around.Bytes(TBytes(37, 0xEE));
    around.Bytes(file);
    around.Bytes(TBytes(23, 0xEE));
    TMemorySource src(around.Take());
    const TByteReader window = TByteReader(src).Window(37, file.size());
    TQBIcon inPlace;
    ASSERT_TRUE(inPlace.LoadFromWindow(window));
    EXPECT_EQ(saved(inPlace), saved(*iconFrom(file)));

    // The second image's data cut by the window's end: left out, though the larger file
    // holds the bytes after it.
    TQBIcon cut;
    ASSERT_TRUE(cut.LoadFromWindow(TByteReader(src).Window(37, file.size() - 1)));
    EXPECT_EQ(cut.Images().Count(), 1);

    TBytes cursor = file;
    cursor[2] = 2;
    TMemorySource cur(cursor);
    TQBIcon asIcon, asCursor;
    EXPECT_FALSE(asIcon.LoadFromWindow(TByteReader(cur)));
    ASSERT_TRUE(asCursor.LoadFromWindow(TByteReader(cur), true));
    EXPECT_EQ(asCursor.Images().Count(), 2);
}

TEST(IconFile, EntriesRepeatingOneImageNeverTakeMoreThanTheFile) {
    // Every entry names the same 48x48 image: read once per entry, it would grow the icon
    // to many times the file.
    const auto img = dibSpec(48, 32);
    TBytes file = makeIcoFile(std::vector<ImageSpec>(2000, img));
    const std::uint32_t firstOffset = TByteReader(TMemorySource(file)).U32At(6 + 12);
    file.resize(firstOffset + img.data.size());
    for (int i = 1; i < 2000; ++i)
        for (int b = 0; b < 4; ++b) file[6 + 16 * i + 12 + b] = std::uint8_t(firstOffset >> (8 * b));
    auto icon = iconFrom(file);
    ASSERT_GE(icon->Images().Count(), 1);
    EXPECT_LE(heldBytes(std::vector<const TQBIcon*>{icon.get()}), file.size());
    EXPECT_EQ(icon->Images().GetImage(0)->Data(), img.data);
}

TEST(IconImage, SizesComeFromTheImageDataNotTheEntry) {
    auto s48 = dibSpec(48, 8);
    s48.width = s48.height = 0;  // the entry claims 256
    auto png256 = pngSpec(256, 256);
    auto png194 = pngSpec(194, 313);
    auto icon = iconFrom(makeIcoFile({s48, png256, png194}));
    const auto& imgs = icon->Images();
    EXPECT_EQ(imgs.GetImage(0)->Width(), 48);
    EXPECT_EQ(imgs.GetImage(0)->Height(), 48);
    EXPECT_EQ(imgs.GetImage(1)->Width(), 256);
    EXPECT_EQ(imgs.GetImage(1)->Height(), 256);
    EXPECT_EQ(imgs.GetImage(2)->Width(), 194);
    EXPECT_EQ(imgs.GetImage(2)->Height(), 313);
    // Written back, sizes of 256 and more become 0 only in the one-byte fields.
    TBytes out = saved(*icon);
    EXPECT_EQ(out[6 + 16], 0);
    EXPECT_EQ(out[6 + 16 + 1], 0);
    EXPECT_EQ(out[6 + 32], 194);
    EXPECT_EQ(out[6 + 32 + 1], 0);
    auto back = iconFrom(out);
    EXPECT_EQ(back->Images().GetImage(2)->Height(), 313);
}

TEST(IconImage, ColourClassFollowsCountAndSmallBitCounts) {
    EXPECT_EQ(colorClassOf(0, 32), 256);
    EXPECT_EQ(colorClassOf(200, 8), 256);
    EXPECT_EQ(colorClassOf(16, 4), 16);
    EXPECT_EQ(colorClassOf(2, 1), 2);
    EXPECT_EQ(colorClassOf(0, 4), 16);  // 16 colours stored with a count of 0
    EXPECT_EQ(colorClassOf(0, 1), 2);
    EXPECT_EQ(colorClassOf(0, 8), 256);
    auto s = dibSpec(32, 4);
    s.colorCount = 0;
    auto icon = iconFrom(makeIcoFile({s}));
    EXPECT_TRUE(icon->Has16Colors());
    EXPECT_FALSE(icon->Has256Colors());
}

TEST(IconImageList, DeleteSortCapacityAndBounds) {
    auto icon = iconFrom(makeIcoFile({dibSpec(32, 4), dibSpec(16, 4), dibSpec(32, 8), pngSpec(32, 16)}));
    icon->DeleteImagesOfSize(32);
    ASSERT_EQ(icon->Images().Count(), 2);
    EXPECT_EQ(icon->Images().GetImage(0)->Width(), 16);
    EXPECT_EQ(icon->Images().GetImage(1)->Height(), 16);  // 32x16 stays
    EXPECT_EQ(icon->Images().GetImage(2), nullptr);

    auto sorted = iconFrom(makeIcoFile({dibSpec(48, 8), dibSpec(16, 4), dibSpec(32, 4), dibSpec(16, 1)}));
    sorted->Sort();
    int w[4], b[4];
    for (std::uint16_t i = 0; i < 4; ++i) w[i] = sorted->Images().GetImage(i)->Width(), b[i] = sorted->Images().GetImage(i)->BitCount();
    EXPECT_EQ(w[0], 16);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[1], 4);
    EXPECT_EQ(w[2], 32);
    EXPECT_EQ(w[3], 48);

    TQBIconImageList list;
    for (int i = 0; i < 5; ++i) list.Add(std::make_unique<TQBIconImage>());
    list.SetCapacity(2);
    EXPECT_EQ(list.Capacity(), 5);
    list.Delete(7);
    EXPECT_EQ(list.Count(), 5);
}

TEST(IconImage, AssignMakesIndependentCopies) {
    auto src = iconFrom(makeIcoFile({dibSpec(16, 4), dibSpec(32, 32)}));
    TQBIcon copy;
    copy.Assign(*src);
    copy.DeleteImagesOfSize(16);
    EXPECT_EQ(src->Images().Count(), 2);
    EXPECT_EQ(copy.Images().Count(), 1);
    EXPECT_EQ(copy.Images().GetImage(0)->Data(), src->Images().GetImage(1)->Data());
}

TEST(IconDecoding, MaskKeepsOrInvertsTheBackgroundAndAlphaBlends) {
    // 2x1, 4-bit: left pixel masked with black colour (transparent), right masked with
    // white colour (inverts the background).
    TRaster pic(2, 1);
    pic.SetPixel(0, 0, makeArgb(0, 0, 0, 0));
    pic.SetPixel(1, 0, makeArgb(255, 255, 255, 0));
    TBytes dib = makeDibImage(pic, 24);
    // makeDibImage blacks out masked pixels; put white back into the right one's colour bits.
    const std::size_t bits = 40;
    dib[bits + 3] = dib[bits + 4] = dib[bits + 5] = 255;
    TIconPicture p = decodeIconImage(dib);
    TRaster canvas(2, 1);
    canvas.Fill(makeArgb(10, 20, 30));
    p.drawOn(canvas, 0, 0);
    EXPECT_EQ(canvas.Pixel(0, 0), makeArgb(10, 20, 30));
    EXPECT_EQ(canvas.Pixel(1, 0), makeArgb(245, 235, 225));

    TRaster alpha(1, 1);
    alpha.SetPixel(0, 0, makeArgb(255, 0, 0, 128));
    TIconPicture ap = decodeIconImage(makeDibImage(alpha, 32));
    TRaster white(1, 1);
    ap.drawOn(white, 0, 0);
    EXPECT_EQ(white.Pixel(0, 0), makeArgb(255, 127, 127));
    // Drawing clips to the canvas.
    TRaster small(1, 1);
    decodeIconImage(makeDibImage(patternPicture(16, 16, 3), 8)).drawOn(small, -8, -8);
}

TEST(IconDecoding, PngImagesDecodeAndBrokenDataGivesNoHandle) {
    TRaster pic = patternPicture(20, 10, 5);
    auto spec = pngSpec(20, 10, 5);
    TIconPicture p = decodeIconImage(spec.data);
    ASSERT_EQ(p.width, 20);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(p.rgbaAt(x, y), pic.Pixel(x, y));
    TBytes broken = spec.data;
    broken.resize(broken.size() / 2);
    EXPECT_THROW(decodeIconImage(broken), EReadError);
    TIconImageHead head;
    TQBIconImage image(head, broken);
    EXPECT_EQ(image.GetHandle(), nullptr);
    auto hi = image.CreateIcon();
    EXPECT_EQ(hi->GetWidth(), TQBHiResIcon::kStandardIconSize);
}

TEST(IconDecoding, BitmapImagesLargerThanAnyIconAreRefused) {
    // A 1-bit bitmap is a few megabytes on disk but hundreds once drawn out.
    const auto dib = [](std::uint32_t side) {
        TByteWriter w;
        for (std::uint32_t v : {40u, side, 2 * side}) w.U32(v);
        w.U16(1);
        w.U16(1);
        for (int i = 0; i < 6; ++i) w.U32(0);
        w.U32(0x00FFFFFF);  // palette: black, white
        TBytes out = w.Take();
        out.resize(out.size() + 2 * std::size_t(dibStride(side, 1)) * side);
        return out;
    };
    EXPECT_EQ(decodeIconImage(dib(bounds::kMaxIconSide)).width, bounds::kMaxIconSide);
    EXPECT_THROW(decodeIconImage(dib(bounds::kMaxIconSide + 1)), EReadError);
}

TEST(HiResIcon, DrawsAtItsOwnSizeFromTheTopLeft) {
    auto icon = iconFrom(makeIcoFile({dibSpec(16, 32)}));
    auto hi = icon->Images().GetImage(0)->CreateIcon();
    EXPECT_EQ(hi->GetWidth(), 16);
    TRaster canvas(40, 40);
    hi->Draw(canvas, TIconRect{4, 4, 40, 40});
    TRaster direct(40, 40);
    icon->Images().GetImage(0)->Draw(direct, 4, 4);
    EXPECT_EQ(canvas, direct);
    EXPECT_EQ(canvas.Pixel(30, 30), kWhite);
}
