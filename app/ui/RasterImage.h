#pragma once
// The one place where the program's own pictures become Qt images. Images may be made on
// any thread; pixmaps only on the UI thread (callers see to that).
#include <QImage>
#include <QPixmap>

namespace gs {

class Raster;
struct IconPicture;
class TListPicture;

// The picture as straight-alpha ARGB, masked pixels transparent.
QImage ToQImage(const IconPicture& picture);
// A bitmap as an opaque RGB image (a bitmap carries no alpha; its transparency flag is for
// the exports).
QImage ToQImage(const Raster& bitmap);
// A list entry's picture, premultiplied as pixmaps are drawn from: a palette is converted
// once, not every pixel.
QImage ToPremultipliedQImage(const TListPicture& picture);

}  // namespace gs
