#include "codecs/GifSubImage.h"

#include <algorithm>
#include <stdexcept>

#include "codecs/GifImage.h"
#include "codecs/GifTypes.h"

namespace gs {

void TGIFLocalColorMap::countUses(UseCounts& uses) const {
    int n = count();
    for (std::uint8_t p : subImage_.pixels())
        if (p < n) ++uses[p];
}

void TGIFLocalColorMap::remapPixels(const IndexTable& oldToNew) {
    for (std::uint8_t& p : subImage_.pixels()) p = oldToNew[p];
    if (TGIFGraphicControlExtension* gce = subImage_.graphicControlExtension())
        gce->setTransparentColorIndex(oldToNew[gce->transparentColorIndex()]);
}

void TGIFLocalColorMap::reportWarning(const std::string& message) const {
    subImage_.image().reportWarning(this, kWarningSeverity, message);
}

void TGIFLocalColorMap::colorsChanged() { subImage_.dropRendering(); }

TGIFMask transparencyMaskOf(const Raster& raster) {
    TGIFMask mask{raster.width(), raster.height(), {}};
    mask.bits.resize(std::size_t(raster.width()) * std::size_t(raster.height()));
    if (raster.empty()) return mask;
    Rgb key = raster.transparentColor();
    std::size_t i = 0;
    for (int y = 0; y < raster.height(); ++y)
        for (int x = 0; x < raster.width(); ++x) mask.bits[i++] = rgbOf(raster.pixel(x, y)) == key ? 1 : 0;
    return mask;
}

TGIFSubImage::TGIFSubImage(TGIFImage& image) : image_(image), colorMap_(*this) {}

void TGIFSubImage::reset() {
    image_.stopDrawing();
    extensions_.clear();
    colorMap_.reset();
    pixels_.clear();
    width_ = 0;
    height_ = 0;
    bitmap_.reset();
    dropRendering();
}

void TGIFSubImage::setBounds(int left, int top, int width, int height) {
    if (left < 0 || top < 0 || width < 0 || height < 0 || left + width > kMaxCoordinate ||
        top + height > kMaxCoordinate)
        throw GIFException(gifmsg::kBadFrameSize);
    image_.stopDrawing();
    dropRendering();
    if (width != width_ || height != height_) {
        bitmap_.reset();
        pixels_.assign(std::size_t(width) * std::size_t(height), 0);
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    image_.fitFrame(*this);
    image_.imageChanged();
}

void TGIFSubImage::ensurePixels() const {
    if (pixels_.empty()) throw GIFException(gifmsg::kEmptyImage);
}

std::uint8_t* TGIFSubImage::pixelRow(int row) {
    if (row < 0 || row >= height_ || pixels_.empty()) throw GIFException(gifmsg::kBadPixelCoordinates);
    dropRendering();
    return pixels_.data() + std::size_t(row) * std::size_t(width_);
}

std::uint8_t& TGIFSubImage::pixelAt(int x, int y) {
    if (x < 0 || x >= width_) throw GIFException(gifmsg::kBadPixelCoordinates);
    return pixelRow(y)[x];
}

void TGIFSubImage::setInterlaced(bool on) {
    packed_ = on ? std::uint8_t(packed_ | kInterlacedFlag) : std::uint8_t(packed_ & ~kInterlacedFlag);
}

std::uint8_t TGIFSubImage::packedFields() const {
    // The interlace bit is kept with a local table too: dropping it would silently write a
    // frame that was asked to be interlaced as a plain one.
    if (colorMap_.empty()) return packed_ & (kInterlacedFlag | kReservedBits);
    std::uint8_t packed = kLocalTableFlag | (packed_ & kInterlacedFlag);
    if (colorMap_.optimized()) packed |= kSortedFlag;
    return std::uint8_t(packed | ((colorMap_.colorBits() - 1) & kTableSizeBits));
}

const TGIFColorMap& TGIFSubImage::effectiveColorMap() const {
    if (!colorMap_.empty()) return colorMap_;
    if (!image_.globalColorMap().empty()) return image_.globalColorMap();
    return colorMap_;
}

void TGIFSubImage::addExtension(std::unique_ptr<TGIFExtension> extension) {
    image_.stopDrawing();
    dropRendering();
    extensions_.push_back(std::move(extension));
}

void TGIFSubImage::deleteExtension(int index) {
    const std::size_t at = checkedListIndex(index, extensions_.size());
    image_.stopDrawing();
    dropRendering();
    extensions_.erase(extensions_.begin() + std::ptrdiff_t(at));
}

std::unique_ptr<TGIFExtension> TGIFSubImage::detach(const TGIFExtension& extension) {
    auto at = std::find_if(extensions_.begin(), extensions_.end(), [&](const auto& e) { return e.get() == &extension; });
    if (at == extensions_.end()) return nullptr;
    image_.stopDrawing();
    dropRendering();
    std::unique_ptr<TGIFExtension> out = std::move(*at);
    extensions_.erase(at);
    return out;
}

TGIFGraphicControlExtension* TGIFSubImage::graphicControlExtension() const {
    for (const auto& e : extensions_)
        if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(e.get())) return gce;
    return nullptr;
}

bool TGIFSubImage::transparent() const {
    const TGIFGraphicControlExtension* gce = graphicControlExtension();
    return gce && gce->transparent();
}

int TGIFSubImage::itemVersion() const { return colorMap_.optimized() || !extensions_.empty() ? 2 : 1; }

void TGIFSubImage::assign(const TGIFSubImage& source) {
    if (&source == this) return;
    reset();
    if (source.empty()) return;
    setBounds(source.left_, source.top_, source.width_, source.height_);
    packed_ = source.packed_;
    pixels_ = source.pixels_;
    colorMap_.assign(source.colorMap_);
    for (const auto& e : source.extensions_) extensions_.push_back(e->clone(this));
    bitmap_ = source.bitmap_;
}

void TGIFSubImage::applyTransparency(const TGIFMask& mask, Rgb color) {
    image_.stopDrawing();
    dropRendering();
    colorMap_.sortByUse();
    if (colorMap_.count() < 1 || colorMap_.count() >= TGIFColorMap::kMaxColors) return;
    int index = colorMap_.appendColor(color);
    std::size_t marked = 0;
    if (mask.width == width_ && mask.height == height_ && mask.bits.size() == pixels_.size()) {
        for (std::size_t i = 0; i < pixels_.size(); ++i) {
            if (mask.bits[i] == 0) continue;
            pixels_[i] = std::uint8_t(index);
            ++marked;
        }
    }
    if (marked == 0) {
        colorMap_.deleteColor(index);
        return;
    }
    auto gce = std::make_unique<TGIFGraphicControlExtension>(this);
    gce->setTransparent(true);
    gce->setTransparentColorIndex(std::uint8_t(index));
    addExtension(std::move(gce));
}

}  // namespace gs
