// Seeds for the fuzz targets, made by the test material builders: one file per kind.
#include <filesystem>
#include <string>

#include "framework/core/VersionBlockWriter.h"
#include "iconlib/PEResources.h"
#include "support/IconMaker.h"

using namespace gstest;

// The image codecs' seeds (codec_seeds.cpp).
void writeCodecSeeds(const std::filesystem::path& root);

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::filesystem::path root = argv[1];
    for (const char* d : {"ico", "pe", "ne", "version"}) std::filesystem::create_directories(root / d);
    auto a = dibSpec(16, 4), b = dibSpec(32, 8), c = pngSpec(24, 24);
    writeFile((root / "ico" / "three.ico").string(), makeIcoFile({a, b, c}));
    std::vector<PeResource> res = {{gs::RT_ICON, 1, "", 0x0409, a.data},
                                   {gs::RT_ICON, 2, "", 0x0409, c.data},
                                   {gs::RT_GROUP_ICON, std::nullopt, "MAIN", 0x0409, makeGroup({a, c}, {1, 2})},
                                   {gs::RT_GROUP_ICON, 5, "", 0x0407, makeGroup({a}, {1})}};
    writeFile((root / "pe" / "pe32.dll").string(), makePeModule(res));
    writeFile((root / "pe" / "pe64.dll").string(), makePeModule(res, true));
    std::vector<NeResource> ne = {{0x8003, 0x8001, a.data}, {0x8003, 0x8002, b.data},
                                  {0x800E, 0x8001, makeGroup({a, b}, {1, 2})}, {0x800E, 0, makeGroup({b}, {2}), 1}};
    writeFile((root / "ne" / "lib.icl").string(), makeNeModule(ne, {"ICL", "Named"}, 2));
    writeFile((root / "version" / "block.bin").string(), gs::buildVersionBlock(gs::VersionBlockContent{}));
    writeCodecSeeds(root);
    return 0;
}
