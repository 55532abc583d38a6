// The main window's enabling rules as one table of snapshots and the commands they enable;
// the recent lists; the desktop routines the window relies on.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "app/core/AppIdentity.h"
#include "app/core/MainActions.h"
#include "app/core/RecentList.h"
#include "framework/core/RegUtils.h"
#include "framework/core/SysUtils.h"
#include "platform/Desktop.h"
#include "platform/PrivateTemp.h"
#include "support/TempDir.h"

using namespace gs;
using A = TMainAction;

namespace {

std::set<A> enabledOf(const TMainSnapshot& s) {
    std::set<A> on;
    const TActionStates st = alMainUpdate(s);
    for (std::size_t i = 0; i < kMainActionCount; ++i)
        if (st[i].Enabled) on.insert(A(i));
    return on;
}

TMainSnapshot idle(int items, int selected) {
    TMainSnapshot s;
    s.ItemCount = items;
    s.SelCount = selected;
    return s;
}

const std::set<A> kAlways = {A::actFile, A::actEdit, A::actView, A::actIcon, A::actHelp, A::actFavorites,
                             A::actArrangeByName, A::actArrangeByFile};
const std::set<A> kIdleOnly = {A::actFileSelectDir, A::actFileSelectFile, A::actFilePreferences, A::actFileExit,
                               A::actViewView, A::actViewLargeIcon, A::actViewSmallIcon, A::actViewList,
                               A::actViewReport, A::actViewArrange, A::actViewPreview, A::actViewToolbar,
                               A::actViewStatusBar, A::actFavoritesOrganize, A::actHelpContents,
                               A::actHelpTipOfTheDay, A::actHelpOnTheWeb, A::actHelpSendEmail, A::actHelpAbout};
const std::set<A> kWithItems = {A::actEditSelectAll, A::actEditFind, A::actViewFilter};
const std::set<A> kWithSelection = {A::actEditRemove, A::actEditInvert, A::actIconSave, A::actIconSaveIcons,
                                    A::actIconSave48x48Icons, A::actIconSave32x32Icons, A::actIconSave16x16Icons,
                                    A::actIconSaveBitmaps, A::actIconSave48x48Bitmaps, A::actIconSave32x32Bitmaps,
                                    A::actIconSave16x16Bitmaps, A::actIconSaveImages, A::actIconSave48x48Images,
                                    A::actIconSave32x32Images, A::actIconSave16x16Images, A::actIconAddToNewICL,
                                    A::actIconAddToExistingICL, A::actIconSendTo};
const std::set<A> kWithOne = {A::actEditCopyToClipboard, A::actEditCopy48x48ToClipboard,
                              A::actEditCopy32x32ToClipboard, A::actEditCopy16x16ToClipboard, A::actEditRename,
                              A::actIconFileProperties};

std::set<A> join(std::initializer_list<std::set<A>> sets) {
    std::set<A> all;
    for (const auto& s : sets) all.insert(s.begin(), s.end());
    return all;
}

}  // namespace

