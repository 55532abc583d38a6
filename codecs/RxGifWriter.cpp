// Writing the splash-picture graphic as a GIF stream: frames made from pictures are coded
// first (true-colour ones through a colour mapping), control blocks refreshed from the
// frames' delay, transparency and disposal, then header, tables, frames and trailer.
#include <algorithm>

#include "codecs/GifFormat.h"
#include "codecs/RxGif.h"
#include "codecs/RxGifEncoder.h"

namespace gs {

namespace {

using namespace gifformat;
constexpr std::uint8_t kLabels[] = {kLabelGraphicControl, kLabelPlainText, kLabelApplication, kLabelComment};  // by kind


// The entries, then zero triplets up to 2^bits: the size field says that many follow.
void writeTable(TByteWriter& out, const TGIFColorTable& table) {
    const int bits = table.Bits();
    for (int i = 0; i < (1 << bits); ++i) {
        TRgb c = i < table.count ? table.colors[std::size_t(i)] : TRgb{};
        out.U8(c.r), out.U8(c.g), out.U8(c.b);
    }
}

void writeLines(TByteWriter& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        const std::size_t n = std::min<std::size_t>(line.size(), 255);
        out.U8(std::uint8_t(n));
        out.Chars(std::string_view(line).substr(0, n));
    }
    out.U8(0);
}

int IndexOf(const TGIFColorTable& table, TColor color) {
    if (color == clNone) return -1;
    for (int i = 0; i < table.count; ++i)
        if (colorOf(table.colors[std::size_t(i)]) == color) return i;
    return -1;
}

}  // namespace

void TGIFFrame::Encode(TColorMapping mapping) {
    if (!bitmap_ || bitmap_->Empty()) throw EInvalidGraphicOperation(rxgifmsg::kNoData);
    TRaster picture = *bitmap_;
    if (!isIndexed(picture.Format())) {
        if (grayscale) mapping = TColorMapping::mapGrey;
        picture = toPixelFormat(picture, PixelFormat::pf8bit, mapping);
        grayscale = mapping == TColorMapping::mapGrey;
    }
    auto item = std::make_shared<TRxGIFItem>();
    // Every index must have an entry, even one the palette lacks (it gets black).
    int used = int(std::min<std::size_t>(picture.Palette().size(), 256));
    for (int y = 0; y < picture.Height(); ++y)
        used = std::max(used, 1 + int(*std::max_element(picture.IndexRow(y), picture.IndexRow(y) + picture.Width())));
    item->colorTable.count = used;
    std::copy_n(picture.Palette().begin(), std::min<std::size_t>(picture.Palette().size(), 256),
                item->colorTable.colors.begin());
    item->bitsPerPixel = std::uint8_t(item->colorTable.Bits());
    item->width = picture.Width();
    item->height = picture.Height();
    interlaced = false;
    TByteWriter coded;
    {
        TGifProgress progress(owner_.onProgress, "");
        EncodeRxLZW(coded, picture, item->bitsPerPixel, false, progress);
    }
    item->encoded = coded.Take();
    item_ = std::move(item);

    TGIFData& data = *owner_.data_;
    if (data.colorTable.count > 0) {
        localColors = true;
    } else {
        data.colorTable = item_->colorTable;
        data.bitsPerPixel = item_->bitsPerPixel;
        localColors = false;
    }
    owner_.screenWidth_ = std::uint16_t(std::max(int(owner_.screenWidth_), left + item_->width));
    owner_.screenHeight_ = std::uint16_t(std::max(int(owner_.screenHeight_), top + item_->height));
}

void TGIFFrame::RefreshGraphicControl() {
    auto isControl = [](const TExtension& e) { return e.kind == TExtension::ekGraphicControl; };
    auto control = std::find_if(extensions_.begin(), extensions_.end(), isControl);
    if (control == extensions_.end() && (delay != 0 || transparentColor != clNone || disposal != 0)) {
        extensions_.push_back(TExtension{TExtension::ekGraphicControl, {}, TBytes{4, 0, 0, 0, 0, 0}});
        control = extensions_.end() - 1;
    }
    if (control != extensions_.end()) {
        TBytes& h = control->header;
        h.resize(6, 0);
        const int hundredths = std::min(delay / 10, 0xFFFF);
        h[2] = std::uint8_t(hundredths);
        h[3] = std::uint8_t(hundredths >> 8);
        const int index = IndexOf(item_->colorTable, transparentColor);
        h[1] = std::uint8_t((h[1] & ~0x1D) | ((disposal & 7) << 2) | (index >= 0 ? 1 : 0));
        if (index >= 0) h[4] = std::uint8_t(index);
    }
    std::erase_if(extensions_, [](const TExtension& e) { return e.kind == TExtension::ekComment && e.data.empty(); });
    if (!extensions_.empty()) owner_.version_ = TGIFVersion::gv89a;
}

void TRxGIFImage::WriteGIFStream(TByteWriter& out, bool withCount) {
    if (frames_.empty()) throw EInvalidGraphicOperation(rxgifmsg::kNoData);
    for (auto& f : frames_) {
        if (!f->HasData()) f->Encode(defaultMapping);
        f->RefreshGraphicControl();
    }
    if (!data_->comment.empty()) version_ = TGIFVersion::gv89a;
    RecomputeScreen();

    TByteWriter w;
    w.Chars(version_ == TGIFVersion::gv89a ? "GIF89a" : "GIF87a");
    w.U16(screenWidth_);
    w.U16(screenHeight_);
    const TGIFColorTable& global = data_->colorTable;
    const int globalBits = global.Bits();
    w.U8(global.count > 0 ? std::uint8_t(0x80 | ((globalBits - 1) << 4) | (globalBits - 1)) : 0);
    w.U8(std::uint8_t(std::max(IndexOf(global, backgroundColor), 0)));
    w.U8(data_->aspectRatio);
    if (global.count > 0) writeTable(w, global);
    if (looping && frames_.size() > 1) {
        w.Bytes(TBytes{kExtensionIntroducer, kLabelApplication, kApplicationIdSize});
        w.Chars("NETSCAPE2.0");
        w.Bytes(TBytes{3, 1, std::uint8_t(repeatCount), std::uint8_t(repeatCount >> 8), 0});
    }
    for (const auto& f : frames_) {
        for (const auto& e : f->extensions_) {
            w.U8(kExtensionIntroducer);
            w.U8(kLabels[e.kind]);
            w.Bytes(e.header);
            if (e.kind != TGIFFrame::TExtension::ekGraphicControl) writeLines(w, e.data);
        }
        const TRxGIFItem& item = f->Item();
        w.U8(kImageSeparator);
        w.U16(std::uint16_t(f->left));
        w.U16(std::uint16_t(f->top));
        w.U16(std::uint16_t(item.width));
        w.U16(std::uint16_t(item.height));
        std::uint8_t flags = f->interlaced ? 0x40 : 0;
        if (f->localColors) flags |= std::uint8_t(0x80 | (item.colorTable.Bits() - 1));
        w.U8(flags);
        if (f->localColors) writeTable(w, item.colorTable);
        w.Bytes(item.encoded);
    }
    if (!data_->comment.empty()) {
        w.U8(kExtensionIntroducer);
        w.U8(kLabelComment);
        writeLines(w, data_->comment);
    }
    w.U8(kTrailer);
    if (withCount) out.U32(std::uint32_t(w.Pos()));
    out.Bytes(w.Data());
}

}  // namespace gs
