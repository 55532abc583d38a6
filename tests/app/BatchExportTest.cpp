// The batch export over modules and icon files made here: formats and sizes, names,
// counters, what a failure does and how the outcome is told.
#include <gtest/gtest.h>

#include <csignal>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/core/BatchExport.h"
#include "app/core/SaveIcons.h"
#include "iconlib/IconLibrary.h"
#include "platform/Bmp.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

using namespace gs;
using namespace gstest;
namespace fs = std::filesystem;

namespace {

using Group = std::vector<ImageSpec>;

// A PE module holding the groups in order, each image its own icon resource.
TBytes moduleOf(const std::vector<Group>& groups, bool pe32Plus = false) {
    std::vector<PeResource> res;
    std::uint16_t nextId = 1;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        std::vector<std::uint16_t> ids;
        for (const ImageSpec& s : groups[g]) {
            res.push_back({RT_ICON, nextId, "", 0x0409, s.data});
            ids.push_back(nextId++);
        }
        res.push_back({RT_GROUP_ICON, std::uint16_t(g + 1), "", 0x0409, makeGroup(groups[g], ids)});
    }
    return makePeModule(res, pe32Plus);
}

Group standardGroup(unsigned seed) { return {dibSpec(16, 4, seed), dibSpec(32, 8, seed + 1), dibSpec(48, 32, seed + 2)}; }

std::vector<TBytes> imageDataOf(const TQBIcon& icon) {
    std::vector<TBytes> data;
    for (std::uint16_t i = 0; i < icon.Images().Count(); ++i) data.push_back(icon.Images().GetImage(i)->Data());
    return data;
}

std::vector<TBytes> imageDataOf(const Group& group) {
    std::vector<TBytes> data;
    for (const ImageSpec& s : group) data.push_back(s.data);
    return data;
}

std::vector<std::pair<int, int>> sizesIn(const fs::path& icoFile) {
    TQBIcon icon;
    EXPECT_TRUE(icon.LoadFromFile(icoFile)) << icoFile;
    std::vector<std::pair<int, int>> sizes;
    for (std::uint16_t i = 0; i < icon.Images().Count(); ++i)
        sizes.emplace_back(icon.Images().GetImage(i)->Width(), icon.Images().GetImage(i)->Height());
    return sizes;
}

TBytes headOf(const fs::path& file, std::size_t n) {
    std::ifstream in(file, std::ios::binary);
    TBytes b(n);
    in.read(reinterpret_cast<char*>(b.data()), std::streamsize(n));
    b.resize(std::size_t(in.gcount()));
    return b;
}

struct RecordingBoxes : IMessageBoxes {
    struct Call {
        std::string box, msg, details, caption;
        std::uint8_t type;
    };
    std::vector<Call> calls;
    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string& caption, std::uint8_t type,
                                   std::uint8_t, std::uint16_t, std::uint8_t, const std::string&) override {
        calls.push_back({"message", msg, "", caption, type});
        return TQBMessageResult::mrOK;
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string& caption,
                              std::uint8_t type, std::uint8_t, const std::string&, bool) override {
        calls.push_back({"details", msg, details, caption, type});
    }
};

TQBApplication testDescriptor() {
    TQBApplication app;
    app.ProductName = "Glyphscope";
    app.Title = "Veltrazone Glyphscope";
    app.LanguageId = 1;
    app.FontName = "Tahoma";
    return app;
}

// Asks to stop from the n-th time it is asked on.
struct StoppingObserver : IBatchObserver {
    int stopAt;
    mutable int calls = 0;
    std::vector<std::string> files;
    explicit StoppingObserver(int n) : stopAt(n) {}
    void ShowCurrentFile(const std::string& p) override { files.push_back(p); }
    void ShowFound(int) override {}
    void ShowSaved(int) override {}
    bool StopRequested() const override { return ++calls >= stopAt; }
};

class BatchExportTest : public ::testing::Test {
protected:
    TempDir src, out;

    void put(const std::string& name, const TBytes& data) { writeFile(src / name, data); }

    TBatchJob job(const std::string& pattern, TBatchFormat format = TBatchFormat::bfICO,
                  TBatchIconSize size = TBatchIconSize::bsAll) const {
        TBatchJob j;
        j.FileSpec = src / pattern;
        j.TargetDir = out.path.string();
        j.Format = format;
        j.IconSize = size;
        j.Silent = true;
        return j;
    }

    static TBatchResult run(const TBatchJob& j) {
        TSilentBatchObserver silent;
        return TBatchExport(j, silent).ExtractFiles();
    }

