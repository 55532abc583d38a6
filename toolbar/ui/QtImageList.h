#pragma once
// An image list of fixed-size pictures for the items: the enabled pictures, and optional
// lists of hot, checked and disabled pictures drawn in their states. A strip bitmap whose
// magenta (0xFF00FF) pixels are transparent can fill it at once.
#include <QPainter>
#include <QPixmap>
#include <vector>

#include "toolbar/core/ItemSources.h"

namespace tb {

class TTBCustomImageList : public ImageSource {
public:
    TTBCustomImageList(int width, int height) : width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int Count() const { return int(images_.size()); }

    void Add(const QPixmap& image);
    void Clear();
    // Cuts `strip` into images of the list's size, magenta masked out.
    void LoadStrip(const QImage& strip, QRgb maskColor = 0xFFFF00FF);

    // The lists used for the states; the list itself counts as none.
    void SetHotImageList(TTBCustomImageList* list) { hot_ = list == this ? nullptr : list; }
    void SetCheckedImageList(TTBCustomImageList* list) { checked_ = list == this ? nullptr : list; }
    void SetDisabledImageList(TTBCustomImageList* list) { disabled_ = list == this ? nullptr : list; }

    // A disabled image from the disabled list (drawn as enabled), else a checked or hot one
    // from those lists, else from this list in the state asked (disabled: embossed).
    void DrawWithState(QPainter& painter, int x, int y, int index, bool enabled, bool hot, bool checked) const;
    void Draw(QPainter& painter, int x, int y, int index, bool enabled) const;

private:
    int width_, height_;
    std::vector<QPixmap> images_;
    TTBCustomImageList* hot_ = nullptr;
    TTBCustomImageList* checked_ = nullptr;
    TTBCustomImageList* disabled_ = nullptr;
};

}  // namespace tb
