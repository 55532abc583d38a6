#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/core/AppIdentity.h"
#include "app/core/Options.h"
#include "support/TempDir.h"
#include "framework/core/RegUtils.h"

using namespace gs;
using gstest::TempDir;

namespace {
const std::string kOptionsKey = std::string(kRegAppKey) + "\\Options";

TKAVUOptions changedOptions() {
    TKAVUOptions o;
    o.ShowTips = false;
    o.PromptForFileName = true;
    o.MRULimit = 15;
    o.ListBackColor = 0x123456;
    o.ListFontName = "DejaVu Sans";
    o.DefaultFolder = "/home/u/icons";
    o.ScanExtensions = {".ico", ".icl"};
    return o;
}

void expectSame(const TKAVUOptions& a, const TKAVUOptions& b) {
    std::vector<std::string> sa, sb;
    auto dump = [](std::vector<std::string>& out) {
        return [&out](const char* name, const auto& field) {
            using T = std::decay_t<decltype(field)>;
            std::string v;
            if constexpr (std::is_same_v<T, std::vector<std::string>>)
                for (const auto& s : field) v += s + ";";
            else if constexpr (std::is_same_v<T, std::string>)
                v = field;
            else
                v = std::to_string(field);
            out.push_back(std::string(name) + "=" + v);
        };
    };
    a.Visit(dump(sa));
    b.Visit(dump(sb));
    EXPECT_EQ(sa, sb);
}
}  // namespace

TEST(TKAVUOptions, ANewStoreGivesTheDefaultsAndASaveWritesAll23) {
    TRegistryStore store(":memory:");
    TKAVUOptions o;
    o.Load(store, kAppRegRoot, kRegAppKey);
    expectSame(o, TKAVUOptions());
    EXPECT_EQ(o.ListBackColor, 0xC0C0C0);
    EXPECT_EQ(o.MRULimit, 10);
    EXPECT_EQ(o.LimitNumber, 500);
    EXPECT_EQ(o.MemStopPerc, 95);
    EXPECT_EQ(o.ListFontName, "Tahoma");
    EXPECT_EQ(o.ScanExtensions, (std::vector<std::string>{".exe", ".dll", ".ico", ".cpl", ".ocx", ".icl"}));

    ASSERT_TRUE(o.Save(store, kAppRegRoot, kRegAppKey));
    EXPECT_EQ(RegGetValueNames(store, kAppRegRoot, kOptionsKey).size(), 22u);
    EXPECT_EQ(RegGetKeyNames(store, kAppRegRoot, kOptionsKey), StringList{"Filters"});
    EXPECT_EQ(RegReadStringList(store, kAppRegRoot, kOptionsKey, "Filters"), o.ScanExtensions);
}

TEST(TKAVUOptions, SaveAndLoadRoundTripAsOneTransaction) {
    TRegistryStore store(":memory:");
    TKAVUOptions saved = changedOptions();
    std::uint64_t before = store.CommitCount();
    ASSERT_TRUE(saved.Save(store, kAppRegRoot, kRegAppKey));
    EXPECT_EQ(store.CommitCount() - before, 1u);
    TKAVUOptions loaded;
    loaded.Load(store, kAppRegRoot, kRegAppKey);
    expectSame(loaded, saved);
}

TEST(TKAVUOptions, StoredValuesOfAnotherTypeOrMissingKeepTheDefault) {
    TRegistryStore store(":memory:");
    RegWriteString(store, kAppRegRoot, kOptionsKey, "MRULimit", "12");
    RegWriteInteger(store, kAppRegRoot, kOptionsKey, "ListFontName", 3);
    RegWriteInteger(store, kAppRegRoot, kOptionsKey, "ShowTips", 0);
    TKAVUOptions o;
    o.Load(store, kAppRegRoot, kRegAppKey);
    EXPECT_EQ(o.MRULimit, 10);
    EXPECT_EQ(o.ListFontName, "Tahoma");
    EXPECT_FALSE(o.ShowTips);
    EXPECT_EQ(o.ScanExtensions.size(), 6u);  // no "Filters" subkey: the defaults stay

    RegWriteStringList(store, kAppRegRoot, kOptionsKey, "Filters", {});
    o.Load(store, kAppRegRoot, kRegAppKey);
    EXPECT_TRUE(o.ScanExtensions.empty());  // an empty subkey is an empty list
}

