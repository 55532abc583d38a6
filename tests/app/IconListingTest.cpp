// The listing's rules without a window: captions, counts, filters, the memory limit, the
// source and the warning a run leaves; and the compact list pictures.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/ExtractMaterial.h"
#include "app/core/IconListing.h"
#include "app/core/ListPicture.h"
#include "iconlib/HiResIcon.h"
#include "iconlib/IconPicture.h"

using namespace gs;
using namespace gstest;

namespace {

TIconBatch batchOf(std::initializer_list<const char*> names, const char* file = "/x/disk.dll") {
    TIconBatch batch;
    int index = 0;
    for (const char* name : names) {
        auto def = std::make_unique<TIconDef>();
        def->Name = name;
        def->FileName = file;
        def->IconIndex = index++;
        batch.push_back(std::move(def));
    }
    return batch;
}

std::vector<std::string> namesOf(const std::vector<TIconDef*>& defs) {
    std::vector<std::string> out;
    for (const TIconDef* d : defs) out.push_back(d->Name);
    return out;
}

std::unique_ptr<TFilters> nameFilter(const std::string& text) {
    auto filters = std::make_unique<TFilters>();
    filters->Items.Add(std::make_unique<TFilter>(TFilter{0, 2, text}));  // icon name contains
    return filters;
}

}  // namespace

TEST(IconListing, CaptionsNumberOnAcrossBatchesAndANewRunStartsAgain) {
    TIconListing l;
    l.BeginRun(std::nullopt);
    EXPECT_EQ(namesOf(l.Accept(batchOf({"disk", "disk"}))), (std::vector<std::string>{"disk_1", "disk_2"}));
    EXPECT_EQ(namesOf(l.Accept(batchOf({"shell"}))), std::vector<std::string>{"shell_3"});
    EXPECT_TRUE(l.Accept({}).empty());
    EXPECT_EQ(l.IconCount(), 3);
    ASSERT_NE(l.Icons(), nullptr);
    EXPECT_EQ(l.Icons()->Count(), 3);
    l.BeginRun(std::nullopt);
    EXPECT_EQ(l.IconCount(), 0);
    EXPECT_EQ(l.Icons()->Count(), 0);
    EXPECT_EQ(namesOf(l.Accept(batchOf({"a"}))), std::vector<std::string>{"a_1"});
    EXPECT_EQ(TIconListing::Caption("lib", 12), "lib_12");
}

TEST(IconListing, FiltersChooseTheShownEntriesAndARunDropsThem) {
    TIconListing l;
    l.BeginRun(std::nullopt);
    l.Accept(batchOf({"disk", "shell", "diskette", "mouse"}));
    l.Filters() = nameFilter("disk");
    EXPECT_EQ(namesOf(l.Refilter()), (std::vector<std::string>{"disk_1", "diskette_3"}));
    EXPECT_TRUE(l.FilterActive());
    EXPECT_EQ(l.IconCount(), 2);
    EXPECT_EQ(l.Icons()->Count(), 4);  // the filtered-out definitions stay
    l.Filters().reset();
    EXPECT_EQ(l.Refilter().size(), 4u);
    EXPECT_FALSE(l.FilterActive());
    l.Filters() = nameFilter("mouse");
    l.Refilter();
    l.BeginRun(std::nullopt);
    EXPECT_FALSE(l.ActiveFilters());
    EXPECT_FALSE(l.FilterActive());
}

TEST(IconListing, RemovingTakesThatVeryDefinitionAndKeepsTheCount) {
    TIconListing l;
    l.BeginRun(std::nullopt);
    const std::vector<TIconDef*> shown = l.Accept(batchOf({"a", "b", "c"}));
    l.Remove(shown[1]);
    TIconDef stranger;
    l.Remove(&stranger);  // never listed: nothing changes
    EXPECT_EQ(l.IconCount(), 2);
    EXPECT_EQ(l.Icons()->Count(), 2);
    EXPECT_EQ(l.Icons()->IndexOf(shown[2]), 1);
    l.RemoveAll();
    EXPECT_EQ(l.IconCount(), 0);
    EXPECT_EQ(l.Icons()->Count(), 0);
}

TEST(IconListing, TheMemoryLimitRefusesAtItsPercentageAndOnlyWhenSet) {
    const struct {
        std::optional<int> limit;
        int load;
        bool ok;
    } cases[] = {{std::nullopt, 100, true}, {60, 59, true}, {60, 60, false}, {60, 99, false}, {1, 0, true}};
    for (const auto& c : cases) {
        TIconListing l;
        l.BeginRun(c.limit);
        EXPECT_EQ(l.MemoryLoadOk(c.load), c.ok) << c.load;
        EXPECT_EQ(l.MemoryLimitReached(), !c.ok) << c.load;
        l.BeginRun(c.limit);
        EXPECT_FALSE(l.MemoryLimitReached());  // each run starts afresh
    }
}