    std::vector<std::string> outputs() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(out.path)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

}  // namespace

TEST_F(BatchExportTest, IconFilesHoldEachGroupWholeForPe32AndPe32Plus) {
    const std::vector<Group> groups = {standardGroup(1), {dibSpec(32, 4, 7)}, {dibSpec(24, 8, 9), pngSpec(256, 256, 3)}};
    put("lib32.dll", moduleOf(groups, false));
    put("lib64.b.dll", moduleOf(groups, true));
    put("single.ico", makeIcoFile(standardGroup(20)));

    const TBatchResult outcome = run(job("*.*"));
    EXPECT_FALSE(outcome.End.Failed());
    EXPECT_EQ(outcome.FoundTotal, 7);
    EXPECT_EQ(outcome.SavedTotal, 7);
    // Base names are cut at the first dot; numbers count from 1 in each source file.
    EXPECT_EQ(outputs(), (std::vector<std::string>{"lib32_1.ico", "lib32_2.ico", "lib32_3.ico", "lib64_1.ico",
                                                   "lib64_2.ico", "lib64_3.ico", "single_1.ico"}));
    for (const char* base : {"lib32", "lib64"}) {
        for (std::size_t k = 0; k < groups.size(); ++k) {
            TQBIcon written;
            ASSERT_TRUE(written.LoadFromFile(out.path / (std::string(base) + "_" + std::to_string(k + 1) + ".ico")));
            EXPECT_EQ(imageDataOf(written), imageDataOf(groups[k])) << base << " group " << k + 1;
        }
    }
    EXPECT_EQ(BatchResultMessage(TBatchFormat::bfICO, outcome.FoundTotal, outcome.SavedTotal), "7 icon(s) saved.");
}

TEST_F(BatchExportTest, OneSizeIconsDropOnlyTheOtherTwoStandardSizes) {
    put("m.dll", moduleOf({{dibSpec(16, 4, 1), dibSpec(32, 8, 2), dibSpec(48, 32, 3), dibSpec(24, 8, 4)},
                           {dibSpec(16, 4, 5), dibSpec(32, 4, 6)}}));
    TBatchResult o48 = run(job("m.dll", TBatchFormat::bfICO, TBatchIconSize::bs48));
    EXPECT_EQ(o48.FoundTotal, 2);
    EXPECT_EQ(o48.SavedTotal, 1);
    EXPECT_EQ(outputs(), std::vector<std::string>{"m_1.ico"});
    EXPECT_EQ(sizesIn(out.path / "m_1.ico"), (std::vector<std::pair<int, int>>{{48, 48}, {24, 24}}));

    TBatchResult o16 = run(job("m.dll", TBatchFormat::bfICO, TBatchIconSize::bs16));
    EXPECT_EQ(o16.SavedTotal, 2);
    EXPECT_EQ(sizesIn(out.path / "m_1.ico"), (std::vector<std::pair<int, int>>{{16, 16}, {24, 24}}));
    EXPECT_EQ(sizesIn(out.path / "m_2.ico"), (std::vector<std::pair<int, int>>{{16, 16}}));

    fs::remove_all(out.path / "m_1.ico");
    fs::remove_all(out.path / "m_2.ico");
    put("m.dll", moduleOf({{dibSpec(24, 8, 4)}}));
    const TBatchResult none = run(job("m.dll", TBatchFormat::bfICO, TBatchIconSize::bs32));
    EXPECT_EQ(none.FoundTotal, 1);
    EXPECT_EQ(none.SavedTotal, 0);
    EXPECT_TRUE(outputs().empty());
    EXPECT_EQ(BatchResultMessage(TBatchFormat::bfICO, none.FoundTotal, none.SavedTotal), "No icons saved.");
}

