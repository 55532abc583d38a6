#pragma once
// An image list of fixed-size pictures for the items: the enabled pictures, and optional
// lists of hot, checked and disabled pictures drawn in their states. A strip bitmap whose
// magenta (0xFF00FF) pixels are transparent can fill it at once.
#include <QPainter>
#include <QPixmap>
#include <vector>

#include "toolbar/core/ItemSources.h"

namespace tb {

// It watches the lists it draws states from: a change of one is a change of this list
// for the items using it, and a list freed first is dropped, never drawn from.
class TTBCustomImageList : public IImageSource, public TObserver {
public:
    TTBCustomImageList(int width, int height) : width_(width), height_(height) {}
    ~TTBCustomImageList() override { NotifyObserversFreed(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int Count() const { return int(images_.size()); }

    void Add(const QPixmap& image);
    void Clear();
    // Cuts `strip` into images of the list's size, magenta masked out.
    void LoadStrip(const QImage& strip, QRgb maskColor = kDefaultStripMaskColor);

    // The strip the list is made from: setting a picture, or another mask colour while
    // there is one, makes the list again; an empty picture leaves the images as they are.
    static constexpr QRgb kDefaultStripMaskColor = 0xFFFF00FF;
    const QImage& StripBitmap() const { return stripBitmap_; }
    void SetStripBitmap(const QImage& strip);
    QRgb StripMaskColor() const { return stripMaskColor_; }
    void SetStripMaskColor(QRgb color);

    // The lists used for the states; the list itself counts as none. A change tells the
    // users of this list.
    void SetHotImageList(TTBCustomImageList* list) { SetStateList(hot_, list); }
    void SetCheckedImageList(TTBCustomImageList* list) { SetStateList(checked_, list); }
    void SetDisabledImageList(TTBCustomImageList* list) { SetStateList(disabled_, list); }
    TTBCustomImageList* HotImageList() const { return hot_; }
    TTBCustomImageList* CheckedImageList() const { return checked_; }
    TTBCustomImageList* DisabledImageList() const { return disabled_; }

    // A disabled image from the disabled list (drawn as enabled), else a checked or hot one
    // from those lists, else from this list in the state asked (disabled: embossed).
    void DrawWithState(QPainter& painter, int x, int y, int index, bool enabled, bool hot, bool checked) const;
    void Draw(QPainter& painter, int x, int y, int index, bool enabled) const;

    void NotifierFreed(TNotifier* source) override;
    void NotifierChanged(TNotifier*) override { Changed(); }

private:
    void SetStateList(TTBCustomImageList*& slot, TTBCustomImageList* list);
    bool Watches(const TNotifier* list) const { return list && (list == hot_ || list == checked_ || list == disabled_); }

    int width_, height_;
    std::vector<QPixmap> images_;
    TTBCustomImageList* hot_ = nullptr;
    TTBCustomImageList* checked_ = nullptr;
    TTBCustomImageList* disabled_ = nullptr;
    QImage stripBitmap_;
    QRgb stripMaskColor_ = kDefaultStripMaskColor;
};

}  // namespace tb
