#pragma once
// A view of an item tree painted into an image, without a window: for the painting tests
// and tbdemo --render.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <memory>

#include "ItemScript.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtImageList.h"
#include "toolbar/ui/QtViewerPaint.h"

namespace tbtest {

class ImageHost : public tb::ITBViewHost {
public:
    QFont font = [] {
        QFont f("DejaVu Sans", 9);
        f.setStyleStrategy(QFont::NoAntialias);  // whole pixels of one colour
        return f;
    }();
    tb::TTextMetrics Metrics() const override { return tb::MetricsOf(font); }
    std::optional<tb::TImageSize> ImageSizeFor(const tb::TTBItemViewer&) const override { return tb::TImageSize{16, 16}; }
    void RepaintRect(const tb::TRect&) override {}
    void RepaintAll() override {}
    void FitHost(tb::TPoint) override {}
    std::unique_ptr<tb::ITBPopupHandle> OpenPopup(tb::TTBView&, tb::TTBItemViewer&, bool) override { return nullptr; }
};

struct ViewImage {
    ImageHost host;
    std::unique_ptr<tb::TTBView> view;
    QImage image;

    // Lays out the script's tree and paints it on button face; `selected` is hot (and
    // pressed when `pressed`); items with an image draw it from `images` when given.
    ViewImage(const ItemScript& script, int selected = -1, bool pressed = false,
              const tb::TTBCustomImageList* images = nullptr) {
        view = std::make_unique<tb::TTBView>(host, script.root.get(), nullptr, script.place.toolbarView);
        view->Orientation = script.place.orientation;
        view->WrapLength = script.params.wrapLength;
        view->ValidatePositions();
        tb::TPoint size = view->LastLayout().newSize;
        image = QImage(size.x, size.y, QImage::Format_ARGB32);
        image.fill(tb::SysColor(tb::TSysColor::BtnFace).rgb());
        QPainter p(&image);
        tb::TViewerPaintState st;
        st.font = host.font;
        st.images = images;
        for (const auto& c : view->Cells()) {
            st.hot = view->IndexOf(c.get()) == selected;
            st.pressed = st.hot && pressed;
            tb::PaintViewer(p, *c, st);
        }
    }
};

}  // namespace tbtest