TEST_F(BatchExportTest, BitmapFormatsWriteThePreviewOrTheExactSize) {
    put("a.exe", moduleOf({standardGroup(1), {dibSpec(48, 8, 4)}}));
    struct Case {
        TBatchFormat format;
        TBytes magic;
    };
    const std::vector<Case> cases = {{TBatchFormat::bfBMP, {'B', 'M'}},
                                     {TBatchFormat::bfGIF, {'G', 'I', 'F', '8'}},
                                     {TBatchFormat::bfJPG, {0xFF, 0xD8, 0xFF}},
                                     {TBatchFormat::bfWMF, {0xD7, 0xCD, 0xC6, 0x9A}},
                                     {TBatchFormat::bfTIF, {'I', 'I', 42, 0}}};
    for (const Case& c : cases) {
        const std::string ext = BatchFormatExtension(c.format);
        const TBatchResult all = run(job("a.exe", c.format));
        EXPECT_EQ(all.SavedTotal, 2) << ext;
        EXPECT_EQ(headOf(out.path / ("a_1" + ext), c.magic.size()), c.magic) << ext;
        // Only the first icon has a 16 x 16 image.
        fs::remove(out.path / ("a_2" + ext));
        const TBatchResult one = run(job("a.exe", c.format, TBatchIconSize::bs16));
        EXPECT_EQ(one.FoundTotal, 2) << ext;
        EXPECT_EQ(one.SavedTotal, 1) << ext;
        EXPECT_FALSE(fs::exists(out.path / ("a_2" + ext))) << ext;
    }
    EXPECT_EQ(BatchResultMessage(TBatchFormat::bfBMP, 2, 1), "1 bitmap(s) saved.");
    EXPECT_EQ(BatchResultMessage(TBatchFormat::bfBMP, 2, 0), "No bitmaps saved.");
    EXPECT_EQ(BatchResultMessage(TBatchFormat::bfTIF, 2, 1), "1 image(s) saved.");
    EXPECT_EQ(BatchResultMessage(TBatchFormat::bfJPG, 2, 0), "No images saved.");
    EXPECT_EQ(BatchResultMessage(TBatchFormat::bfGIF, 0, 0), "No icons found.");
    // The preview holds 16, 32 and 48 side by side; one size is that size alone.
    run(job("a.exe", TBatchFormat::bfBMP));
    const TRaster preview = loadBmp(out.path / "a_1.bmp");
    EXPECT_EQ(preview.Width(), 102);
    EXPECT_EQ(preview.Height(), 50);
    run(job("a.exe", TBatchFormat::bfBMP, TBatchIconSize::bs32));
    EXPECT_EQ(loadBmp(out.path / "a_1.bmp").Width(), 32);
}

TEST_F(BatchExportTest, AnIconWithoutImagesIsFoundButNotSaved) {
    // The group names icon resources the module does not hold.
    put("empty.dll", makePeModule({{RT_GROUP_ICON, 1, "", 0x0409, makeGroup({dibSpec(32, 8)}, {99})},
                                   {RT_ICON, 5, "", 0x0409, dibSpec(16, 4).data}}));
    const TBatchResult outcome = run(job("empty.dll"));
    EXPECT_FALSE(outcome.End.Failed());
    EXPECT_EQ(outcome.FoundTotal, 1);
    EXPECT_EQ(outcome.SavedTotal, 0);
    EXPECT_TRUE(outputs().empty());
}

TEST_F(BatchExportTest, ADamagedFileEndsTheBatchInATreeOfOddEntries) {
    put("a.dll", moduleOf({standardGroup(1), standardGroup(4)}));
    TBytes damaged = moduleOf({standardGroup(7), standardGroup(9)}, true);
    damaged.resize(damaged.size() - 300);
    put("m_damaged.dll", damaged);
    put("z.dll", moduleOf({standardGroup(11)}));
    ASSERT_EQ(::mkfifo((src.path / "x.exe").c_str(), 0600), 0);
    fs::create_directory(src.path / "y.dll");
    fs::create_directory_symlink(src.path, src.path / "loop.dll");

    const TBatchResult outcome = run(job("*.*"));
    ASSERT_TRUE(outcome.End.Failed());
    EXPECT_EQ(outcome.End.Subject, src / "m_damaged.dll");
    EXPECT_FALSE(outcome.End.Reason.empty());
    EXPECT_EQ(outcome.FoundTotal, 2);
    EXPECT_EQ(outcome.SavedTotal, 2);
    EXPECT_EQ(outputs(), (std::vector<std::string>{"a_1.ico", "a_2.ico"}));
}

TEST_F(BatchExportTest, A16BitModuleItsReaderRefusesHoldsNoIconsAndTheBatchGoesOn) {
    // Its icon group lies beyond its end: like the desktop, the batch finds nothing there.
    const auto image = dibSpec(32, 4);
    TBytes ne = makeNeModule({{0x8003, 0x8001, image.data}, {0x800E, 0x8001, makeGroup({image}, {1})}}, {});
    ne.resize(ne.size() - 10);
    put("a.dll", moduleOf({standardGroup(1)}));
    put("b.exe", ne);
    put("c.dll", moduleOf({standardGroup(4)}));
    const TBatchResult outcome = run(job("*.*"));
    EXPECT_FALSE(outcome.End.Failed());
    EXPECT_EQ(outcome.FoundTotal, 2);
    EXPECT_EQ(outputs(), (std::vector<std::string>{"a_1.ico", "c_1.ico"}));
}

