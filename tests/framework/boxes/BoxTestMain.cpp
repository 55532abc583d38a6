// The window tests need one application object for the whole run; without a display they
// draw offscreen (test discovery runs without the test environment, so it is set here too).
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("BoxTests"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
