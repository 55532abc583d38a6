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

QByteArray bytesOf(const TBytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }
TBytes bytesOf(const QByteArray& b) { return TBytes(b.begin(), b.end()); }

std::optional<TBytes> formatData(const QMimeData* mime, const char* format) {
    const QString type = clipboardMimeType(format);
    if (!mime || !mime->hasFormat(type)) return std::nullopt;
    return bytesOf(mime->data(type));
}

QImage clipboardImage(const QClipboard& clipboard) {
    const QMimeData* mime = clipboard.mimeData();
    return mime && mime->hasImage() ? qvariant_cast<QImage>(mime->imageData()) : QImage();
}

bool startsWithSignature(const TBytes& data) {
    return data.size() >= kGifSignature.size() && std::equal(kGifSignature.begin(), kGifSignature.end(), data.begin());
}

// The counted form's stream, when the count lies within the block.
std::optional<TBytes> countedStream(const TBytes& block) {
    try {
        TSpanSource src(block);
        TByteReader r(src);
        return r.BytesAt(kCountBytes, r.U32At(0));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// "GIF Image" in whichever form it was put: a stream as it is, or behind its count.
std::optional<TBytes> gifStreamOnClipboard(const QClipboard& clipboard) {
    std::optional<TBytes> data = formatData(clipboard.mimeData(), kGifImageFormat);
    if (!data || data->empty()) return std::nullopt;
    if (startsWithSignature(*data)) return data;
    return countedStream(*data);
}

}  // namespace

QString clipboardMimeType(const char* formatName) {
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QString::fromUtf8(formatName));
}

QMimeData* bitmapMimeData(const TRaster& bitmap) {
    auto* data = new QMimeData;
    data->setImageData(ToQImage(bitmap, TRasterAlpha::Opaque));
    return data;
}

void putGifImage(QMimeData& data, const TBytes& gifStream) {
    const auto count = std::uint32_t(gifStream.size());
    QByteArray block;
    for (std::uint64_t shift = 0; shift < kCountBytes * 8; shift += 8) block.append(char((count >> shift) & 0xFF));
    block.append(bytesOf(gifStream));
    data.setData(clipboardMimeType(kGifImageFormat), block);
}

std::optional<TBytes> takeGifImage(const QMimeData& data) {
    const std::optional<TBytes> block = formatData(&data, kGifImageFormat);
    return block ? countedStream(*block) : std::nullopt;
}

void putOrvidIcon(QMimeData& data, const TQBIcon& icon) {
    TByteWriter w;
    icon.SaveToStream(w);
    if (!w.Data().empty()) data.setData(clipboardMimeType(kIconFormat), bytesOf(w.Data()));
}

std::optional<TBytes> takeOrvidIcon(const QMimeData& data) { return formatData(&data, kIconFormat); }

void saveToClipboard(TRxGIFImage& gif, QClipboard& clipboard) {
    if (gif.FrameCount() == 0) return;
    auto* mime = new QMimeData;
    mime->setImageData(ToQImage(gif.Frame(0).Bitmap()));
    bool allData = true;
    for (int i = 0; i < gif.FrameCount(); ++i) allData = allData && gif.Frame(i).HasData();
    if (allData) {
        TByteWriter out;
        gif.WriteData(out);  // the count, then the stream
        mime->setData(clipboardMimeType(kGifImageFormat), bytesOf(out.Data()));
    }
    clipboard.setMimeData(mime);
}

void loadFromClipboard(TRxGIFImage& gif, const QClipboard& clipboard) {
    const std::optional<TBytes> stream = gifStreamOnClipboard(clipboard);
    const QImage picture = clipboardImage(clipboard);
    if (stream) {
        TMemorySource src(*stream);
        TByteReader in(src);
        gif.ReadGIFStream(stream->size(), in, false);
        if (gif.FrameCount() > 0) {
            gif.SetFrameIndex(0);
            if (!picture.isNull()) gif.Frame(0).SetBitmap(FromQImage(picture));
        }
        return;
    }
    if (picture.isNull()) throw EInvalidGraphic(kUnsupportedFormat);
    gif.Assign(FromQImage(picture));
}

void saveToClipboard(const TGIFImage& gif, QClipboard& clipboard) {
    const TRaster* bitmap = gif.RenderedBitmap();
    if (!bitmap) return;
    const QByteArray stream = bytesOf(gif.SaveToBytes());  // may raise: the clipboard stays as it was
    QMimeData* mime = bitmapMimeData(*bitmap);
    mime->setData(clipboardMimeType(kGifImageFormat), stream);
    clipboard.setMimeData(mime);
}

void loadFromClipboard(TGIFImage& gif, const QClipboard& clipboard) {
    if (const std::optional<TBytes> stream = gifStreamOnClipboard(clipboard)) {
        gif.LoadFromSource(TMemorySource(*stream));
        return;
    }
    const QImage picture = clipboardImage(clipboard);
    if (picture.isNull()) throw EInvalidGraphic(kUnsupportedFormat);
    gif.Assign(FromQImage(picture));
}

void saveToClipboard(const TQBIcon& icon, QClipboard& clipboard) {
    auto* mime = new QMimeData;
    putOrvidIcon(*mime, icon);
    clipboard.setMimeData(mime);
}

bool loadFromClipboard(TQBIcon& icon, const QClipboard& clipboard) {
    const QMimeData* mime = clipboard.mimeData();
    const std::optional<TBytes> data = mime ? takeOrvidIcon(*mime) : std::nullopt;
    return data && !data->empty() && icon.LoadFromSource(TMemorySource(*data));
}

}  // namespace gs::ui
