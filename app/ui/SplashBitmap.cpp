#include "app/ui/SplashBitmap.h"

#include <QFile>

#include "app/core/SplashPicture.h"

namespace gs {

namespace {

constexpr const char* kSplashResource = ":/glyphscope/splash.dat";

}  // namespace

QByteArray SplashPictureData() {
    QFile file(kSplashResource);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

std::optional<TRaster> GetSplashBitmap() {
    const QByteArray data = SplashPictureData();
    const auto* first = reinterpret_cast<const std::uint8_t*>(data.constData());
    return SplashBitmapFrom(TBytes(first, first + data.size()));
}

}  // namespace gs
