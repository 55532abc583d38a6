// The extraction job: walk order, sub-folders, extension filter, repeated names, limits,
// refusal, stop, and trees with things that are not icon files (FIFOs, folders named like
// modules, link loops, damaged modules).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "app/ExtractMaterial.h"
#include "app/core/Options.h"
#include "app/core/FolderWalk.h"
#include "iconlib/IconChoice.h"
#include "iconlib/IconLibrary.h"

using namespace gs;
using namespace gstest;
namespace fs = std::filesystem;

namespace {

using Listing = std::vector<std::string>;

const TJobEnd kDone = TJobEnd::Of(TJobEnd::TKind::Done);
const TJobEnd kStopped = TJobEnd::Of(TJobEnd::TKind::Stopped);
const TJobEnd kLimitReached = TJobEnd::Of(TJobEnd::TKind::Done, kScanLimitReached);
const TJobEnd kRefused = TJobEnd::Of(TJobEnd::TKind::Done, kScanRefused);

TJobEnd scanFolder(const fs::path& folder, const TExtractSettings& s, RecordingSink& sink,
                   std::stop_token stop = {}) {
    TExtractFromFolderThread job(folder, s);
    return job.Execute(sink, stop);
}

TJobEnd scanFile(const fs::path& file, RecordingSink& sink) {
    TExtractFromFileThread job(file, settings());
    return job.Execute(sink, {});
}

void makeFifo(const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }

}  // namespace

TEST(ExtractFolder, ListsEntriesInNameOrderIntoSubfoldersWhenAsked) {
    Tree t;
    t.put("b.ico", oneIcon(2));
    t.put("a.ico", oneIcon(1));
    t.put("A.ico", oneIcon(3));
    t.put("c.exe", peWithGroups(2));
    t.put("a.b.c.dll", peWithGroups(1));
    t.put("Sub/m.dll", peWithGroups(1));
    const Listing top = {"a#0@a.b.c.dll", "A#0@A.ico", "a#0@a.ico", "b#0@b.ico", "c#0@c.exe", "c#1@c.exe"};

    RecordingSink deep;
    EXPECT_EQ(scanFolder(t.path, settings(true), deep), kDone);
    Listing withSub = top;
    withSub.push_back("m#0@m.dll");
    EXPECT_EQ(deep.listing(), withSub);
    EXPECT_EQ(deep.resets, 1);
    EXPECT_TRUE(deep.failures.empty());

    RecordingSink flat;
    EXPECT_EQ(scanFolder(t.path, settings(false), flat), kDone);
    EXPECT_EQ(flat.listing(), top);
}

TEST(ExtractFolder, DefinitionsCarryTheirSourceFlagsAndSmallPictures) {
    Tree t;
    const auto module = t.put("c.exe", peWithGroups(2));
    t.put("big.ico", makeIcoFile({dibSpec(48, 32)}));
    RecordingSink sink;
    scanFolder(t.path, settings(), sink);
    ASSERT_EQ(sink.defs.size(), 3u);
    const TIconDef& big = *sink.defs[0];
    EXPECT_EQ(big.Sizes, kHas48x48);
    EXPECT_EQ(big.Colors, kHas256Colors);  // true colour counts with 256
    const TIconDef& second = *sink.defs[2];
    EXPECT_EQ(second.FileName, module);
    EXPECT_EQ(second.IconIndex, 1);
    EXPECT_EQ(second.Colors, kHas16Colors | kHas256Colors);
    EXPECT_EQ(second.Sizes, kHas16x16 | kHas32x32);
    EXPECT_FALSE(second.Loaded());  // the full icon is read again when needed
    for (const auto& d : sink.defs) {
        ASSERT_FALSE(d->Icon32.Empty() || d->Icon16.Empty()) << d->Name;
        EXPECT_EQ(d->Icon32.Width(), 32);  // the 48-pixel one re-rendered
        EXPECT_EQ(d->Icon16.Width(), 16);
        EXPECT_EQ(d->Icon16.Height(), 16);
    }
}

