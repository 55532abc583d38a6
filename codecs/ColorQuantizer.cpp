#include "codecs/ColorQuantizer.h"

namespace gs {

TColorQuantizer::TColorQuantizer(int maxColors) : maxColors_(maxColors < 1 ? 1 : maxColors) {
    reducible_.fill(kNone);
    root_ = NewNode(0);
}

std::int32_t TColorQuantizer::NewNode(int level) {
    std::int32_t id;
    if (!freeNodes_.empty()) {
        id = freeNodes_.back();
        freeNodes_.pop_back();
        nodes_[std::size_t(id)] = TOctreeNode{};
    } else {
        id = std::int32_t(nodes_.size());
        nodes_.emplace_back();
    }
    TOctreeNode& node = nodes_[std::size_t(id)];
    node.children.fill(kNone);
    if (level == kColorBits) {
        node.leaf = true;
        ++leafCount_;
    } else {
        node.nextReducible = reducible_[std::size_t(level)];
        reducible_[std::size_t(level)] = id;
    }
    return id;
}

void TColorQuantizer::FreeNode(std::int32_t node) { freeNodes_.push_back(node); }

void TColorQuantizer::AddColor(TRgb color) {
    std::int32_t node = root_;
    for (int level = 0; !nodes_[std::size_t(node)].leaf; ++level) {
        int shift = kColorBits - 1 - level;
        int index = (((color.r >> shift) & 1) << 2) | (((color.g >> shift) & 1) << 1) | ((color.b >> shift) & 1);
        std::int32_t child = nodes_[std::size_t(node)].children[std::size_t(index)];
        if (child == kNone) {
            child = NewNode(level + 1);  // may move nodes_: index again below
            nodes_[std::size_t(node)].children[std::size_t(index)] = child;
        }
        node = child;
    }
    TOctreeNode& leaf = nodes_[std::size_t(node)];
    ++leaf.pixelCount;
    leaf.redSum += color.r;
    leaf.greenSum += color.g;
    leaf.blueSum += color.b;
    while (leafCount_ > maxColors_) Reduce();
}

void TColorQuantizer::AddRaster(const TRaster& raster) {
    for (int y = 0; y < raster.Height(); ++y)
        for (int x = 0; x < raster.Width(); ++x) AddColor(rgbOf(raster.Pixel(x, y)));
}

void TColorQuantizer::Reduce() {
    int level = kColorBits - 1;
    while (level > 0 && reducible_[std::size_t(level)] == kNone) --level;
    std::int32_t id = reducible_[std::size_t(level)];
    TOctreeNode& node = nodes_[std::size_t(id)];
    reducible_[std::size_t(level)] = node.nextReducible;
    int children = 0;
    for (std::int32_t& child : node.children) {
        if (child == kNone) continue;
        const TOctreeNode& c = nodes_[std::size_t(child)];
        node.pixelCount += c.pixelCount;
        node.redSum += c.redSum;
        node.greenSum += c.greenSum;
        node.blueSum += c.blueSum;
        FreeNode(child);
        child = kNone;
        ++children;
    }
    node.leaf = true;
    leafCount_ -= children - 1;
}

std::vector<TRgb> TColorQuantizer::Palette() const {
    std::vector<TRgb> out;
    out.reserve(std::size_t(leafCount_));
    Collect(root_, out);
    return out;
}

void TColorQuantizer::Collect(std::int32_t id, std::vector<TRgb>& out) const {
    const TOctreeNode& node = nodes_[std::size_t(id)];
    if (node.leaf) {
        if (node.pixelCount == 0) {
            out.push_back(TRgb{});
        } else {
            out.push_back(TRgb{std::uint8_t(node.redSum / node.pixelCount), std::uint8_t(node.greenSum / node.pixelCount),
                              std::uint8_t(node.blueSum / node.pixelCount)});
        }
        return;
    }
    for (std::int32_t child : node.children)
        if (child != kNone) Collect(child, out);
}

}  // namespace gs
