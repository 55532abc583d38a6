// glyphscope-splash FILE: the program's splash picture, drawn here and written by the
// splash-picture GIF writer as form picture data (a 32-bit byte count, then the GIF) that
// the program carries as a resource. 500 x 400; the lower band stays dark for the white
// version, copyright and warning texts the splash window writes over it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

#include "codecs/RxGif.h"
#include "platform/AtomicFile.h"

namespace {

using gs::Argb;

constexpr int kWidth = 500;
constexpr int kHeight = 400;
constexpr int kTextBand = 250;  // rows below stay dark under the texts

std::uint8_t mix(double a, double b, double t) { return std::uint8_t(std::clamp(a + (b - a) * t, 0.0, 255.0)); }

// Night blue at the top to the panel colour's darker shade at the bottom.
Argb background(int y) {
    const double t = double(y) / (kHeight - 1);
    return gs::makeArgb(mix(20, 18, t), mix(38, 44, t), mix(76, 96, t));
}

// A grid of icon-like tiles across the top, each a soft square of its own hue.
bool tileAt(int x, int y, Argb& colour) {
    constexpr int kTile = 36, kGap = 14, kLeft = 30, kTop = 28;
    if (y >= kTextBand - 40 || x < kLeft || y < kTop) return false;
    const int cx = (x - kLeft) / (kTile + kGap), cy = (y - kTop) / (kTile + kGap);
    const int ox = (x - kLeft) % (kTile + kGap), oy = (y - kTop) % (kTile + kGap);
    if (ox >= kTile || oy >= kTile || cx > 8) return false;
    static constexpr Argb kHues[] = {gs::makeArgb(230, 90, 70), gs::makeArgb(240, 180, 60), gs::makeArgb(90, 190, 110),
                                     gs::makeArgb(80, 150, 230), gs::makeArgb(170, 110, 220)};
    const Argb hue = kHues[(cx + cy * 2) % 5];
    const double shade = 0.55 + 0.45 * (1.0 - double(oy) / kTile);
    colour = gs::makeArgb(mix(0, gs::redOf(hue), shade), mix(0, gs::greenOf(hue), shade),
                          mix(0, gs::blueOf(hue), shade));
    return true;
}

// A magnifying lens over the grid: a bright ring, a lighter glass and a handle.
bool lensAt(int x, int y, Argb& colour, Argb under) {
    constexpr double kCx = 330, kCy = 110, kRadius = 78, kRim = 9;
    const double r = std::hypot(x - kCx, y - kCy);
    if (r < kRadius - kRim) {
        colour = gs::makeArgb(mix(gs::redOf(under), 255, 0.35), mix(gs::greenOf(under), 255, 0.35),
                              mix(gs::blueOf(under), 255, 0.35));
        return true;
    }
    if (r < kRadius) {
        colour = gs::makeArgb(225, 230, 240);
        return true;
    }
    // The handle runs down and to the right from the rim.
    const double along = ((x - kCx) + (y - kCy)) / std::sqrt(2.0);
    const double across = ((x - kCx) - (y - kCy)) / std::sqrt(2.0);
    if (along > kRadius && along < kRadius + 90 && std::abs(across) < 11) {
        colour = gs::makeArgb(mix(150, 90, (along - kRadius) / 90), 95, 60);
        return true;
    }
    return false;
}

gs::TRaster drawSplash() {
    gs::TRaster picture(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            Argb c = background(y);
            Argb tile;
            if (tileAt(x, y, tile)) c = tile;
            Argb lens;
            if (lensAt(x, y, lens, c)) c = lens;
            // A thin rule above the text band.
            if (y == kTextBand + 2 && x >= 24 && x < kWidth - 24) c = gs::makeArgb(120, 160, 210);
            picture.SetPixel(x, y, c);
        }
    return picture;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: glyphscope-splash FILE\n");
        return 2;
    }
    try {
        gs::TRxGIFImage gif;
        gif.AppendFrame(drawSplash());
        gs::TByteWriter out;
        gif.WriteData(out);
        gs::writeFileAtomically(argv[1], out.Data());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "glyphscope-splash: %s\n", e.what());
        return 1;
    }
    return 0;
}
