// glyphscope-appicon DIR: the program's own icon for the desktop's icon theme, drawn here
// as an icon picture at every size the theme asks for and written as DIR/NxN/apps/
// glyphscope.png. The picture: four icon tiles seen through a magnifying glass.
#include <png.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "iconlib/IconPicture.h"

namespace {

using gs::Argb;

// A shape as a test of a point in the unit square (0..1 on both axes, y downwards).
using Shape = std::function<bool(double x, double y)>;

struct TLayer {
    Shape shape;
    int red, green, blue, alpha;
};

constexpr int kThemeSizes[] = {16, 24, 32, 48, 64, 128, 256};
constexpr int kSubsamples = 4;  // per axis, for soft edges
constexpr double kLensX = 0.42, kLensY = 0.42, kLensOuter = 0.34, kLensInner = 0.27;

// The four sample shapes, each in a cell 0.2 wide whose top left corner is (left, top).
bool disc(double x, double y, double left, double top) { return std::hypot(x - left - 0.1, y - top - 0.1) < 0.09; }
bool ring(double x, double y, double left, double top) {
    const double r = std::hypot(x - left - 0.1, y - top - 0.1);
    return r < 0.095 && r > 0.05;
}
bool diamond(double x, double y, double left, double top) {
    return std::abs(x - left - 0.1) + std::abs(y - top - 0.1) < 0.1;
}
bool brick(double x, double y, double left, double top) {
    return x > left + 0.01 && x < left + 0.19 && y > top + 0.04 && y < top + 0.16;
}
bool inLens(double x, double y) { return std::hypot(x - kLensX, y - kLensY) < kLensInner; }
bool lensRim(double x, double y) {
    const double r = std::hypot(x - kLensX, y - kLensY);
    return r >= kLensInner && r < kLensOuter;
}
// The handle: a thick bar from the rim towards the lower right corner.
bool handle(double x, double y) {
    const double along = ((x - kLensX) + (y - kLensY)) / std::sqrt(2.0);
    const double across = ((x - kLensX) - (y - kLensY)) / std::sqrt(2.0);
    return along > kLensOuter - 0.02 && along < 0.76 && std::abs(across) < 0.075;
}

const std::vector<TLayer>& layers() {
    static const std::vector<TLayer> all = {
        {[](double x, double y) { return disc(x, y, 0.21, 0.21); }, 240, 190, 20, 255},
        {[](double x, double y) { return diamond(x, y, 0.43, 0.21); }, 40, 150, 60, 255},
        {[](double x, double y) { return brick(x, y, 0.21, 0.43); }, 180, 60, 40, 255},
        {[](double x, double y) { return ring(x, y, 0.43, 0.43); }, 58, 110, 165, 255},
        {inLens, 220, 235, 250, 70},  // the glass
        {lensRim, 40, 52, 70, 255},
        {handle, 40, 52, 70, 255},
    };
    return all;
}

// One pixel: the layers composited over transparency at each subsample, then averaged
// (premultiplied), so edges are soft and nothing bleeds colour into transparent pixels.
Argb pixel(int px, int py, int size) {
    double r = 0, g = 0, b = 0, a = 0;
    for (int sy = 0; sy < kSubsamples; ++sy)
        for (int sx = 0; sx < kSubsamples; ++sx) {
            const double x = (px + (sx + 0.5) / kSubsamples) / size, y = (py + (sy + 0.5) / kSubsamples) / size;
            double cr = 0, cg = 0, cb = 0, ca = 0;  // premultiplied
            for (const TLayer& l : layers()) {
                if (!l.shape(x, y)) continue;
                const double la = l.alpha / 255.0;
                cr = l.red * la + cr * (1 - la);
                cg = l.green * la + cg * (1 - la);
                cb = l.blue * la + cb * (1 - la);
                ca = la + ca * (1 - la);
            }
            r += cr, g += cg, b += cb, a += ca;
        }
    const double n = kSubsamples * kSubsamples;
    if (a <= 0) return gs::makeArgb(0, 0, 0, 0);
    auto channel = [&](double premultiplied) { return std::uint8_t(std::lround(std::min(255.0, premultiplied / a))); };
    return gs::makeArgb(channel(r), channel(g), channel(b), std::uint8_t(std::lround(255 * a / n)));
}

gs::TIconPicture draw(int size) {
    gs::TIconPicture pic;
    pic.width = pic.height = size;
    pic.hasAlpha = true;
    pic.colour.resize(std::size_t(size) * std::size_t(size));
    pic.mask.assign(pic.colour.size(), 0);
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            const std::size_t i = std::size_t(py) * std::size_t(size) + std::size_t(px);
            pic.colour[i] = pixel(px, py, size);
            pic.mask[i] = gs::alphaOf(pic.colour[i]) == 0;
        }
    return pic;
}

// libpng's errors jump back here: nothing with a destructor lives in this frame.
bool encodePng(std::FILE* out, png_uint_32 width, png_uint_32 height, png_bytepp rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, out);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// The picture as an 8-bit RGBA PNG; false (with a message) when it cannot be written.
bool writePng(const gs::TIconPicture& pic, const std::filesystem::path& file) {
    std::vector<png_byte> rows(std::size_t(pic.width) * std::size_t(pic.height) * 4);
    for (std::size_t i = 0; i < pic.colour.size(); ++i) {
        rows[i * 4 + 0] = gs::redOf(pic.colour[i]);
        rows[i * 4 + 1] = gs::greenOf(pic.colour[i]);
        rows[i * 4 + 2] = gs::blueOf(pic.colour[i]);
        rows[i * 4 + 3] = gs::alphaOf(pic.colour[i]);
    }
    std::vector<png_bytep> pointers(std::size_t(pic.height));
    for (int y = 0; y < pic.height; ++y) pointers[std::size_t(y)] = rows.data() + std::size_t(y) * std::size_t(pic.width) * 4;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(file.c_str(), "wb"), &std::fclose);
    if (!out || !encodePng(out.get(), png_uint_32(pic.width), png_uint_32(pic.height), pointers.data()) ||
        std::fflush(out.get()) != 0) {
        std::fprintf(stderr, "glyphscope-appicon: cannot write %s\n", file.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: glyphscope-appicon DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    try {
        for (int size : kThemeSizes) {
            const std::filesystem::path folder = dir / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
            std::filesystem::create_directories(folder);
            if (!writePng(draw(size), folder / "glyphscope.png")) return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "glyphscope-appicon: %s\n", e.what());
        return 1;
    }
    return 0;
}