TEST(alMainUpdate, EnablesEachCommandByItsRuleInEveryState) {
    struct Case {
        const char* what;
        TMainSnapshot snapshot;
        std::set<A> enabled;
    };
    TMainSnapshot busy = idle(10, 3);
    busy.Busy = TBusyState::Extracting;
    busy.PathSelected = busy.HasRecentFiles = busy.HasRecentFolders = busy.EditorSet = true;
    TMainSnapshot busyFiltered = busy;
    busyFiltered.Busy = TBusyState::Saving;
    busyFiltered.FilterActive = true;
    TMainSnapshot oneWithEditor = idle(5, 1);
    oneWithEditor.EditorSet = true;
    TMainSnapshot recentAndPath = idle(0, 0);
    recentAndPath.HasRecentFolders = recentAndPath.PathSelected = true;
    TMainSnapshot found = idle(4, 0);
    found.FindLastIndex = 2;
    TMainSnapshot filteredEmpty = idle(0, 0);
    filteredEmpty.FilterActive = true;
    const Case cases[] = {
        {"idle, empty list, nothing recent", idle(0, 0), join({kAlways, kIdleOnly})},
        {"items, none selected", idle(5, 0), join({kAlways, kIdleOnly, kWithItems})},
        {"one selected, no editor", idle(5, 1), join({kAlways, kIdleOnly, kWithItems, kWithSelection, kWithOne})},
        {"one selected, an editor", oneWithEditor,
         join({kAlways, kIdleOnly, kWithItems, kWithSelection, kWithOne, {A::actIconEditIcon}})},
        {"many selected", idle(5, 3), join({kAlways, kIdleOnly, kWithItems, kWithSelection})},
        {"a path and recent folders only", recentAndPath,
         join({kAlways, kIdleOnly, {A::actFileRecentFolders, A::actFileExtractIcons, A::actFavoritesAdd}})},
        {"a search found something", found, join({kAlways, kIdleOnly, kWithItems, {A::actEditFindNext}})},
        {"a filter on an empty listing", filteredEmpty,
         join({kAlways, kIdleOnly, {A::actViewFilter, A::actViewRemoveFilter}})},
        {"busy", busy, kAlways},
        {"busy with a filter", busyFiltered, join({kAlways, {A::actViewFilter}})},
    };
    for (const Case& c : cases) EXPECT_EQ(enabledOf(c.snapshot), c.enabled) << c.what;
}

TEST(alMainUpdate, ChecksTheViewStyleTheSortColumnAndThePanelsShown) {
    TMainSnapshot s;
    s.ViewStyle = TViewStyle::vsReport;
    s.SortColumn = 1;
    s.PreviewVisible = false;
    s.Busy = TBusyState::Saving;  // checks do not depend on being idle
    const TActionStates st = alMainUpdate(s);
    std::set<A> checked;
    for (std::size_t i = 0; i < kMainActionCount; ++i)
        if (st[i].Checked) checked.insert(A(i));
    EXPECT_EQ(checked, (std::set<A>{A::actViewReport, A::actArrangeByFile, A::actViewToolbar, A::actViewStatusBar}));
}

TEST(MainActionTable, ShortcutsAndPicturesAsStored) {
    struct Row {
        A id;
        int shortcut;
        int image;
    };
    const Row rows[] = {{A::actEditSelectAll, 16449, -1}, {A::actEditCopyToClipboard, 16451, 7},
                        {A::actFileSelectDir, 16452, 2},  {A::actIconEditIcon, 16453, 9},
                        {A::actFileSelectFile, 16454, 3}, {A::actEditFind, 16467, 11},
                        {A::actViewLargeIcon, 32817, -1}, {A::actViewReport, 32820, -1},
                        {A::actHelpContents, 112, 1},     {A::actFileExtractIcons, 116, 6},
                        {A::actIconSendTo, 120, 14},      {A::actIconSaveImages, 123, 10},
                        {A::actEditRemove, 46, -1},       {A::actViewView, 0, 0}};
    for (const Row& r : rows) {
        EXPECT_EQ(ActionInfo(r.id).ShortCut, r.shortcut) << ActionInfo(r.id).Name;
        EXPECT_EQ(ActionInfo(r.id).ImageIndex, r.image) << ActionInfo(r.id).Name;
    }
    EXPECT_STREQ(ActionInfo(A::actEditRename).MenuCaption, "Re&name");
    EXPECT_STREQ(ActionInfo(A::actEditFindNext).MenuCaption, "Find Ne&xt...");
    EXPECT_FALSE(SaveMakesBusy(50));
    EXPECT_TRUE(SaveMakesBusy(51));
}

TEST(TMRURecentList, KeepsNewestFirstWithoutDuplicatesWithinItsLimit) {
    TMRURecentList list;
    int changes = 0;
    list.SetOnChange([&] { ++changes; });
    list.SetMaxItems(3);
    for (const char* p : {"/a", "/b", "/c", "/B", "/d"}) list.AddToTop(p);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/d", "/B", "/c"}));  // "/b" went past the limit
    EXPECT_FALSE(list.Remove("/C"));  // another folder on Linux
    EXPECT_TRUE(list.Remove("/c"));
    EXPECT_FALSE(list.Remove("/zz"));
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/d", "/B"}));
    list.SetItems({"1", "2", "3", "4", "5"});
    EXPECT_EQ(list.Items().size(), 3u);
    list.SetMaxItems(0);
    EXPECT_TRUE(list.Items().empty());
    EXPECT_EQ(changes, 9);
}