TEST_F(BatchExportTest, AFileNoReaderCanReadEndsTheBatchWhateverItsKindSayingWhy) {
    // An icon file cut after its header, and modules of each kind naming more than their
    // read budget: each ends the batch as an unreadable file does, with the reader's reason
    // in the details box and status 1.
    const std::pair<std::string, TBytes> cases[] = {{"m.ico", {0, 0, 1, 0, 1, 0}},
                                                    {"m.dll", makeOverBudgetModule(false)},
                                                    {"m.exe", makeOverBudgetModule(true)},
                                                    {"m.icl", makeOverBudgetModule(true)}};
    for (const auto& [name, data] : cases) {
        put("a.dll", moduleOf({standardGroup(1)}));
        put(name, data);
        put("z.dll", moduleOf({standardGroup(4)}));
        TQBIconLibrary library;
        const TIconsRead read = library.Read(src / name);
        ASSERT_EQ(read.Result, TLoadResult::Failed) << name;

        TSilentBatchObserver silent;
        RecordingBoxes boxes;
        std::ostringstream err;
        EXPECT_EQ(RunBatch(job("*.*"), silent, boxes, testDescriptor(), err), 1) << name;
        ASSERT_EQ(boxes.calls.size(), 1u) << name;
        EXPECT_EQ(boxes.calls[0].details, src / name + ": " + read.Reason);
        EXPECT_EQ(outputs(), std::vector<std::string>{"a_1.ico"}) << name;
        fs::remove(src / name);
        fs::remove(out.path / "a_1.ico");
    }
}

TEST_F(BatchExportTest, WhatOneFileWritesIsBoundedAndTheFilesWrittenStayWhole) {
    const std::pair<std::uint64_t, std::uint64_t> limits[] = {
        {0, TOutputBudget::kFloor}, {1 << 20, TOutputBudget::kFloor}, {8 << 20, 256 << 20}, {UINT64_MAX, UINT64_MAX}};
    for (auto [size, limit] : limits) EXPECT_EQ(TOutputBudget::LimitFor(size), limit) << size;

    // Eighty groups naming one 1 MB image and one 48 x 48: each icon file is within the
    // module's size, all of them past what one file may write. The file that passes the
    // bound is the last written.
    const ImageSpec image = dibSpec(512, 32), small = dibSpec(48, 8);
    std::vector<PeResource> res{{RT_ICON, 1, "", 0x0409, image.data}, {RT_ICON, 2, "", 0x0409, small.data}};
    for (int g = 0; g < 80; ++g)
        res.push_back({RT_GROUP_ICON, std::uint16_t(g + 1), "", 0x0409, makeGroup({image, small}, {1, 2})});
    put("big.dll", makePeModule(res));
    put("z.dll", moduleOf({standardGroup(4)}));
    const std::uint64_t each = 6 + 2 * 16 + image.data.size() + small.data.size();
    const int written = int(TOutputBudget::kFloor / each) + 1;

    const TBatchResult outcome = run(job("*.dll"));
    ASSERT_TRUE(outcome.End.Failed());
    EXPECT_EQ(outcome.End.Subject, src / "big.dll");
    TOutputBudget told(fs::file_size(src / "big.dll"));
    for (int k = 0; k < written; ++k) told.Take(each);
    EXPECT_EQ(outcome.End.Reason, told.Reason());
    EXPECT_EQ(outcome.FoundTotal, written);
    EXPECT_EQ(outcome.SavedTotal, written);
    ASSERT_EQ(outputs().size(), std::size_t(written));  // nothing of z.dll: the batch ended
    for (int k : {1, written}) {
        const fs::path file = out.path / ("big_" + std::to_string(k) + ".ico");
        EXPECT_EQ(fs::file_size(file), each);
        EXPECT_EQ(sizesIn(file), (std::vector<std::pair<int, int>>{{512, 512}, {48, 48}}));
    }
    for (const std::string& name : outputs()) fs::remove(out.path / name);

    // As bitmaps the same icons write their 48 x 48 preview, kilobytes each: all of them, and
    // the next file's.
    const TBatchResult bitmaps = run(job("*.dll", TBatchFormat::bfBMP));
    EXPECT_FALSE(bitmaps.End.Failed()) << bitmaps.End.Reason;
    EXPECT_EQ(bitmaps.FoundTotal, 81);
    EXPECT_EQ(bitmaps.SavedTotal, 81);
}

