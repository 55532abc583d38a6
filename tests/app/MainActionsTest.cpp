// The main window's enabling rules as one table of snapshots and the commands they enable;
// the recent lists.
#include <gtest/gtest.h>

#include <set>

#include "app/core/AppIdentity.h"
#include "app/core/MainActions.h"
#include "app/core/RecentList.h"
#include "framework/core/RegUtils.h"

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

// Saving up to 50 icons runs while the window stays idle; more make it busy.
TEST(MainActionTable, SavingMoreThanFiftyIconsMakesTheWindowBusy) {
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
    TRegistryStore store(":memory:");
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
    TRegistryStore store(":memory:");
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