TEST(ExtractFolder, ReadsOnlyListedExtensionsIgnoringCase) {
    Tree t;
    t.put("X.DLL", peWithGroups(1));
    t.put("readme.txt", oneIcon());
    t.put("noext", oneIcon());
    t.put("trail.", oneIcon());
    t.put(".hidden.ico", oneIcon());
    t.put(".cache/in.ico", oneIcon());

    RecordingSink sink;
    scanFolder(t.path, settings(), sink);
    EXPECT_EQ(sink.listing(), Listing{"X#0@X.DLL"});

    TExtractSettings text = settings();
    text.Extensions = {".TXT"};
    RecordingSink texts;
    scanFolder(t.path, text, texts);
    EXPECT_EQ(texts.listing(), Listing{"readme#0@readme.txt"});

    TExtractSettings none = settings();
    none.Extensions.clear();
    RecordingSink nothing;
    EXPECT_EQ(scanFolder(t.path, none, nothing), kDone);
    EXPECT_TRUE(nothing.defs.empty());
    EXPECT_EQ(nothing.resets, 1);
}

TEST(ExtractFolder, IgnoreRepeatedReadsAFileNameInTheFirstFolderOnly) {
    Tree t;
    t.put("one/setup.exe", peWithGroups(1, 1));
    t.put("two/SETUP.exe", peWithGroups(1, 2));
    t.put("two/other.ico", oneIcon());
    TExtractSettings s = settings();
    s.IgnoreRepeated = true;
    RecordingSink once;
    scanFolder(t.path, s, once);
    EXPECT_EQ(once.listing(), (Listing{"setup#0@setup.exe", "other#0@other.ico"}));
    EXPECT_EQ(once.defs[0]->FileName, t.path / "one/setup.exe");

    RecordingSink both;
    scanFolder(t.path, settings(), both);
    EXPECT_EQ(both.defs.size(), 3u);
}

TEST(ExtractFolder, TheIconLimitEndsTheWholeWalk) {
    Tree t;
    t.put("d1/a.dll", peWithGroups(3));
    t.put("d1/b.dll", peWithGroups(3));
    t.put("d2/c.dll", peWithGroups(3));
    t.put("e.dll", peWithGroups(3));
    TExtractSettings s = settings();
    s.LimitOn = true;
    s.LimitNumber = 7;
    RecordingSink sink;
    EXPECT_EQ(scanFolder(t.path, s, sink), kLimitReached);
    EXPECT_EQ(sink.defs.size(), 7u);
    EXPECT_EQ(sink.listing().back(), "c#0@c.dll");

    // The stored limit is clamped where it is used: 0 means 1.
    TKAVUOptions options;
    options.LimitIcons = true;
    options.LimitNumber = 0;
    RecordingSink one;
    EXPECT_EQ(scanFolder(t.path, TExtractSettings::FromOptions(options), one), kLimitReached);
    EXPECT_EQ(one.defs.size(), 1u);
}

TEST(ExtractFolder, ARefusalEndsTheRunAtThatIconAndAStopAfterTheBatchInHand) {
    Tree t;
    t.put("big.dll", peWithGroups(5));
    t.put("more.dll", peWithGroups(2));

    RecordingSink refusing;
    refusing.refuseAt = 3;
    EXPECT_EQ(scanFolder(t.path, settings(), refusing), kRefused);
    EXPECT_EQ(refusing.defs.size(), 2u);
    EXPECT_EQ(refusing.threads.size(), 1u + 1u);  // reset, the file's batch refused at its third, nothing after

    std::stop_source stop;
    RecordingSink stopping;
    stopping.onAdd = [&](const TIconDef& d) {
        if (d.IconIndex == 1) stop.request_stop();
    };
    EXPECT_EQ(scanFolder(t.path, settings(), stopping, stop.get_token()), kStopped);
    EXPECT_EQ(stopping.defs.size(), 5u);  // big.dll's batch, never more.dll's
    EXPECT_EQ(stopping.batches, 1);
}

TEST(ExtractFolder, ATreeOfTrapsListsEveryGoodIconOnceAndReportsTheDamagedFile) {
    Tree t;
    t.put("a.ico", oneIcon(1));
    fs::create_directory_symlink(".", t.path / "loop");
    t.put("m/n.dll", peWithGroups(2));
    fs::create_directory_symlink("..", t.path / "m/up");
    makeFifo(t.path / "x.exe");
    t.put("y.dll/b.ico", oneIcon(2));
    fs::create_symlink("nowhere.dll", t.path / "dangling.dll");
    const auto damaged = t.put("zz.dll", truncatedModule());
    t.put("zzz.ico", oneIcon(3));  // after the damaged file: the run has ended there

    RecordingSink deep;
    EXPECT_EQ(scanFolder(t.path, settings(true), deep).Subject, damaged.string());
    EXPECT_EQ(deep.listing(), (Listing{"a#0@a.ico", "n#0@n.dll", "n#1@n.dll", "b#0@b.ico"}));
    ASSERT_EQ(deep.failures.size(), 1u);
    EXPECT_EQ(deep.failures[0].first, damaged);
    EXPECT_FALSE(deep.failures[0].second.empty());

    RecordingSink flat;
    EXPECT_EQ(scanFolder(t.path, settings(false), flat).Kind, TJobEnd::TKind::Failed);
    EXPECT_EQ(flat.listing(), Listing{"a#0@a.ico"});
    EXPECT_EQ(flat.failures.size(), 1u);
}

