#pragma once
// Helpers of the export tests: sample pictures, scratch folders and the independent tools
// the written files are held against.
#include <filesystem>
#include <string>

#include "platform/ByteSource.h"
#include "platform/Raster.h"
#include "support/TempDir.h"

namespace gs::testing {

// A picture with varied pixels, deterministic for a seed. Indexed pictures get a palette of
// distinct colours and use every index.
TRaster samplePicture(int width, int height, PixelFormat pf, unsigned seed);

// The picture's colours as RGB bytes, rows top first.
TBytes rgbBytes(const TRaster& r);

struct ToolRun {
    int status = -1;
    std::string out;  // standard output (binary safe)
    std::string err;  // standard error
};
// Runs a shell command line built by the test itself (no outside input in it).
ToolRun runTool(const std::string& commandLine);
bool haveTool(const std::string& path);
std::string quoted(const std::filesystem::path& p);

TBytes fileBytes(const std::filesystem::path& p);

}  // namespace gs::testing
