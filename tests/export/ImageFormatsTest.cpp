// The picture-format table and the one choice of the image an icon writes: every row names
// its format one way, and the batch's and the window's choices agree wherever both write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "export/ExportTestSupport.h"
#include "export/IconExport.h"
#include "export/ImageFormats.h"
#include "platform/ByteWriter.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

using namespace gs;
using F = TBatchFormat;
using S = TBatchIconSize;

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return s;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// An icon of square images of the sizes, each its own pattern.
std::unique_ptr<TQBIcon> iconOf(const std::vector<int>& sizes) {
    std::vector<gstest::ImageSpec> specs;
    for (int s : sizes) specs.push_back(gstest::dibSpec(s, 32, unsigned(s)));
    auto icon = std::make_unique<TQBIcon>();
    if (!specs.empty()) {
        TMemorySource src(gstest::makeIcoFile(specs));
        EXPECT_TRUE(icon->LoadFromSource(src));
    }
    return icon;
}

std::vector<int> sizesOf(const TQBIcon& icon) {
    std::vector<int> sizes;
    for (int i = 0; i < icon.Images().Count(); ++i) sizes.push_back(icon.Images().GetImage(std::uint16_t(i))->Width());
    return sizes;
}

TBytes iconBytes(const TQBIcon& icon) {
    TByteWriter w;
    icon.SaveToStream(w);
    return w.Data();
}

}  // namespace

TEST(ImageFormats, EveryRowNamesItsFormatOneWay) {
    const std::vector<std::pair<F, const char*>> nouns = {{F::bfICO, "icon"},  {F::bfBMP, "bitmap"},
                                                          {F::bfGIF, "image"}, {F::bfJPG, "image"},
                                                          {F::bfWMF, "image"}, {F::bfTIF, "image"}};
    ASSERT_EQ(ImageFormats().size(), nouns.size());
    int optionRows = 0;
    for (const auto& [code, noun] : nouns) {
        const TImageFormat& row = ImageFormatOf(code);
        const std::string word = row.Word;
        SCOPED_TRACE(word);
        EXPECT_EQ(row.Code, code);
        EXPECT_EQ(FindImageFormat(int(code)), &row);
        // The word in any case names the format again.
        EXPECT_EQ(FormatFromWord(word), code);
        EXPECT_EQ(FormatFromWord(lower(word)), code);
        EXPECT_EQ(FormatFromWord(std::string(1, word[0]) + lower(word.substr(1))), code);
        // Extension, dialog default and filter agree with the word.
        EXPECT_EQ(std::string(row.Save.Extension), "." + lower(word));
        EXPECT_EQ(std::string(row.Save.DefaultExt), lower(word));
        EXPECT_EQ(std::string(row.Save.DialogName), "Save" + word);
        EXPECT_NE(std::string(row.Save.Filter).find("*" + std::string(row.Save.Extension)), std::string::npos);
        EXPECT_NE(std::string(row.Save.Filter).find("|*.*"), std::string::npos);
        EXPECT_EQ(std::string(row.Noun), noun);
        // The question and the options name a format by its upper-case pattern.
        EXPECT_EQ(row.ChoiceCaption == nullptr, row.OptionCaption == nullptr);
        if (row.OptionCaption) {
            ++optionRows;
            EXPECT_TRUE(endsWith(row.ChoiceCaption, "(*." + upper(word) + ")"));
            EXPECT_TRUE(endsWith(row.OptionCaption, "(*." + upper(word) + ")"));
            EXPECT_EQ(ImageFormatIndexToCode(row.OptionIndex), code);
        } else {
            EXPECT_EQ(row.OptionIndex, -1);
        }
    }
    EXPECT_EQ(optionRows, 4);
    EXPECT_EQ(ImageChoiceFormats(), (std::vector<F>{F::bfGIF, F::bfJPG, F::bfWMF, F::bfTIF}));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ImageFormatOf(ImageFormatIndexToCode(i)).OptionIndex, i);
}

