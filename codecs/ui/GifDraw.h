#pragma once
// GIF frames and composed canvases drawn with a QPainter: stretched into a rectangle, or
// tiled over it from its top-left corner. A transparent frame drawn transparent keeps what
// lies under its transparent pixels. Scaling picks the nearest pixel, so every pixel drawn
// has one of the frame's colours.
#include <QImage>
#include <QRect>

#include "codecs/GifImage.h"

class QPainter;

namespace gs::ui {

// Whether frames go through the 216-colour dither: asked for, and with gdAutoDither only
// on a display of 8 bits per pixel or fewer.
bool DitherFrames(TGIFDrawOptions options);

// The frame as a picture of its own size, from its kept rendering; `masked` gives its
// transparent pixels alpha 0.
QImage FrameImage(const TGIFSubImage& frame, bool masked);

// Without `tile` the frame's place on the logical screen is scaled into `rect` and the
// frame stretched there; with it the frame repeats over `rect` at its own size. With
// `transparent` a transparent frame shows only its pixels that are not transparent.
void DrawFrame(const TGIFSubImage& frame, QPainter& canvas, const QRect& rect, bool tile, bool transparent);

// `picture` stretched into `rect`, or repeated at its own size from rect's top-left corner.
void DrawPicture(QPainter& canvas, const QRect& rect, const QImage& picture, bool tile);

}  // namespace gs::ui
