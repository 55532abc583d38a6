// The splash-picture graphic as a graphic: frames, assignments, size and drawing.
#include "codecs/RxGif.h"

#include <algorithm>
#include <limits>

#include "codecs/AniCursor.h"
#include "platform/Errors.h"

namespace gs {

TGIFFrame::TGIFFrame(TRxGIFImage& owner) : owner_(owner), item_(std::make_shared<TRxGIFItem>()) {}

void TGIFFrame::clear() {
    item_ = std::make_shared<TRxGIFItem>();
    bitmap_.reset();
}

int TGIFFrame::width() const { return bitmap_ ? bitmap_->width() : hasData() ? item_->width : 0; }
int TGIFFrame::height() const { return bitmap_ ? bitmap_->height() : hasData() ? item_->height : 0; }

const Raster& TGIFFrame::bitmap() {
    if (!bitmap_) decode();
    return *bitmap_;
}

std::vector<std::string> TGIFFrame::comment() const {
    for (const auto& e : extensions_)
        if (e.kind == TExtension::ekComment) return e.data;
    return {};
}

void TGIFFrame::setComment(std::vector<std::string> lines) {
    for (auto& e : extensions_)
        if (e.kind == TExtension::ekComment) {
            e.data = std::move(lines);
            return;
        }
    extensions_.push_back(TExtension{TExtension::ekComment, std::move(lines), {}});
}

void TGIFFrame::assign(const TGIFFrame& source) {
    if (&source == this) return;
    item_ = source.item_;
    localColors = &source.owner_ == &owner_ ? source.localColors : true;
    left = source.left;
    top = source.top;
    interlaced = source.interlaced;
    transparentColor = source.transparentColor;
    delay = source.delay;
    disposal = source.disposal;
    grayscale = source.grayscale;
    corrupted = source.corrupted;
    bitmap_ = source.bitmap_;
    if (auto lines = source.comment(); !lines.empty()) setComment(std::move(lines));
    owner_.recomputeScreen();
}

void TGIFFrame::assign(const Raster& picture) {
    clear();
    if (!picture.empty()) {
        bitmap_ = picture;
        if (picture.transparent()) transparentColor = colorOf(picture.transparentColor());
    }
    owner_.recomputeScreen();
}

void TGIFFrame::assign(const TRxGIFImage& image) {
    if (image.frames_.empty()) {
        clear();
        owner_.recomputeScreen();
        return;
    }
    assign(*image.frames_[std::size_t(std::max(image.frameIndex_, 0))]);
}

void TGIFFrame::assign(const TGraphic& graphic) {
    // Fuchsia: the class library's brush for a picture that could not be copied.
    constexpr Argb kUncopied = makeArgb(255, 0, 255);
    if (graphic.empty()) {
        clear();
        owner_.recomputeScreen();
        return;
    }
    Raster picture;
    try {
        graphic.assignTo(picture);
    } catch (const std::exception&) {
        picture = Raster(graphic.width(), graphic.height());
        picture.fill(kUncopied);
    }
    assign(picture);
}

void TGIFFrame::assignTo(TRxGIFImage& dest) { dest.assign(*this); }

void TGIFFrame::assignTo(Raster& dest) {
    dest = bitmap();
    if (transparentColor == clNone) return;
    dest.setTransparent(true);
    dest.setTransparentColor(rgbOfColor(transparentColor));
}

TRxGIFImage::TRxGIFImage() { clear(); }

void TRxGIFImage::clear() {
    data_ = std::make_shared<TGIFData>();
    frames_.clear();
    corrupted_ = false;
    frameIndex_ = -1;
    backgroundColor = clNone;
    repeatCount = 1;
    looping = false;
    version_ = TGIFVersion::gvUnknown;
    screenWidth_ = screenHeight_ = 0;
}

void TRxGIFImage::recomputeScreen() {
    int w = 0, h = 0;
    for (const auto& f : frames_) {
        w = std::max(w, f->left + f->width());
        h = std::max(h, f->top + f->height());
    }
    screenWidth_ = std::uint16_t(std::min(w, 0xFFFF));
    screenHeight_ = std::uint16_t(std::min(h, 0xFFFF));
}

void TRxGIFImage::readData(ByteReader& in) {
    if (in.remaining() < 4) throw EReadError(kStreamRead);
    readGIFStream(in.u32(), in, true);
}

void TRxGIFImage::writeData(ByteWriter& out) { writeGIFStream(out, true); }

void TRxGIFImage::loadFromStream(ByteReader& in) { readGIFStream(in.remaining(), in, true); }

void TRxGIFImage::saveToStream(ByteWriter& out) { writeGIFStream(out, false); }

bool TRxGIFImage::empty() const {
    if (frames_.empty()) return true;
    const TGIFFrame& f = *frames_[std::size_t(std::max(frameIndex_, 0))];
    return f.hasBitmap() ? false : !f.hasData();
}

bool TRxGIFImage::transparent() const {
    return transparent_ &&
           std::any_of(frames_.begin(), frames_.end(), [](const auto& f) { return f->transparentColor != clNone; });
}

int TRxGIFImage::width() const {
    if (empty() || frameIndex_ < 0 || frameIndex_ >= frameCount()) return 0;
    return frames_[std::size_t(frameIndex_)]->width();
}

int TRxGIFImage::height() const {
    if (empty() || frameIndex_ < 0 || frameIndex_ >= frameCount()) return 0;
    return frames_[std::size_t(frameIndex_)]->height();
}

void TRxGIFImage::loadFromSource(const ByteSource& src) {
    ByteReader in(src);
    loadFromStream(in);
}

void TRxGIFImage::assignTo(Raster& dest) const {
    if (empty()) {
        dest = Raster();
        return;
    }
    // Not empty: there are frames, and a frame index below 0 stands for frame 0.
    frames_[std::size_t(std::max(frameIndex_, 0))]->assignTo(dest);
}

std::vector<Rgb> TRxGIFImage::getPalette() {
    if (frames_.empty()) return {};
    return currentBitmap().palette();
}

void TRxGIFImage::setWidth(int) { throw EInvalidGraphicOperation(rxgifmsg::kCannotResize); }
void TRxGIFImage::setHeight(int) { throw EInvalidGraphicOperation(rxgifmsg::kCannotResize); }

const Raster& TRxGIFImage::currentBitmap() {
    if (frames_.empty()) {
        frameIndex_ = 0;
        auto f = std::make_unique<TGIFFrame>(*this);
        f->bitmap_ = Raster();
        frames_.push_back(std::move(f));
    }
    int index = frameIndex_ >= 0 && frameIndex_ < frameCount() ? frameIndex_ : 0;
    return frames_[std::size_t(index)]->bitmap();
}

void TRxGIFImage::draw(Raster& canvas, const DrawRect& rect) {
    if (frameIndex_ < 0 || frameIndex_ >= frameCount()) return;
    TGIFFrame& f = *frames_[std::size_t(frameIndex_)];
    const Raster& picture = f.bitmap();
    if (transparent() && f.transparentColor != clNone)
        stretchDrawTransparent(canvas, rect, picture, rgbOfColor(f.transparentColor));
    else
        stretchDraw(canvas, rect, picture);
}

void TRxGIFImage::assign(const TRxGIFImage& source) {
    if (&source == this) return;
    data_ = source.data_;
    version_ = source.version_;
    backgroundColor = source.backgroundColor;
    repeatCount = source.repeatCount;
    looping = source.looping;
    corrupted_ = source.corrupted_;
    frames_.clear();
    for (const auto& s : source.frames_) {
        auto f = std::make_unique<TGIFFrame>(*this);
        f->assign(*s);
        f->localColors = s->localColors;
        frames_.push_back(std::move(f));
    }
    screenWidth_ = source.screenWidth_;
    screenHeight_ = source.screenHeight_;
    frameIndex_ = source.frameIndex_;
}

void TRxGIFImage::assign(const TGIFFrame& source) {
    // The source may belong to this image: keep what it shares before clearing.
    std::shared_ptr<TGIFData> sourceData = source.owner().data_;
    auto copy = std::make_unique<TGIFFrame>(*this);
    copy->assign(source);
    clear();
    data_->aspectRatio = sourceData->aspectRatio;
    data_->bitsPerPixel = sourceData->bitsPerPixel;
    data_->colorResBits = sourceData->colorResBits;
    data_->colorTable = sourceData->colorTable;
    frames_.push_back(std::move(copy));
    frameIndex_ = 0;
    recomputeScreen();
    if (version_ == TGIFVersion::gvUnknown) version_ = TGIFVersion::gv87a;
}

void TRxGIFImage::assign(const Raster& picture) {
    clear();
    appendFrame(picture);
}

template <class Source>
int TRxGIFImage::append(const Source& source) {
    frames_.push_back(std::make_unique<TGIFFrame>(*this));
    frameIndex_ = frameCount() - 1;
    frames_.back()->assign(source);
    if (version_ == TGIFVersion::gvUnknown) version_ = TGIFVersion::gv87a;
    if (frames_.size() > 1) version_ = TGIFVersion::gv89a;
    return frameIndex_;
}

int TRxGIFImage::appendFrame(const Raster& picture) { return append(picture); }
int TRxGIFImage::appendFrame(const TGraphic& graphic) { return append(graphic); }

void TRxGIFImage::assign(const TAnimatedCursorImage& cursor) {
    // Icons are drawn on a key colour that their frames then leave out.
    constexpr Rgb kKey{255, 0, 255};
    constexpr TColor clWindow = 0x80000005;
    clear();
    backgroundColor = clWindow;
    for (int i = 0; i < cursor.frameCount(); ++i) {
        const TIconFrame& step = cursor.frameAt(i);
        if (!step.icon) continue;
        Raster picture = iconPicture(*step.icon, argbOf(kKey));
        picture.setTransparent(true);
        picture.setTransparentColor(kKey);
        const int index = appendFrame(picture);
        // Jiffies of 1/60 s; a rate beyond what a delay can hold is held at the largest.
        const std::int64_t ms = std::int64_t(std::uint32_t(step.rate)) * 100 / 6;
        frames_[std::size_t(index)]->delay = int(std::min<std::int64_t>(ms, std::numeric_limits<int>::max()));
    }
}

}  // namespace gs
