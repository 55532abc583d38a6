#include "iconlib/IconPicture.h"

#include <algorithm>
#include <cstring>
#include <png.h>
#include <string>

#include "iconlib/IconBounds.h"
#include "platform/ByteReader.h"
#include "platform/Dib.h"
#include "platform/Errors.h"

namespace gs {

namespace {
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

TIconPicture decodePng(std::span<const std::uint8_t> data) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
        throw EReadError(std::string("Invalid PNG image: ") + image.message);
    // No icon is larger: a picture claiming more is refused before its pixels are allocated.
    if (image.width == 0 || image.height == 0 || image.width > std::uint32_t(bounds::kMaxIconSide) ||
        image.height > std::uint32_t(bounds::kMaxIconSide)) {
        png_image_free(&image);
        throw EReadError("Invalid PNG image: size " + std::to_string(image.width) + " x " +
                         std::to_string(image.height) + " is larger than an icon's");
    }
    image.format = PNG_FORMAT_BGRA;
    TIconPicture pic;
    pic.width = int(image.width);
    pic.height = int(image.height);
    pic.colour.resize(std::size_t(image.width) * image.height);
    pic.mask.assign(pic.colour.size(), 0);
    pic.hasAlpha = true;
    if (!png_image_finish_read(&image, nullptr, pic.colour.data(), 0, nullptr)) {
        std::string msg = image.message;
        png_image_free(&image);
        throw EReadError("Invalid PNG image: " + msg);
    }
    return pic;
}

TIconPicture decodeDibIcon(std::span<const std::uint8_t> data) {
    TSpanSource src(data);
    TDibHeader h = ReadDIBHeader(src, 0);
    // The colour bitmap's height counts the AND mask's rows too.
    std::int32_t rows = h.height / 2;
    if (rows <= 0) throw EReadError("Invalid icon image: height");
    if (h.width > bounds::kMaxIconSide || rows > bounds::kMaxIconSide)
        throw EReadError("Invalid icon image: size " + std::to_string(h.width) + " x " + std::to_string(rows) +
                         " is larger than an icon's");
    TDecodedDib d = decodeDib(src, 0, rows);
    TIconPicture pic;
    pic.width = d.colour.Width();
    pic.height = d.colour.Height();
    const std::size_t n = std::size_t(pic.width) * std::size_t(pic.height);
    pic.colour.resize(n);
    for (int y = 0; y < pic.height; ++y)
        for (int x = 0; x < pic.width; ++x) pic.colour[std::size_t(y) * pic.width + x] = d.colour.Pixel(x, y);
    if (h.bitCount == 32)
        pic.hasAlpha = std::any_of(pic.colour.begin(), pic.colour.end(), [](Argb c) { return alphaOf(c) != 0; });
    if (!pic.hasAlpha)
        for (auto& c : pic.colour) c |= 0xFF000000u;
    // A mask cut short by a damaged file leaves the rest opaque rather than failing the image.
    pic.mask.assign(n, 0);
    const std::uint64_t stride = dibStride(std::uint64_t(pic.width), 1);
    for (int row = 0; row < pic.height; ++row) {
        std::uint64_t off = d.bitsEnd + std::uint64_t(row) * stride;
        if (!src.Contains(off, stride)) break;
        const std::uint8_t* p = data.data() + off;
        int y = pic.height - 1 - row;
        for (int x = 0; x < pic.width; ++x)
            pic.mask[std::size_t(y) * pic.width + x] = (p[x >> 3] >> (7 - (x & 7))) & 1;
    }
    return pic;
}

std::uint8_t blend(std::uint8_t s, std::uint8_t d, unsigned a) { return std::uint8_t((s * a + d * (255 - a) + 127) / 255); }
}  // namespace

bool isPngData(std::span<const std::uint8_t> data) {
    return data.size() >= 8 && std::memcmp(data.data(), kPngSignature, 8) == 0;
}

TIconPicture decodeIconImage(std::span<const std::uint8_t> data) {
    return isPngData(data) ? decodePng(data) : decodeDibIcon(data);
}

EQBICLReadError indexOutOfBounds(std::int64_t index) {
    return EQBICLReadError("List index out of bounds (" + std::to_string(index) + ")");
}

Argb TIconPicture::rgbaAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) throw indexOutOfBounds(x < 0 || x >= width ? x : y);
    return rgbaAt(std::size_t(y) * std::size_t(width) + std::size_t(x));
}

bool TIconPicture::wellFormed() const {
    if (width < 0 || height < 0) return false;
    const std::size_t n = std::size_t(width) * std::size_t(height);
    return colour.size() == n && (hasAlpha || mask.size() == n);
}

void TIconPicture::drawOn(TRaster& canvas, int x0, int y0) const {
    if (canvas.Format() != PixelFormat::pf32bit && canvas.Format() != PixelFormat::pf24bit) return;
    if (!wellFormed()) return;  // a picture made by hand with too few pixels draws nothing
    const int xs = std::max(0, -x0), ys = std::max(0, -y0);
    const int xe = std::min(width, canvas.Width() - x0), ye = std::min(height, canvas.Height() - y0);
    for (int y = ys; y < ye; ++y) {
        Argb* dst = canvas.Row(y0 + y) + x0;
        for (int x = xs; x < xe; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(width) + std::size_t(x);
            const Argb s = colour[i];
            Argb& d = dst[x];
            if (hasAlpha) {
                const unsigned a = alphaOf(s);
                const unsigned da = alphaOf(d);
                const auto outA = std::uint8_t(a + (da * (255 - a) + 127) / 255);
                d = makeArgb(blend(redOf(s), redOf(d), a), blend(greenOf(s), greenOf(d), a),
                             blend(blueOf(s), blueOf(d), a), outA);
            } else if (mask[i]) {
                d ^= (s & 0x00FFFFFFu);  // black keeps the screen, other colours invert it
            } else {
                d = s | 0xFF000000u;
            }
        }
    }
}

}  // namespace gs
