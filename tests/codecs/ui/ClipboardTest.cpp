// The clipboard formats on Qt's offscreen clipboard: each graphic round-trips through its
// named format, the picture travels beside it, and a clipboard without either is refused.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <cstdlib>
#include <memory>

#include "codecs/CodecTestSupport.h"
#include "codecs/GifRender.h"
#include "codecs/ui/Clipboard.h"
#include "support/IconMaker.h"
#include "support/QtTestApp.h"

namespace {

using gstest::errorOf;

gs::TRaster indexedPicture() {
    gs::TRaster r(5, 3, gs::PixelFormat::pf8bit);
    r.SetPalette({{10, 20, 30}, {200, 100, 0}, {0, 0, 255}});
    for (int i = 0; i < 15; ++i) r.SetIndexAt(i % 5, i / 5, std::uint8_t(i % 3));
    return r;
}

QByteArray formatBytes(const char* format) {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    return mime ? mime->data(gs::ui::clipboardMimeType(format)) : QByteArray();
}

TEST(Clipboard, SplashGraphicTravelsBehindItsCountWithItsPicture) {
    gs::TRxGIFImage source;
    source.AppendFrame(indexedPicture());
    source.AppendFrame(indexedPicture());
    gs::TByteWriter written;
    source.SaveToStream(written);  // codes both frames, so both have their data
    gs::ui::saveToClipboard(source, *QApplication::clipboard());
    const QByteArray data = formatBytes("GIF Image");
    ASSERT_GE(data.size(), 10);
    EXPECT_EQ(quint32(quint8(data[0]) | quint8(data[1]) << 8 | quint8(data[2]) << 16 | quint8(data[3]) << 24),
              quint32(data.size() - 4));
    EXPECT_EQ(data.mid(4, 6), QByteArray("GIF89a"));

    gs::TRxGIFImage back;
    gs::ui::loadFromClipboard(back, *QApplication::clipboard());
    ASSERT_EQ(back.FrameCount(), 2);
    EXPECT_EQ(back.FrameIndex(), 0);
    EXPECT_EQ(back.Frame(0).Bitmap().Pixel(1, 0), gs::makeArgb(200, 100, 0));
    EXPECT_EQ(back.Frame(1).Bitmap().Pixel(2, 0), gs::makeArgb(0, 0, 255));
}

TEST(Clipboard, GifModelAndPicturesAndRefusals) {
    gs::TGIFImage gif;
    gif.Assign(indexedPicture());
    gs::ui::saveToClipboard(gif, *QApplication::clipboard());
    EXPECT_EQ(formatBytes("GIF Image").left(6), QByteArray("GIF87a"));
    EXPECT_EQ(gs::FromQImage(qvariant_cast<QImage>(QApplication::clipboard()->mimeData()->imageData())).Pixel(2, 0),
              gs::makeArgb(0, 0, 255));
    gs::TGIFImage back;
    gs::ui::loadFromClipboard(back, *QApplication::clipboard());
    ASSERT_EQ(back.FrameCount(), 1);
    EXPECT_EQ(back.Frame(0).PixelAt(1, 0), 1);

    // A picture alone becomes one frame; an empty clipboard is refused.
    QApplication::clipboard()->setImage(gs::ToQImage(indexedPicture()));
    gs::TRxGIFImage fromPicture;
    gs::ui::loadFromClipboard(fromPicture, *QApplication::clipboard());
    ASSERT_EQ(fromPicture.FrameCount(), 1);
    EXPECT_EQ(fromPicture.Frame(0).Bitmap().Pixel(0, 0), gs::makeArgb(10, 20, 30));
    QApplication::clipboard()->setMimeData(new QMimeData);
    EXPECT_EQ(errorOf([&] { gs::ui::loadFromClipboard(fromPicture, *QApplication::clipboard()); }),
              "Unsupported clipboard format");
    EXPECT_EQ(errorOf([&] { gs::ui::loadFromClipboard(back, *QApplication::clipboard()); }),
              "Unsupported clipboard format");
}

TEST(Clipboard, IconsTravelAsOrvidIcon) {
    gs::TQBIcon icon;
    gs::TMemorySource file(gstest::makeIcoFile({gstest::dibSpec(16, 4), gstest::dibSpec(32, 8)}));
    ASSERT_TRUE(icon.LoadFromSource(file));
    gs::ui::saveToClipboard(icon, *QApplication::clipboard());
    EXPECT_EQ(formatBytes("Orvid Icon").size(), qsizetype(file.Size()));
    gs::TQBIcon back;
    ASSERT_TRUE(gs::ui::loadFromClipboard(back, *QApplication::clipboard()));
    EXPECT_EQ(back.Images().Count(), 2);
    QApplication::clipboard()->setMimeData(new QMimeData);
    EXPECT_FALSE(gs::ui::loadFromClipboard(back, *QApplication::clipboard()));
}

TEST(Clipboard, TheNamedFormatsRoundTripAndACutCountIsRefused) {
    QMimeData data;
    const gs::TBytes stream{'G', 'I', 'F', '8', '9', 'a'};
    gs::ui::putGifImage(data, stream);
    EXPECT_EQ(gs::ui::takeGifImage(data), stream);
    QByteArray cut = data.data("application/x-qt-windows-mime;value=\"GIF Image\"");
    cut.chop(1);  // one byte short of its count
    data.setData(gs::ui::clipboardMimeType(gs::ui::kGifImageFormat), cut);
    EXPECT_FALSE(gs::ui::takeGifImage(data));
    const gs::TBytes oneIcon = gstest::makeIcoFile({gstest::dibSpec(32, 8, 1)});
    gs::TQBIcon icon;
    ASSERT_TRUE(icon.LoadFromSource(gs::TMemorySource(oneIcon)));
    gs::ui::putOrvidIcon(data, icon);
    EXPECT_EQ(gs::ui::takeOrvidIcon(data), oneIcon);

    // An icon without images puts nothing; a bitmap travels as the image itself.
    QMimeData none;
    gs::ui::putOrvidIcon(none, gs::TQBIcon());
    EXPECT_FALSE(gs::ui::takeOrvidIcon(none));
    const std::unique_ptr<QMimeData> bitmap(gs::ui::bitmapMimeData(indexedPicture()));
    EXPECT_EQ(gs::FromQImage(qvariant_cast<QImage>(bitmap->imageData())).Pixel(1, 0), gs::makeArgb(200, 100, 0));
    gs::TRaster clear(2, 1);
    clear.SetPixel(0, 0, gs::makeArgb(1, 2, 3, 0));
    const std::unique_ptr<QMimeData> opaque(gs::ui::bitmapMimeData(clear));
    EXPECT_EQ(qvariant_cast<QImage>(opaque->imageData()).pixel(0, 0), 0xFF010203u);
}

TEST(Clipboard, EitherGraphicReadsTheOthersGifImage) {
    // The model's stream as it is, read by the splash-picture graphic.
    gs::TGIFImage model;
    model.Assign(indexedPicture());
    gs::ui::saveToClipboard(model, *QApplication::clipboard());
    gs::TRxGIFImage splash;
    gs::ui::loadFromClipboard(splash, *QApplication::clipboard());
    ASSERT_EQ(splash.FrameCount(), 1);

    // The splash graphic's counted stream, read by the model.
    gs::TRxGIFImage counted;
    counted.AppendFrame(indexedPicture());
    gs::TByteWriter written;
    counted.SaveToStream(written);
    gs::ui::saveToClipboard(counted, *QApplication::clipboard());
    gs::TGIFImage back;
    gs::ui::loadFromClipboard(back, *QApplication::clipboard());
    ASSERT_EQ(back.FrameCount(), 1);
    EXPECT_EQ(back.Frame(0).PixelAt(1, 0), 1);
}

TEST(Clipboard, TheModelsPictureIsTheCoresRenderingEvenBeyondTheTable) {
    // Index 3 lies beyond a table of three colours (the written table pads it black); in
    // the second case the frame sits inside a larger screen, so the picture is the screen
    // with the frame drawn at its place.
    struct Case {
        int left, top, screenW, screenH;
    } cases[] = {{0, 0, 3, 2}, {1, 1, 5, 4}};
    for (const Case& c : cases) {
        gs::TGIFImage gif;
        gif.GlobalColorMap().LoadFromPalette(std::vector<gs::TRgb>{{10, 20, 30}, {200, 100, 0}, {0, 0, 255}});
        auto frame = std::make_unique<gs::TGIFSubImage>(gif);
        frame->SetBounds(c.left, c.top, 3, 2);
        const std::uint8_t pixels[] = {0, 3, 3, 2, 1, 3};
        std::copy(std::begin(pixels), std::end(pixels), frame->Pixels().begin());
        gif.AddFrame(std::move(frame));
        gif.SetWidth(c.screenW);
        gif.SetHeight(c.screenH);
        gs::ui::saveToClipboard(gif, *QApplication::clipboard());
        const gs::TRaster shown = gs::FromQImage(QApplication::clipboard()->image());
        ASSERT_EQ(shown.Width(), c.screenW);
        ASSERT_EQ(shown.Height(), c.screenH);
        const gs::TRenderedFrame rendered = gs::RenderFrame(gif.Frame(0));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(shown.Pixel(c.left + x, c.top + y), rendered.Bitmap.Pixel(x, y) | 0xFF000000u) << x << "," << y;
        EXPECT_EQ(shown.Pixel(c.left + 1, c.top), gs::makeArgb(0, 0, 0));  // beyond the table: black, and opaque
        gs::TGIFImage back;
        gs::ui::loadFromClipboard(back, *QApplication::clipboard());
        EXPECT_EQ(back.RenderedBitmap()->Pixel(c.left + 1, c.top), gs::makeArgb(0, 0, 0));

        // An index the stream cannot hold: nothing is put, the error says why.
        gif.Frame(0).PixelAt(2, 1) = 200;
        gif.Changed();
        QApplication::clipboard()->setMimeData(new QMimeData);
        EXPECT_EQ(errorOf([&] { gs::ui::saveToClipboard(gif, *QApplication::clipboard()); }), "Color not in color table");
        EXPECT_FALSE(QApplication::clipboard()->mimeData()->hasImage());
    }
}

}  // namespace

int main(int argc, char** argv) {
    gstest::qtTestApp();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
