// The cipher and hash library: throughput of each hash over 1 MiB, of Blowfish in each mode,
// the tables from pi, and one whole decode of a stored text (keying included).
#include <benchmark/benchmark.h>

#include "crypto/CipherManager.h"
#include "crypto/PiWords.h"
#include "framework/core/HiddenStrings.h"

namespace {

using namespace gs::crypto;

std::vector<std::uint8_t> megabyte() { return std::vector<std::uint8_t>(1 << 20, 0x5A); }

void hash(benchmark::State& state) {
    const THashClass& cls = *HashClasses().at(std::size_t(state.range(0)));
    state.SetLabel(std::string(cls.names.className));
    auto data = megabyte();
    std::unique_ptr<THash> h = cls.create();
    for (auto _ : state) {
        h->Init();
        h->Calc(data);
        h->Done();
        benchmark::DoNotOptimize(h->DigestKey().data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(data.size()));
}
BENCHMARK(hash)->DenseRange(0, 8);

void blowfish(benchmark::State& state) {
    auto mode = TCipherMode(state.range(0));
    std::unique_ptr<TCipher> c = DefaultCipherClass().create();
    c->SetMode(mode);
    c->InitKey("bench");
    auto data = megabyte();
    for (auto _ : state) {
        c->CodeBuffer(data, Action::Encode);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(data.size()));
}
BENCHMARK(blowfish)->DenseRange(0, 7);

void piTables(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(PiFractionWords(18 + 1024).data());
}
BENCHMARK(piTables)->Unit(benchmark::kMillisecond);

void decodeStoredText(benchmark::State& state) {
    const auto& texts = gs::StoredTexts();
    for (auto _ : state) benchmark::DoNotOptimize(gs::DecodeHiddenString(texts[1].stored));
}
BENCHMARK(decodeStoredText);

}  // namespace
