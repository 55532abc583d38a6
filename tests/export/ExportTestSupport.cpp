#include "ExportTestSupport.h"

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>


namespace gs::testing {

TRaster samplePicture(int width, int height, PixelFormat pf, unsigned seed) {
    std::mt19937 rng(seed);
    TRaster r(width, height, pf);
    auto byte = [&] { return std::uint8_t(rng() & 0xFF); };
    if (isIndexed(pf)) {
        const int n = 1 << bitCountOf(pf);
        std::vector<TRgb> palette;
        for (int i = 0; i < n; ++i) palette.push_back(TRgb{byte(), byte(), std::uint8_t(i)});  // distinct by blue
        r.SetPalette(palette);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) r.SetIndexAt(x, y, std::uint8_t((x + y * width + int(rng() % 3)) % n));
        return r;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) r.SetPixel(x, y, makeArgb(byte(), byte(), byte(), byte()));
    return r;
}

TBytes rgbBytes(const TRaster& r) {
    TBytes out;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x) {
            Argb c = r.Pixel(x, y);
            out.insert(out.end(), {redOf(c), greenOf(c), blueOf(c)});
        }
    return out;
}

namespace {
std::string slurp(std::FILE* f) {
    std::string s;
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    return s;
}
}  // namespace

ToolRun runTool(const std::string& commandLine) {
    ToolRun run;
    std::FILE* errFile = std::tmpfile();
    std::string line = commandLine + " 2>/dev/fd/" + std::to_string(::fileno(errFile));
    std::FILE* p = ::popen(line.c_str(), "r");
    if (!p) return run;
    run.out = slurp(p);
    int status = ::pclose(p);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::rewind(errFile);
    run.err = slurp(errFile);
    std::fclose(errFile);
    return run;
}

bool haveTool(const std::string& path) { return ::access(path.c_str(), X_OK) == 0; }

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

TBytes fileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return TBytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace gs::testing
