// The clipboard formats on Qt's offscreen clipboard: each graphic round-trips through its
// named format, the picture travels beside it, and a clipboard without either is refused.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <cstdlib>

#include "codecs/CodecTestSupport.h"
#include "codecs/ui/Clipboard.h"
#include "support/IconMaker.h"

namespace {

using gstest::errorOf;

gs::Raster indexedPicture() {
    gs::Raster r(5, 3, gs::PixelFormat::pf8bit);
    r.setPalette({{10, 20, 30}, {200, 100, 0}, {0, 0, 255}});
    for (int i = 0; i < 15; ++i) r.setIndexAt(i % 5, i / 5, std::uint8_t(i % 3));
    return r;
}

QByteArray formatBytes(const char* format) {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    return mime ? mime->data(gs::ui::clipboardMimeType(format)) : QByteArray();
}

TEST(Clipboard, SplashGraphicTravelsBehindItsCountWithItsPicture) {
    gs::TRxGIFImage source;
    source.appendFrame(indexedPicture());
    source.appendFrame(indexedPicture());
    gs::ByteWriter written;
    source.saveToStream(written);  // codes both frames, so both have their data
    gs::ui::saveToClipboard(source, *QApplication::clipboard());
    const QByteArray data = formatBytes("GIF Image");
    ASSERT_GE(data.size(), 10);
    EXPECT_EQ(quint32(quint8(data[0]) | quint8(data[1]) << 8 | quint8(data[2]) << 16 | quint8(data[3]) << 24),
              quint32(data.size() - 4));
    EXPECT_EQ(data.mid(4, 6), QByteArray("GIF89a"));

    gs::TRxGIFImage back;
    gs::ui::loadFromClipboard(back, *QApplication::clipboard());
    ASSERT_EQ(back.frameCount(), 2);
    EXPECT_EQ(back.frameIndex(), 0);
    EXPECT_EQ(back.frame(0).bitmap().pixel(1, 0), gs::makeArgb(200, 100, 0));
    EXPECT_EQ(back.frame(1).bitmap().pixel(2, 0), gs::makeArgb(0, 0, 255));
}

TEST(Clipboard, GifModelAndPicturesAndRefusals) {
    gs::TGIFImage gif;
    gif.assign(indexedPicture());
    gs::ui::saveToClipboard(gif, *QApplication::clipboard());
    EXPECT_EQ(formatBytes("GIF Image").left(6), QByteArray("GIF87a"));
    EXPECT_EQ(gs::ui::fromQImage(qvariant_cast<QImage>(QApplication::clipboard()->mimeData()->imageData())).pixel(2, 0),
              gs::makeArgb(0, 0, 255));
    gs::TGIFImage back;
    gs::ui::loadFromClipboard(back, *QApplication::clipboard());
    ASSERT_EQ(back.frameCount(), 1);
    EXPECT_EQ(back.frame(0).pixelAt(1, 0), 1);

    // A picture alone becomes one frame; an empty clipboard is refused.
    QApplication::clipboard()->setImage(gs::ui::toQImage(indexedPicture()));
    gs::TRxGIFImage fromPicture;
    gs::ui::loadFromClipboard(fromPicture, *QApplication::clipboard());
    ASSERT_EQ(fromPicture.frameCount(), 1);
    EXPECT_EQ(fromPicture.frame(0).bitmap().pixel(0, 0), gs::makeArgb(10, 20, 30));
    QApplication::clipboard()->setMimeData(new QMimeData);
    EXPECT_EQ(errorOf([&] { gs::ui::loadFromClipboard(fromPicture, *QApplication::clipboard()); }),
              "Unsupported clipboard format");
    EXPECT_EQ(errorOf([&] { gs::ui::loadFromClipboard(back, *QApplication::clipboard()); }),
              "Unsupported clipboard format");
}

TEST(Clipboard, IconsTravelAsOrvidIcon) {
    gs::TQBIcon icon;
    gs::MemorySource file(gstest::makeIcoFile({gstest::dibSpec(16, 4), gstest::dibSpec(32, 8)}));
    ASSERT_TRUE(icon.LoadFromSource(file));
    gs::ui::saveToClipboard(icon, *QApplication::clipboard());
    EXPECT_EQ(formatBytes("Orvid Icon").size(), qsizetype(file.size()));
    gs::TQBIcon back;
    ASSERT_TRUE(gs::ui::loadFromClipboard(back, *QApplication::clipboard()));
    EXPECT_EQ(back.Images().Count(), 2);
    QApplication::clipboard()->setMimeData(new QMimeData);
    EXPECT_FALSE(gs::ui::loadFromClipboard(back, *QApplication::clipboard()));
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
