// The list commands' decisions without a window: the filter conditions over the three
// fields, the search with Find Next, the checks of a new name and the preview lines.
#include <gtest/gtest.h>

#include "app/core/Filters.h"
#include "app/core/FindRecord.h"
#include "app/core/IconDef.h"
#include "app/core/ListOrder.h"
#include "app/core/ListWork.h"
#include "framework/core/Exceptions.h"
#include "iconlib/Icon.h"
#include "iconlib/IconPicture.h"
#include "platform/ByteSource.h"
#include "support/IconMaker.h"

using namespace gs;
using namespace gstest;

namespace {

std::unique_ptr<TIconDef> def(const std::string& name, const std::string& file, std::uint8_t sizes = 0,
                              std::uint8_t colors = 0) {
    auto d = std::make_unique<TIconDef>();
    d->Name = name;
    d->FileName = file;
    d->Sizes = sizes;
    d->Colors = colors;
    return d;
}

template <class F>
EQBException raised(F body) {
    try {
        body();
    } catch (const EQBException& e) {
        return e;
    }
    ADD_FAILURE() << "no EQBException";
    return EQBException("", "", TQBSeverity::Critical);
}

}  // namespace

TEST(Filters, ConditionTableOverTheThreeFields) {
    const auto shell = def("shell32_4", "/usr/lib/Shell32.DLL", kHas16x16 | kHas48x48, kHas256Colors);
    struct Case {
        int field, condition;
        std::string value;
        bool matches;
    };
    const Case cases[] = {
        {0, 0, "SHELL32_4", true},  {0, 0, "shell", false},      {0, 1, "shell", true},    {0, 1, "Shell32_4", false},
        {0, 2, "ELL3", true},       {0, 2, "", true},            {0, 3, "zip", true},      {0, 3, "32", false},
        {0, 4, "sh", true},         {0, 4, "", true},            {0, 5, "sh", false},      {0, 6, "_4", true},
        {0, 7, "_4", false},        {0, 4, "shell32_4+", false}, {1, 6, ".dll", true},     {1, 6, ".DLL", true},
        {1, 2, "/USR/", true},      {1, 4, "/usr/lib", true},    {1, 7, "dll", false},     {2, 8, "4", true},
        {2, 9, "4", false},         {2, 8, "3", false},          {2, 9, "3", true},        {2, 8, "1", true},
        {2, 8, "0", false},         {2, 8, "2", true},           {2, 8, "5", false},       {2, 9, "5", false},
        {2, 9, "", false},          {2, 8, "44", false},         {2, 0, "4", false},       {0, 8, "4", false},
        {1, 9, "x", false},         {3, 0, "", false},           {0, 10, "", false},
    };
    for (const Case& c : cases) {
        const TFilter f{std::uint8_t(c.field), std::uint8_t(c.condition), c.value};
        EXPECT_EQ(Matches(f, *shell), c.matches) << c.field << " " << c.condition << " '" << c.value << "'";
    }
}

TEST(Filters, ExistsIgnoresValueCaseAndASetAcceptsWhenEveryCriterionDoes) {
    TFilters set;
    set.Items.Add(std::make_unique<TFilter>(TFilter{0, 2, "shell"}));
    EXPECT_TRUE(set.Exists({0, 2, "SHELL"}));
    EXPECT_FALSE(set.Exists({0, 3, "shell"}));
    EXPECT_FALSE(set.Exists({1, 2, "shell"}));
    set.Items.Add(std::make_unique<TFilter>(TFilter{1, 6, ".dll"}));
    const auto clone = set.Clone();
    ASSERT_EQ(clone->Items.Count(), 2);
    EXPECT_EQ(clone->Items[1]->Value, ".dll");
    EXPECT_NE(clone->Items[0], set.Items[0]);
    EXPECT_TRUE(set.Accepts(*def("shell_1", "/a/b.dll")));
    EXPECT_FALSE(set.Accepts(*def("shell_1", "/a/b.exe")));
    EXPECT_FALSE(set.Accepts(*def("moricons_1", "/a/b.dll")));
    EXPECT_TRUE(TFilters().Accepts(*def("x", "y")));
    TIconsList icons;
    for (const char* name : {"shell_1", "other_2", "shell_3"}) icons.Add(def(name, "/x.dll"));
    const auto listed = FilteredDefs(icons, &set);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1]->Name, "shell_3");
    EXPECT_EQ(FilteredDefs(icons, nullptr).size(), 3u);
    EXPECT_STREQ(FilterConditionText(9), "do not include");
    EXPECT_STREQ(ImageKindText(4), "48x48 pixels image");
    EXPECT_STREQ(FilterFieldText(7), "");
}

