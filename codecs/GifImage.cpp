#include "codecs/GifImage.h"

#include <algorithm>
#include <utility>

#include "codecs/GifOptimize.h"
#include "codecs/GifTypes.h"

namespace gs {

namespace {
constexpr int kMaxScreenSize = 0xFFFF;
}  // namespace

void TGIFGlobalColorMap::countUses(UseCounts& uses) const {
    int n = count();
    for (int i = 0; i < image_.frameCount(); ++i) {
        const TGIFSubImage& f = image_.frame(i);
        if (&f.effectiveColorMap() != this) continue;
        for (std::uint8_t p : f.pixels())
            if (p < n) ++uses[p];
    }
}

void TGIFGlobalColorMap::remapPixels(const IndexTable& oldToNew) {
    for (int i = 0; i < image_.frameCount(); ++i) {
        TGIFSubImage& f = image_.frame(i);
        if (&f.effectiveColorMap() != this) continue;
        for (std::uint8_t& p : f.pixels()) p = oldToNew[p];
        if (TGIFGraphicControlExtension* gce = f.graphicControlExtension())
            gce->setTransparentColorIndex(oldToNew[gce->transparentColorIndex()]);
    }
}

void TGIFGlobalColorMap::reportWarning(const std::string& message) const {
    image_.reportWarning(this, kWarningSeverity, message);
}

void TGIFGlobalColorMap::colorsChanged() { image_.dropFrameRenderings(); }

void TGIFHeader::assign(const TGIFHeader& source) {
    width = source.width;
    height = source.height;
    backgroundIndex = source.backgroundIndex;
    aspectRatio = source.aspectRatio;
    colorMap_.assign(source.colorMap_);
}

TGIFImage::TGIFImage(const TGIFSettings& settings)
    : header_(*this),
      drawOptions_(settings.drawOptions),
      colorReduction_(settings.colorReduction),
      reductionBits_(settings.reductionBits),
      ditherMode_(settings.ditherMode),
      compression_(settings.compression),
      animationSpeed_(settings.animationSpeed),
      renderOnLoad_(settings.renderOnLoad),
      optimizeOnStream_(settings.optimizeOnStream) {
    checkReductionMethod(colorReduction_);
    checkDitherMode(ditherMode_);
    checkReductionBits(reductionBits_);
    setCompression(compression_);
}

TGIFImage::~TGIFImage() = default;

void TGIFImage::stopDrawing() {
    if (onStopDrawing_) onStopDrawing_();
    rendered_.reset();
}

void TGIFImage::changed() {
    dropFrameRenderings();
    imageChanged();
}

void TGIFImage::imageChanged() {
    rendered_.reset();
    if (onChange_) onChange_();
}

void TGIFImage::dropFrameRenderings() const {
    for (const auto& f : frames_) f->dropRendering();
}

void TGIFImage::reset() {
    stopDrawing();
    frames_.clear();
    header_.colorMap().reset();
    header_.width = 0;
    header_.height = 0;
    palette_.clear();
}

void TGIFImage::setWidth(int value) {
    if (value < 0 || value > kMaxScreenSize) throw GIFException(gifmsg::kBadFrameSize);
    for (const auto& f : frames_)
        if (f->left() + f->width() > value) throw GIFException(gifmsg::kImageWidthTooSmall);
    if (value == header_.width) return;
    stopDrawing();
    header_.width = std::uint16_t(value);
    imageChanged();
}

void TGIFImage::setHeight(int value) {
    if (value < 0 || value > kMaxScreenSize) throw GIFException(gifmsg::kBadFrameSize);
    for (const auto& f : frames_)
        if (f->top() + f->height() > value) throw GIFException(gifmsg::kImageHeightTooSmall);
    if (value == header_.height) return;
    stopDrawing();
    header_.height = std::uint16_t(value);
    imageChanged();
}

void TGIFImage::fitFrame(const TGIFSubImage& frame) {
    bool warned = false;
    int right = frame.left() + frame.width();
    int bottom = frame.top() + frame.height();
    if (right > header_.width) {
        if (header_.width != 0) {
            reportWarning(this, kWarningSeverity, gifmsg::kImageWidthTooSmall);
            warned = true;
        }
        header_.width = std::uint16_t(right);
    }
    if (bottom > header_.height) {
        if (header_.height != 0) {
            reportWarning(this, kWarningSeverity, gifmsg::kImageHeightTooSmall);
            warned = true;
        }
        header_.height = std::uint16_t(bottom);
    }
    if (warned) reportWarning(this, kWarningSeverity, gifmsg::kBadFrameSize);
}

int TGIFImage::addFrame(std::unique_ptr<TGIFSubImage> frame) {
    if (!frame || &frame->image() != this) throw GIFException(gifmsg::kObjectTypeNotSupported);
    stopDrawing();
    frames_.push_back(std::move(frame));
    imageChanged();
    return int(frames_.size()) - 1;
}

int TGIFImage::addFrame(const Raster& picture) {
    auto frame = std::make_unique<TGIFSubImage>(*this);
    frame->assign(picture);
    return addFrame(std::move(frame));
}

void TGIFImage::deleteFrame(int index) {
    const std::size_t at = checkedListIndex(index, frames_.size());
    stopDrawing();
    frames_.erase(frames_.begin() + std::ptrdiff_t(at));
    imageChanged();
}

std::unique_ptr<TGIFSubImage> TGIFImage::detach(const TGIFSubImage& frame) {
    auto at = std::find_if(frames_.begin(), frames_.end(), [&](const auto& f) { return f.get() == &frame; });
    if (at == frames_.end()) return nullptr;
    stopDrawing();
    std::unique_ptr<TGIFSubImage> out = std::move(*at);
    frames_.erase(at);
    imageChanged();
    return out;
}

int TGIFImage::imageVersion() const {
    int version = 0;
    for (const auto& f : frames_) {
        version = std::max(version, f->itemVersion());
        if (version >= 2) break;
    }
    return version;
}

int TGIFImage::bitsPerPixel() const {
    int bits = header_.colorMap().colorBits();
    for (const auto& f : frames_) bits = std::max(bits, f->colorMap().colorBits());
    return bits;
}

Rgb TGIFImage::backgroundColor() const { return header_.colorMap().colorAt(header_.backgroundIndex); }

void TGIFImage::assign(const Raster& picture) {
    reset();
    try {
        addFrame(picture);
    } catch (...) {
        reset();  // no logical screen left behind by a frame that failed
        throw;
    }
}

void TGIFImage::assign(const TGIFImage& source) {
    if (&source == this) return;
    reset();
    // The copy reports through the source's handlers; this image's come back after it,
    // whatever happens.
    struct Handlers {
        TGIFImage& image;
        TGIFWarningEvent warn;
        TGIFProgressEvent progress;
        ~Handlers() {
            image.onWarn_ = std::move(warn);
            image.onProgress_ = std::move(progress);
        }
    } own{*this, std::exchange(onWarn_, source.onWarn_), std::exchange(onProgress_, source.onProgress_)};
    GifProgress progress(onProgress_, gifmsg::kProgressCopy);
    header_.assign(source.header_);
    drawOptions_ = source.drawOptions_;
    backgroundColorValue_ = source.backgroundColorValue_;
    colorReduction_ = source.colorReduction_;
    ditherMode_ = source.ditherMode_;
    for (int i = 0; i < source.frameCount(); ++i) {
        auto frame = std::make_unique<TGIFSubImage>(*this);
        frame->assign(source.frame(i));
        addFrame(std::move(frame));
        progress.step((i + 1) * 100 / source.frameCount());
    }
    changed();
}

void TGIFImage::writeData(ByteWriter& out) {
    if (optimizeOnStream_)
        Compact(*this, opCrop | opMerge | opCleanup | opSortColorMaps | opReduceColors, TColorReduction::rdNone, 8,
                TDitherMode::dtNone);
    saveToStream(out);
}

void TGIFImage::setColorReduction(TColorReduction method) {
    checkReductionMethod(method);
    colorReduction_ = method;
}

void TGIFImage::setDitherMode(TDitherMode mode) {
    checkDitherMode(mode);
    ditherMode_ = mode;
}

void TGIFImage::setReductionBits(int bits) {
    checkReductionBits(bits);
    reductionBits_ = bits;
}

void TGIFImage::setCompression(TGIFCompression compression) {
    if (compression != TGIFCompression::gcLZW && compression != TGIFCompression::gcRLE)
        throw GIFException("Invalid compression method");
    compression_ = compression;
}

void TGIFImage::reportWarning(const void* sender, int severity, const std::string& message) const {
    if (onWarn_) onWarn_(sender, severity, message);
}

}  // namespace gs
