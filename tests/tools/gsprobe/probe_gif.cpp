// gif-encode [--reduction N] [--dither N] [--bits N] [--transparent] [--interlace] [--rle] IN.bmp OUT.gif
// Writes a bitmap as a GIF the way the image export does, with the codec's settings exposed.
#include <iostream>
#include <string>

#include "Probe.h"
#include "codecs/GifImage.h"
#include "platform/Bmp.h"

namespace {

int gifEncode(const gsprobe::Args& args) {
    gs::TGIFImage gif;
    bool transparent = false, interlace = false;
    std::size_t i = 0;
    for (; i + 1 < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        const std::string& opt = args[i];
        if (opt == "--transparent") {
            transparent = true;
        } else if (opt == "--interlace") {
            interlace = true;
        } else if (opt == "--rle") {
            gif.SetCompression(gs::TGIFCompression::gcRLE);
        } else if (i + 2 < args.size() && (opt == "--reduction" || opt == "--dither" || opt == "--bits")) {
            int value = std::stoi(args[++i]);
            if (opt == "--reduction") gif.SetColorReduction(gs::TColorReduction(std::uint8_t(value)));
            if (opt == "--dither") gif.SetDitherMode(gs::TDitherMode(std::uint8_t(value)));
            if (opt == "--bits") gif.SetReductionBits(value);
        } else {
            break;
        }
    }
    if (args.size() - i != 2) {
        std::cerr << "usage: gsprobe gif-encode [--reduction N] [--dither N] [--bits N] [--transparent] "
                     "[--interlace] [--rle] IN.bmp OUT.gif\n";
        return gsprobe::kUsage;
    }
    gs::TRaster bitmap = gs::loadBmp(args[i]);
    if (transparent) bitmap.SetTransparent(true);
    gif.SetWidth(bitmap.Width());
    gif.SetHeight(bitmap.Height());
    gif.Assign(bitmap);
    if (interlace && !gif.Empty()) gif.Frame(0).SetInterlaced(true);
    gif.SaveToFile(args[i + 1]);
    return 0;
}

gsprobe::Registrar r("gif-encode", gifEncode);

}  // namespace
