// A picture loaded by its file's extension (the first byte picks it among the registered
// ones, an unknown one and none), then taken over as one bitmap.
#include <filesystem>
#include <fstream>

#include "FuzzFile.h"
#include "codecs/PictureFormats.h"
#include "platform/Raster.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || fuzzScratchFolder().empty()) return 0;
    static const char* const kNames[] = {"p.gif", "p.GIF", "p.Gif", "p.xyz", "p", "p.gif.", ".gif"};
    const std::filesystem::path file =
        std::filesystem::path(fuzzScratchFolder()) / kNames[data[0] % (sizeof kNames / sizeof *kNames)];
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), std::streamsize(size - 1));
    }
    gs::TPicture picture;
    try {
        picture.LoadFromFile(file);
    } catch (const std::exception&) {
        return 0;
    }
    // Drawn when of sensible size (the GIF target draws every frame of those): the reader's
    // budget lets a small file declare tens of millions of fill pixels.
    gs::TGraphic* graphic = picture.Graphic();
    if (graphic && std::uint64_t(graphic->Width()) * std::uint64_t(graphic->Height()) <= (std::uint64_t(1) << 20)) {
        gs::TRaster bitmap;
        try {
            graphic->AssignTo(bitmap);
        } catch (const std::exception&) {
        }
    }
    return 0;
}
