#pragma once
// The codecs' clipboard formats: "GIF Image" (a GIF stream, behind its byte count when the
// splash-picture graphic writes it) beside the picture itself, and "Orvid Icon" (an icon
// file). A named format travels as Qt's Windows-clipboard MIME type of that name, so the
// names are the system's own wherever the clipboard is shared.
#include <QImage>
#include <QString>

#include "codecs/GifImage.h"
#include "codecs/RxGif.h"
#include "codecs/ui/QtRaster.h"
#include "iconlib/Icon.h"
#include "platform/Raster.h"

class QClipboard;

namespace gs::ui {

inline constexpr const char* kGifImageFormat = "GIF Image";
inline constexpr const char* kIconFormat = "Orvid Icon";
inline constexpr const char* kUnsupportedFormat = "Unsupported clipboard format";

QString clipboardMimeType(const char* formatName);

// Nothing without frames; frame 0's picture, and the GIF behind its byte count when every
// frame has its data.
void saveToClipboard(TRxGIFImage& gif, QClipboard& clipboard);
// The GIF (frame 0 taking the clipboard's picture when there is one), else the picture;
// "Unsupported clipboard format" when there is neither.
void loadFromClipboard(TRxGIFImage& gif, const QClipboard& clipboard);

// Nothing for an empty image; else the first frame drawn on the screen and the GIF stream.
void saveToClipboard(const TGIFImage& gif, QClipboard& clipboard);
// The GIF, else the picture as one frame; "Unsupported clipboard format" otherwise.
void loadFromClipboard(TGIFImage& gif, const QClipboard& clipboard);

// The icon file under "Orvid Icon"; false when the clipboard holds none that reads.
void saveToClipboard(const TQBIcon& icon, QClipboard& clipboard);
bool loadFromClipboard(TQBIcon& icon, const QClipboard& clipboard);

}  // namespace gs::ui