// The walk as find(1) takes a tree: links to folders are not entered (a link to / would walk
// the whole disk, /proc/N/cwd every process's folder), links to icon files are read, and
// nothing that could block or never end is opened. A walk that opened a FIFO would hang
// there: it runs on a thread of its own, and the FIFOs are opened for writing to release it
// when it has not ended well within its bound.
TEST(ExtractFolder, LinksToFoldersAreNotEnteredAndNothingThatBlocksOrNeverEndsIsOpened) {
    Tree outside;
    const auto elsewhere = outside.put("far.ico", oneIcon(9));
    outside.put("deep/farther.ico", oneIcon(8));
    Tree t;
    t.put("a.ico", oneIcon(1));
    t.put("sub/b.ico", oneIcon(2));
    fs::create_directory_symlink("/", t.path / "root");
    fs::create_directory_symlink("/proc/self", t.path / "proc-self");
    fs::create_directory_symlink(outside.path, t.path / "outside");
    fs::create_symlink(elsewhere, t.path / "linked.ico");
    std::vector<fs::path> fifos = {t.path / "f.ico", t.path / "sub/g.exe"};
    for (const fs::path& f : fifos) makeFifo(f);
    fs::create_symlink(fifos[0], t.path / "to-fifo.ico");
    fs::create_symlink("/dev/zero", t.path / "zero.ico");
    fs::create_symlink("/proc/kmsg", t.path / "kmsg.ico");
    fs::create_symlink("/proc/self/environ", t.path / "environ.ico");
    fs::create_symlink("/sys/kernel/notes", t.path / "notes.ico");

    TExtractSettings all = settings(true);
    all.Extensions = {".ico", ".exe", ".dll"};
    RecordingSink sink;
    auto run = std::async(std::launch::async, [&] { return scanFolder(t.path, all, sink); });
    if (run.wait_for(std::chrono::minutes(1)) != std::future_status::ready) {
        ADD_FAILURE() << "the walk blocked on a FIFO";
        for (const fs::path& f : fifos) ::close(::open(f.c_str(), O_WRONLY | O_NONBLOCK));
    }
    EXPECT_EQ(run.get(), kDone);
    EXPECT_EQ(sink.listing(), (Listing{"a#0@a.ico", "linked#0@linked.ico", "b#0@b.ico"}));
    EXPECT_TRUE(sink.failures.empty()) << sink.failures.front().first << ": " << sink.failures.front().second;

    // The chosen folder itself may be a link; a folder of /proc or /sys lists nothing.
    fs::create_directory_symlink(t.path / "sub", outside.path / "chosen");
    RecordingSink chosen;
    EXPECT_EQ(scanFolder(outside.path / "chosen", all, chosen), kDone);
    EXPECT_EQ(chosen.listing(), Listing{"b#0@b.ico"});
    for (const char* pseudo : {"/proc", "/sys"}) {
        RecordingSink none;
        EXPECT_EQ(scanFolder(pseudo, all, none), kDone) << pseudo;
        EXPECT_TRUE(none.defs.empty() && none.failures.empty()) << pseudo;
    }
}

