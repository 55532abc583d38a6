#include "codecs/ui/GifDraw.h"

#include <QBrush>
#include <QPainter>
#include <algorithm>

#include "codecs/GifRender.h"
#include "codecs/ui/QtRaster.h"
#include "codecs/ui/ScreenDepth.h"

namespace gs::ui {

bool DitherFrames(TGIFDrawOptions options) {
    return DitherInForce(options, GetScreenColorDepth());
}

QImage FrameImage(const TGIFSubImage& frame, bool masked) {
    if (frame.Empty()) return {};
    const TRenderedFrame& rendered = frame.RenderedBitmap(DitherFrames(frame.Image().DrawOptions()));
    QImage picture = ToQImage(rendered.Bitmap);
    if (masked && rendered.Mask) {
        const TGIFMask& mask = *rendered.Mask;
        for (int y = 0; y < mask.height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < mask.width; ++x)
                if (mask.bits[std::size_t(y) * std::size_t(mask.width) + std::size_t(x)]) line[x] = 0;
        }
    }
    return picture;
}

void DrawFrame(const TGIFSubImage& frame, QPainter& canvas, const QRect& rect, bool tile, bool transparent) {
    if (frame.Empty() || rect.isEmpty()) return;
    const QImage picture = FrameImage(frame, transparent && frame.Transparent());
    if (tile) {
        DrawPicture(canvas, rect, picture, true);
        return;
    }
    // Each edge of the frame moves with the logical screen scaled into rect.
    const qint64 screenW = std::max(frame.Image().Width(), 1), screenH = std::max(frame.Image().Height(), 1);
    const auto scaleX = [&](qint64 x) { return int(rect.left() + x * rect.width() / screenW); };
    const auto scaleY = [&](qint64 y) { return int(rect.top() + y * rect.height() / screenH); };
    const int left = scaleX(frame.Left()), top = scaleY(frame.Top());
    const QRect place(left, top, scaleX(qint64(frame.Left()) + frame.Width()) - left,
                      scaleY(qint64(frame.Top()) + frame.Height()) - top);
    if (!place.isEmpty()) DrawPicture(canvas, place, picture, false);
}

void DrawPicture(QPainter& canvas, const QRect& rect, const QImage& picture, bool tile) {
    if (picture.isNull() || rect.isEmpty()) return;
    canvas.save();
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (tile) {
        canvas.setBrushOrigin(rect.topLeft());
        canvas.fillRect(rect, QBrush(picture));
    } else {
        canvas.drawImage(rect, picture);
    }
    canvas.restore();
}

}  // namespace gs::ui
