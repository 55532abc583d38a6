// gif-decode FILE [OUT.raw]: the stream as the GIF reader sees it, one line per frame;
// warnings on stderr; OUT.raw gets every frame's indices, rows top first.
// gif-resave IN OUT: read, then written back through the GIF writer.
#include <fstream>
#include <iostream>

#include "Probe.h"
#include "codecs/GifImage.h"

namespace {

void readWithWarnings(gs::TGIFImage& gif, const std::string& path) {
    gif.setOnWarn([](const void*, int, const std::string& message) { std::cerr << "warning: " << message << '\n'; });
    gif.loadFromFile(path);
}

int gifDecode(const gsprobe::Args& args) {
    if (args.size() != 1 && args.size() != 2) {
        std::cerr << "usage: gsprobe gif-decode FILE [OUT.raw]\n";
        return gsprobe::kUsage;
    }
    gs::TGIFImage gif;
    readWithWarnings(gif, args[0]);
    std::cout << "screen " << gif.width() << ' ' << gif.height() << ' ' << gif.globalColorMap().count() << ' '
              << int(gif.header().backgroundIndex) << '\n';
    std::ofstream raw;
    if (args.size() == 2) raw.open(args[1], std::ios::binary);
    for (int i = 0; i < gif.frameCount(); ++i) {
        const gs::TGIFSubImage& f = gif.frame(i);
        for (int k = 0; k < f.extensionCount(); ++k)
            if (auto* loop = dynamic_cast<const gs::TGIFAppExtNSLoop*>(&f.extension(k)))
                std::cout << "loop " << loop->loops << '\n';
        const gs::TGIFGraphicControlExtension* gce = f.graphicControlExtension();
        std::cout << "frame " << f.left() << ' ' << f.top() << ' ' << f.width() << ' ' << f.height() << ' '
                  << f.interlaced() << ' ' << f.colorMap().count() << ' '
                  << (gce && gce->transparent() ? int(gce->transparentColorIndex()) : -1) << ' '
                  << (gce ? gce->delay() : 0) << ' ' << (gce ? gce->disposal() : 0) << '\n';
        raw.write(reinterpret_cast<const char*>(f.pixels().data()), std::streamsize(f.pixels().size()));
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
    gif.saveToFile(args[1]);
    return 0;
}

gsprobe::Registrar decode("gif-decode", gifDecode);
gsprobe::Registrar resave("gif-resave", gifResave);

}  // namespace
