#include "toolbar/ui/QtImageList.h"

#include "toolbar/ui/QtCommon.h"

namespace tb {

void TTBCustomImageList::Add(const QPixmap& image) {
    images_.push_back(image.scaled(width_, height_));
    Changed();
}

void TTBCustomImageList::Clear() {
    images_.clear();
    Changed();
}

void TTBCustomImageList::LoadStrip(const QImage& strip, QRgb maskColor) {
    images_.clear();
    QImage argb = strip.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if ((argb.pixel(x, y) | 0xFF000000) == (maskColor | 0xFF000000)) argb.setPixel(x, y, 0);
    for (int x = 0; x + width_ <= argb.width(); x += width_)
        images_.push_back(QPixmap::fromImage(argb.copy(x, 0, width_, std::min(height_, argb.height()))));
    Changed();
}

void TTBCustomImageList::SetStripBitmap(const QImage& strip) {
    stripBitmap_ = strip;
    if (!stripBitmap_.isNull()) LoadStrip(stripBitmap_, stripMaskColor_);
}

// A colour set after the picture (the order properties are read in) still applies to it.
void TTBCustomImageList::SetStripMaskColor(QRgb color) {
    if ((color | 0xFF000000) == stripMaskColor_) return;
    stripMaskColor_ = color | 0xFF000000;  // colours are matched without their alpha
    if (!stripBitmap_.isNull()) LoadStrip(stripBitmap_, stripMaskColor_);
}

void TTBCustomImageList::SetStateList(TTBCustomImageList*& slot, TTBCustomImageList* list) {
    if (list == this) list = nullptr;
    if (list == slot) return;
    TTBCustomImageList* old = slot;
    slot = list;
    if (old && !Watches(old)) Unwatch(old);  // one list may serve two states
    if (list) Watch(list);
    Changed();
}

void TTBCustomImageList::NotifierFreed(TNotifier* source) {
    for (TTBCustomImageList** slot : {&hot_, &checked_, &disabled_})
        if (*slot == source) *slot = nullptr;
    Changed();
}

void TTBCustomImageList::Draw(QPainter& painter, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count()) return;
    const QPixmap& pix = images_[std::size_t(index)];
    if (enabled) {
        painter.drawPixmap(x, y, pix);
        return;
    }
    // Embossed: the picture's shape in highlight, then in shadow one pixel up-left.
    QImage alpha = pix.toImage().convertToFormat(QImage::Format_ARGB32);
    QPixmap light(pix.size()), dark(pix.size());
    light.fill(Qt::transparent);
    dark.fill(Qt::transparent);
    for (QPixmap* target : {&light, &dark}) {
        QPainter tp(target);
        QColor c = SysColor(target == &light ? TSysColor::BtnHighlight : TSysColor::BtnShadow);
        for (int yy = 0; yy < alpha.height(); ++yy)
            for (int xx = 0; xx < alpha.width(); ++xx)
                if (qAlpha(alpha.pixel(xx, yy)) > 127 && qGray(alpha.pixel(xx, yy)) < 192) {
                    tp.setPen(c);
                    tp.drawPoint(xx, yy);
                }
    }
    painter.drawPixmap(x + 1, y + 1, light);
    painter.drawPixmap(x, y, dark);
}

void TTBCustomImageList::DrawWithState(QPainter& painter, int x, int y, int index, bool enabled, bool hot,
                                       bool checked) const {
    if (!enabled && disabled_) disabled_->Draw(painter, x, y, index, true);
    else if (checked && checked_) checked_->Draw(painter, x, y, index, enabled);
    else if (hot && hot_) hot_->Draw(painter, x, y, index, enabled);
    else Draw(painter, x, y, index, enabled);
}

}  // namespace tb
