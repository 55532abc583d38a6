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

QByteArray BytesOf(const TBytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }
TBytes BytesOf(const QByteArray& b) { return TBytes(b.begin(), b.end()); }

std::optional<TBytes> FormatData(const QMimeData* mime, const char* format) {
    const QString type = ClipboardMimeType(format);
    if (!mime || !mime->hasFormat(type)) return std::nullopt;
    return BytesOf(mime->data(type));
}

QImage ClipboardImage(const QClipboard& clipboard) {
    const QMimeData* mime = clipboard.mimeData();
    return mime && mime->hasImage() ? qvariant_cast<QImage>(mime->imageData()) : QImage();
}

bool StartsWithSignature(const TBytes& data) {
    return data.size() >= kGifSignature.size() && std::equal(kGifSignature.begin(), kGifSignature.end(), data.begin());
}

// The counted form's stream, when the count lies within the block.
std::optional<TBytes> CountedStream(const TBytes& block) {
    try {
        TSpanSource src(block);
        TByteReader r(src);
        return r.BytesAt(kCountBytes, r.U32At(0));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// "GIF Image" in whichever form it was put: a stream as it is, or behind its count.
std::optional<TBytes> GifStreamOnClipboard(const QClipboard& clipboard) {
    std::optional<TBytes> data = FormatData(clipboard.mimeData(), kGifImageFormat);
    if (!data || data->empty()) return std::nullopt;
    if (StartsWithSignature(*data)) return data;
    return CountedStream(*data);
}

}  // namespace

QString ClipboardMimeType(const char* formatName) {
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QString::fromUtf8(formatName));
}

QMimeData* BitmapMimeData(const TRaster& bitmap) {
    auto* data = new QMimeData;
    data->setImageData(ToQImage(bitmap, TRasterAlpha::Opaque));
    return data;
}

void PutGifImage(QMimeData& data, const TBytes& gifStream) {
    const auto count = std::uint32_t(gifStream.size());
    QByteArray block;
    for (std::uint64_t shift = 0; shift < kCountBytes * 8; shift += 8) block.append(char((count >> shift) & 0xFF));
    block.append(BytesOf(gifStream));
    data.setData(ClipboardMimeType(kGifImageFormat), block);
}

std::optional<TBytes> TakeGifImage(const QMimeData& data) {
    const std::optional<TBytes> block = FormatData(&data, kGifImageFormat);
    return block ? CountedStream(*block) : std::nullopt;
}

void PutOrvidIcon(QMimeData& data, const TQBIcon& icon) {
    TByteWriter w;
    icon.SaveToStream(w);
    if (!w.Data().empty()) data.setData(ClipboardMimeType(kIconFormat), BytesOf(w.Data()));
}

std::optional<TBytes> TakeOrvidIcon(const QMimeData& data) { return FormatData(&data, kIconFormat); }

void SaveToClipboard(TRxGIFImage& gif, QClipboard& clipboard) {
    if (gif.FrameCount() == 0) return;
    auto* mime = new QMimeData;
    mime->setImageData(ToQImage(gif.Frame(0).Bitmap()));
    bool allData = true;
    for (int i = 0; i < gif.FrameCount(); ++i) allData = allData && gif.Frame(i).HasData();
    if (allData) {
        TByteWriter out;
        gif.WriteData(out);  // the count, then the stream
        mime->setData(ClipboardMimeType(kGifImageFormat), BytesOf(out.Data()));
    }
    clipboard.setMimeData(mime);
}

void LoadFromClipboard(TRxGIFImage& gif, const QClipboard& clipboard) {
    const std::optional<TBytes> stream = GifStreamOnClipboard(clipboard);
    const QImage picture = ClipboardImage(clipboard);
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

void SaveToClipboard(const TGIFImage& gif, QClipboard& clipboard) {
    const TRaster* bitmap = gif.RenderedBitmap();
    if (!bitmap) return;
    const QByteArray stream = BytesOf(gif.SaveToBytes());  // may raise: the clipboard stays as it was
    QMimeData* mime = BitmapMimeData(*bitmap);
    mime->setData(ClipboardMimeType(kGifImageFormat), stream);
    clipboard.setMimeData(mime);
}

void LoadFromClipboard(TGIFImage& gif, const QClipboard& clipboard) {
    if (const std::optional<TBytes> stream = GifStreamOnClipboard(clipboard)) {
        gif.LoadFromSource(TMemorySource(*stream));
        return;
    }
    const QImage picture = ClipboardImage(clipboard);
    if (picture.isNull()) throw EInvalidGraphic(kUnsupportedFormat);
    gif.Assign(FromQImage(picture));
}

void SaveToClipboard(const TQBIcon& icon, QClipboard& clipboard) {
    auto* mime = new QMimeData;
    PutOrvidIcon(*mime, icon);
    clipboard.setMimeData(mime);
}

bool LoadFromClipboard(TQBIcon& icon, const QClipboard& clipboard) {
    const QMimeData* mime = clipboard.mimeData();
    const std::optional<TBytes> data = mime ? TakeOrvidIcon(*mime) : std::nullopt;
    return data && !data->empty() && icon.LoadFromSource(TMemorySource(*data));
}

}  // namespace gs::ui