TEST_F(BatchExportTest, AWriterFailureCountsTheIconsVisitedAndTheFilesWritten) {
    put("a.dll", moduleOf({standardGroup(1), standardGroup(4), standardGroup(7)}));
    fs::create_directory(out.path / "a_2.ico");  // the second file cannot be written
    const TBatchResult outcome = run(job("a.dll"));
    ASSERT_TRUE(outcome.End.Failed());
    EXPECT_EQ(outcome.End.Subject, src / "a.dll");
    EXPECT_EQ(outcome.FoundTotal, 2);
    EXPECT_EQ(outcome.SavedTotal, 1);
    EXPECT_FALSE(fs::exists(out.path / "a_3.ico"));
}

TEST_F(BatchExportTest, OutcomesAreToldInBoxesAndASilentFailureInItsBoxOrInOneLine) {
    const TQBApplication app = testDescriptor();
    TBatchResult failed{3, 2, TJobEnd::Failure("/src/b.dll", "Data ended early\nat 12")};
    TBatchJob silent = job("*.dll");
    RecordingBoxes boxes;
    std::ostringstream err;
    // Silent: the failure's box and nothing else; where no window shows it, one line.
    EXPECT_EQ(ReportBatchOutcome(silent, failed, boxes, app, err), 1);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].msg, "Batch extraction raised an error.");
    EXPECT_EQ(err.str(), "");
    TBatchFailureLine line(err);
    EXPECT_EQ(ReportBatchOutcome(silent, failed, line, app, err), 1);
    EXPECT_EQ(err.str(), "glyphscope: Batch extraction raised an error. /src/b.dll: Data ended early at 12\n");

    TBatchJob shown = silent;
    shown.Silent = false;
    err.str("");
    boxes.calls.clear();
    EXPECT_EQ(ReportBatchOutcome(shown, failed, boxes, app, err), 1);
    EXPECT_EQ(err.str(), "");
    ASSERT_EQ(boxes.calls.size(), 2u);
    EXPECT_EQ(boxes.calls[0].box, "details");
    EXPECT_EQ(boxes.calls[0].msg, "Batch extraction raised an error.");
    EXPECT_EQ(boxes.calls[0].details, "/src/b.dll: Data ended early\nat 12");
    EXPECT_EQ(boxes.calls[0].caption, "Glyphscope");
    EXPECT_EQ(boxes.calls[0].type, std::uint8_t(TQBMessageType::mtWarning));
    EXPECT_EQ(boxes.calls[1].msg, "2 icon(s) saved.");
    EXPECT_EQ(boxes.calls[1].caption, "Veltrazone Glyphscope");
    EXPECT_EQ(boxes.calls[1].type, std::uint8_t(TQBMessageType::mtInformation));

    // Nothing found: the silent run stays silent; the shown one says so.
    boxes.calls.clear();
    TSilentBatchObserver observer;
    EXPECT_EQ(RunBatch(silent, observer, boxes, app, err), 0);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(RunBatch(shown, observer, boxes, app, err), 0);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].msg, "No icons found.");
    EXPECT_EQ(err.str(), "");

    // Stopped by a signal: one line and no box, whoever watched.
    boxes.calls.clear();
    TBatchResult stopped{4, 4, TJobEnd::Of(TJobEnd::TKind::Stopped)};
    stopped.End.Signal = SIGTERM;
    EXPECT_EQ(ReportBatchOutcome(shown, stopped, boxes, app, err), 1);
    EXPECT_TRUE(boxes.calls.empty());
    EXPECT_EQ(err.str(), "glyphscope: stopped by a signal; 4 icon(s) saved.\n");
}

TEST_F(BatchExportTest, AnExportIntoItsOwnSourceFolderNeverReadsItsOutput) {
    writeFile(out / "x.ico", makeIcoFile(standardGroup(1)));
    writeFile(out / "Y.ICO", makeIcoFile(standardGroup(2)));
    TBatchJob j = job("*.ico");
    j.FileSpec = out / "*.ico";
    const TBatchResult outcome = run(j);
    EXPECT_EQ(outcome.FoundTotal, 2);
    EXPECT_EQ(outputs(), (std::vector<std::string>{"Y.ICO", "Y_1.ico", "x.ico", "x_1.ico"}));
}

