#include "codecs/GifSubImage.h"

#include <algorithm>
#include <stdexcept>

#include "codecs/GifImage.h"
#include "codecs/GifTypes.h"

namespace gs {

void TGIFLocalColorMap::CountUses(UseCounts& uses) const {
    int n = Count();
    for (std::uint8_t p : subImage_.Pixels())
        if (p < n) ++uses[p];
}

void TGIFLocalColorMap::RemapPixels(const IndexTable& oldToNew) {
    for (std::uint8_t& p : subImage_.Pixels()) p = oldToNew[p];
    if (TGIFGraphicControlExtension* gce = subImage_.GraphicControlExtension())
        gce->SetTransparentColorIndex(oldToNew[gce->TransparentColorIndex()]);
}

void TGIFLocalColorMap::ReportWarning(const std::string& message) const {
    subImage_.Image().ReportWarning(this, kWarningSeverity, message);
}

void TGIFLocalColorMap::ColorsChanged() { subImage_.DropRendering(); }

TGIFMask transparencyMaskOf(const TRaster& raster) {
    TGIFMask mask{raster.Width(), raster.Height(), {}};
    mask.bits.resize(std::size_t(raster.Width()) * std::size_t(raster.Height()));
    if (raster.Empty()) return mask;
    TRgb key = raster.TransparentColor();
    std::size_t i = 0;
    for (int y = 0; y < raster.Height(); ++y)
        for (int x = 0; x < raster.Width(); ++x) mask.bits[i++] = rgbOf(raster.Pixel(x, y)) == key ? 1 : 0;
    return mask;
}

TGIFSubImage::TGIFSubImage(TGIFImage& image) : image_(image), colorMap_(*this) {}

void TGIFSubImage::Reset() {
    image_.StopDrawing();
    extensions_.clear();
    colorMap_.Reset();
    pixels_.clear();
    width_ = 0;
    height_ = 0;
    bitmap_.reset();
    DropRendering();
}

void TGIFSubImage::SetBounds(int left, int top, int width, int height) {
    if (left < 0 || top < 0 || width < 0 || height < 0 || left + width > kMaxCoordinate ||
        top + height > kMaxCoordinate)
        throw GIFException(gifmsg::kBadFrameSize);
    image_.StopDrawing();
    DropRendering();
    if (width != width_ || height != height_) {
        bitmap_.reset();
        pixels_.assign(std::size_t(width) * std::size_t(height), 0);
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    image_.FitFrame(*this);
    image_.ImageChanged();
}

void TGIFSubImage::EnsurePixels() const {
    if (pixels_.empty()) throw GIFException(gifmsg::kEmptyImage);
}

std::uint8_t* TGIFSubImage::PixelRow(int row) {
    if (row < 0 || row >= height_ || pixels_.empty()) throw GIFException(gifmsg::kBadPixelCoordinates);
    DropRendering();
    return pixels_.data() + std::size_t(row) * std::size_t(width_);
}

std::uint8_t& TGIFSubImage::PixelAt(int x, int y) {
    if (x < 0 || x >= width_) throw GIFException(gifmsg::kBadPixelCoordinates);
    return PixelRow(y)[x];
}

void TGIFSubImage::SetInterlaced(bool on) {
    packed_ = on ? std::uint8_t(packed_ | kInterlacedFlag) : std::uint8_t(packed_ & ~kInterlacedFlag);
}

std::uint8_t TGIFSubImage::PackedFields() const {
    // The interlace bit is kept with a local table too: dropping it would silently write a
    // frame that was asked to be interlaced as a plain one.
    if (colorMap_.Empty()) return packed_ & (kInterlacedFlag | kReservedBits);
    std::uint8_t packed = kLocalTableFlag | (packed_ & kInterlacedFlag);
    if (colorMap_.Optimized()) packed |= kSortedFlag;
    return std::uint8_t(packed | ((colorMap_.ColorBits() - 1) & kTableSizeBits));
}

const TGIFColorMap& TGIFSubImage::EffectiveColorMap() const {
    if (!colorMap_.Empty()) return colorMap_;
    if (!image_.GlobalColorMap().Empty()) return image_.GlobalColorMap();
    return colorMap_;
}

void TGIFSubImage::AddExtension(std::unique_ptr<TGIFExtension> extension) {
    image_.StopDrawing();
    DropRendering();
    extensions_.push_back(std::move(extension));
}

void TGIFSubImage::DeleteExtension(int index) {
    const std::size_t at = checkedListIndex(index, extensions_.size());
    image_.StopDrawing();
    DropRendering();
    extensions_.erase(extensions_.begin() + std::ptrdiff_t(at));
}

std::unique_ptr<TGIFExtension> TGIFSubImage::Detach(const TGIFExtension& extension) {
    auto at = std::find_if(extensions_.begin(), extensions_.end(), [&](const auto& e) { return e.get() == &extension; });
    if (at == extensions_.end()) return nullptr;
    image_.StopDrawing();
    DropRendering();
    std::unique_ptr<TGIFExtension> out = std::move(*at);
    extensions_.erase(at);
    return out;
}

TGIFGraphicControlExtension* TGIFSubImage::GraphicControlExtension() const {
    for (const auto& e : extensions_)
        if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(e.get())) return gce;
    return nullptr;
}

bool TGIFSubImage::Transparent() const {
    const TGIFGraphicControlExtension* gce = GraphicControlExtension();
    return gce && gce->Transparent();
}

int TGIFSubImage::ItemVersion() const { return colorMap_.Optimized() || !extensions_.empty() ? 2 : 1; }

void TGIFSubImage::Assign(const TGIFSubImage& source) {
    if (&source == this) return;
    Reset();
    if (source.Empty()) return;
    SetBounds(source.left_, source.top_, source.width_, source.height_);
    packed_ = source.packed_;
    pixels_ = source.pixels_;
    colorMap_.Assign(source.colorMap_);
    for (const auto& e : source.extensions_) extensions_.push_back(e->Clone(this));
    bitmap_ = source.bitmap_;
}

void TGIFSubImage::ApplyTransparency(const TGIFMask& mask, TRgb color) {
    image_.StopDrawing();
    DropRendering();
    colorMap_.SortByUse();
    if (colorMap_.Count() < 1 || colorMap_.Count() >= TGIFColorMap::kMaxColors) return;
    int index = colorMap_.AppendColor(color);
    std::size_t marked = 0;
    if (mask.width == width_ && mask.height == height_ && mask.bits.size() == pixels_.size()) {
        for (std::size_t i = 0; i < pixels_.size(); ++i) {
            if (mask.bits[i] == 0) continue;
            pixels_[i] = std::uint8_t(index);
            ++marked;
        }
    }
    if (marked == 0) {
        colorMap_.DeleteColor(index);
        return;
    }
    auto gce = std::make_unique<TGIFGraphicControlExtension>(this);
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(std::uint8_t(index));
    AddExtension(std::move(gce));
}

}  // namespace gs
