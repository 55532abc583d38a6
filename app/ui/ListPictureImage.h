#pragma once
// The list's own pictures (compact, made on the worker) as Qt images, on the UI thread.
#include <QImage>

namespace gs {

class TListPicture;

// A list entry's picture, premultiplied as pixmaps are drawn from: a palette is converted
// once, not every pixel.
QImage ToPremultipliedQImage(const TListPicture& picture);

}  // namespace gs
