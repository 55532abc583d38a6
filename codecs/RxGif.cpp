// The splash-picture graphic as a graphic: frames, assignments, size and drawing.
#include "codecs/RxGif.h"

#include <algorithm>
#include <limits>

#include "codecs/AniCursor.h"
#include "codecs/CodecBounds.h"
#include "platform/Errors.h"

namespace gs {

TGIFFrame::TGIFFrame(TRxGIFImage& owner) : owner_(owner), item_(std::make_shared<TRxGIFItem>()) {}

void TGIFFrame::Clear() {
    item_ = std::make_shared<TRxGIFItem>();
    bitmap_.reset();
}

int TGIFFrame::Width() const { return bitmap_ ? bitmap_->Width() : HasData() ? item_->width : 0; }
int TGIFFrame::Height() const { return bitmap_ ? bitmap_->Height() : HasData() ? item_->height : 0; }

const TRaster& TGIFFrame::Bitmap() {
    if (!bitmap_) Decode();
    return *bitmap_;
}

std::vector<std::string> TGIFFrame::Comment() const {
    for (const auto& e : extensions_)
        if (e.kind == TExtension::ekComment) return e.data;
    return {};
}

void TGIFFrame::SetComment(std::vector<std::string> lines) {
    for (auto& e : extensions_)
        if (e.kind == TExtension::ekComment) {
            e.data = std::move(lines);
            return;
        }
    extensions_.push_back(TExtension{TExtension::ekComment, std::move(lines), {}});
}

void TGIFFrame::Assign(const TGIFFrame& source) {
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
    if (auto lines = source.Comment(); !lines.empty()) SetComment(std::move(lines));
    owner_.RecomputeScreen();
}

void TGIFFrame::Assign(const TRaster& picture) {
    Clear();
    if (!picture.Empty()) {
        bitmap_ = picture;
        if (picture.Transparent()) transparentColor = colorOf(picture.TransparentColor());
    }
    owner_.RecomputeScreen();
}

void TGIFFrame::Assign(const TRxGIFImage& image) {
    if (image.frames_.empty()) {
        Clear();
        owner_.RecomputeScreen();
        return;
    }
    Assign(*image.ShownFrame());
}

void TGIFFrame::Assign(const TGraphic& graphic) {
    // Fuchsia: the class library's brush for a picture that could not be copied.
    constexpr Argb kUncopied = makeArgb(255, 0, 255);
    if (graphic.Empty()) {
        Clear();
        owner_.RecomputeScreen();
        return;
    }
    TRaster picture;
    try {
        graphic.AssignTo(picture);
    } catch (const std::exception&) {
        // A picture of the size the graphic says, made from nothing the graphic holds: as
        // large as a frame read from a stream may be, no larger.
        const int w = graphic.Width(), h = graphic.Height();
        if (w < 0 || h < 0 || std::uint64_t(w) * std::uint64_t(h) > kMaxGifFramePixels)
            throw EInvalidGraphic(graphicmsg::kInvalidBitmap);
        picture = TRaster(w, h);
        picture.Fill(kUncopied);
    }
    Assign(picture);
}

void TGIFFrame::AssignTo(TRxGIFImage& dest) { dest.Assign(*this); }

void TGIFFrame::AssignTo(TRaster& dest) {
    dest = Bitmap();
    if (transparentColor == clNone) return;
    dest.SetTransparent(true);
    dest.SetTransparentColor(rgbOfColor(transparentColor));
}

TRxGIFImage::TRxGIFImage() { Clear(); }

void TRxGIFImage::Clear() {
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

void TRxGIFImage::RecomputeScreen() {
    int w = 0, h = 0;
    for (const auto& f : frames_) {
        w = std::max(w, f->left + f->Width());
        h = std::max(h, f->top + f->Height());
    }
    screenWidth_ = std::uint16_t(std::min(w, 0xFFFF));
    screenHeight_ = std::uint16_t(std::min(h, 0xFFFF));
}

void TRxGIFImage::ReadData(TByteReader& in) {
    if (in.Remaining() < 4) throw EReadError(kStreamRead);
    ReadGIFStream(in.U32(), in, true);
}

void TRxGIFImage::WriteData(TByteWriter& out) { WriteGIFStream(out, true); }

void TRxGIFImage::LoadFromStream(TByteReader& in) { ReadGIFStream(in.Remaining(), in, true); }

void TRxGIFImage::SaveToStream(TByteWriter& out) { WriteGIFStream(out, false); }

TGIFFrame* TRxGIFImage::CurrentFrame() const {
    return frameIndex_ >= 0 && frameIndex_ < FrameCount() ? frames_[std::size_t(frameIndex_)].get() : nullptr;
}

TGIFFrame* TRxGIFImage::ShownFrame() const {
    if (frames_.empty()) return nullptr;
    TGIFFrame* current = CurrentFrame();
    return current ? current : frames_[0].get();
}

void TRxGIFImage::SetFrameIndex(int index) {
    if (index != -1) checkedListIndex(index, frames_.size());
    frameIndex_ = index;
}

bool TRxGIFImage::Empty() const {
    const TGIFFrame* f = ShownFrame();
    return !f || (!f->HasBitmap() && !f->HasData());
}

bool TRxGIFImage::Transparent() const {
    return transparent_ &&
           std::any_of(frames_.begin(), frames_.end(), [](const auto& f) { return f->transparentColor != clNone; });
}

int TRxGIFImage::Width() const {
    const TGIFFrame* f = CurrentFrame();
    return f && !Empty() ? f->Width() : 0;
}

int TRxGIFImage::Height() const {
    const TGIFFrame* f = CurrentFrame();
    return f && !Empty() ? f->Height() : 0;
}

void TRxGIFImage::LoadFromSource(const IByteSource& src) {
    TByteReader in(src);
    LoadFromStream(in);
}

void TRxGIFImage::AssignTo(TRaster& dest) const {
    if (Empty()) {
        dest = TRaster();
        return;
    }
    ShownFrame()->AssignTo(dest);
}

std::vector<TRgb> TRxGIFImage::GetPalette() {
    if (frames_.empty()) return {};
    return CurrentBitmap().Palette();
}

void TRxGIFImage::SetWidth(int) { throw EInvalidGraphicOperation(rxgifmsg::kCannotResize); }
void TRxGIFImage::SetHeight(int) { throw EInvalidGraphicOperation(rxgifmsg::kCannotResize); }

const TRaster& TRxGIFImage::CurrentBitmap() {
    if (frames_.empty()) {
        frameIndex_ = 0;
        auto f = std::make_unique<TGIFFrame>(*this);
        f->bitmap_ = TRaster();
        frames_.push_back(std::move(f));
    }
    return ShownFrame()->Bitmap();
}

void TRxGIFImage::Draw(TRaster& canvas, const TDrawRect& rect) {
    if (!CurrentFrame()) return;
    TGIFFrame& f = *CurrentFrame();
    const TRaster& picture = f.Bitmap();
    if (Transparent() && f.transparentColor != clNone)
        stretchDrawTransparent(canvas, rect, picture, rgbOfColor(f.transparentColor));
    else
        stretchDraw(canvas, rect, picture);
}

void TRxGIFImage::Assign(const TRxGIFImage& source) {
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
        f->Assign(*s);
        f->localColors = s->localColors;
        frames_.push_back(std::move(f));
    }
    screenWidth_ = source.screenWidth_;
    screenHeight_ = source.screenHeight_;
    frameIndex_ = source.frameIndex_;
}

void TRxGIFImage::Assign(const TGIFFrame& source) {
    // The source may belong to this image: keep what it shares before clearing.
    std::shared_ptr<TGIFData> sourceData = source.Owner().data_;
    auto copy = std::make_unique<TGIFFrame>(*this);
    copy->Assign(source);
    Clear();
    data_->aspectRatio = sourceData->aspectRatio;
    data_->bitsPerPixel = sourceData->bitsPerPixel;
    data_->colorResBits = sourceData->colorResBits;
    data_->colorTable = sourceData->colorTable;
    frames_.push_back(std::move(copy));
    frameIndex_ = 0;
    RecomputeScreen();
    if (version_ == TGIFVersion::gvUnknown) version_ = TGIFVersion::gv87a;
}

void TRxGIFImage::Assign(const TRaster& picture) {
    Clear();
    AppendFrame(picture);
}

template <class Source>
int TRxGIFImage::Append(const Source& source) {
    frames_.push_back(std::make_unique<TGIFFrame>(*this));
    frameIndex_ = FrameCount() - 1;
    frames_.back()->Assign(source);
    if (version_ == TGIFVersion::gvUnknown) version_ = TGIFVersion::gv87a;
    if (frames_.size() > 1) version_ = TGIFVersion::gv89a;
    return frameIndex_;
}

int TRxGIFImage::AppendFrame(const TRaster& picture) { return Append(picture); }
int TRxGIFImage::AppendFrame(const TGraphic& graphic) { return Append(graphic); }

void TRxGIFImage::Assign(const TAnimatedCursorImage& cursor) {
    // Icons are drawn on a key colour that their frames then leave out.
    constexpr TRgb kKey{255, 0, 255};
    constexpr TColor clWindow = 0x80000005;
    Clear();
    backgroundColor = clWindow;
    for (int i = 0; i < cursor.FrameCount(); ++i) {
        const TIconFrame& step = cursor.FrameAt(i);
        if (!step.icon) continue;
        TRaster picture = TIconPicture(*step.icon, argbOf(kKey));
        picture.SetTransparent(true);
        picture.SetTransparentColor(kKey);
        const int index = AppendFrame(picture);
        // Jiffies of 1/60 s; a rate beyond what a delay can hold is held at the largest.
        const std::int64_t ms = std::int64_t(std::uint32_t(step.rate)) * 100 / 6;
        frames_[std::size_t(index)]->delay = int(std::min<std::int64_t>(ms, std::numeric_limits<int>::max()));
    }
}

}  // namespace gs
