// rxgif [--count] [--frame K] FILE [OUT.bmp]: the splash-picture reader's account of a GIF
// (with --count, a 32-bit byte count in front of it); frame K written as a BMP.
// rxgif-write [--loop N] [--delay MS] [--mapping M] OUT.gif IN...: BMPs (or one .ani) as
// frames of one GIF. dib --format 1|4|8|24 [--mapping M] IN.bmp OUT.bmp: a BMP converted.
#include <algorithm>
#include <cstdio>
#include <map>
#include <iostream>

#include "Probe.h"
#include "codecs/AniCursor.h"
#include "codecs/GraphicRoutines.h"
#include "codecs/RxGif.h"
#include "platform/AtomicFile.h"
#include "platform/Bmp.h"

namespace {

// Options of the form --name VALUE (or a bare --flag) in front of the operands.
struct Options {
    std::map<std::string, std::string> values;
    gsprobe::Args operands;
    Options(const gsprobe::Args& args, const std::vector<std::string>& flags) {
        std::size_t i = 0;
        for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
            if (std::find(flags.begin(), flags.end(), args[i]) != flags.end())
                values.insert_or_assign(args[i], std::string(1, '1'));
            else if (i + 1 < args.size())
                values[args[i]] = args[i + 1], ++i;
        }
        operands.assign(args.begin() + std::ptrdiff_t(i), args.end());
    }
    int number(const std::string& name, int fallback) const {
        auto it = values.find(name);
        return it == values.end() ? fallback : std::stoi(it->second);
    }
    bool has(const std::string& name) const { return values.count(name) > 0; }
};

std::string colourText(gs::TColor c) {
    if (c == gs::clNone) return "none";
    char text[8];
    gs::TRgb rgb = gs::rgbOfColor(c);
    std::snprintf(text, sizeof text, "%02x%02x%02x", rgb.r, rgb.g, rgb.b);
    return text;
}

int rxgif(const gsprobe::Args& args) {
    Options opt(args, {"--count"});
    if (opt.operands.empty() || opt.operands.size() > 2) {
        std::cerr << "usage: gsprobe rxgif [--count] [--frame K] FILE [OUT.bmp]\n";
        return gsprobe::kUsage;
    }
    auto src = gs::openFileSource(opt.operands[0]);
    gs::TByteReader in(*src);
    gs::TRxGIFImage gif;
    if (opt.has("--count"))
        gif.ReadData(in);
    else
        gif.LoadFromStream(in);
    const char* versions[] = {"", "87a", "89a"};
    std::cout << "image " << versions[int(gif.Version())] << ' ' << gif.ScreenWidth() << ' ' << gif.ScreenHeight()
              << ' ' << gif.FrameCount() << ' ' << gif.looping << ' ' << gif.repeatCount << '\n';
    for (int i = 0; i < gif.FrameCount(); ++i) {
        gs::TGIFFrame& f = gif.Frame(i);
        f.Bitmap();
        std::cout << "frame " << f.left << ' ' << f.top << ' ' << f.Width() << ' ' << f.Height() << ' '
                  << f.interlaced << ' ' << f.delay << ' ' << int(f.disposal) << ' '
                  << colourText(f.transparentColor) << ' ' << f.corrupted << '\n';
    }
    if (opt.operands.size() == 2) {
        int k = opt.number("--frame", 0);
        if (k < 0 || k >= gif.FrameCount()) return gsprobe::kNothing;
        gs::saveBmp(gif.Frame(k).Bitmap(), opt.operands[1]);
    }
    return 0;
}

int rxgifWrite(const gsprobe::Args& args) {
    Options opt(args, {});
    if (opt.operands.size() < 2) {
        std::cerr << "usage: gsprobe rxgif-write [--loop N] [--delay MS] [--mapping M] OUT.gif IN...\n";
        return gsprobe::kUsage;
    }
    gs::TRxGIFImage gif;
    gif.defaultMapping = gs::TColorMapping(opt.number("--mapping", 0));
    const std::string& first = opt.operands[1];
    if (first.size() > 4 && first.substr(first.size() - 4) == ".ani") {
        gs::TAnimatedCursorImage cursor;
        cursor.LoadCursorFile(first);
        gif.Assign(cursor);
    } else {
        for (std::size_t i = 1; i < opt.operands.size(); ++i) gif.AppendFrame(gs::loadBmp(opt.operands[i]));
    }
    if (opt.has("--delay"))
        for (int i = 0; i < gif.FrameCount(); ++i) gif.Frame(i).delay = opt.number("--delay", 0);
    if (opt.has("--loop")) {
        gif.looping = true;
        gif.repeatCount = std::uint16_t(opt.number("--loop", 0));
    }
    gs::TByteWriter out;
    gif.SaveToStream(out);
    gs::writeFileAtomically(opt.operands[0], out.Data());
    return 0;
}

int dib(const gsprobe::Args& args) {
    Options opt(args, {});
    if (opt.operands.size() != 2 || !opt.has("--format")) {
        std::cerr << "usage: gsprobe dib --format 1|4|8|24 [--mapping M] IN.bmp OUT.bmp\n";
        return gsprobe::kUsage;
    }
    const int bits = opt.number("--format", 0);
    gs::PixelFormat pf = bits == 1 ? gs::PixelFormat::pf1bit
                         : bits == 4 ? gs::PixelFormat::pf4bit
                         : bits == 8 ? gs::PixelFormat::pf8bit
                         : bits == 24 ? gs::PixelFormat::pf24bit
                                      : gs::PixelFormat::pf32bit;
    gs::TBytes bmp = gs::BitmapToPixelFormat(gs::loadBmp(opt.operands[0]), pf, gs::TColorMapping(opt.number("--mapping", 0)));
    gs::writeFileAtomically(opt.operands[1], bmp);
    return 0;
}

gsprobe::Registrar r1("rxgif", rxgif);
gsprobe::Registrar r2("rxgif-write", rxgifWrite);
gsprobe::Registrar r3("dib", dib);

}  // namespace
