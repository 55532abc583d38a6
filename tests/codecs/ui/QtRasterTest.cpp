// The one bridge from the program's pictures to Qt's: what each kind of caller relies on.
// The GIF painters and the clipboard's GIF frame need a 32-bit raster's alpha; the splash
// and the clipboard's bitmap need a bitmap opaque whatever its fourth byte; the list and
// the forms need an icon's mask as transparency.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "codecs/ui/QtRaster.h"
#include "iconlib/HiResIcon.h"
#include "iconlib/IconPicture.h"

namespace {

using gs::Argb;
using gs::makeArgb;
using gs::PixelFormat;
using gs::TRaster;
using gs::TRasterAlpha;

TRaster rasterWith(PixelFormat format, Argb first, Argb second) {
    TRaster r(2, 1, format);
    r.SetPixel(0, 0, first);
    r.SetPixel(1, 0, second);
    return r;
}

TEST(QtRaster, EachModeGivesTheFormatAndAlphaItsCallersExpect) {
    const Argb clear = makeArgb(10, 20, 30, 0), half = makeArgb(200, 100, 50, 128);
    struct Case {
        const char* what;
        TRaster raster;
        TRasterAlpha mode;
        QImage::Format format;
        QRgb first, second;
    };
    const Case cases[] = {
        {"GIF canvas keeps its alpha", rasterWith(PixelFormat::pf32bit, clear, half), TRasterAlpha::Kept,
         QImage::Format_ARGB32, clear, half},
        {"a bitmap is opaque whatever its fourth byte", rasterWith(PixelFormat::pf32bit, clear, half),
         TRasterAlpha::Opaque, QImage::Format_RGB32, makeArgb(10, 20, 30), makeArgb(200, 100, 50)},
        {"a 24-bit raster has no alpha to keep", rasterWith(PixelFormat::pf24bit, clear, half), TRasterAlpha::Kept,
         QImage::Format_ARGB32, makeArgb(10, 20, 30), makeArgb(200, 100, 50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QImage image = gs::ToQImage(c.raster, c.mode);
        ASSERT_EQ(image.size(), QSize(2, 1));
        EXPECT_EQ(image.format(), c.format);
        EXPECT_EQ(image.pixel(0, 0), c.first);
        EXPECT_EQ(image.pixel(1, 0), c.second);
    }
}

TEST(QtRaster, IndexedRastersComeThroughTheirPaletteOpaque) {
    TRaster r(3, 1, PixelFormat::pf8bit);
    r.SetPalette({{1, 2, 3}, {250, 0, 0}});
    r.SetIndexAt(1, 0, 1);
    for (TRasterAlpha mode : {TRasterAlpha::Kept, TRasterAlpha::Opaque}) {
        const QImage image = gs::ToQImage(r, mode);
        EXPECT_EQ(image.pixel(0, 0), makeArgb(1, 2, 3));
        EXPECT_EQ(image.pixel(1, 0), makeArgb(250, 0, 0));
    }
}

TEST(QtRaster, EmptyPicturesGiveNullImages) {
    EXPECT_TRUE(gs::ToQImage(TRaster()).isNull());
    EXPECT_TRUE(gs::ToQImage(TRaster(), TRasterAlpha::Opaque).isNull());
    EXPECT_TRUE(gs::ToQImage(gs::TIconPicture{}).isNull());
    EXPECT_TRUE(gs::FromQImage(QImage()).Empty());
    EXPECT_TRUE(gs::IconPixmap(nullptr).isNull());
    const gs::TQBHiResIcon none;
    EXPECT_TRUE(gs::IconPixmap(&none).isNull());
}

TEST(QtRaster, RoundTripKeepsEveryPixelAndAlpha) {
    TRaster r(4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) r.SetPixel(x, y, makeArgb(std::uint8_t(x * 60), std::uint8_t(y * 90), 7, std::uint8_t(x * 80)));
    EXPECT_EQ(gs::FromQImage(gs::ToQImage(r)), r);
    // Any Qt format comes back as a 32-bit raster.
    QImage mono(2, 1, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.setPixel(0, 0, 1);
    mono.setPixel(1, 0, 0);
    const TRaster back = gs::FromQImage(mono);
    EXPECT_EQ(back.Format(), PixelFormat::pf32bit);
    EXPECT_EQ(back.Pixel(0, 0), makeArgb(255, 255, 255));
    EXPECT_EQ(back.Pixel(1, 0), makeArgb(0, 0, 0));
}

TEST(QtRaster, IconMaskBecomesTransparencyAndAlphaStaysStraight) {
    gs::TIconPicture masked;
    masked.width = 2;
    masked.height = 1;
    masked.colour = {makeArgb(9, 8, 7, 0), makeArgb(1, 2, 3, 0)};
    masked.mask = {1, 0};
    const QImage image = gs::ToQImage(masked);
    EXPECT_EQ(image.format(), QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(image.pixel(1, 0), makeArgb(1, 2, 3));

    gs::TIconPicture blended = masked;
    blended.hasAlpha = true;
    blended.colour = {makeArgb(9, 8, 7, 64), makeArgb(1, 2, 3, 255)};
    EXPECT_EQ(gs::ToQImage(blended).pixel(0, 0), makeArgb(9, 8, 7, 64));

    const gs::TQBHiResIcon icon(std::make_shared<const gs::TIconPicture>(blended));
    const QPixmap pixmap = gs::IconPixmap(&icon);
    ASSERT_EQ(pixmap.size(), QSize(2, 1));
    EXPECT_TRUE(pixmap.hasAlphaChannel());
}

}  // namespace