TEST(TMRURecentList, FoldersEqualButForCaseAreTwoEntriesAlsoAfterARestart) {
    RegistryStore store(":memory:");
    TMRURecentList list;
    list.SetMaxItems(10);
    for (const char* p : {"/data/a", "/data/A", "/data/a (2)", "/x", "/DATA/a", "/data/A"}) list.AddToTop(p);
    const std::vector<std::string> expected{"/data/A", "/DATA/a", "/x", "/data/a (2)", "/data/a"};
    EXPECT_EQ(list.Items(), expected);
    ASSERT_TRUE(SaveRecentList(list, store, kAppRegRoot, kRegAppKey, kMRUFilesSubkey));
    TMRURecentList back;
    back.SetMaxItems(10);
    LoadRecentList(back, store, kAppRegRoot, kRegAppKey, kMRUFilesSubkey);
    EXPECT_EQ(back.Items(), expected);
    // Saved again from the reloaded list, and shorter: nothing of the old spellings is left.
    back.SetItems({"/data/a", "/x"});
    ASSERT_TRUE(SaveRecentList(back, store, kAppRegRoot, kRegAppKey, kMRUFilesSubkey));
    EXPECT_EQ(RegGetValueNames(store, kAppRegRoot, std::string(kRegAppKey) + "\\Storage\\MRUFiles"),
              (std::vector<std::string>{"/data/a", "/x"}));
}

TEST(TMRURecentList, MenuEntriesCarryDigitsThenLettersThenNothingAndTheirPathAsHint) {
    TMRURecentList list;
    list.SetMaxItems(40);
    std::vector<std::string> paths;
    for (int i = 0; i < 36; ++i) paths.push_back("/p" + std::to_string(i));
    paths[1] = "/R&D";
    list.SetItems(paths);
    const tb::TTBCustomItem& entries = *list.List().Container();
    ASSERT_EQ(entries.Count(), 36);
    const std::pair<int, const char*> captions[] = {
        {0, "&1 /p0"}, {1, "&2 /R&&D"}, {8, "&9 /p8"}, {9, "&A /p9"}, {34, "&Z /p34"}, {35, "/p35"}};
    for (const auto& [index, caption] : captions) EXPECT_EQ(entries.Items(index)->Caption(), caption) << index;
    list.AddToTop("/p20");
    EXPECT_EQ(entries.Items(0)->Caption(), "&1 /p20");
    EXPECT_EQ(entries.Items(0)->Hint(), "/p20");
    EXPECT_EQ(entries.Items(1)->Hint(), "/p0");
    list.SetMaxItems(3);
    EXPECT_EQ(entries.Count(), 3);
}

TEST(TMRURecentList, StoredUnderStorageInOrderAndAMissingKeyKeepsTheEntries) {
    RegistryStore store(":memory:");
    TMRURecentList list;
    list.SetMaxItems(10);
    list.SetItems({"/keep"});
    LoadRecentList(list, store, kAppRegRoot, kRegAppKey, kMRUFoldersSubkey);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/keep"}));
    const std::string longPath = "/" + std::string(300, 'p');  // never cut at 255 or 260
    list.SetItems({"/z/first", longPath, "/a/third"});
    ASSERT_TRUE(SaveRecentList(list, store, kAppRegRoot, kRegAppKey, kMRUFoldersSubkey));
    EXPECT_EQ(RegGetValueNames(store, kAppRegRoot, std::string(kRegAppKey) + "\\Storage\\MRUFolders"), list.Items());
    list.SetItems({"/a/third"});
    ASSERT_TRUE(SaveRecentList(list, store, kAppRegRoot, kRegAppKey, kMRUFoldersSubkey));
    TMRURecentList back;
    back.SetMaxItems(10);
    LoadRecentList(back, store, kAppRegRoot, kRegAppKey, kMRUFoldersSubkey);
    EXPECT_EQ(back.Items(), (std::vector<std::string>{"/a/third"}));
}

