#pragma once
// Painting item viewers: toolbar buttons (frames, drop-down arrows, checked dither) and
// menu rows (highlight, image column, check mark, caption, shortcut, submenu arrow), and
// separators, at the geometry the measuring in toolbar/core assumes.
#include <QFont>
#include <QPainter>

#include "toolbar/core/View.h"

namespace tb {

class TTBCustomImageList;

struct TViewerPaintState {
    bool hot = false;        // the viewer is the selection
    bool pressed = false;    // hot and pressed (its popup is open, or a tracked press)
    bool showAccels = true;  // accelerators underlined
    const TTBCustomImageList* images = nullptr;
    QFont font;
};

// A viewer class with a look of its own (an item's ViewerClass answers it). PaintViewer
// hands it its cell; the default Paint is the standard look, with its captions drawn
// through PaintCaption.
class TTBPaintedItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    // `r` is the cell in the painter's coordinates, clipped to it.
    virtual void Paint(QPainter& painter, const QRect& r, const TViewerPaintState& state) const;
    // Text in `color` or, with `emboss`, in highlight one pixel down-right and then in
    // shadow; turned on side-docked toolbars.
    virtual void PaintCaption(QPainter& painter, const QRect& r, int flags, bool emboss, const QColor& color,
                              const QString& text) const;
};

// Paints `viewer` into its BoundsRect.
void PaintViewer(QPainter& painter, const TTBItemViewer& viewer, const TViewerPaintState& state);
// The image list an item draws from: its own Images, else the SubMenuImages of the views up
// the chain (each view's shown item, then its base item).
IImageSource* ImageSourceOf(const TTBItemViewer& viewer);
// What a view's host answers for measuring: the font's metrics (external leading =
// leading()) and the size of the images a viewer draws from.
TTextMetrics MetricsOf(const QFont& font);
std::optional<TImageSize> ImageSizeOf(const TTBItemViewer& viewer);

}  // namespace tb
