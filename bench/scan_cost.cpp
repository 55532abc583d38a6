// What reading a folder costs, in-process: the extraction worker's folder scan (with a sink
// that only counts) and the silent ICO batch export, each with its wall time, the bytes its
// read calls returned (/proc/self/io rchar) and the pages it faulted in.
//   bench_scan_cost FOLDER OUTDIR
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

#include "app/core/BatchExport.h"
#include "app/core/ExtractThread.h"
#include "app/core/Options.h"

namespace {

struct Cost {
    double seconds;
    unsigned long long rchar, faults;
};

unsigned long long rchar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    unsigned long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

unsigned long long faults() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<unsigned long long>(u.ru_minflt + u.ru_majflt);
}

template <class F>
Cost measure(F&& work) {
    const auto r0 = rchar(), f0 = faults();
    const auto t0 = std::chrono::steady_clock::now();
    work();
    const auto t1 = std::chrono::steady_clock::now();
    return {std::chrono::duration<double>(t1 - t0).count(), rchar() - r0, faults() - f0};
}

class CountingSink final : public gs::IIconSink {
public:
    void ResetIconList() override { count = 0; }
    int AddIcons(gs::TIconBatch batch) override { return count += int(batch.size()); }
    void FileFailed(const std::filesystem::path& file, const std::string& error) override {
        std::fprintf(stderr, "failed: %s: %s\n", file.c_str(), error.c_str());
    }
    int count = 0;
};

void print(const char* what, const Cost& c, const char* counted, unsigned long long n) {
    const double page = double(sysconf(_SC_PAGESIZE));
    std::printf("%s seconds %.4f read_bytes %llu faulted_bytes %.0f %s %llu\n", what, c.seconds, c.rchar,
                double(c.faults) * page, counted, n);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER OUTDIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1], out = argv[2];

    gs::TExtractSettings settings = gs::TExtractSettings::FromOptions(gs::TKAVUOptions{});
    CountingSink sink;
    gs::TExtractFromFolderThread scan(folder, settings);
    const Cost scanCost = measure([&] { scan.Execute(sink, std::stop_token{}); });
    print("scan", scanCost, "icons", static_cast<unsigned long long>(sink.count));

    gs::TBatchJob job;
    job.FileSpec = (folder / "*.*").string();
    job.TargetDir = out.string();
    job.Silent = true;
    gs::TSilentBatchObserver observer;
    gs::TBatchResult outcome;
    const Cost batchCost = measure([&] { outcome = gs::TBatchExport(job, observer).ExtractFiles(); });
    unsigned long long written = 0;
    for (const auto& e : std::filesystem::directory_iterator(out)) written += e.file_size();
    print("batch", batchCost, "icon_bytes", written);
    std::printf("batch files %d\n", outcome.SavedTotal);
    return outcome.End.Failed() ? 1 : 0;
}