TEST(DesktopRoutines, MemoryLoadFromMeminfoText) {
    struct Case {
        const char* text;
        std::optional<int> load;
    };
    const Case cases[] = {
        {"MemTotal:       1000 kB\nMemFree: 5 kB\nMemAvailable:    250 kB\n", 75},
        {"MemAvailable: 1000 kB\nMemTotal: 1000 kB\n", 0},
        {"MemTotal: 1000 kB\nMemAvailable: 0 kB\n", 100},
        {"MemTotal: 1000 kB\n", std::nullopt},
        {"MemTotal: 0 kB\nMemAvailable: 0 kB\n", std::nullopt},
        {"MemTotal: 10 kB\nMemAvailable: 20 kB\n", std::nullopt},
        {"MemTotal: x kB\nMemAvailable: 1 kB\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(MemoryLoadFromMeminfo(c.text), c.load) << c.text;
    const int now = SystemMemoryLoad();
    EXPECT_GE(now, 0);
    EXPECT_LE(now, 100);
}

TEST(DesktopRoutines, AddressesKeepTheirSchemeAndOthersGetHttp) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"veltrazone.example", "http://veltrazone.example"},
        {"http://a.example", "http://a.example"},
        {"HTTP://A.EXAMPLE", "HTTP://A.EXAMPLE"},
        {"https://a.example/x?y", "https://a.example/x?y"},
        {"mailto:someone@a.example", "mailto:someone@a.example"},
        {"localhost:8080/x", "http://localhost:8080/x"},
        {"1a://x", "http://1a://x"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(URLToOpen(in), out) << in;
}

TEST(DesktopRoutines, NameChecksAndFormats) {
    EXPECT_EQ(FilterNameChar(':'), '\0');
    EXPECT_EQ(FilterNameChar(';'), '\0');
    for (char c : {'a', 'Z', '5', ' ', '\b'}) EXPECT_EQ(FilterNameChar(c), c);
    EXPECT_FALSE(IsValidFileName("it's"));
    EXPECT_FALSE(IsValidFileName("a/b"));
    EXPECT_TRUE(IsValidFileName("plain name.ico"));
    EXPECT_TRUE(IsPlainText(""));
    EXPECT_TRUE(IsPlainText("Name 2"));
    EXPECT_FALSE(IsPlainText("na_me"));
    EXPECT_EQ(FormatOne("Folder '%s' not found.", "/x"), "Folder '/x' not found.");
    EXPECT_EQ(FormatOne("Icons: %d", "12"), "Icons: 12");
    EXPECT_EQ(FormatOne("reached %d%%.", "95"), "reached 95%.");
}

TEST(DesktopRoutines, TheInstanceLockIsHeldOnceAndSpawnNeedsAProgram) {
    gstest::TempDir dir;
    const std::string lock = dir / "glyphscope-test.lock";
    EXPECT_TRUE(HoldInstanceLock(lock));
    EXPECT_FALSE(HoldInstanceLock(lock));  // a second open of the file cannot take it
    EXPECT_TRUE(HoldInstanceLock(dir / "missing-dir/x.lock"));  // no lock file: the program still runs
    EXPECT_TRUE(ProgramOnPath("sh"));
    EXPECT_FALSE(ProgramOnPath("glyphscope-no-such-program"));
    EXPECT_FALSE(SpawnDetached({"glyphscope-no-such-program"}));
    EXPECT_FALSE(SpawnDetached({}));
    EXPECT_TRUE(SpawnDetached({"true"}));
}

TEST(DesktopRoutines, ThePrivateTemporaryFolderIsOneAndGoesAtExitButHandedFilesStay) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string folder = GetTempDirectory();
        const bool one = PrivateTempFolder().string() + "/" == folder;
        std::ofstream(folder + "left-behind.txt") << "x";
        // A file handed to another program, as the icon editor and the mail composer get them.
        std::ofstream(NewHandOverSubfolder() / "handed.ico") << "y";
        const std::string report = (one ? "1" : "0") + PrivateTempFolder().string() + "\n" + HandOverFolder().string();
        if (write(fds[1], report.data(), report.size()) < 0) _exit(2);
        exit(0);  // a normal exit removes the private folder
    }
    close(fds[1]);
    char buffer[4096];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_GT(n, 1);
    const std::string both(buffer + 1, std::size_t(n - 1));
    const std::size_t newline = both.find('\n');
    ASSERT_NE(newline, std::string::npos) << both;
    const std::string folder = both.substr(0, newline);
    const std::filesystem::path handed = both.substr(newline + 1);
    EXPECT_EQ(buffer[0], '1');
    EXPECT_NE(folder.find("/glyphscope-"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder));
    // The handed file outlived the program, in a folder of this user's alone.
    std::size_t handedFiles = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(handed))
        if (e.path().filename() == "handed.ico") ++handedFiles;
    EXPECT_EQ(handedFiles, 1u);
    EXPECT_EQ(std::filesystem::status(handed).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    std::filesystem::remove_all(handed);
    const auto perms = std::filesystem::status(PrivateTempFolder()).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all, std::filesystem::perms::owner_all);
}

