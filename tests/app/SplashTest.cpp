// The splash picture carried by the program and the splash step of a windowed start: the
// picture as ImageMagick decodes the same GIF, the step's two seconds of running event loop.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <fstream>

#include "support/QtTestApp.h"
#include "app/core/AppIdentity.h"
#include "app/core/SplashPicture.h"
#include "app/ui/SplashBitmap.h"
#include "app/ui/SplashStep.h"
#include "framework/core/Application.h"
#include "framework/ui/SplashForm.h"
#include "support/TempDir.h"

using namespace gs;

namespace {

TBytes command(const std::string& line) {
    TBytes out;
    if (FILE* p = popen(line.c_str(), "r")) {
        std::uint8_t buffer[65536];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, p)) out.insert(out.end(), buffer, buffer + n);
        if (pclose(p) != 0) out.clear();
    }
    return out;
}

}  // namespace

TEST(SplashPicture, IsTheGifImageMagickDecodes) {
    gstest::qtTestApp();
    const QByteArray data = SplashPictureData();
    ASSERT_GT(data.size(), 4);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const std::uint32_t count = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t(bytes[3]) << 24;
    EXPECT_EQ(count, std::uint32_t(data.size() - 4));
    const std::optional<TRaster> bitmap = GetSplashBitmap();
    ASSERT_TRUE(bitmap);
    ASSERT_EQ(bitmap->Width(), 500);
    ASSERT_EQ(bitmap->Height(), 400);

    if (command("command -v convert").empty()) GTEST_SKIP() << "ImageMagick's convert is missing";
    gstest::TempDir dir;
    const std::string gif = dir / "splash.gif";
    std::ofstream(gif, std::ios::binary).write(data.constData() + 4, data.size() - 4);
    const TBytes rgb = command("convert '" + gif + "' rgb:-");
    ASSERT_EQ(rgb.size(), 500u * 400u * 3u);
    int differing = 0;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 500; ++x) {
            const std::size_t at = (std::size_t(y) * 500 + std::size_t(x)) * 3;
            const Argb c = bitmap->Pixel(x, y);
            differing += redOf(c) != rgb[at] || greenOf(c) != rgb[at + 1] || blueOf(c) != rgb[at + 2];
        }
    EXPECT_EQ(differing, 0);
}

TEST(SplashPicture, DataThatCannotBeReadGivesNoPicture) {
    const TBytes cases[] = {{}, {1, 0, 0}, {10, 0, 0, 0, 'G', 'I', 'F'}, {6, 0, 0, 0, 'G', 'I', 'F', '8', '9', 'a'},
                           {13, 0, 0, 0, 'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0}};
    for (const TBytes& data : cases) EXPECT_FALSE(SplashBitmapFrom(data)) << data.size();
}

TEST(SplashStep, ShowsTheSplashForTwoSecondsOfEventLoop) {
    gstest::qtTestApp();
    if (!hasApplication()) installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));
    QObject context;
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 shownAfter = -1;
    bool splashUpThen = false;
    clock.start();
    ShowStartupSplash(application(), &context, [&] {
        shownAfter = clock.elapsed();
        splashUpThen = SplashForm() && SplashForm()->isVisible();
        loop.quit();
    });
    ASSERT_NE(SplashForm(), nullptr);
    EXPECT_EQ(SplashForm()->size(), QSize(500, 400));
    EXPECT_FALSE(SplashForm()->ImgSplash->pixmap().isNull());
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);  // a bound for "it ends", not a measure
    EXPECT_EQ(shownAfter, -1);  // nothing happens until the event loop runs: a timer, never a sleep
    loop.exec();
    EXPECT_GE(shownAfter, 0);
    EXPECT_TRUE(splashUpThen);
    EXPECT_EQ(SplashForm(), nullptr);
}
