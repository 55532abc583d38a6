// GIF writing of a 1024 x 1024 true-colour picture: the default export (216-colour cube,
// LZW), the run-length encoder, the octree with Floyd-Steinberg, and the encoders alone.
#include <benchmark/benchmark.h>

#include <cmath>

#include "codecs/GifEncoder.h"
#include "codecs/GifImage.h"

namespace {

constexpr int kSide = 1024;

// A smooth picture with some texture, like a photograph more than noise.
const gs::TRaster& picture() {
    static const gs::TRaster raster = [] {
        gs::TRaster r(kSide, kSide);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                auto r8 = std::uint8_t(x * 255 / kSide);
                auto g8 = std::uint8_t(y * 255 / kSide);
                auto b8 = std::uint8_t(127 + 127 * std::sin(x * 0.05) * std::cos(y * 0.03));
                r.SetPixel(x, y, gs::makeArgb(r8, g8, b8));
            }
        return r;
    }();
    return raster;
}

void exportGif(benchmark::State& state, gs::TColorReduction reduction, gs::TDitherMode dither,
               gs::TGIFCompression compression) {
    const gs::TRaster& bitmap = picture();
    std::size_t bytes = 0;
    for (auto _ : state) {
        gs::TGIFImage gif;
        gif.SetColorReduction(reduction);
        gif.SetDitherMode(dither);
        gif.SetCompression(compression);
        gif.Assign(bitmap);
        bytes = gif.SaveToBytes().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = double(bytes);
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_GifDefaultExport(benchmark::State& s) {
    exportGif(s, gs::TColorReduction::rdWebCube, gs::TDitherMode::dtNone, gs::TGIFCompression::gcLZW);
}
void BM_GifRunLengthExport(benchmark::State& s) {
    exportGif(s, gs::TColorReduction::rdWebCube, gs::TDitherMode::dtNone, gs::TGIFCompression::gcRLE);
}
void BM_GifOctreeFloydSteinberg(benchmark::State& s) {
    exportGif(s, gs::TColorReduction::rdOctree, gs::TDitherMode::dtFloydSteinberg, gs::TGIFCompression::gcLZW);
}

template <class Encoder>
void BM_Encoder(benchmark::State& state) {
    std::vector<std::uint8_t> pixels(std::size_t(kSide) * kSide);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = std::uint8_t((i / 7 + i / kSide) % 216);
    for (auto _ : state) {
        gs::TByteWriter out;
        Encoder().Encode(out, gs::TGIFPixels{pixels.data(), kSide, kSide, false}, 8, 256);
        benchmark::DoNotOptimize(out.Data().data());
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(pixels.size()));
}

BENCHMARK(BM_GifDefaultExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifRunLengthExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifOctreeFloydSteinberg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encoder<gs::TLZWEncoder>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encoder<gs::TRLEEncoder>)->Unit(benchmark::kMillisecond);

}  // namespace
