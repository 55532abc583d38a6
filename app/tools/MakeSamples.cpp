// glyphscope-samples DIR: the sample icons README's run command shows the program on,
// drawn here and written by the program's own writers: two icon files and an icon library.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>

#include "iconlib/IconChoice.h"
#include "iconlib/IconLibrary.h"

namespace {

using gs::Argb;

// A shape as a test of a point in the unit square (0..1 on both axes, y downwards).
using Shape = std::function<bool(double x, double y)>;

struct TSample {
    const char* name;
    Shape shape;
    Argb colour;
};

constexpr int kSizes[] = {16, 32, 48};
constexpr int kSubsamples = 4;  // per axis, for soft edges

bool disc(double x, double y) { return std::hypot(x - 0.5, y - 0.5) < 0.45; }
bool ring(double x, double y) {
    const double r = std::hypot(x - 0.5, y - 0.5);
    return r < 0.45 && r > 0.25;
}
bool diamond(double x, double y) { return std::abs(x - 0.5) + std::abs(y - 0.5) < 0.47; }
bool brick(double x, double y) { return x > 0.06 && x < 0.94 && y > 0.22 && y < 0.78; }

// The shape at one size: colour where it covers the pixel, alpha from the coverage.
gs::TIconPicture draw(const TSample& s, int size) {
    gs::TIconPicture pic;
    pic.width = pic.height = size;
    pic.hasAlpha = true;
    pic.colour.resize(std::size_t(size) * std::size_t(size));
    pic.mask.assign(pic.colour.size(), 0);
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            int covered = 0;
            for (int sy = 0; sy < kSubsamples; ++sy)
                for (int sx = 0; sx < kSubsamples; ++sx)
                    covered += s.shape((px + (sx + 0.5) / kSubsamples) / size, (py + (sy + 0.5) / kSubsamples) / size);
            const auto alpha = std::uint8_t(255 * covered / (kSubsamples * kSubsamples));
            const std::size_t i = std::size_t(py) * std::size_t(size) + std::size_t(px);
            pic.colour[i] = gs::makeArgb(gs::redOf(s.colour), gs::greenOf(s.colour), gs::blueOf(s.colour), alpha);
            pic.mask[i] = alpha == 0;
        }
    return pic;
}

std::unique_ptr<gs::TQBIcon> iconOf(const TSample& s) {
    auto icon = std::make_unique<gs::TQBIcon>();
    for (int size : kSizes) icon->Images().Add(gs::EncodeIconImage(draw(s, size)));
    return icon;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: glyphscope-samples DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const TSample samples[] = {{"Sun", disc, gs::makeArgb(240, 190, 20)},
                              {"Ring", ring, gs::makeArgb(58, 110, 165)},
                              {"Leaf", diamond, gs::makeArgb(40, 150, 60)},
                              {"Brick", brick, gs::makeArgb(180, 60, 40)}};
    try {
        std::filesystem::create_directories(dir);
        iconOf(samples[0])->SaveToFile(dir / "sun.ico");
        iconOf(samples[3])->SaveToFile(dir / "brick.ico");
        gs::TQBIconLibrary library;
        for (const TSample& s : samples) library.Icons.AddIcon(s.name, iconOf(s));
        library.SaveToFile(dir / "shapes.icl");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "glyphscope-samples: %s\n", e.what());
        return 1;
    }
    return 0;
}