TEST(ImageFormats, OutsideTheTableNothingIsFound) {
    for (const char* word : {"", "PNG", "JPEG", "BM", "ICOX", " ICO", "TIFF"}) EXPECT_FALSE(FormatFromWord(word)) << word;
    EXPECT_EQ(FindImageFormat(-1), nullptr);
    EXPECT_EQ(FindImageFormat(6), nullptr);
    EXPECT_THROW(ImageFormatOf(F(6)), std::invalid_argument);
    for (int index : {-1, 4, 9, 1000}) EXPECT_EQ(ImageFormatIndexToCode(index), F::bfTIF) << index;
    EXPECT_EQ(StandardIconSize(S::bsAll), 0);
    EXPECT_EQ(StandardIconSize(S::bs48), 48);
    EXPECT_EQ(StandardIconSize(S::bs32), 32);
    EXPECT_EQ(StandardIconSize(S::bs16), 16);
}

// For each icon and size: what the batch (exact sizes only) and the window's saves (missing
// sizes re-rendered) choose; where both choose, they choose the very same image.
TEST(ImageChoice, BatchAndSaveChooseTheSameImageForATableOfIconsAndSizes) {
    struct Row {
        std::vector<int> sizes;
        S size;
        int bitmapSide;              // of the batch's bitmap; 0 none, -1 the preview
        std::vector<int> batchIcon;  // the images of the batch's icon file; empty none
        std::vector<int> saveIcon;   // the images of the save's icon file
    };
    const Row rows[] = {
        {{16, 32, 48}, S::bsAll, -1, {16, 32, 48}, {16, 32, 48}},
        {{16, 32, 48}, S::bs48, 48, {48}, {48}},
        {{16, 32, 48}, S::bs32, 32, {32}, {32}},
        {{16, 32, 48}, S::bs16, 16, {16}, {16}},
        {{32}, S::bsAll, -1, {32}, {32}},
        {{32}, S::bs48, 0, {}, {48}},
        {{32}, S::bs16, 0, {}, {16}},
        {{16, 48}, S::bs32, 0, {}, {32}},
        {{16, 48}, S::bs48, 48, {48}, {48}},
        {{48, 64}, S::bs48, 48, {48, 64}, {48, 64}},  // other sizes stay in a one-size copy
        {{24}, S::bsAll, 0, {24}, {24}},
        {{24}, S::bs32, 0, {}, {32}},
        {{}, S::bsAll, 0, {}, {}},
        {{}, S::bs16, 0, {}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "images " << ::testing::PrintToString(row.sizes) << " size code "
                                          << int(row.size));
        const std::unique_ptr<TQBIcon> icon = iconOf(row.sizes);
        const TImageChoice batch = BatchImageChoice(row.size);
        const TImageChoice save = SaveImageChoice(row.size, true);

        const std::optional<TRaster> batchBitmap = ChooseBitmap(*icon, batch);
        const std::optional<TRaster> saveBitmap = ChooseBitmap(*icon, save);
        EXPECT_EQ(batchBitmap.has_value(), row.bitmapSide != 0);
        if (row.bitmapSide > 0) {
            EXPECT_EQ(batchBitmap->Width(), row.bitmapSide);
            EXPECT_EQ(batchBitmap->Height(), row.bitmapSide);
        }
        // The save re-renders only what the batch would not write at all.
        if (batchBitmap) {
            ASSERT_TRUE(saveBitmap);
            EXPECT_EQ(*saveBitmap, *batchBitmap);
        } else if (row.size != S::bsAll && !row.sizes.empty()) {
            ASSERT_TRUE(saveBitmap);
            EXPECT_EQ(saveBitmap->Width(), StandardIconSize(row.size));
        }

        const std::unique_ptr<TQBIcon> batchIcon = ChooseIcon(*icon, batch);
        const std::unique_ptr<TQBIcon> saveIcon = ChooseIcon(*icon, save);
        EXPECT_EQ(batchIcon ? sizesOf(*batchIcon) : std::vector<int>{}, row.batchIcon);
        EXPECT_EQ(saveIcon ? sizesOf(*saveIcon) : std::vector<int>{}, row.saveIcon);
        if (batchIcon) {
            ASSERT_TRUE(saveIcon);
            EXPECT_EQ(iconBytes(*saveIcon), iconBytes(*batchIcon));
        }
    }
}

