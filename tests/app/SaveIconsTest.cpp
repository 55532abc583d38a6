// The save loop and its writers, headless: the replace question's answers, the files each
// format writes as independent tools read them, and what a save that writes nothing leaves.
#include <map>

#include "app/SaveMaterial.h"
#include "framework/core/Exceptions.h"

using namespace gs;
using namespace gstest;
using R = TQBMessageResult;

namespace {

struct Save : SaveMaterial {
    int run(TBatchFormat f, TBatchIconSize s = TBatchIconSize::bsAll) { return SaveSelected(f, s, listed.defs, options, ui); }
};

}  // namespace

TEST(SaveSelected, IconFilesEqualTheirGroupsAsWrestoolExtractsThem) {
    if (!haveCommand("icotool") || !haveCommand("wrestool")) GTEST_SKIP() << "icoutils not installed";
    Save t;
    EXPECT_EQ(t.run(TBatchFormat::bfICO), 3);
    EXPECT_EQ(t.ui.results, std::vector<std::string>{"3 icon(s) saved."});
    EXPECT_EQ(t.ui.browsed, 0);
    for (int g = 1; g <= 3; ++g) {
        const std::string group = t.file("group.ico");
        ASSERT_EQ(runTool("wrestool -x --type=14 --name=" + std::to_string(g) + " " + q(t.module) + " > " + group).status, 0);
        const std::string ours = t.file(std::string(1, char('a' + g - 1)) + ".ico");
        EXPECT_FALSE(iconImages(group).empty());
        EXPECT_EQ(iconImages(ours), iconImages(group)) << ours;
    }
}

TEST(SaveSelected, TheReplaceQuestionDecidesPerFileAndCancelStopsWithTheCount) {
    struct Row {
        const char* existing;  // which of a, b, c exist before
        std::vector<R> answers;
        int saved;
        const char* replaced;  // existing files that were replaced
        std::size_t asked;
        const char* error;
    };
    const Row rows[] = {
        {"abc", {R::mrYes, R::mrNo, R::mrYes}, 2, "ac", 3, nullptr},
        {"abc", {R::mrNoToAll}, 0, "", 1, nullptr},
        {"abc", {R::mrYesToAll}, 3, "abc", 1, nullptr},
        {"abc", {R::mrNo, R::mrYesToAll}, 2, "bc", 2, nullptr},
        {"b", {R::mrNoToAll}, 2, "", 1, nullptr},
        {"abc", {R::mrYes, R::mrCancel}, 1, "a", 2, "Operation cancelled by user. Saved 1 icon(s)."},
        {"a", {R::mrCancel}, 0, "", 1, "Operation cancelled by user. Saved 0 icon(s)."},
    };
    const TBytes old{'o', 'l', 'd'};
    for (const Row& row : rows) {
        Save t;
        const std::string existing = row.existing;
        for (char c : existing) writeFile(t.file(std::string(1, c) + ".ico"), old);
        // A read-only file the user agrees to replace is replaced too.
        std::filesystem::permissions(t.file(std::string(1, existing[0]) + ".ico"), std::filesystem::perms::owner_read);
        t.ui.answers.assign(row.answers.begin(), row.answers.end());
        int saved = -1;
        try {
            saved = t.run(TBatchFormat::bfICO);
            EXPECT_EQ(row.error, nullptr);
            EXPECT_EQ(saved, row.saved);
            EXPECT_EQ(t.ui.results.size(), row.saved > 0 ? 1u : 0u);
        } catch (const EQBException& e) {
            ASSERT_NE(row.error, nullptr) << e.what();
            EXPECT_EQ(std::string(e.what()), row.error);
            EXPECT_EQ(e.Severity(), TQBSeverity::Information);
            EXPECT_TRUE(t.ui.results.empty());
        }
        EXPECT_EQ(t.ui.asked.size(), row.asked) << existing;
        EXPECT_EQ(t.ui.asked.front(), t.file(std::string(1, existing[0]) + ".ico") + " already exists.\rDo you want to replace it?");
        for (char c : existing) {
            const bool replaced = std::string(row.replaced).find(c) != std::string::npos;
            EXPECT_EQ(fileBytes(t.file(std::string(1, c) + ".ico")) != old, replaced) << c << " in row " << existing;
        }
    }
}