TEST_F(BatchExportTest, StarDotStarTakesEveryNameAndMatchingIgnoresCase) {
    put("ICONS.DLL", moduleOf({standardGroup(1)}));
    put("noext", makeIcoFile(standardGroup(2)));
    put("notes.txt", TBytes{'h', 'i'});
    EXPECT_EQ(run(job("*.*")).FoundTotal, 2);
    EXPECT_EQ(outputs(), (std::vector<std::string>{"ICONS_1.ico", "noext_1.ico"}));
    EXPECT_EQ(run(job("icons.dll")).FoundTotal, 1);
    EXPECT_EQ(run(job("*.Dll")).FoundTotal, 1);
}

TEST_F(BatchExportTest, StopEndsTheRunBetweenIcons) {
    put("a.dll", moduleOf({standardGroup(1), standardGroup(4)}));
    put("b.dll", moduleOf({standardGroup(7)}));
    // Asked before the first file, before its first icon (still written), then before the
    // second icon.
    StoppingObserver observer(3);
    const TBatchResult outcome = TBatchExport(job("*.dll"), observer).ExtractFiles();
    EXPECT_FALSE(outcome.End.Failed());
    EXPECT_EQ(outcome.FoundTotal, 1);
    EXPECT_EQ(outcome.SavedTotal, 1);
    EXPECT_EQ(observer.files, std::vector<std::string>{src / "a.dll"});
    EXPECT_EQ(outputs(), std::vector<std::string>{"a_1.ico"});
}

// Each format from its command-line word to its files and result texts, and the file the
// batch writes for an icon of the size asked for is the one the window's save writes.
TEST_F(BatchExportTest, EveryFormatFromItsWordToItsFileIsTheSaveOfTheSameImage) {
    put("a.exe", moduleOf({standardGroup(1), {dibSpec(48, 8, 4)}}));
    const TIconSaveWriter save(true, true);
    const auto whole = [](const fs::path& p) { return headOf(p, std::size_t(fs::file_size(p))); };
    TQBIconLibrary library;
    ASSERT_EQ(library.Read(src / "a.exe").Result, TLoadResult::Read);
    for (const TImageFormat& row : ImageFormats()) {
        const std::string word = row.Word;
        SCOPED_TRACE(word);
        for (const std::string& given : {word, std::string(1, char(std::tolower(word[0]))) + word.substr(1)}) {
            const TBatchParse parsed = ParseBatchArguments(src / "a.exe" + "," + out.path.string() + "," + given + ",16");
            ASSERT_TRUE(parsed.ok);
            EXPECT_EQ(parsed.job.Format, row.Code);
        }
        const std::string ext = BatchFormatExtension(row.Code);
        EXPECT_EQ(ext, row.Save.Extension);
        EXPECT_EQ(GetSaveTarget(int(row.Code)).Extension, ext);
        const std::string noun = row.Noun;
        EXPECT_EQ(BatchResultMessage(row.Code, 2, 1), "1 " + noun + "(s) saved.");
        EXPECT_EQ(BatchResultMessage(row.Code, 2, 0), "No " + noun + "s saved.");
        EXPECT_EQ(SaveResultMessage(int(row.Code), 2), "2 " + noun + "(s) saved.");
        EXPECT_EQ(SaveCancelledMessage(int(row.Code), 0), "Operation cancelled by user. Saved 0 " + noun + "(s).");

        for (TBatchIconSize size : {TBatchIconSize::bsAll, TBatchIconSize::bs48, TBatchIconSize::bs16}) {
            const TBatchResult outcome = run(job("a.exe", row.Code, size));
            ASSERT_FALSE(outcome.End.Failed());
            for (int k = 1; k <= 2; ++k) {
                const fs::path batchFile = out.path / ("a_" + std::to_string(k) + ext);
                const fs::path saveFile = out.path / ("saved" + ext);
                fs::remove(saveFile);
                const bool saved = save.Write(row.Code, size, *library.Icons.GetIcon(k - 1), saveFile);
                // The second icon has only a 48 x 48: the batch skips its 16, the save re-renders it.
                if (k == 2 && size == TBatchIconSize::bs16) {
                    EXPECT_TRUE(saved);
                    EXPECT_FALSE(fs::exists(batchFile));
                    continue;
                }
                ASSERT_TRUE(fs::exists(batchFile)) << batchFile;
                EXPECT_TRUE(saved);
                EXPECT_EQ(whole(saveFile), whole(batchFile)) << batchFile;
            }
            for (const std::string& name : outputs()) fs::remove(out.path / name);
        }
    }
}
