// Start-up writes where the program lives and loads the options; a batch run's teardown
// leaves the stored options alone, a window's teardown saves them.
#include <gtest/gtest.h>

#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "framework/core/RegUtils.h"

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
