#include "controls/ui/ButtonGlyph.h"

#include <QPainter>

#include <algorithm>

namespace gs {

namespace {

// The one cache; freed once it holds no list.
std::unique_ptr<TGlyphCache>& theCache() {
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}

bool sameColour(QRgb a, QRgb b) { return (a & 0xFFFFFF) == (b & 0xFFFFFF); }

// The transparent colour taken out; grey or the disabled rendering as the source asks.
QImage rendered(QImage slice, TGlyphSource source, QRgb transparent, QRgb face, QRgb highlight, QRgb shadow) {
    for (int y = 0; y < slice.height(); ++y)
        for (int x = 0; x < slice.width(); ++x) {
            const QRgb c = slice.pixel(x, y);
            if (qAlpha(c) == 0 || sameColour(c, transparent)) {
                slice.setPixel(x, y, 0);
            } else if (source == TGlyphSource::Grey) {
                if (!sameColour(c, face)) slice.setPixel(x, y, 0xFF000000u | GreyOf(c & 0xFFFFFF));
            } else if (source == TGlyphSource::Disabled) {
                slice.setPixel(x, y, qGray(c) > 192 ? highlight : shadow);
            }
        }
    return slice;
}

// The disabled look of an image list's picture: its shape raised in the highlight colour
// under the same shape in the shadow colour.
QImage embossed(const QImage& image, QRgb highlight, QRgb shadow) {
    const auto shape = [&image](QRgb colour) {
        QImage out = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x)
                if (qAlpha(out.pixel(x, y)) != 0) out.setPixel(x, y, colour | 0xFF000000u);
        return out;
    };
    QImage out(image.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawImage(1, 1, shape(highlight));
    p.drawImage(0, 0, shape(shadow));
    return out;
}

}  // namespace

int TGlyphList::Add(const QImage& image) {
    const int index = slots_.Add();
    if (index == int(images_.size())) images_.push_back(image);
    else images_[std::size_t(index)] = image;
    return index;
}

void TGlyphList::Delete(int index) { slots_.Delete(index); }

QImage TGlyphList::Image(int index) const { return slots_.Used(index) ? images_[std::size_t(index)] : QImage(); }

TGlyphCache& TGlyphCache::Acquire() {
    if (!theCache()) theCache() = std::make_unique<TGlyphCache>();
    return *theCache();
}

TGlyphCache* TGlyphCache::Current() { return theCache().get(); }

TGlyphList* TGlyphCache::GetList(int width, int height) {
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
    TGlyphCache* cache = Current();
    if (!cache || !list || list->Count() > 0) return;
    std::erase_if(cache->lists_, [list](const std::unique_ptr<TGlyphList>& l) { return l.get() == list; });
    if (cache->Empty()) theCache().reset();
}

TRxButtonGlyph::~TRxButtonGlyph() { Invalidate(); }

void TRxButtonGlyph::SetStrip(const QImage& strip, QRgb transparent) {
    Invalidate();
    strip_ = strip.convertToFormat(QImage::Format_ARGB32);
    transparent_ = transparent;
    numGlyphs_ = GlyphCountOfStrip(strip_.width(), strip_.height(), numGlyphs_);
}

void TRxButtonGlyph::SetNumGlyphs(int n) {
    n = std::clamp(n, 1, kMaxGlyphs);
    if (n == numGlyphs_) return;
    Invalidate();
    numGlyphs_ = n;
}

void TRxButtonGlyph::Invalidate() {
    for (int& index : indexes_) {
        if (list_) list_->Delete(index);
        index = -1;
    }
    TGlyphCache::ReturnList(list_);
    list_ = nullptr;
    if (greyList_) greyList_->Delete(greyIndex_);
    TGlyphCache::ReturnList(greyList_);
    greyList_ = nullptr;
    greyIndex_ = -1;
    greyOf_ = nullptr;
}

QImage TRxButtonGlyph::GlyphImage(TButtonState state, QRgb face, QRgb highlight, QRgb shadow) {
    const TGlyphChoice choice = GlyphForState(state, numGlyphs_, strip_.isNull());
    if (choice.Source == TGlyphSource::None) return {};
    const int w = strip_.width() / numGlyphs_;
    if (w <= 0) return {};
    int& index = indexes_[std::size_t(state)];
    if (index < 0) {
        if (!list_) list_ = TGlyphCache::Acquire().GetList(w, strip_.height());
        const QImage slice = strip_.copy(choice.Slice * w, 0, w, strip_.height());
        index = list_->Add(rendered(slice, choice.Source, transparent_, face, highlight, shadow));
    }
    return list_->Image(index);
}

QImage TRxButtonGlyph::ImageListImage(const TImageListGlyph& glyph, TButtonState state, QRgb face, QRgb highlight,
                                      QRgb shadow) {
    if (!glyph.Valid()) return {};
    const QImage& image = (*glyph.Images)[glyph.Index];
    if (state == TButtonState::bsDisabled) return embossed(image, highlight, shadow);
    if (state != TButtonState::bsInactive) return image;
    if (greyOf_ != glyph.Images.get() || greyOfIndex_ != glyph.Index || greyList_->Image(greyIndex_).isNull()) {
        if (greyList_) greyList_->Delete(greyIndex_);
        TGlyphCache::ReturnList(greyList_);
        greyList_ = TGlyphCache::Acquire().GetList(image.width(), image.height());
        greyIndex_ = greyList_->Add(
            rendered(image.convertToFormat(QImage::Format_ARGB32), TGlyphSource::Grey, transparent_, face, highlight, shadow));
        greyOf_ = glyph.Images.get();
        greyOfIndex_ = glyph.Index;
    }
    return greyList_->Image(greyIndex_);
}

}  // namespace gs