TEST(IconListing, TheSourceIsAFolderOrAFileAndMakesItsJob) {
    TIconListing l;
    EXPECT_FALSE(l.PathSelected());
    EXPECT_EQ(l.MakeJob({}), nullptr);
    l.SelectFolder("/icons");
    EXPECT_EQ(l.SelectedFolder(), "/icons");
    auto folderJob = l.MakeJob({});
    ASSERT_NE(dynamic_cast<TExtractFromFolderThread*>(folderJob.get()), nullptr);
    EXPECT_EQ(static_cast<TExtractFromFolderThread&>(*folderJob).Path, "/icons");
    l.SelectFile("/icons/a.dll");
    EXPECT_TRUE(l.SelectedFolder().empty());
    EXPECT_EQ(l.SelectedFile(), "/icons/a.dll");
    EXPECT_NE(dynamic_cast<TExtractFromFileThread*>(l.MakeJob({}).get()), nullptr);
    l.ClearSource();
    EXPECT_FALSE(l.PathSelected());
}

TEST(IconListing, ARunLeavesAWarningOnceForFailedFilesOrABreakOff) {
    using K = TJobEnd::TKind;
    const struct {
        TJobEnd end;
        std::vector<std::string> failed;
        std::optional<std::string> message;
        std::string details;
    } cases[] = {
        {TJobEnd::Of(K::Done), {}, std::nullopt, ""},
        {TJobEnd::Of(K::Stopped), {}, std::nullopt, ""},
        {TJobEnd::Failure("/a/x.dll", "bad"), {"/a/x.dll"}, "The icons of '/a/x.dll' could not be read.", "/a/x.dll: bad"},
        {TJobEnd::Of(K::Done), {"/a/x.dll", "/a/y.dll"}, "The icons of 2 files could not be read.",
         "/a/x.dll: bad\n/a/y.dll: bad"},
        {TJobEnd::Of(K::Failed, "out of memory"), {}, "The extraction stopped before its end.", "out of memory"},
        {TJobEnd::Of(K::Failed, "out of memory"), {"/a/x.dll"}, "The extraction stopped before its end.",
         "out of memory\n/a/x.dll: bad"},
        // A reason comes only with a break-off.
        {TJobEnd::Of(K::Stopped, "ignored"), {"/a/x.dll"}, "The icons of '/a/x.dll' could not be read.", "/a/x.dll: bad"},
    };
    for (const auto& c : cases) {
        TIconListing l;
        l.BeginRun(std::nullopt);
        for (const std::string& f : c.failed) l.FileFailed(f, "bad");
        EXPECT_EQ(l.Failures().size(), c.failed.size());
        l.EndRun(c.end);
        EXPECT_EQ(l.LastEnd(), c.end);
        const std::optional<TRunWarning> w = l.TakeRunWarning();
        ASSERT_EQ(w.has_value(), c.message.has_value()) << int(c.end.Kind) << c.end.Reason;
        if (w) {
            EXPECT_EQ(w->Message, *c.message);
            EXPECT_EQ(w->Details, c.details);
        }
        EXPECT_FALSE(l.TakeRunWarning().has_value());  // once
    }
}

TEST(ListPicture, KeepsEveryPixelThroughAPaletteOrWholePastIt) {
    // Pictures of 1 to 400 colours, with and without a mask: what comes back is what a viewer
    // of the picture sees, pixel for pixel.
    for (int colours : {1, 2, 255, 256, 257, 400}) {
        for (bool alpha : {false, true}) {
            TIconPicture p;
            p.width = 24;
            p.height = 20;
            p.hasAlpha = alpha;
            for (int i = 0; i < p.width * p.height; ++i) {
                const int c = i % colours;
                p.colour.push_back(makeArgb(std::uint8_t(c), std::uint8_t(c >> 8), 7, alpha ? std::uint8_t(c * 3) : 0));
                p.mask.push_back(std::uint8_t(i % 5 == 0));
            }
            std::set<Argb> seen;
            for (int y = 0; y < p.height; ++y)
                for (int x = 0; x < p.width; ++x) seen.insert(p.rgbaAt(x, y));
            const TListPicture kept(p);
            ASSERT_EQ(kept.Width(), 24);
            ASSERT_EQ(kept.Height(), 20);
            EXPECT_EQ(kept.Indexed(), seen.size() <= 256) << colours << " " << alpha;
            std::vector<Argb> row(24);
            for (int y = 0; y < p.height; ++y) {
                kept.ExpandRow(y, row.data());
                for (int x = 0; x < p.width; ++x) {
                    ASSERT_EQ(row[std::size_t(x)], p.rgbaAt(x, y)) << colours << " at " << x << "," << y;
                    ASSERT_EQ(kept.PixelAt(x, y), p.rgbaAt(x, y));
                }
            }
            if (kept.Indexed()) {
                EXPECT_LT(kept.HeapBytes(), std::size_t(24 * 20 * 4));
            }
        }
    }
}

