#pragma once
// The program's clipboard formats, in one place. A bitmap goes on the clipboard as an image
// (Qt's image types). The two named formats travel as Qt's Windows-clipboard MIME type of
// that name, so the names are the system's own wherever the clipboard is shared:
// - "GIF Image": a GIF stream; the splash-picture graphic writes it behind a 32-bit
//   little-endian byte count, the GIF model as it is. Either graphic reads both forms.
// - "Orvid Icon": the bytes of an icon file.
#include <QImage>
#include <QString>

#include <optional>

#include "codecs/GifImage.h"
#include "codecs/RxGif.h"
#include "codecs/ui/QtRaster.h"
#include "iconlib/Icon.h"
#include "platform/ByteSource.h"
#include "platform/Raster.h"

class QClipboard;
class QMimeData;

namespace gs::ui {

inline constexpr const char* kGifImageFormat = "GIF Image";
inline constexpr const char* kIconFormat = "Orvid Icon";
inline constexpr const char* kUnsupportedFormat = "Unsupported clipboard format";

// The MIME type of a named clipboard format.
QString clipboardMimeType(const char* formatName);

// New clipboard data holding the bitmap as an opaque image.
QMimeData* bitmapMimeData(const TRaster& bitmap);

// A GIF stream in and out of its counted "GIF Image" form; nothing without the format or
// for data shorter than its count.
void putGifImage(QMimeData& data, const TBytes& gifStream);
std::optional<TBytes> takeGifImage(const QMimeData& data);
// An icon in and out of its "Orvid Icon" form (an icon file); nothing for an icon without
// images, nor when there is no such format.
void putOrvidIcon(QMimeData& data, const TQBIcon& icon);
std::optional<TBytes> takeOrvidIcon(const QMimeData& data);

// Nothing without frames; frame 0's picture, and the GIF behind its byte count when every
// frame has its data.
void saveToClipboard(TRxGIFImage& gif, QClipboard& clipboard);
// The GIF (frame 0 taking the clipboard's picture when there is one), else the picture;
// "Unsupported clipboard format" when there is neither.
void loadFromClipboard(TRxGIFImage& gif, const QClipboard& clipboard);

// Nothing for an empty image; else the image's rendered bitmap and the GIF stream.
void saveToClipboard(const TGIFImage& gif, QClipboard& clipboard);
// The GIF, else the picture as one frame; "Unsupported clipboard format" otherwise.
void loadFromClipboard(TGIFImage& gif, const QClipboard& clipboard);

// The icon file under "Orvid Icon"; false when the clipboard holds none that reads.
void saveToClipboard(const TQBIcon& icon, QClipboard& clipboard);
bool loadFromClipboard(TQBIcon& icon, const QClipboard& clipboard);

}  // namespace gs::ui