TEST(FolderWalk, EntryKindsAndFoldersKnownByDeviceAndInode) {
    Tree t;
    t.put("f.ico", oneIcon());
    t.dir("d");
    fs::create_directory_symlink(t.path / "d", t.path / "dl");
    fs::create_symlink(t.path / "f.ico", t.path / "fl");
    fs::create_symlink("nowhere", t.path / "dangling");
    makeFifo(t.path / "p");
    const std::pair<const char*, EntryKind> rows[] = {
        {"f.ico", EntryKind::RegularFile}, {"d", EntryKind::Folder},     {"dl", EntryKind::FolderLink},
        {"fl", EntryKind::RegularFile},    {"dangling", EntryKind::Missing}, {"missing", EntryKind::Missing},
        {"p", EntryKind::Other}};
    for (const auto& [name, kind] : rows) EXPECT_EQ(KindOf(t.path / name), kind) << name;
    EXPECT_EQ(KindOf("/dev/null"), EntryKind::Other);
    EXPECT_EQ(KindOf("/proc/self"), EntryKind::FolderLink);
    EXPECT_EQ(KindOf("/proc/1"), EntryKind::Other);  // a folder of /proc is never entered
    EXPECT_TRUE(IsWalkableFolder(t.path / "dl"));
    EXPECT_FALSE(IsWalkableFolder("/proc"));
    EXPECT_FALSE(IsWalkableFolder(t.path / "f.ico"));

    // One folder by three names is entered once; a folder that is not there never.
    TVisitedFolders visited;
    EXPECT_TRUE(visited.Enter(t.path / "d"));
    EXPECT_FALSE(visited.Enter(t.path / "dl"));
    EXPECT_FALSE(visited.Enter(t.path / "d" / "."));
    EXPECT_FALSE(visited.Enter(t.path / "missing"));
    EXPECT_FALSE(visited.Enter(t.path / "f.ico"));
    EXPECT_TRUE(visited.Enter(t.path));
}

TEST(ExtractFolder, A16BitModuleItsReaderRefusesGivesNoIconsAndTheWalkGoesOn) {
    // An NE module whose icon group lies past the end of the file: counted, then refused,
    // and like the desktop the scan shows nothing for it and says nothing.
    const auto image = dibSpec(32, 4);
    TBytes ne = makeNeModule({{0x8003, 0x8001, image.data}, {0x800E, 0x8001, makeGroup({image}, {1})}}, {});
    ne.resize(ne.size() - 10);
    Tree t;
    const auto refused = t.put("a.icl", ne);
    t.put("b.ico", oneIcon());
    ASSERT_GT(GetIconCount(refused), 0);
    TQBIconLibrary probe;
    ASSERT_EQ(probe.LoadFromFile(refused), TLoadResult::Refused);

    RecordingSink sink;
    EXPECT_EQ(scanFolder(t.path, settings(), sink), kDone);
    EXPECT_EQ(sink.listing(), Listing{"b#0@b.ico"});
    EXPECT_TRUE(sink.failures.empty());
}

TEST(ExtractFile, ReadsOneFileAndReportsOneThatCannotBeRead) {
    Tree t;
    RecordingSink module;
    EXPECT_EQ(scanFile(t.put("pic.png", oneIcon()), module), kDone);
    EXPECT_EQ(module.listing(), Listing{"pic#0@pic.png"});  // any extension
    EXPECT_EQ(module.resets, 1);

    makeFifo(t.path / "x.exe");
    // A FIFO, a missing file, a cut module, an icon file cut after its header, and an icon
    // library naming more than its read budget.
    const fs::path unreadable[] = {t.path / "x.exe", t.path / "missing.dll", t.put("cut.dll", truncatedModule()),
                                   t.put("cut.ico", TBytes{0, 0, 1, 0, 1, 0}), t.put("over.icl", makeOverBudgetModule(true))};
    for (const fs::path& bad : unreadable) {
        RecordingSink sink;
        EXPECT_EQ(scanFile(bad, sink).Subject, bad.string()) << bad;
        ASSERT_EQ(sink.failures.size(), 1u) << bad;
        EXPECT_EQ(sink.failures[0].first, bad);
        EXPECT_EQ(sink.resets, 1);
    }
}

namespace {

// Records the size of every batch handed over.
struct BatchSizes : RecordingSink {
    std::vector<std::size_t> sizes;
    int AddIcons(TIconBatch batch) override {
        sizes.push_back(batch.size());
        return RecordingSink::AddIcons(std::move(batch));
    }
};

}  // namespace

