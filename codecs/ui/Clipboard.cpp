#include "codecs/ui/Clipboard.h"

#include <QClipboard>
#include <QMimeData>

#include "codecs/GraphicRoutines.h"

namespace gs::ui {

namespace {

QByteArray bytesOf(const Bytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), qsizetype(b.size())); }
Bytes bytesOf(const QByteArray& b) { return Bytes(b.begin(), b.end()); }

QByteArray formatData(const QClipboard& clipboard, const char* format) {
    const QMimeData* mime = clipboard.mimeData();
    const QString type = clipboardMimeType(format);
    return mime && mime->hasFormat(type) ? mime->data(type) : QByteArray();
}

QImage clipboardImage(const QClipboard& clipboard) {
    const QMimeData* mime = clipboard.mimeData();
    return mime && mime->hasImage() ? qvariant_cast<QImage>(mime->imageData()) : QImage();
}

void put(QClipboard& clipboard, const QImage& image, const char* format, const Bytes& data) {
    auto* mime = new QMimeData;
    if (!image.isNull()) mime->setImageData(image);
    if (format) mime->setData(clipboardMimeType(format), bytesOf(data));
    clipboard.setMimeData(mime);
}

// Frame 0 through its colour table at its place on the logical screen.
Raster firstFrameOnScreen(const TGIFImage& gif) {
    Raster screen(gif.width(), gif.height());
    const TGIFSubImage& f = gif.frame(0);
    const auto colors = f.effectiveColorMap().colors();
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x) {
            const std::uint8_t index = f.pixels()[std::size_t(y) * std::size_t(f.width()) + std::size_t(x)];
            if (index < colors.size() && f.left() + x < screen.width() && f.top() + y < screen.height())
                screen.setPixel(f.left() + x, f.top() + y, argbOf(colors[index]));
        }
    return screen;
}

}  // namespace

QString clipboardMimeType(const char* formatName) {
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QString::fromUtf8(formatName));
}

void saveToClipboard(TRxGIFImage& gif, QClipboard& clipboard) {
    if (gif.frameCount() == 0) return;
    const QImage picture = toQImage(gif.frame(0).bitmap());
    bool allData = true;
    for (int i = 0; i < gif.frameCount(); ++i) allData = allData && gif.frame(i).hasData();
    ByteWriter out;
    if (allData) gif.writeData(out);
    put(clipboard, picture, allData ? kGifImageFormat : nullptr, out.data());
}

void loadFromClipboard(TRxGIFImage& gif, const QClipboard& clipboard) {
    const QByteArray data = formatData(clipboard, kGifImageFormat);
    const QImage picture = clipboardImage(clipboard);
    if (!data.isEmpty()) {
        MemorySource src(bytesOf(data));
        ByteReader in(src);
        gif.readGIFStream(in.u32(), in, false);
        if (gif.frameCount() > 0) {
            gif.setFrameIndex(0);
            if (!picture.isNull()) gif.frame(0).setBitmap(fromQImage(picture));
        }
        return;
    }
    if (picture.isNull()) throw EInvalidGraphic(kUnsupportedFormat);
    gif.assign(fromQImage(picture));
}

void saveToClipboard(const TGIFImage& gif, QClipboard& clipboard) {
    if (gif.empty()) return;
    put(clipboard, toQImage(firstFrameOnScreen(gif)), kGifImageFormat, gif.saveToBytes());
}

void loadFromClipboard(TGIFImage& gif, const QClipboard& clipboard) {
    const QByteArray data = formatData(clipboard, kGifImageFormat);
    if (!data.isEmpty()) {
        gif.loadFromSource(MemorySource(bytesOf(data)));
        return;
    }
    const QImage picture = clipboardImage(clipboard);
    if (picture.isNull()) throw EInvalidGraphic(kUnsupportedFormat);
    gif.assign(fromQImage(picture));
}

void saveToClipboard(const TQBIcon& icon, QClipboard& clipboard) {
    ByteWriter out;
    icon.SaveToStream(out);
    put(clipboard, QImage(), kIconFormat, out.data());
}

bool loadFromClipboard(TQBIcon& icon, const QClipboard& clipboard) {
    const QByteArray data = formatData(clipboard, kIconFormat);
    return !data.isEmpty() && icon.LoadFromSource(MemorySource(bytesOf(data)));
}

}  // namespace gs::ui