TEST(DesktopRoutines, FileDatesAreWrittenByTheLocale) {
    EXPECT_FALSE(FormatFileDate(std::chrono::system_clock::time_point{}).empty());
}

TEST(DesktopRoutines, SpecialFoldersFromTheSessionsFolders) {
    gstest::TempDir home;
    const std::string config = home / "config";
    std::filesystem::create_directories(config);
    std::ofstream(config + "/user-dirs.dirs") << "# written by xdg-user-dirs-update\n"
                                                 "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                                 "XDG_DOCUMENTS_DIR=\"relative/ignored\"\n";
    setenv("HOME", home.path.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    struct Case {
        std::uint8_t code;
        std::optional<std::string> path;
    };
    const Case cases[] = {
        {0, home / "Schreibtisch"},          {0x80, home / "Schreibtisch"},  // high bit ignored
        {7, home / "Documents"},             {1, "/"},
        {2, home / ".local/share/Trash"},    {10, config + "/autostart"},
        {12, home / ".local/share/applications"}, {3, std::nullopt},
        {13, std::nullopt},
    };
    for (const Case& c : cases) {
        std::string path = "unchanged";
        EXPECT_EQ(GetSpecialFolderPath(c.code, path), c.path.has_value()) << int(c.code);
        EXPECT_EQ(path, c.path.value_or("unchanged")) << int(c.code);
    }
    EXPECT_EQ(GetDesktopPath(), home / "Schreibtisch");
}

// The window's two lists share a limit and one change report, and each keeps its own key.
TEST(TRecentLists, FoldersAndFilesAreStoredApartAndReadBackWithTheirLimit) {
    RegistryStore store(":memory:");
    TRecentLists lists;
    lists.SetMaxItems(2);
    int changes = 0;
    lists.SetOnChange([&] { ++changes; });
    for (const char* p : {"/f1", "/f2", "/f3"}) lists.Folders.AddToTop(p);
    lists.Files.AddToTop("/a.ico");
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(lists.Folders.Items(), (std::vector<std::string>{"/f3", "/f2"}));
    ASSERT_TRUE(lists.Save(store, kAppRegRoot, kRegAppKey));
    const std::string storage = std::string(kRegAppKey) + "\\Storage\\";
    EXPECT_EQ(RegGetValueNames(store, kAppRegRoot, storage + "MRUFolders"), (std::vector<std::string>{"/f3", "/f2"}));
    EXPECT_EQ(RegGetValueNames(store, kAppRegRoot, storage + "MRUFiles"), std::vector<std::string>{"/a.ico"});
    TRecentLists back;
    back.SetMaxItems(1);
    back.Load(store, kAppRegRoot, kRegAppKey);
    EXPECT_EQ(back.Folders.Items(), std::vector<std::string>{"/f3"});
    EXPECT_EQ(back.Files.Items(), std::vector<std::string>{"/a.ico"});
}
