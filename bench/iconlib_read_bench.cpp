// Reading icon libraries from a generated corpus of modules: groups and megabytes per
// second, and how much memory reading takes beyond the icons it holds.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sys/resource.h>

#include "iconlib/IconLibrary.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

using namespace gs;
using namespace gstest;

namespace {
struct Corpus {
    TempDir dir;
    std::vector<std::filesystem::path> files;
    std::uint64_t bytes = 0;
    int groups = 0;

    Corpus() {
        // Ten modules of 60 groups, each group 16/32/48 pixels at 4, 8 and 32 bits, and a
        // 256-pixel PNG: the shape of a real system library. A few kilobytes of padding
        // stand for the code sections the reader must not touch.
        std::vector<ImageSpec> images;
        for (int size : {16, 32, 48})
            for (int bits : {4, 8, 32}) images.push_back(dibSpec(size, bits, unsigned(size + bits)));
        images.push_back(pngSpec(256, 256, 9));
        for (int m = 0; m < 10; ++m) {
            std::vector<PeResource> res;
            std::uint16_t id = 1;
            for (int g = 0; g < 60; ++g) {
                std::vector<std::uint16_t> ids;
                for (const auto& im : images) {
                    res.push_back({RT_ICON, id, "", 0x0409, im.data});
                    ids.push_back(id++);
                }
                res.push_back({RT_GROUP_ICON, std::uint16_t(g + 1), "", 0x0409, makeGroup(images, ids)});
            }
            TBytes module = makePeModule(res, m % 2 == 1);
            auto path = dir.path / ("m" + std::to_string(m) + ".dll");
            writeFile(path.string(), module);
            files.push_back(path);
            bytes += module.size();
            groups += 60;
        }
    }
};

Corpus& corpus() {
    static Corpus c;
    return c;
}

long maxRssKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void BM_ReadModules(benchmark::State& state) {
    Corpus& c = corpus();
    std::uint64_t held = 0;
    for (auto _ : state) {
        held = 0;
        for (const auto& f : c.files) {
            TQBIconLibrary lib;
            lib.LoadFromFile(f);
            for (int i = 0; i < lib.Icons.Count(); ++i)
                for (std::uint16_t k = 0; k < lib.Icons.GetIcon(i)->Images().Count(); ++k)
                    held += lib.Icons.GetIcon(i)->Images().GetImage(k)->BytesInRes();
            benchmark::DoNotOptimize(lib.Icons.Count());
        }
    }
    state.counters["groups/s"] = benchmark::Counter(double(c.groups), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB/s"] =
        benchmark::Counter(double(c.bytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["icon_MB_per_module"] = double(held) / double(c.files.size()) / 1e6;
    state.counters["max_rss_MB"] = double(maxRssKb()) / 1024.0;
}
BENCHMARK(BM_ReadModules)->Unit(benchmark::kMillisecond);

void BM_IconCountGate(benchmark::State& state) {
    Corpus& c = corpus();
    for (auto _ : state)
        for (const auto& f : c.files) benchmark::DoNotOptimize(GetIconCount(f));
    state.counters["files/s"] =
        benchmark::Counter(double(c.files.size()), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_IconCountGate)->Unit(benchmark::kMicrosecond);
}  // namespace
