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
    frame->setBounds(x, y, w, h);
    std::copy(pixels.begin(), pixels.end(), frame->pixels().begin());
    if (transparent || disposal || delay) {
        auto gce = std::make_unique<gs::TGIFGraphicControlExtension>(frame.get());
        gce->setTransparent(transparent.has_value());
        gce->setTransparentColorIndex(std::uint8_t(transparent.value_or(0)));
        gce->setDisposal(disposal);
        gce->setDelay(std::uint16_t(delay));
        frame->addExtension(std::move(gce));
    }
    return gif.frame(gif.addFrame(std::move(frame)));
}

inline void fourColours(gs::TGIFImage& gif, int w, int h) {
    gif.setWidth(w);
    gif.setHeight(h);
    gif.globalColorMap().loadFromPalette(std::vector<gs::Rgb>{{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}});
}

}  // namespace gstest
