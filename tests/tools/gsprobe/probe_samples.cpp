// make-samples DIR: sample icon files, a PE module and an icon library, drawn in code.
#include <filesystem>

#include "Probe.h"
#include "iconlib/IconLibrary.h"
#include "support/IconMaker.h"

using namespace gstest;

namespace {
int makeSamples(const gsprobe::Args& a) {
    if (a.size() != 1) return gsprobe::kUsage;
    const std::filesystem::path dir = a[0];
    std::filesystem::create_directories(dir);
    std::vector<ImageSpec> sizes = {dibSpec(16, 4, 1), dibSpec(32, 8, 2), dibSpec(48, 32, 3), pngSpec(256, 256, 4)};
    writeFile((dir / "sample.ico").string(), makeIcoFile(sizes));
    std::vector<PeResource> res;
    for (std::uint16_t i = 0; i < 3; ++i) {
        auto a16 = dibSpec(16, 4, 10u + i), a32 = dibSpec(32, 32, 20u + i);
        res.push_back({gs::RT_ICON, std::uint16_t(2 * i + 1), "", 0x0409, a16.data});
        res.push_back({gs::RT_ICON, std::uint16_t(2 * i + 2), "", 0x0409, a32.data});
        res.push_back({gs::RT_GROUP_ICON, std::uint16_t(i + 1), "", 0x0409,
                       makeGroup({a16, a32}, {std::uint16_t(2 * i + 1), std::uint16_t(2 * i + 2)})});
    }
    writeFile((dir / "sample.dll").string(), makePeModule(res, true));
    gs::TQBIconLibrary lib;
    lib.LoadFromFile(dir / "sample.dll");
    lib.LoadFromFile(dir / "sample.ico");
    lib.SaveToFile(dir / "sample.icl");
    return 0;
}

gsprobe::Registrar r("make-samples", makeSamples);
}  // namespace
