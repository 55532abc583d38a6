#include "codecs/GifImage.h"

#include <algorithm>
#include <utility>

#include "codecs/GifOptimize.h"
#include "codecs/GifTypes.h"

namespace gs {

namespace {
constexpr int kMaxScreenSize = 0xFFFF;
}  // namespace

void TGIFGlobalColorMap::CountUses(UseCounts& uses) const {
    int n = Count();
    for (int i = 0; i < image_.FrameCount(); ++i) {
        const TGIFSubImage& f = image_.Frame(i);
        if (&f.EffectiveColorMap() != this) continue;
        for (std::uint8_t p : f.Pixels())
            if (p < n) ++uses[p];
    }
}

void TGIFGlobalColorMap::RemapPixels(const IndexTable& oldToNew) {
    for (int i = 0; i < image_.FrameCount(); ++i) {
        TGIFSubImage& f = image_.Frame(i);
        if (&f.EffectiveColorMap() != this) continue;
        for (std::uint8_t& p : f.Pixels()) p = oldToNew[p];
        if (TGIFGraphicControlExtension* gce = f.GraphicControlExtension())
            gce->SetTransparentColorIndex(oldToNew[gce->TransparentColorIndex()]);
    }
}

void TGIFGlobalColorMap::ReportWarning(const std::string& message) const {
    image_.ReportWarning(this, kWarningSeverity, message);
}

void TGIFGlobalColorMap::ColorsChanged() { image_.DropFrameRenderings(); }

void TGIFHeader::Assign(const TGIFHeader& source) {
    width = source.width;
    height = source.height;
    backgroundIndex = source.backgroundIndex;
    aspectRatio = source.aspectRatio;
    colorMap_.Assign(source.colorMap_);
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
    SetCompression(compression_);
}

TGIFImage::~TGIFImage() = default;

void TGIFImage::StopDrawing() {
    if (onStopDrawing_) onStopDrawing_();
    rendered_.reset();
}

void TGIFImage::Changed() {
    DropFrameRenderings();
    ImageChanged();
}

void TGIFImage::ImageChanged() {
    rendered_.reset();
    if (onChange_) onChange_();
}

void TGIFImage::DropFrameRenderings() const {
    for (const auto& f : frames_) f->DropRendering();
}

void TGIFImage::Reset() {
    StopDrawing();
    frames_.clear();
    header_.ColorMap().Reset();
    header_.width = 0;
    header_.height = 0;
    palette_.clear();
}

void TGIFImage::SetWidth(int value) {
    if (value < 0 || value > kMaxScreenSize) throw GIFException(gifmsg::kBadFrameSize);
    for (const auto& f : frames_)
        if (f->Left() + f->Width() > value) throw GIFException(gifmsg::kImageWidthTooSmall);
    if (value == header_.width) return;
    StopDrawing();
    header_.width = std::uint16_t(value);
    ImageChanged();
}

void TGIFImage::SetHeight(int value) {
    if (value < 0 || value > kMaxScreenSize) throw GIFException(gifmsg::kBadFrameSize);
    for (const auto& f : frames_)
        if (f->Top() + f->Height() > value) throw GIFException(gifmsg::kImageHeightTooSmall);
    if (value == header_.height) return;
    StopDrawing();
    header_.height = std::uint16_t(value);
    ImageChanged();
}

void TGIFImage::FitFrame(const TGIFSubImage& frame) {
    bool warned = false;
    int right = frame.Left() + frame.Width();
    int bottom = frame.Top() + frame.Height();
    if (right > header_.width) {
        if (header_.width != 0) {
            ReportWarning(this, kWarningSeverity, gifmsg::kImageWidthTooSmall);
            warned = true;
        }
        header_.width = std::uint16_t(right);
    }
    if (bottom > header_.height) {
        if (header_.height != 0) {
            ReportWarning(this, kWarningSeverity, gifmsg::kImageHeightTooSmall);
            warned = true;
        }
        header_.height = std::uint16_t(bottom);
    }
    if (warned) ReportWarning(this, kWarningSeverity, gifmsg::kBadFrameSize);
}

int TGIFImage::AddFrame(std::unique_ptr<TGIFSubImage> frame) {
    if (!frame || &frame->Image() != this) throw GIFException(gifmsg::kObjectTypeNotSupported);
    StopDrawing();
    frames_.push_back(std::move(frame));
    ImageChanged();
    return int(frames_.size()) - 1;
}

int TGIFImage::AddFrame(const TRaster& picture) {
    auto frame = std::make_unique<TGIFSubImage>(*this);
    frame->Assign(picture);
    return AddFrame(std::move(frame));
}

void TGIFImage::DeleteFrame(int index) {
    const std::size_t at = checkedListIndex(index, frames_.size());
    StopDrawing();
    frames_.erase(frames_.begin() + std::ptrdiff_t(at));
    ImageChanged();
}

std::unique_ptr<TGIFSubImage> TGIFImage::Detach(const TGIFSubImage& frame) {
    auto at = std::find_if(frames_.begin(), frames_.end(), [&](const auto& f) { return f.get() == &frame; });
    if (at == frames_.end()) return nullptr;
    StopDrawing();
    std::unique_ptr<TGIFSubImage> out = std::move(*at);
    frames_.erase(at);
    ImageChanged();
    return out;
}

int TGIFImage::ImageVersion() const {
    int version = 0;
    for (const auto& f : frames_) {
        version = std::max(version, f->ItemVersion());
        if (version >= 2) break;
    }
    return version;
}

int TGIFImage::BitsPerPixel() const {
    int bits = header_.ColorMap().ColorBits();
    for (const auto& f : frames_) bits = std::max(bits, f->ColorMap().ColorBits());
    return bits;
}

TRgb TGIFImage::BackgroundColor() const { return header_.ColorMap().ColorAt(header_.backgroundIndex); }

void TGIFImage::Assign(const TRaster& picture) {
    Reset();
    try {
        AddFrame(picture);
    } catch (...) {
        Reset();  // no logical screen left behind by a frame that failed
        throw;
    }
}

void TGIFImage::Assign(const TGIFImage& source) {
    if (&source == this) return;
    Reset();
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
    TGifProgress progress(onProgress_, gifmsg::kProgressCopy);
    header_.Assign(source.header_);
    drawOptions_ = source.drawOptions_;
    backgroundColorValue_ = source.backgroundColorValue_;
    colorReduction_ = source.colorReduction_;
    ditherMode_ = source.ditherMode_;
    for (int i = 0; i < source.FrameCount(); ++i) {
        auto frame = std::make_unique<TGIFSubImage>(*this);
        frame->Assign(source.Frame(i));
        AddFrame(std::move(frame));
        progress.Step((i + 1) * 100 / source.FrameCount());
    }
    Changed();
}

void TGIFImage::WriteData(TByteWriter& out) {
    if (optimizeOnStream_)
        Compact(*this, opCrop | opMerge | opCleanup | opSortColorMaps | opReduceColors, TColorReduction::rdNone, 8,
                TDitherMode::dtNone);
    SaveToStream(out);
}

void TGIFImage::SetColorReduction(TColorReduction method) {
    checkReductionMethod(method);
    colorReduction_ = method;
}

void TGIFImage::SetDitherMode(TDitherMode mode) {
    checkDitherMode(mode);
    ditherMode_ = mode;
}

void TGIFImage::SetReductionBits(int bits) {
    checkReductionBits(bits);
    reductionBits_ = bits;
}

void TGIFImage::SetCompression(TGIFCompression compression) {
    if (compression != TGIFCompression::gcLZW && compression != TGIFCompression::gcRLE)
        throw GIFException("Invalid compression method");
    compression_ = compression;
}

void TGIFImage::ReportWarning(const void* sender, int severity, const std::string& message) const {
    if (onWarn_) onWarn_(sender, severity, message);
}

}  // namespace gs
