#pragma once
// GIF images made frame by frame for the drawing tests, over a table of four colours:
// black, red, green, blue.
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "codecs/GifExtensions.h"
#include "codecs/GifImage.h"

namespace gstest {

// A frame of `w` x `h` at (x, y) with the given indices (row by row) over a 4-colour global table.
inline gs::TGIFSubImage& addFrame(gs::TGIFImage& gif, int x, int y, int w, int h, std::vector<std::uint8_t> pixels,
                                  std::optional<int> transparent = std::nullopt, int disposal = 0, int delay = 0) {
    auto frame = std::make_unique<gs::TGIFSubImage>(gif);
    frame->SetBounds(x, y, w, h);
    std::copy(pixels.begin(), pixels.end(), frame->Pixels().begin());
    if (transparent || disposal || delay) {
        auto gce = std::make_unique<gs::TGIFGraphicControlExtension>(frame.get());
        gce->SetTransparent(transparent.has_value());
        gce->SetTransparentColorIndex(std::uint8_t(transparent.value_or(0)));
        gce->SetDisposal(disposal);
        gce->SetDelay(std::uint16_t(delay));
        frame->AddExtension(std::move(gce));
    }
    return gif.Frame(gif.AddFrame(std::move(frame)));
}

inline void fourColours(gs::TGIFImage& gif, int w, int h) {
    gif.SetWidth(w);
    gif.SetHeight(h);
    gif.GlobalColorMap().LoadFromPalette(std::vector<gs::TRgb>{{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}});
}

}  // namespace gstest
