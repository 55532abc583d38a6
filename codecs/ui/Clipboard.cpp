#include "codecs/ui/Clipboard.h"

#include <QClipboard>
#include <QMimeData>
#include <algorithm>
#include <array>

#include "codecs/GraphicRoutines.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"

namespace gs::ui {

namespace {

constexpr std::uint64_t kCountBytes = 4;
constexpr std::array<std::uint8_t, 3> kGifSignature{'G', 'I', 'F'};

QByteArray bytesOf(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }
Bytes bytesOf(const QByteArray& b) { return Bytes(b.begin(), b.end()); }

std::optional<Bytes> formatData(const QMimeData* mime, const char* format) {
    const QString type = clipboardMimeType(format);
    if (!mime || !mime->hasFormat(type)) return std::nullopt;
    return bytesOf(mime->data(type));
}

QImage clipboardImage(const QClipboard& clipboard) {
    const QMimeData* mime = clipboard.mimeData();
    return mime && mime->hasImage() ? qvariant_cast<QImage>(mime->imageData()) : QImage();
}

bool startsWithSignature(const Bytes& data) {
    return data.size() >= kGifSignature.size() && std::equal(kGifSignature.begin(), kGifSignature.end(), data.begin());
}

// The counted form's stream, when the count lies within the block.
std::optional<Bytes> countedStream(const Bytes& block) {
    try {
        SpanSource src(block);
        ByteReader r(src);
        return r.bytesAt(kCountBytes, r.u32At(0));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// "GIF Image" in whichever form it was put: a stream as it is, or behind its count.
std::optional<Bytes> gifStreamOnClipboard(const QClipboard& clipboard) {
    std::optional<Bytes> data = formatData(clipboard.mimeData(), kGifImageFormat);
    if (!data || data->empty()) return std::nullopt;
    if (startsWithSignature(*data)) return data;
    return countedStream(*data);
}

}  // namespace

QString clipboardMimeType(const char* formatName) {
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QString::fromUtf8(formatName));
}

QMimeData* bitmapMimeData(const Raster& bitmap) {
    auto* data = new QMimeData;
    data->setImageData(ToQImage(bitmap, TRasterAlpha::Opaque));
    return data;
}

void putGifImage(QMimeData& data, const Bytes& gifStream) {
    const auto count = std::uint32_t(gifStream.size());
    QByteArray block;
    for (std::uint64_t shift = 0; shift < kCountBytes * 8; shift += 8) block.append(char((count >> shift) & 0xFF));
    block.append(bytesOf(gifStream));
    data.setData(clipboardMimeType(kGifImageFormat), block);
}

std::optional<Bytes> takeGifImage(const QMimeData& data) {
    const std::optional<Bytes> block = formatData(&data, kGifImageFormat);
    return block ? countedStream(*block) : std::nullopt;
}

void putOrvidIcon(QMimeData& data, const TQBIcon& icon) {
    ByteWriter w;
    icon.SaveToStream(w);
    if (!w.data().empty()) data.setData(clipboardMimeType(kIconFormat), bytesOf(w.data()));
}

std::optional<Bytes> takeOrvidIcon(const QMimeData& data) { return formatData(&data, kIconFormat); }

void saveToClipboard(TRxGIFImage& gif, QClipboard& clipboard) {
    if (gif.frameCount() == 0) return;
    auto* mime = new QMimeData;
    mime->setImageData(ToQImage(gif.frame(0).bitmap()));
    bool allData = true;
    for (int i = 0; i < gif.frameCount(); ++i) allData = allData && gif.frame(i).hasData();
    if (allData) {
        ByteWriter out;
        gif.writeData(out);  // the count, then the stream
        mime->setData(clipboardMimeType(kGifImageFormat), bytesOf(out.data()));
    }
    clipboard.setMimeData(mime);
}

void loadFromClipboard(TRxGIFImage& gif, const QClipboard& clipboard) {
    const std::optional<Bytes> stream = gifStreamOnClipboard(clipboard);
    const QImage picture = clipboardImage(clipboard);
    if (stream) {
        MemorySource src(*stream);
        ByteReader in(src);
        gif.readGIFStream(stream->size(), in, false);
        if (gif.frameCount() > 0) {
            gif.setFrameIndex(0);
            if (!picture.isNull()) gif.frame(0).setBitmap(FromQImage(picture));
        }
        return;
    }
    if (picture.isNull()) throw EInvalidGraphic(kUnsupportedFormat);
    gif.assign(FromQImage(picture));
}

void saveToClipboard(const TGIFImage& gif, QClipboard& clipboard) {
    const Raster* bitmap = gif.renderedBitmap();
    if (!bitmap) return;
    const QByteArray stream = bytesOf(gif.saveToBytes());  // may raise: the clipboard stays as it was
    QMimeData* mime = bitmapMimeData(*bitmap);
    mime->setData(clipboardMimeType(kGifImageFormat), stream);
    clipboard.setMimeData(mime);
}

void loadFromClipboard(TGIFImage& gif, const QClipboard& clipboard) {
    if (const std::optional<Bytes> stream = gifStreamOnClipboard(clipboard)) {
        gif.loadFromSource(MemorySource(*stream));
        return;
    }
    const QImage picture = clipboardImage(clipboard);
    if (picture.isNull()) throw EInvalidGraphic(kUnsupportedFormat);
    gif.assign(FromQImage(picture));
}

void saveToClipboard(const TQBIcon& icon, QClipboard& clipboard) {
    auto* mime = new QMimeData;
    putOrvidIcon(*mime, icon);
    clipboard.setMimeData(mime);
}

bool loadFromClipboard(TQBIcon& icon, const QClipboard& clipboard) {
    const QMimeData* mime = clipboard.mimeData();
    const std::optional<Bytes> data = mime ? takeOrvidIcon(*mime) : std::nullopt;
    return data && !data->empty() && icon.LoadFromSource(MemorySource(*data));
}

}  // namespace gs::ui
