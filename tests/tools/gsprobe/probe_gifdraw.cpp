// gif-render FILE K OUT.bmp [MASK.bmp]: frame K as rendered, and its mask (white where
// transparent).
// gif-compose [--back RRGGBB] FILE DIR: each frame as the painter leaves the canvas, DIR/K.bmp.
// gif-schedule [--speed N] [--loops N] FILE: the painter's timetable on a clock of its own.
// gif-optimize [--crop] [--merge] [--cleanup] [--sort] IN OUT.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "Probe.h"
#include "codecs/GifImage.h"
#include "codecs/GifOptimize.h"
#include "codecs/GifRender.h"
#include "platform/Bmp.h"

namespace {

gs::TGIFImage& load(gs::TGIFImage& gif, const std::string& path) {
    gif.SetOnWarn([](const void*, int, const std::string& message) { std::cerr << "warning: " << message << '\n'; });
    gif.LoadFromFile(path);
    return gif;
}

int gifRender(const gsprobe::Args& args) {
    if (args.size() != 3 && args.size() != 4) {
        std::cerr << "usage: gsprobe gif-render FILE K OUT.bmp [MASK.bmp]\n";
        return gsprobe::kUsage;
    }
    gs::TGIFImage gif;
    load(gif, args[0]);
    const gs::TRenderedFrame r = gs::RenderFrame(gif.Frame(std::stoi(args[1])));
    gs::saveBmp(r.Bitmap, args[2]);
    if (args.size() == 4) {
        gs::TRaster mask(r.Bitmap.Width(), r.Bitmap.Height(), gs::PixelFormat::pf24bit);
        mask.Fill(gs::makeArgb(0, 0, 0));
        if (r.Mask)
            for (int y = 0; y < mask.Height(); ++y)
                for (int x = 0; x < mask.Width(); ++x)
                    if (r.Mask->bits[std::size_t(y) * std::size_t(mask.Width()) + std::size_t(x)])
                        mask.SetPixel(x, y, gs::kWhite);
        gs::saveBmp(mask, args[3]);
    }
    return 0;
}

int gifCompose(const gsprobe::Args& args) {
    std::optional<gs::TRgb> back;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--back" && i + 1 < args.size()) {
            const unsigned v = std::stoul(args[++i], nullptr, 16);
            back = gs::TRgb{std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
        } else {
            rest.push_back(args[i]);
        }
    }
    if (rest.size() != 2) {
        std::cerr << "usage: gsprobe gif-compose [--back RRGGBB] FILE DIR\n";
        return gsprobe::kUsage;
    }
    gs::TGIFImage gif;
    load(gif, rest[0]);
    gs::TGIFCompositor compositor(gif, back ? *back : gs::PainterBackground(gif));
    std::filesystem::create_directories(rest[1]);
    for (int k = 0; k < gif.FrameCount(); ++k) {
        gs::TRaster shown = compositor.Show(k);
        gs::TRaster out(shown.Width(), shown.Height(), gs::PixelFormat::pf24bit);
        for (int y = 0; y < shown.Height(); ++y)
            for (int x = 0; x < shown.Width(); ++x) out.SetPixel(x, y, shown.Pixel(x, y));
        gs::saveBmp(out, std::filesystem::path(rest[1]) / (std::to_string(k) + ".bmp"));
    }
    return 0;
}

int gifSchedule(const gsprobe::Args& args) {
    int speed = 100, loops = 3;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--speed" && i + 1 < args.size()) speed = std::stoi(args[++i]);
        else if (args[i] == "--loops" && i + 1 < args.size()) loops = std::stoi(args[++i]);
        else rest.push_back(args[i]);
    }
    if (rest.size() != 1) {
        std::cerr << "usage: gsprobe gif-schedule [--speed N] [--loops N] FILE\n";
        return gsprobe::kUsage;
    }
    gs::TGIFImage gif;
    load(gif, rest[0]);
    for (const gs::TPainterStep& step : gs::PainterSchedule(gif, speed, loops)) {
        switch (step.What) {
            case gs::TPainterStep::Kind::Frame: std::cout << "frame " << step.FrameIndex << " wait " << step.WaitMs << '\n'; break;
            case gs::TPainterStep::Kind::Loop: std::cout << "loop\n"; break;
            case gs::TPainterStep::Kind::End: std::cout << "end\n"; break;
        }
    }
    return 0;
}

int gifOptimize(const gsprobe::Args& args) {
    gs::TGIFOptimizeOptions options = 0;
    std::vector<std::string> rest;
    for (const std::string& a : args) {
        if (a == "--crop") options |= gs::opCrop;
        else if (a == "--merge") options |= gs::opMerge;
        else if (a == "--cleanup") options |= gs::opCleanup;
        else if (a == "--sort") options |= gs::opSortColorMaps;
        else rest.push_back(a);
    }
    if (rest.size() != 2) {
        std::cerr << "usage: gsprobe gif-optimize [--crop] [--merge] [--cleanup] [--sort] IN OUT\n";
        return gsprobe::kUsage;
    }
    gs::TGIFImage gif;
    load(gif, rest[0]);
    gs::Compact(gif, options);
    gif.SaveToFile(rest[1]);
    return 0;
}

gsprobe::Registrar render("gif-render", gifRender);
gsprobe::Registrar compose("gif-compose", gifCompose);
gsprobe::Registrar schedule("gif-schedule", gifSchedule);
gsprobe::Registrar optimize("gif-optimize", gifOptimize);

}  // namespace