TEST(ListPicture, ABrokenOrMissingPictureIsEmpty) {
    TIconPicture cut;
    cut.width = 32;
    cut.height = 32;
    cut.colour.resize(100);  // fewer pixels than its size says
    cut.mask.resize(1024);
    EXPECT_TRUE(TListPicture(cut).Empty());
    TIconPicture noMask = cut;
    noMask.colour.resize(1024);
    noMask.mask.clear();
    EXPECT_TRUE(TListPicture(noMask).Empty());
    noMask.hasAlpha = true;  // alpha needs no mask
    EXPECT_FALSE(TListPicture(noMask).Empty());
    EXPECT_TRUE(TListPicture::FromIcon(nullptr).Empty());
    EXPECT_TRUE(TListPicture::FromIcon(std::make_unique<TQBHiResIcon>().get()).Empty());
    const TListPicture empty;
    EXPECT_EQ(empty.PixelAt(0, 0), 0u);
    EXPECT_EQ(TListPicture(noMask).PixelAt(-1, 40), 0u);
}

namespace {

// Writes down what the listing tells, one line a notification: "reset a_1 b_2", "insert c_3",
// "remove b_2", "change x".
struct TRecorder : IListingObserver {
    std::vector<std::string> log;
    static std::string joined(const char* what, const std::vector<TIconDef*>& defs) {
        std::string line = what;
        for (const TIconDef* d : defs) line += " " + d->Name;
        return line;
    }
    void Reset(const std::vector<TIconDef*>& shown) override { log.push_back(joined("reset", shown)); }
    void RowsInserted(const std::vector<TIconDef*>& defs) override { log.push_back(joined("insert", defs)); }
    void RowRemoved(const TIconDef* def) override { log.push_back("remove " + def->Name); }
    void RowChanged(const TIconDef* def) override { log.push_back("change " + def->Name); }
};

}  // namespace

// Every change of what is listed reaches the view, in order, and only once: a run starts on
// one reset, and emptying what is already empty tells nothing.
TEST(IconListing, TheViewIsToldEveryChangeOnce) {
    using Log = std::vector<std::string>;
    struct Step {
        const char* what;
        std::function<void(TIconListing&, std::vector<TIconDef*>&)> act;
        Log told;
    };
    TIconDef stranger;
    const std::vector<Step> steps{
        {"a run over nothing", [](TIconListing& l, auto&) { l.BeginRun(std::nullopt); }, {"reset"}},
        {"a batch", [](TIconListing& l, auto& s) { s = l.Accept(batchOf({"a", "b", "a"})); }, {"insert a_1 b_2 a_3"}},
        {"an empty batch", [](TIconListing& l, auto&) { l.Accept({}); }, {}},
        {"a filter", [](TIconListing& l, auto&) { l.Filters() = nameFilter("a_"); l.Refilter(); }, {"reset a_1 a_3"}},
        {"a rename", [](TIconListing& l, auto& s) { l.Rename(s[2], "x"); }, {"change x"}},
        {"a removal", [](TIconListing& l, auto& s) { l.Remove(s[0]); }, {"remove a_1"}},
        {"a stranger's removal", [&](TIconListing& l, auto&) { l.Remove(&stranger); }, {}},
        {"no filter", [](TIconListing& l, auto&) { l.Filters().reset(); l.Refilter(); }, {"reset b_2 x"}},
        {"closing the listing", [](TIconListing& l, auto&) { l.Clear(); l.Clear(); }, {"reset"}},
        {"a second run", [](TIconListing& l, auto&) { l.BeginRun(std::nullopt); l.Accept(batchOf({"c"})); },
         {"reset", "insert c_1"}},
        {"removing all", [](TIconListing& l, auto&) { l.Accept(batchOf({"d"})); l.RemoveAll(); l.RemoveAll(); },
         {"insert d_2", "reset"}},
    };
    TIconListing l;
    TRecorder view;
    l.SetObserver(&view);
    std::vector<TIconDef*> shown;
    for (const Step& step : steps) {
        view.log.clear();
        step.act(l, shown);
        EXPECT_EQ(view.log, step.told) << step.what;
    }
}