TEST(FindRecord, HitsAtThreeAndSevenThenNotFoundTwiceUntilANewSearch) {
    std::vector<std::pair<std::string, std::string>> items(10, {"icon", "/usr/share/icons/a.ico"});
    items[3].first = "shell32_4";
    items[7].first = "ShellX_8";
    auto item = [&](int i) { return items[std::size_t(i)]; };
    TFindInfo info;
    info.Text = "SHELL";
    EXPECT_EQ(FindNext(10, item, info), 3);
    EXPECT_EQ(FindNext(10, item, info), 7);
    for (int again = 0; again < 2; ++again) {
        const EQBException e = raised([&] { FindNext(10, item, info); });
        EXPECT_STREQ(e.what(), "Search string 'SHELL' not found.");
        EXPECT_EQ(e.Severity(), TQBSeverity::Information);
        EXPECT_EQ(info.LastIndex, 7);
    }
    info = {0, "Shell", true, -1};
    EXPECT_EQ(FindNext(10, item, info), 7);
    info = {0, "SHELL", true, -1};
    EXPECT_THROW(FindNext(10, item, info), EQBException);
    info = {1, "SHARE/ICONS", false, -1};
    EXPECT_EQ(FindNext(10, item, info), 0);
    info = {0, "share", false, -1};
    EXPECT_THROW(FindNext(10, item, info), EQBException);
    info = {2, "a.ICO", false, 8};
    EXPECT_EQ(FindNext(10, item, info), 9);
    info = {2, "x", false, -1};
    EXPECT_THROW(FindNext(0, item, info), EQBException);
}

TEST(ListWork, ANewNameIsCheckedAgainstEveryDefinitionOfTheListing) {
    TIconsList icons;
    for (const char* name : {"shell_1", "Hidden_2"}) icons.Add(def(name, "/x.dll"));
    struct Case {
        std::string edited;
        std::string result;  // empty: refused
        std::string message;
        TQBSeverity severity;
    };
    const Case cases[] = {
        {"", "shell_1", "", TQBSeverity::Information},
        {"a:b", "", kMsgInvalidIconName, TQBSeverity::Information},
        {"it's", "", kMsgInvalidIconName, TQBSeverity::Information},
        {"SHELL_1", "", "An icon named 'SHELL_1' already exists.", TQBSeverity::Warning},
        {"shell_1", "", "An icon named 'shell_1' already exists.", TQBSeverity::Warning},
        {"hidden_2", "", "An icon named 'hidden_2' already exists.", TQBSeverity::Warning},
        {"floppy", "floppy", "", TQBSeverity::Information},
    };
    for (const Case& c : cases) {
        if (!c.result.empty()) {
            EXPECT_EQ(CheckedIconName(c.edited, "shell_1", &icons), c.result);
            continue;
        }
        const EQBException e = raised([&] { CheckedIconName(c.edited, "shell_1", &icons); });
        EXPECT_EQ(e.what(), c.message) << c.edited;
        EXPECT_EQ(e.Severity(), c.severity) << c.edited;
    }
}

