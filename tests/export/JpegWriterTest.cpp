#include <gtest/gtest.h>

#include <fstream>

#include "ExportTestSupport.h"
#include "export/ImageExport.h"
#include "export/JpegWriter.h"
#include "platform/Errors.h"

using namespace gs;
using namespace gs::testing;

namespace {

void writePpm(const TRaster& r, const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << r.Width() << ' ' << r.Height() << "\n255\n";
    const TBytes rgb = rgbBytes(r);
    out.write(reinterpret_cast<const char*>(rgb.data()), std::streamsize(rgb.size()));
}

}  // namespace

// libjpeg's own command-line compressor with the same settings is the reference.
TEST(JpegExport, BytesEqualCjpegWithQuality90FloatDctBaseline) {
    if (!haveTool("/usr/bin/cjpeg")) GTEST_SKIP() << "cjpeg missing";
    const gstest::TempDir scratch("gs-export-jpeg-cjpeg-");
    const std::filesystem::path& dir = scratch.path;
    struct Case {
        int w, h;
        PixelFormat pf;
    } cases[] = {{1, 1, PixelFormat::pf32bit}, {32, 32, PixelFormat::pf32bit}, {17, 9, PixelFormat::pf24bit},
                 {50, 50, PixelFormat::pf8bit}, {33, 65, PixelFormat::pf4bit}, {102, 50, PixelFormat::pf1bit}};
    for (const Case& c : cases) {
        const TRaster r = samplePicture(c.w, c.h, c.pf, unsigned(c.w * 100 + c.h));
        const auto ppm = dir / "in.ppm", ours = dir / "ours.jpg";
        writePpm(r, ppm);
        SaveBitmapAsJPEG(&r, ours);
        ToolRun ref = runTool("/usr/bin/cjpeg -quality 90 -dct float -baseline " + quoted(ppm));
        ASSERT_EQ(ref.status, 0) << ref.err;
        const TBytes expected(ref.out.begin(), ref.out.end());
        EXPECT_EQ(fileBytes(ours), expected) << c.w << "x" << c.h << " at " << bitCountOf(c.pf) << " bits";
        if (c.w == 32) {  // the comparison does see the DCT: the integer one gives other bytes
            ToolRun integerDct = runTool("/usr/bin/cjpeg -quality 90 -baseline " + quoted(ppm));
            EXPECT_NE(fileBytes(ours), TBytes(integerDct.out.begin(), integerDct.out.end()));
        }
    }
}

TEST(JpegExport, PicturesLibjpegRefusesRaiseAndKeepTheOldFile) {
    const gstest::TempDir scratch("gs-export-jpeg-refused-");
    const std::filesystem::path& dir = scratch.path;
    const auto target = dir / "kept.jpg";
    const TRaster small = samplePicture(4, 4, PixelFormat::pf24bit, 1);
    SaveBitmapAsJPEG(&small, target);
    const TBytes before = fileBytes(target);
    ASSERT_FALSE(before.empty());
    const TRaster tooWide(70000, 1, PixelFormat::pf24bit);  // beyond libjpeg's 65,500 pixels
    EXPECT_THROW(SaveBitmapAsJPEG(&tooWide, target), EFCreateError);
    EXPECT_THROW(encodeJpeg(TRaster()), EFCreateError);
    EXPECT_EQ(fileBytes(target), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no temporary left over
    SaveBitmapAsJPEG(nullptr, dir / "none.jpg");
    EXPECT_FALSE(std::filesystem::exists(dir / "none.jpg"));
}