TEST(ExtractFolder, FilesReadAtOnceAreHandedOverInTheWalksOrder) {
    // More files than are read at once, spread over sub-folders between the files.
    Tree t;
    Listing expected;
    for (int i = 0; i < 3 * int(TExtractFromFolderThread::kMostReadersAhead); ++i) {
        const std::string name = "f" + std::to_string(10 + i);
        const std::string folder = i % 3 == 1 ? name + "d/" : "";  // walked where its name sorts
        t.put(folder + name + ".dll", peWithGroups(2, unsigned(i)));
        for (int k = 0; k < 2; ++k) expected.push_back(name + "#" + std::to_string(k) + "@" + name + ".dll");
    }
    BatchSizes sink;
    EXPECT_EQ(scanFolder(t.path, settings(true), sink), kDone);
    EXPECT_EQ(sink.listing(), expected);

    // The limit cuts inside a batch: never one icon past it.
    TExtractSettings limited = settings(true);
    limited.LimitOn = true;
    limited.LimitNumber = 3;
    BatchSizes few;
    EXPECT_EQ(scanFolder(t.path, limited, few), kLimitReached);
    EXPECT_EQ(few.listing(), Listing(expected.begin(), expected.begin() + 3));
    EXPECT_EQ(few.sizes, (std::vector<std::size_t>{2, 1}));
}

// A batching case, not a threading one: the big module alone costs a ThreadSanitizer run
// seconds, so its suite is not among those that stage repeats.
TEST(ExtractBatches, AModuleWithMoreIconsThanABatchCarriesComesInTwo) {
    Tree t;
    t.put("a.dll", peWithGroups(2));
    t.put("zbig.dll", peWithGroups(600));
    Listing expected = {"a#0@a.dll", "a#1@a.dll"};
    for (int k = 0; k < 600; ++k) expected.push_back("zbig#" + std::to_string(k) + "@zbig.dll");
    BatchSizes sink;
    EXPECT_EQ(scanFolder(t.path, settings(true), sink), kDone);
    EXPECT_EQ(sink.listing(), expected);
    ASSERT_GE(sink.sizes.size(), 2u);
    EXPECT_EQ(sink.sizes.back() + sink.sizes[sink.sizes.size() - 2], 600u);
    for (std::size_t n : sink.sizes) EXPECT_LE(n, 512u);
}

namespace {

bool samePixels(const TListPicture& a, const TListPicture& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.PixelAt(x, y) != b.PixelAt(x, y)) return false;
    return true;
}

}  // namespace

TEST(ExtractFile, GroupsNamingTheSameImagesShareTheirPicturesAndEachGetsItsOwnOtherwise) {
    // Resource 1 is a 64-pixel PNG (re-rendered for both list sizes), 2 a 16-pixel bitmap, 3
    // a copy of 1's bytes under another id. Groups: {1}, {1, 2}, {1}, {2, 1}, {3}, {1, 2}.
    const ImageSpec large = pngSpec(64, 64, 5), small = dibSpec(16, 4, 9);
    const std::vector<std::pair<std::vector<ImageSpec>, std::vector<std::uint16_t>>> groups = {
        {{large}, {1}}, {{large, small}, {1, 2}}, {{large}, {1}}, {{small, large}, {2, 1}}, {{large}, {3}}, {{large, small}, {1, 2}}};
    std::vector<PeResource> res{{RT_ICON, 1, "", 0x0409, large.data}, {RT_ICON, 2, "", 0x0409, small.data},
                                {RT_ICON, 3, "", 0x0409, large.data}};
    for (std::size_t g = 0; g < groups.size(); ++g)
        res.push_back({RT_GROUP_ICON, std::uint16_t(10 + g), "", 0x0409, makeGroup(groups[g].first, groups[g].second)});
    Tree t;
    const fs::path file = t.put("shared.dll", makePeModule(res));

    RecordingSink sink;
    ASSERT_EQ(scanFile(file, sink), kDone);
    ASSERT_EQ(sink.defs.size(), groups.size());
    // The oracle: each group's pictures made on their own, as for a file of that group alone.
    TQBIconLibrary library;
    ASSERT_EQ(library.Read(file).Result, TLoadResult::Read);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const TQBIcon& icon = *library.Icons.GetIcon(int(g));
        const TIconDef& def = *sink.defs[g];
        EXPECT_TRUE(samePixels(def.Icon32, TListPicture::FromIcon(GetIcon32(icon).get()))) << g;
        EXPECT_TRUE(samePixels(def.Icon16, TListPicture::FromIcon(GetIcon16(icon).get()))) << g;
    }
    EXPECT_EQ(sink.defs[1]->Icon16.Width(), 16);

    // Which groups count as made of the same images: the same data, entries and order.
    TSameImages same;
    const std::vector<std::optional<std::size_t>> expected = {std::nullopt, std::nullopt, 0, std::nullopt,
                                                              std::nullopt, 1};
    for (std::size_t g = 0; g < groups.size(); ++g)
        EXPECT_EQ(same.Seen(*library.Icons.GetIcon(int(g)), g), expected[g]) << g;
}