TEST(ListWork, PreviewLinesComeInSizeOrderAndLeaveTheIconAsItIs) {
    const TBytes file = makeIcoFile({dibSpec(48, 8), dibSpec(16, 4), dibSpec(32, 8), dibSpec(32, 1)});
    TQBIcon icon;
    ASSERT_TRUE(icon.LoadFromSource(TMemorySource(file)));
    std::vector<std::string> lines;
    for (const TQBIconImage* image : PreviewImages(icon)) lines.push_back(ImageInfoText(*image));
    EXPECT_EQ(lines, (std::vector<std::string>{"16x16x16", "32x32x2", "32x32x256", "48x48x256"}));
    EXPECT_EQ(icon.Images().GetImage(0)->Width(), 48);
    EXPECT_EQ(icon.Images().GetImage(1)->Width(), 16);
}

// Clicks on the headers (or the Arrange commands) from the default order, each with the order
// and the headers it leaves; and the stored numbers read back, bad ones falling to defaults.
TEST(TListOrder, ArrangingTurnsTheSortedColumnRoundAndAnotherStartsAscending) {
    struct Click {
        int column;
        int sorted;
        bool ascending;
        const char* first;
        const char* second;
    };
    const Click clicks[] = {
        {0, 0, false, "Icon (DESC)", "Original File"}, {0, 0, true, "Icon (ASC)", "Original File"},
        {1, 1, true, "Icon", "Original File (ASC)"},   {1, 1, false, "Icon", "Original File (DESC)"},
        {0, 0, true, "Icon (ASC)", "Original File"},   {1, 1, true, "Icon", "Original File (ASC)"},
    };
    TListOrder order;
    EXPECT_EQ(order.Captions(), (std::array<std::string, 2>{"Icon (ASC)", "Original File"}));
    for (const Click& c : clicks) {
        order.Arrange(c.column);
        EXPECT_EQ(order.Column, c.sorted);
        EXPECT_EQ(order.Ascending, c.ascending);
        EXPECT_EQ(order.Captions(), (std::array<std::string, 2>{c.first, c.second}));
    }
    const struct {
        int column, ascending, sorted;
        bool up;
    } stored[] = {{1, 0, 1, false}, {0, 1, 0, true}, {7, 5, 0, true}, {-1, -1, 0, true}, {1, 1, 1, true}};
    for (const auto& s : stored) {
        const TListOrder back = TListOrder::Stored(s.column, s.ascending);
        EXPECT_EQ(back.Column, s.sorted) << s.column;
        EXPECT_EQ(back.Ascending, s.up) << s.ascending;
    }
}

// The preview's pictures hold kPreviewPixels at most: the lines past it (in preview order,
// the small images first) are blank.
TEST(ListWork, PreviewPicturesStopAtTheirPixelsAndLaterLinesAreBlank) {
    TRaster solid(1024, 1024);
    solid.Fill(makeArgb(1, 2, 3));
    const ImageSpec large{makePngImage(solid), 0, 0, 0, 32};
    const std::uint64_t fitting = (kPreviewPixels - 16 * 16 - 32 * 32) / (1024 * 1024);
    std::vector<ImageSpec> images(std::size_t(fitting + 2), large);
    images.push_back(dibSpec(32, 8));
    images.push_back(dibSpec(16, 4));
    TQBIcon icon;
    ASSERT_TRUE(icon.LoadFromSource(TMemorySource(makeIcoFile(images))));
    const std::vector<TPreviewLine> lines = PreviewLines(icon);
    ASSERT_EQ(lines.size(), images.size());
    std::uint64_t held = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool pictured = i < 2 + fitting;  // the 16, the 32, then the large ones that fit
        EXPECT_EQ(lines[i].Picture != nullptr, pictured) << i;
        if (lines[i].Picture) held += lines[i].Picture->colour.size();
        EXPECT_EQ(lines[i].Text, ImageInfoText(*lines[i].Image));
    }
    EXPECT_EQ(held, 16 * 16 + 32 * 32 + fitting * 1024 * 1024);
    EXPECT_EQ(lines[0].Text, "16x16x16");
}
