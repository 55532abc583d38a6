#pragma once
// Octree colour quantiser: every colour of a picture is sorted into a tree of eight-way
// nodes, one level per bit of the channels; while there are more leaves than colours
// wanted, the deepest most recently made node absorbs its children. The leaves' average
// colours are the palette.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/Raster.h"

namespace gs {

class TColorQuantizer {
public:
    static constexpr int kColorBits = 8;

    explicit TColorQuantizer(int maxColors);
    void AddColor(TRgb color);
    // Adds every pixel of a picture, rows top first (indexed pixels through their palette).
    void AddRaster(const TRaster& raster);
    int LeafCount() const { return leafCount_; }
    // One colour per leaf, depth first, children in index order.
    std::vector<TRgb> Palette() const;

private:
    static constexpr std::int32_t kNone = -1;
    struct TOctreeNode {
        bool leaf = false;
        std::uint64_t pixelCount = 0;
        std::uint64_t redSum = 0, greenSum = 0, blueSum = 0;
        std::array<std::int32_t, 8> children{};
        std::int32_t nextReducible = kNone;
    };

    std::int32_t NewNode(int level);
    void FreeNode(std::int32_t node);
    void Reduce();
    void Collect(std::int32_t node, std::vector<TRgb>& out) const;

    std::vector<TOctreeNode> nodes_;
    std::vector<std::int32_t> freeNodes_;
    std::array<std::int32_t, kColorBits> reducible_;
    std::int32_t root_;
    int leafCount_ = 0;
    int maxColors_;
};

}  // namespace gs
