// The window tests need one application object for the whole run; without a display they
// draw offscreen (test discovery runs without the test environment, so the shared
// application object sees to that).
#include <gtest/gtest.h>

#include <QApplication>

#include "support/QtTestApp.h"

int main(int argc, char** argv) {
    gstest::qtTestApp();
    QApplication::setApplicationDisplayName(QStringLiteral("BoxTests"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
