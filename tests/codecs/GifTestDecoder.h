#pragma once
// A small, strict GIF reader for the tests: it checks what the writer produced (block
// layout, code widths, that every code is one the decoder knows) independently of the
// writer's code.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Raster.h"

namespace gstest {

struct DecodedFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::uint8_t packed = 0;
    bool interlaced = false;
    std::vector<gs::TRgb> localTable;
    bool hasControl = false;
    std::uint8_t controlPacked = 0;
    std::uint8_t transparentIndex = 0;
    int minCodeSize = 0;
    std::vector<int> subBlockSizes;
    std::vector<std::uint8_t> indices;  // display order, rows top first
};

struct DecodedGif {
    std::string version;
    int width = 0, height = 0;
    std::uint8_t packed = 0, background = 0, aspect = 0;
    std::vector<gs::TRgb> globalTable;
    std::vector<DecodedFrame> frames;
};

class GifFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

DecodedGif decodeGif(const std::vector<std::uint8_t>& bytes);

// Rows stored in the four interlace passes, put back in display order.
std::vector<std::uint8_t> deinterlace(const std::vector<std::uint8_t>& stored, int width, int height);

// The LZW code stream (sub-block data joined) decoded to pixel values; throws on any code
// the decoder would not know, on a missing end code and on a pixel count other than expected.
struct LzwStats {
    int clears = 0;
    int maxWidth = 0;
};
std::vector<std::uint8_t> decodeLzw(const std::vector<std::uint8_t>& data, int minCodeSize, std::size_t expected,
                                    LzwStats* stats = nullptr);

}  // namespace gstest