namespace {

// The 24 bytes of a PNG that say its size: enough for whatever reads only the header.
TBytes pngHeader(std::uint32_t side) {
    TBytes b{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (int i = 0; i < 8; ++i) b.push_back(std::uint8_t(side >> (24 - 8 * (i % 4))));  // width, height
    return b;
}

std::unique_ptr<TQBIcon> iconOf(const std::vector<std::pair<int, TBytes>>& images) {
    auto icon = std::make_unique<TQBIcon>();
    for (const auto& [side, data] : images) {
        TIconImageHead head;
        head.Width = head.Height = side;
        head.BitCount = 32;
        icon->Images().Add(std::make_unique<TQBIconImage>(head, data));
    }
    return icon;
}

}  // namespace

// What a list picture costs is the pixels it decodes: the exact image of each list size, or
// the largest image the icon would be scaled from; images larger than any icon are never
// decoded. A file's budget is its floor, or its rate per byte for larger files.
TEST(ListDecodeBudget, CountsThePixelsTheListPicturesDecodeAndStopsAtTheFilesShare) {
    const std::uint64_t large = 1024 * 1024;
    const struct {
        std::vector<std::pair<int, TBytes>> images;
        std::uint64_t cost;
    } cases[] = {
        {{{1024, pngHeader(1024)}}, 2 * large},
        {{{1024, pngHeader(1024)}, {32, dibSpec(32, 8).data}, {16, dibSpec(16, 4).data}}, 32 * 32 + 16 * 16},
        {{{1024, pngHeader(1024)}, {32, dibSpec(32, 8).data}}, 32 * 32 + large},
        {{{48, dibSpec(48, 8).data}, {24, dibSpec(24, 8).data}}, 2 * 48 * 48},
        {{{256, pngHeader(4096)}}, 0},
        {{}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(TListDecodeBudget::CostOf(*iconOf(c.images)), c.cost) << &c - cases;

    const auto one = iconOf({{1024, pngHeader(1024)}});
    const auto cheap = iconOf({{32, dibSpec(32, 8).data}, {16, dibSpec(16, 4).data}});
    for (const std::uint64_t fileSize : {std::uint64_t(0), std::uint64_t(1) << 20, std::uint64_t(8) << 20}) {
        TListDecodeBudget budget(fileSize);
        const std::uint64_t limit = std::max(TListDecodeBudget::kFloorPixels, fileSize * TListDecodeBudget::kPixelsPerFileByte);
        EXPECT_TRUE(budget.Take(*cheap));
        int made = 0;
        while (budget.Take(*one)) ++made;
        const std::uint64_t afterCheap = limit - (32 * 32 + 16 * 16);
        EXPECT_EQ(std::uint64_t(made), afterCheap / (2 * large)) << fileSize;
        EXPECT_EQ(budget.Left(), afterCheap % (2 * large)) << fileSize;
        EXPECT_TRUE(budget.Take(*cheap)) << "what is left still makes small pictures";
    }
}

// Past the budget, icons are listed with their flags but without pictures; before it, and
// for the groups sharing an image already decoded, as ever.
TEST(ListDecodeBudget, IconsPastTheFilesShareAreListedWithoutPictures) {
    // 12 groups, each naming its own copy of one 1024-pixel PNG (2 million pixels each for
    // the two list sizes), then one group naming the first copy again.
    TRaster solid(1024, 1024);
    solid.Fill(makeArgb(10, 20, 30));
    const ImageSpec png{makePngImage(solid), 0, 0, 0, 32};
    std::vector<PeResource> res;
    constexpr int kGroups = 12;
    for (int g = 0; g < kGroups; ++g) {
        res.push_back({RT_ICON, std::uint16_t(1 + g), "", 0x0409, png.data});
        res.push_back({RT_GROUP_ICON, std::uint16_t(100 + g), "", 0x0409, makeGroup({png}, {std::uint16_t(1 + g)})});
    }
    res.push_back({RT_GROUP_ICON, std::uint16_t(100 + kGroups), "", 0x0409, makeGroup({png}, {1})});
    Tree t;
    const auto file = t.put("copies.dll", makePeModule(res));
    ASSERT_LT(std::filesystem::file_size(file) * TListDecodeBudget::kPixelsPerFileByte, TListDecodeBudget::kFloorPixels);

    RecordingSink sink;
    TExtractFromFileThread job(file, settings());
    ASSERT_EQ(job.Execute(sink, {}).Kind, TJobEnd::TKind::Done);
    ASSERT_EQ(sink.defs.size(), std::size_t(kGroups + 1));
    const std::size_t pictured = TListDecodeBudget::kFloorPixels / (2 * 1024 * 1024);
    for (std::size_t i = 0; i < sink.defs.size(); ++i) {
        const bool expected = i < pictured || i == std::size_t(kGroups);
        EXPECT_EQ(!sink.defs[i]->Icon32.Empty(), expected) << i;
        EXPECT_EQ(!sink.defs[i]->Icon16.Empty(), expected) << i;
        EXPECT_EQ(sink.defs[i]->IconIndex, int(i));
    }
    EXPECT_EQ(sink.defs[kGroups]->Icon32.PixelAt(5, 5), makeArgb(10, 20, 30));
}