TEST(TKAVUOptions, ValuesAreStoredAsReadAndClampedWhereUsed) {
    TRegistryStore store(":memory:");
    RegWriteInteger(store, kAppRegRoot, kOptionsKey, "MRULimit", 99);
    RegWriteInteger(store, kAppRegRoot, kOptionsKey, "LimitNumber", -5);
    RegWriteInteger(store, kAppRegRoot, kOptionsKey, "MemStopPerc", 0);
    TKAVUOptions o;
    o.Load(store, kAppRegRoot, kRegAppKey);
    EXPECT_EQ(o.MRULimit, 99);
    EXPECT_EQ(o.EffectiveMRULimit(), 20);
    EXPECT_EQ(o.EffectiveLimitNumber(), 1);
    EXPECT_EQ(o.EffectiveMemStopPerc(), 1);
    o.MRULimit = 0;
    o.MemStopPerc = 250;
    o.LimitNumber = 500;
    EXPECT_EQ(o.EffectiveMRULimit(), 1);
    EXPECT_EQ(o.EffectiveMemStopPerc(), 100);
    EXPECT_EQ(o.EffectiveLimitNumber(), 500);
    o.Save(store, kAppRegRoot, kRegAppKey);  // saved as they are, not clamped
    EXPECT_EQ(RegReadInteger(store, kAppRegRoot, kOptionsKey, "MemStopPerc", 0), 250);
}

// A stored index outside the lists (an edited or older store) maps to the lists' default.
TEST(TKAVUOptions, MappingRoutinesTakeTheirDefaultOutsideTheLists) {
    for (int index : {-1, 7, 99}) EXPECT_EQ(FontSizeIndexToPoints(index), 8) << index;
    for (int index : {-1, 4, 9}) EXPECT_EQ(ImageFormatIndexToCode(index), TBatchFormat::bfTIF) << index;
}

TEST(AppIdentity, DescriptorNamesTheProgramAndItsSettingsKey) {
    auto app = makeApplicationDescriptor("/opt/glyphscope/bin/glyphscope");
    EXPECT_EQ(app->AppPath, "/opt/glyphscope/bin/");
    EXPECT_EQ(app->RegRoot, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(app->RegAppKey, app->RegBaseKey + "\\Glyphscope");
    EXPECT_EQ(app->Title, "Veltrazone Glyphscope");
    EXPECT_EQ(app->HelpFile, "/opt/glyphscope/bin/glyphscope.html");  // nothing installed there: beside the program
    EXPECT_EQ(app->TipFile, "/opt/glyphscope/bin/glyphscope.tip");
    EXPECT_EQ(app->Logger.FileName, "/opt/glyphscope/bin/glyphscope.log");
    EXPECT_NE(app->VersionText.find(" Build "), std::string::npos);
    EXPECT_EQ(app->PanelColor, 0xA56E3Au);
}

// A process killed in the middle of a save leaves the stored options as they were. A
// reader holding the store keeps the saver from committing, so the kill always lands
// after the save has begun writing and before it could finish.
TEST(TKAVUOptions, AProcessKilledDuringASaveLeavesTheOldOptionsWhole) {
    TempDir d;
    const std::string file = d / "registry.sqlite3";
    TKAVUOptions old;
    old.MRULimit = 7;
    old.ScanExtensions = {".exe"};
    {
        TRegistryStore store(file);
        ASSERT_TRUE(old.Save(store, kAppRegRoot, kRegAppKey));
    }  // no connection stays open in this process across the forks below

    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t reader = fork();
    ASSERT_GE(reader, 0);
    if (reader == 0) {
        TRegistryStore store(file);
        TRegTransaction hold = store.begin(TRegistryStore::Mode::Read);
        hold.OpenKey(kAppRegRoot, kRegAppKey);  // takes the shared lock
        char c = 1;
        (void)!::write(ready[1], &c, 1);
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char c;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);

    pid_t saver = fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
        TRegistryStore store(file);
        changedOptions().Save(store, kAppRegRoot, kRegAppKey);
        ::_exit(0);
    }
    // The journal appears with the saver's first write.
    const std::string journal = file + "-journal";
    for (int i = 0; i < 2000 && !std::filesystem::exists(journal); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(std::filesystem::exists(journal));
    ::kill(saver, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(saver, &status, 0), saver);
    EXPECT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(::write(release[1], &c, 1), 1);
    ASSERT_EQ(waitpid(reader, &status, 0), reader);

    TRegistryStore store(file);
    TKAVUOptions loaded;
    loaded.Load(store, kAppRegRoot, kRegAppKey);
    expectSame(loaded, old);
    EXPECT_TRUE(changedOptions().Save(store, kAppRegRoot, kRegAppKey));  // the store still works
}