TEST(ImageChoice, WithoutAllSizesOnlyThe32IsWrittenAndOnlyAnExactOneAsAnIcon) {
    const std::unique_ptr<TQBIcon> three = iconOf({16, 32, 48});
    const std::unique_ptr<TQBIcon> no32 = iconOf({16, 48});
    const TImageChoice choice = SaveImageChoice(S::bsAll, false);
    EXPECT_EQ(sizesOf(*ChooseIcon(*three, choice)), std::vector<int>{32});
    EXPECT_EQ(ChooseIcon(*no32, choice), nullptr);  // an icon file is never re-rendered here
    const std::optional<TRaster> bitmap = ChooseBitmap(*no32, choice);
    ASSERT_TRUE(bitmap);  // a bitmap is
    EXPECT_EQ(bitmap->Width(), 32);
    EXPECT_EQ(*ChooseBitmap(*three, choice), *ChooseBitmap(*three, BatchImageChoice(S::bs32)));
}

TEST(ImageChoice, EveryFormatWritesItsChoiceWholeOrNothing) {
    gstest::TempDir dir;
    const std::unique_ptr<TQBIcon> icon = iconOf({16, 32});
    const std::vector<std::pair<F, TBytes>> magic = {{F::bfICO, {0, 0, 1, 0}},           {F::bfBMP, {'B', 'M'}},
                                                    {F::bfGIF, {'G', 'I', 'F', '8'}},   {F::bfJPG, {0xFF, 0xD8, 0xFF}},
                                                    {F::bfWMF, {0xD7, 0xCD, 0xC6, 0x9A}}, {F::bfTIF, {'I', 'I', 42, 0}}};
    for (const auto& [format, head] : magic) {
        const TImageFormat& row = ImageFormatOf(format);
        SCOPED_TRACE(row.Word);
        const std::filesystem::path file = dir.path / (std::string("a") + row.Save.Extension);
        EXPECT_TRUE(WriteIconAs(format, *icon, BatchImageChoice(S::bs32), true, file));
        const TBytes bytes = gs::testing::fileBytes(file);
        ASSERT_GE(bytes.size(), head.size());
        EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
        // Nothing to write: the file there stays as it was.
        EXPECT_FALSE(WriteIconAs(format, *icon, BatchImageChoice(S::bs48), true, file));
        EXPECT_EQ(gs::testing::fileBytes(file), bytes);
        if (format != F::bfICO) {
            EXPECT_THROW(SaveBitmapInFormat(F::bfICO, TRaster(2, 2), file), std::invalid_argument);
        }
    }
}

TEST(ImageChoice, AnIconFileIsWrittenFromTheImagesHeldWithoutCopyingThem) {
    // The whole icon, and the one exact size: the chosen icon shares the source's bytes, and
    // the file written from them is the icon file the stream writer makes.
    gstest::TempDir dir;
    const std::unique_ptr<TQBIcon> icon = iconOf({16, 32, 256});
    for (const TImageChoice& choice : {BatchImageChoice(S::bsAll), BatchImageChoice(S::bs32)}) {
        const std::unique_ptr<TQBIcon> chosen = ChooseIcon(*icon, choice);
        ASSERT_TRUE(chosen);
        const TQBIconImage& last = *chosen->Images().GetImage(std::uint16_t(chosen->Images().Count() - 1));
        EXPECT_EQ(last.Width(), 256);  // other sizes than the three standard ones stay
        EXPECT_EQ(&last.Data(), &icon->Images().GetImage(2)->Data());
        const std::filesystem::path file = dir.path / "a.ico";
        ASSERT_TRUE(WriteIconAs(F::bfICO, *icon, choice, true, file));
        EXPECT_EQ(gs::testing::fileBytes(file), iconBytes(*chosen));
    }
}
