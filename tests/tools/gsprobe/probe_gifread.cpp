// gif-decode FILE [OUT.raw]: the stream as the GIF reader sees it, one line per frame;
// warnings on stderr; OUT.raw gets every frame's indices, rows top first.
// gif-resave IN OUT: read, then written back through the GIF writer.
#include <fstream>
#include <iostream>

#include "Probe.h"
#include "codecs/GifImage.h"

namespace {

void readWithWarnings(gs::TGIFImage& gif, const std::string& path) {
    gif.SetOnWarn([](const void*, int, const std::string& message) { std::cerr << "warning: " << message << '\n'; });
    gif.LoadFromFile(path);
}

int gifDecode(const gsprobe::Args& args) {
    if (args.size() != 1 && args.size() != 2) {
        std::cerr << "usage: gsprobe gif-decode FILE [OUT.raw]\n";
        return gsprobe::kUsage;
    }
    gs::TGIFImage gif;
    readWithWarnings(gif, args[0]);
    std::cout << "screen " << gif.Width() << ' ' << gif.Height() << ' ' << gif.GlobalColorMap().Count() << ' '
              << int(gif.Header().backgroundIndex) << '\n';
    std::ofstream raw;
    if (args.size() == 2) raw.open(args[1], std::ios::binary);
    for (int i = 0; i < gif.FrameCount(); ++i) {
        const gs::TGIFSubImage& f = gif.Frame(i);
        for (int k = 0; k < f.ExtensionCount(); ++k)
            if (auto* loop = dynamic_cast<const gs::TGIFAppExtNSLoop*>(&f.Extension(k)))
                std::cout << "loop " << loop->loops << '\n';
        const gs::TGIFGraphicControlExtension* gce = f.GraphicControlExtension();
        std::cout << "frame " << f.Left() << ' ' << f.Top() << ' ' << f.Width() << ' ' << f.Height() << ' '
                  << f.Interlaced() << ' ' << f.ColorMap().Count() << ' '
                  << (gce && gce->Transparent() ? int(gce->TransparentColorIndex()) : -1) << ' '
                  << (gce ? gce->Delay() : 0) << ' ' << (gce ? gce->Disposal() : 0) << '\n';
        raw.write(reinterpret_cast<const char*>(f.Pixels().data()), std::streamsize(f.Pixels().size()));
    }
    return 0;
}

int gifResave(const gsprobe::Args& args) {
    if (args.size() != 2) {
        std::cerr << "usage: gsprobe gif-resave IN OUT\n";
        return gsprobe::kUsage;
    }
    gs::TGIFImage gif;
    readWithWarnings(gif, args[0]);
    gif.SaveToFile(args[1]);
    return 0;
}

gsprobe::Registrar decode("gif-decode", gifDecode);
gsprobe::Registrar resave("gif-resave", gifResave);

}  // namespace
