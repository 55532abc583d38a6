#include <gtest/gtest.h>

#include "framework/core/Application.h"

using namespace gs;

TEST(TQBApplication, LoggerFileNameFollowsTheFirstExeName) {
    TQBApplication app;
    app.SetExeName("");
    EXPECT_EQ(app.Logger.FileName, "");
    app.SetExeName("/opt/glyphscope/glyphscope.bin");
    EXPECT_EQ(app.Logger.FileName, "/opt/glyphscope/glyphscope.log");
    app.SetExeName("/usr/bin/other");
    EXPECT_EQ(app.ExeName, "/usr/bin/other");
    EXPECT_EQ(app.Logger.FileName, "/opt/glyphscope/glyphscope.log");
}

TEST(TQBApplication, IsInstalledOnceAndReadThroughTheAccessor) {
    EXPECT_THROW(application(), std::logic_error);
    auto app = std::make_unique<TQBApplication>();
    app->Title = "Veltrazone Glyphscope";
    installApplication(std::move(app));
    EXPECT_EQ(application().Title, "Veltrazone Glyphscope");
    EXPECT_THROW(installApplication(std::make_unique<TQBApplication>()), std::logic_error);
    EXPECT_EQ(uninstallApplication()->Title, "Veltrazone Glyphscope");
    EXPECT_FALSE(hasApplication());
}