TEST(SaveSelected, ImageFormatsAreReadByTheirDecodersAtTheSizeAskedFor) {
    for (const char* tool : {"identify", "tiffinfo", "wmf2svg", "djpeg"})
        if (!haveCommand(tool)) GTEST_SKIP() << tool << " not installed";
    struct Row {
        TBatchFormat format;
        TBatchIconSize size;
        const char* ext;
        std::string check;  // run on each file ({}); its output must hold `want`
        std::string want;
    };
    const Row rows[] = {
        {TBatchFormat::bfBMP, TBatchIconSize::bs16, ".bmp", "identify -format %wx%h {}", "16x16"},
        {TBatchFormat::bfBMP, TBatchIconSize::bsAll, ".bmp", "identify -format %wx%h {}", "52x34"},
        {TBatchFormat::bfJPG, TBatchIconSize::bs48, ".jpg", "djpeg {} >/dev/null && identify -format %Q:%wx%h {}", "90:48x48"},
        {TBatchFormat::bfTIF, TBatchIconSize::bs32, ".tif", "tiffinfo {} | grep -o 'Width: 32 Image Length: 32'", "Width: 32 Image Length: 32"},
        {TBatchFormat::bfWMF, TBatchIconSize::bs32, ".wmf", "wmf2svg -o {}.svg {} && grep -c '<svg' {}.svg", "1"},
        {TBatchFormat::bfGIF, TBatchIconSize::bs32, ".gif", "identify -format %A {}", "True"},
    };
    for (const Row& row : rows) {
        Save t;
        t.options.SetTransparency = true;
        ASSERT_EQ(t.run(row.format, row.size), 3) << row.ext;
        EXPECT_EQ(t.ui.results.front(), row.format == TBatchFormat::bfBMP ? "3 bitmap(s) saved." : "3 image(s) saved.");
        for (const char* name : {"a", "b", "c"}) {
            std::string cmd = row.check;
            const std::string f = q(t.file(name + std::string(row.ext)));
            for (std::size_t at; (at = cmd.find("{}")) != std::string::npos;) cmd.replace(at, 2, f);
            const auto run = runTool(cmd);
            EXPECT_NE(run.out.find(row.want), std::string::npos) << cmd << " gave " << run.out << run.err;
        }
    }
}

TEST(SaveSelected, AnIconThatGivesNothingLeavesTheOldFileAndIsNotCounted) {
    Save t;
    const auto only16 = t.put("16.ico", makeIcoFile({dibSpec(16, 4, 2)}));
    Listed listed(only16, {"a"});
    t.options.SaveAllSizes = false;  // its 32 x 32 images only: it has none
    writeFile(t.file("a.ico"), TBytes{'o', 'l', 'd'});
    t.ui.answers = {R::mrYes};
    EXPECT_EQ(SaveSelected(TBatchFormat::bfICO, TBatchIconSize::bsAll, listed.defs, t.options, t.ui), 0);
    EXPECT_EQ(fileBytes(t.file("a.ico")), (TBytes{'o', 'l', 'd'}));
    EXPECT_TRUE(t.ui.results.empty());
    // Asked for 48 x 48, the icon is re-rendered as a one-image icon at that size.
    t.ui.answers = {R::mrYes};
    EXPECT_EQ(SaveSelected(TBatchFormat::bfICO, TBatchIconSize::bs48, listed.defs, t.options, t.ui), 1);
    EXPECT_EQ(iconImages(q(t.file("a.ico"))), "48x48 32\n");
}

TEST(SaveSelected, TheDestinationComesFromTheOptionTheFolderDialogOrOneDialogPerFile) {
    Save t;
    t.options.DefaultFolder = t.file("missing");
    EXPECT_EQ(t.run(TBatchFormat::bfICO), 0);  // the folder dialog was cancelled
    EXPECT_EQ(t.ui.browsed, 1);
    t.ui.folder = t.out.string() + "/";
    EXPECT_EQ(t.run(TBatchFormat::bfICO), 3);
    EXPECT_TRUE(SafeFileExists(t.file("c.ico")));

    // One dialog per file, even without a default folder; each starts where the last ended,
    // and a cancelled one skips its icon only.
    Save p;
    p.options.PromptForFileName = true;
    p.options.DefaultFolder.clear();
    const auto sub = p.dir("sub");
    p.ui.fileNames = {(sub / "x.ico").string(), std::nullopt, (p.out / "z.ico").string()};
    EXPECT_EQ(p.run(TBatchFormat::bfICO), 2);
    EXPECT_EQ(p.ui.dialogFolders, (std::vector<std::string>{"", sub.string(), sub.string()}));
    EXPECT_TRUE(SafeFileExists(sub / "x.ico"));
    EXPECT_TRUE(SafeFileExists(p.out / "z.ico"));
    EXPECT_EQ(p.ui.browsed, 0);
    EXPECT_THROW(GetSaveTarget(6), EQBException);
    EXPECT_EQ(SaveResultMessage(1, 1), "1 bitmap(s) saved.");
}

