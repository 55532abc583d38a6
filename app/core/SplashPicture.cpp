#include "app/core/SplashPicture.h"

#include <exception>

#include "codecs/RxGif.h"
#include "platform/ByteReader.h"

namespace gs {

std::optional<TRaster> SplashBitmapFrom(const TBytes& pictureData) {
    try {
        TSpanSource source(pictureData);
        TByteReader in(source);
        TRxGIFImage gif;
        gif.ReadData(in);
        const int width = gif.Width(), height = gif.Height();
        if (width <= 0 || height <= 0) return std::nullopt;
        TRaster bitmap(width, height);
        gif.Draw(bitmap, {0, 0, width, height});
        return bitmap;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace gs
