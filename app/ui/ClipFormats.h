#pragma once
// The program's clipboard formats. A bitmap goes on the clipboard as an image (Qt's image
// types). The two named formats of the program are MIME types after Qt's naming of named
// clipboard formats, so they keep their names wherever Qt carries them:
// - "GIF Image": a 32-bit little-endian byte count, then that many bytes of GIF stream;
// - "Orvid Icon": the bytes of an icon file.
#include <QByteArray>
#include <QString>

#include <optional>

#include "platform/ByteSource.h"

class QMimeData;

namespace gs {

class Raster;
class TQBIcon;

inline constexpr const char* kClipFormatGIF = "GIF Image";
inline constexpr const char* kClipFormatIcon = "Orvid Icon";

// The MIME type of a named clipboard format.
QString ClipboardMimeType(const char* formatName);

// New clipboard data holding the bitmap as an image.
QMimeData* BitmapMimeData(const Raster& bitmap);

// A GIF stream in and out of its "GIF Image" form; nothing for data shorter than its count.
void PutGifImage(QMimeData& data, const Bytes& gifStream);
std::optional<Bytes> TakeGifImage(const QMimeData& data);
// An icon in and out of its "Orvid Icon" form (an icon file); nothing when there is none.
void PutOrvidIcon(QMimeData& data, const TQBIcon& icon);
std::optional<Bytes> TakeOrvidIcon(const QMimeData& data);

}  // namespace gs
