#include "app/core/SplashPicture.h"

#include <exception>

#include "codecs/RxGif.h"
#include "platform/ByteReader.h"

namespace gs {

std::optional<Raster> SplashBitmapFrom(const Bytes& pictureData) {
    try {
        SpanSource source(pictureData);
        ByteReader in(source);
        TRxGIFImage gif;
        gif.readData(in);
        const int width = gif.width(), height = gif.height();
        if (width <= 0 || height <= 0) return std::nullopt;
        Raster bitmap(width, height);
        gif.draw(bitmap, {0, 0, width, height});
        return bitmap;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace gs