namespace {

// Definitions over several files, in the list order given as (file, index), named n0, n1...;
// the reads of each file are counted.
struct ManyFiles : SaveMaterial {
    std::vector<std::unique_ptr<TIconDef>> owned;
    std::vector<TIconDef*> defs;
    std::map<std::string, int> reads;

    explicit ManyFiles(const std::vector<std::pair<std::filesystem::path, int>>& order) {
        for (const auto& [file, index] : order) {
            owned.push_back(std::make_unique<TIconDef>());
            owned.back()->FileName = file;
            owned.back()->IconIndex = index;
            owned.back()->Name = "n" + std::to_string(defs.size());
            defs.push_back(owned.back().get());
        }
    }
    int save(TBatchFormat f, TBatchIconSize s) {
        return SaveSelected(f, s, defs, options, ui, {}, [this](TQBIconLibrary& into, const std::filesystem::path& file) {
            ++reads[file.filename().string()];
            return into.Read(file);
        });
    }
};

}  // namespace

TEST(SaveSelected, ReadsEachSourceFileOnceAndWritesWhatAReadPerIconWrote) {
    Tree files;
    const auto a = files.put("a.dll", peWithGroups(4, 21)), b = files.put("b.dll", peWithGroups(3, 31));
    const auto c = files.put("c.ico", makeIcoFile({dibSpec(16, 4, 41), dibSpec(48, 32, 42)}));
    const std::vector<std::pair<std::filesystem::path, int>> order = {{a, 0}, {b, 0}, {a, 1}, {c, 0},
                                                                      {b, 2}, {a, 3}, {b, 1}, {a, 2}};
    const std::map<std::string, int> once = {{"a.dll", 1}, {"b.dll", 1}, {"c.ico", 1}};
    struct Row {
        TBatchFormat format;
        TBatchIconSize size;
        bool allSizes;
    } rows[] = {
        {TBatchFormat::bfICO, TBatchIconSize::bsAll, true}, {TBatchFormat::bfICO, TBatchIconSize::bsAll, false},
        {TBatchFormat::bfICO, TBatchIconSize::bs48, true},  {TBatchFormat::bfICO, TBatchIconSize::bs16, true},
        {TBatchFormat::bfBMP, TBatchIconSize::bsAll, true}, {TBatchFormat::bfGIF, TBatchIconSize::bs32, true},
    };
    for (const Row& row : rows) {
        ManyFiles t(order);
        t.options.SaveAllSizes = row.allSizes;
        const int saved = t.save(row.format, row.size);
        EXPECT_EQ(t.reads, once);
        // The road before: the file read again for every icon.
        const auto before = t.dir("before");
        const TIconSaveWriter writer(row.allSizes, t.options.SetTransparency);
        const std::string ext = GetSaveTarget(int(row.format)).Extension;
        int written = 0;
        for (std::size_t i = 0; i < order.size(); ++i) {
            TQBIconLibrary library;
            ASSERT_EQ(library.Read(order[i].first).Result, TLoadResult::Read);
            const std::string name = "n" + std::to_string(i) + ext;
            if (!writer.Write(row.format, row.size, *library.Icons.GetIcon(order[i].second), before / name)) continue;
            ++written;
            EXPECT_EQ(fileBytes(t.file(name)), fileBytes((before / name).string())) << name << " " << ext;
        }
        EXPECT_EQ(saved, written) << ext;
        EXPECT_GT(written, 0) << ext;
    }
}

TEST(SaveSelected, AnIndexPastItsFilesEndEndsTheSaveThereWithoutReadingTheFileAgain) {
    Tree files;
    const auto a = files.put("a.dll", peWithGroups(3, 5));
    ManyFiles t({{a, 0}, {a, 1}, {a, 7}, {a, 2}});
    try {
        t.save(TBatchFormat::bfICO, TBatchIconSize::bsAll);
        ADD_FAILURE() << "the save went on past the missing icon";
    } catch (const EQBException& e) {
        EXPECT_EQ(std::string(e.what()), "Error loading icon.");
        EXPECT_EQ(e.Details(), "Invalid icon index.");
    }
    EXPECT_EQ(t.reads, (std::map<std::string, int>{{"a.dll", 1}}));
    EXPECT_TRUE(SafeFileExists(t.file("n1.ico")));
    EXPECT_FALSE(SafeFileExists(t.file("n3.ico")));
    EXPECT_TRUE(t.ui.results.empty());
}
