// Start-up writes where the program lives and loads the options; a batch run's teardown
// leaves the stored options alone, a window's teardown saves them, but never over a store
// that could not be read at the start.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/core/RecentList.h"
#include "controls/core/PlacementStorage.h"
#include "framework/core/RegUtils.h"
#include "support/TempDir.h"

using namespace gs;

namespace {
const std::string kOptionsKey = std::string(kRegAppKey) + "\\Options";
}

TEST(Startup, SetUpWritesLocationAndVersionAndLoadsTheOptions) {
    TRegistryStore store(":memory:");
    RegWriteInteger(store, kAppRegRoot, kOptionsKey, "MRULimit", 7);
    auto context = InitializeApplication("/opt/glyphscope/bin/glyphscope", store);
    ASSERT_TRUE(hasApplication());
    EXPECT_EQ(application().ProductName, "Glyphscope");
    EXPECT_EQ(RegReadString(store, kAppRegRoot, kRegAppKey, "Location", ""), "/opt/glyphscope/bin/");
    EXPECT_EQ(RegReadString(store, kAppRegRoot, kRegAppKey, "Version", ""), application().VersionText);
    EXPECT_EQ(context->Options.MRULimit, 7);
    EXPECT_EQ(context->FindInfo.LastIndex, -1);
    EXPECT_TRUE(context->FindInfo.Text.empty());
    FinalizeApplication(std::move(context), TFinalizeMode::DiscardState);
    EXPECT_FALSE(hasApplication());
}

TEST(Startup, ABatchTeardownSavesNothingAWindowTeardownSavesTheOptions) {
    TRegistryStore store(":memory:");
    auto batch = InitializeApplication("/usr/bin/glyphscope", store);
    batch->Options.MRULimit = 3;
    FinalizeApplication(std::move(batch), TFinalizeMode::DiscardState);
    EXPECT_FALSE(RegValueExists(store, kAppRegRoot, kOptionsKey, "MRULimit"));

    auto window = InitializeApplication("/usr/bin/glyphscope", store);
    window->Options.MRULimit = 3;
    FinalizeApplication(std::move(window), TFinalizeMode::SaveState);
    EXPECT_EQ(RegReadInteger(store, kAppRegRoot, kOptionsKey, "MRULimit", 0), 3);
}

// Another program holds the store while the program starts: nothing of it can be read, the
// user is told so, and the teardown, with the store free again, puts nothing over it: the
// options, favourites, recent lists and window placement stay as they were.
TEST(Startup, AStoreBusyAtTheStartIsNeverSavedOver) {
    gstest::TempDir dir;
    const std::string file = dir / "registry.sqlite3";
    const std::string favoritesKey = FavoritesKey(kRegAppKey);
    auto dump = [&] {
        TRegistryStore reader(file);
        std::string out;
        for (const std::string& key : {kOptionsKey, kOptionsKey + "\\Filters", favoritesKey, favoritesKey + "\\Tools",
                                      std::string(kRegAppKey) + "\\Storage\\MRUFiles"})
            for (const std::string& name : RegGetValueNames(reader, kAppRegRoot, key))
                out += key + "|" + name + "|" + RegReadString(reader, kAppRegRoot, key, name, "#") + ";";
        return out + std::to_string(RegReadInteger(reader, kAppRegRoot, kOptionsKey, "MRULimit", 0));
    };
    {
        TRegistryStore store(file);
        auto first = InitializeApplication("/usr/bin/glyphscope", store);
        first->Options.MRULimit = 4;
        AddFavorite(AddFolder(first->Favorites, "Tools"), "shell", "/usr/lib/shell.dll");
        TRecentLists recent;
        recent.Files.SetItems({"/a.ico"});
        recent.SaveFolders(store, kAppRegRoot, kRegAppKey);
        recent.SaveFiles(store, kAppRegRoot, kRegAppKey);
        TRegIniStorage placement(store, kAppRegRoot, kRegAppKey, false);
        placement.WriteInteger("Storage", "Col0", 99);
        ASSERT_TRUE(placement.Close());
        FinalizeApplication(std::move(first), TFinalizeMode::SaveState);
    }
    const std::string before = dump();
    ASSERT_NE(before.find("shell|/usr/lib/shell.dll"), std::string::npos) << before;

    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    TRegistryStore store(file);
    testing::internal::CaptureStderr();
    auto context = InitializeApplication("/usr/bin/glyphscope", store);
    TRecentLists recent;
    EXPECT_FALSE(recent.LoadFolders(store, kAppRegRoot, kRegAppKey));
    EXPECT_FALSE(recent.LoadFiles(store, kAppRegRoot, kRegAppKey));
    TRegIniStorage placement(store, kAppRegRoot, kRegAppKey, true);
    EXPECT_FALSE(placement.Reachable());
    testing::internal::GetCapturedStderr();
    const std::vector<std::string> notices = TakeStoreNotices(*context);
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_NE(notices[0].find("is busy"), std::string::npos) << notices[0];
    EXPECT_TRUE(notices[1].starts_with("the options could not be read")) << notices[1];
    EXPECT_TRUE(notices[2].starts_with("the favourites could not be read")) << notices[2];
    EXPECT_TRUE(TakeStoreNotices(*context).empty());  // told once
    EXPECT_EQ(context->Options.MRULimit, 10);

    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    context->Options.MRULimit = 2;
    AddFavorite(context->Favorites, "new", "/n");
    recent.Files.SetItems({"/b.ico"});
    EXPECT_FALSE(context->Options.Save(store, kAppRegRoot, kRegAppKey));  // the options dialog's save too
    EXPECT_FALSE(recent.SaveFolders(store, kAppRegRoot, kRegAppKey));
    EXPECT_FALSE(recent.SaveFiles(store, kAppRegRoot, kRegAppKey));
    FinalizeApplication(std::move(context), TFinalizeMode::SaveState);
    EXPECT_EQ(dump(), before);
}
