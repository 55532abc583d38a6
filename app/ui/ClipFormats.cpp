#include "app/ui/ClipFormats.h"

#include <QMimeData>

#include "app/ui/RasterImage.h"
#include "iconlib/Icon.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace gs {

namespace {

QByteArray toQt(const Bytes& bytes) { return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())); }

Bytes fromQt(const QByteArray& bytes) { return Bytes(bytes.begin(), bytes.end()); }

}  // namespace

QString ClipboardMimeType(const char* formatName) {
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QString::fromUtf8(formatName));
}

QMimeData* BitmapMimeData(const Raster& bitmap) {
    auto* data = new QMimeData;
    data->setImageData(ToQImage(bitmap));
    return data;
}

void PutGifImage(QMimeData& data, const Bytes& gifStream) {
    const auto count = std::uint32_t(gifStream.size());
    QByteArray block;
    for (int shift = 0; shift < 32; shift += 8) block.append(char((count >> shift) & 0xFF));
    block.append(toQt(gifStream));
    data.setData(ClipboardMimeType(kClipFormatGIF), block);
}

std::optional<Bytes> TakeGifImage(const QMimeData& data) {
    const QString type = ClipboardMimeType(kClipFormatGIF);
    if (!data.hasFormat(type)) return std::nullopt;
    const Bytes block = fromQt(data.data(type));
    try {
        SpanSource src(block);
        ByteReader r(src);
        const std::uint32_t count = r.u32At(0);
        return r.bytesAt(4, count);
    } catch (const std::exception&) {
        return std::nullopt;  // a count beyond the block
    }
}

void PutOrvidIcon(QMimeData& data, const TQBIcon& icon) {
    ByteWriter w;
    icon.SaveToStream(w);
    if (!w.data().empty()) data.setData(ClipboardMimeType(kClipFormatIcon), toQt(w.data()));
}

std::optional<Bytes> TakeOrvidIcon(const QMimeData& data) {
    const QString type = ClipboardMimeType(kClipFormatIcon);
    if (!data.hasFormat(type)) return std::nullopt;
    return fromQt(data.data(type));
}

}  // namespace gs
