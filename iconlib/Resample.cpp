#include "iconlib/Resample.h"
#include "iconlib/IconBounds.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

namespace gs {

namespace {

// Premultiplied sums of one pixel or area: alpha, then red, green and blue times alpha.
using Sums = std::array<std::uint64_t, 4>;

// One axis of the area-average: target cell o covers source span [o*src, (o+1)*src) and
// source pixel i covers [i*dst, (i+1)*dst), both in units of 1/(src*dst) of the picture.
// The overlaps are whole numbers and the weights of one target cell add up to src.
struct TContribution {
    int first = 0;
    std::vector<std::uint64_t> weights;
};

std::vector<TContribution> axisWeights(int src, int dst) {
    std::vector<TContribution> out(static_cast<std::size_t>(dst));
    for (int o = 0; o < dst; ++o) {
        const std::uint64_t lo = std::uint64_t(o) * std::uint64_t(src);
        const std::uint64_t hi = lo + std::uint64_t(src);
        const int first = int(lo / std::uint64_t(dst));
        out[std::size_t(o)].first = first;
        for (int i = first; i < src && std::uint64_t(i) * std::uint64_t(dst) < hi; ++i) {
            const std::uint64_t a = std::max(lo, std::uint64_t(i) * std::uint64_t(dst));
            const std::uint64_t b = std::min(hi, std::uint64_t(i + 1) * std::uint64_t(dst));
            out[std::size_t(o)].weights.push_back(b - a);
        }
    }
    return out;
}

Sums premultiplied(Argb c) {
    const std::uint64_t a = alphaOf(c);
    return {a, redOf(c) * a, greenOf(c) * a, blueOf(c) * a};
}

std::uint8_t roundedQuotient(std::uint64_t num, std::uint64_t den) {
    return std::uint8_t((num + den / 2) / den);
}

// Back to straight alpha; `area` is the total weight of one target pixel.
Argb unpremultiplied(const Sums& s, std::uint64_t area) {
    const std::uint8_t a = roundedQuotient(s[0], area);
    if (a == 0) return 0;  // nothing visible: no colour either
    return makeArgb(roundedQuotient(s[1], s[0]), roundedQuotient(s[2], s[0]), roundedQuotient(s[3], s[0]), a);
}

}  // namespace

TIconPicture resamplePicture(const TIconPicture& source, int width, int height) {
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0)
        throw std::invalid_argument("resample: empty size");
    if (width > bounds::kMaxIconSide || height > bounds::kMaxIconSide) throw std::invalid_argument("resample: larger than an icon");
    if (!source.wellFormed()) throw std::invalid_argument("resample: fewer pixels than the size");
    const auto xs = axisWeights(source.width, width);
    const auto ys = axisWeights(source.height, height);

    // Rows first: every source row shrunk or grown to the target width.
    std::vector<Sums> rows(std::size_t(width) * std::size_t(source.height));
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < width; ++x) {
            Sums acc{};
            const TContribution& c = xs[std::size_t(x)];
            for (std::size_t k = 0; k < c.weights.size(); ++k) {
                const Sums p = premultiplied(source.rgbaAt(c.first + int(k), y));
                for (int ch = 0; ch < 4; ++ch) acc[ch] += p[ch] * c.weights[k];
            }
            rows[std::size_t(y) * std::size_t(width) + std::size_t(x)] = acc;
        }

    TIconPicture out;
    out.width = width;
    out.height = height;
    out.hasAlpha = true;
    out.colour.resize(std::size_t(width) * std::size_t(height));
    out.mask.assign(out.colour.size(), 0);
    const std::uint64_t area = std::uint64_t(source.width) * std::uint64_t(source.height);
    for (int y = 0; y < height; ++y) {
        const TContribution& c = ys[std::size_t(y)];
        for (int x = 0; x < width; ++x) {
            Sums acc{};
            for (std::size_t k = 0; k < c.weights.size(); ++k) {
                const Sums& p = rows[std::size_t(c.first + int(k)) * std::size_t(width) + std::size_t(x)];
                for (int ch = 0; ch < 4; ++ch) acc[ch] += p[ch] * c.weights[k];
            }
            out.colour[std::size_t(y) * std::size_t(width) + std::size_t(x)] = unpremultiplied(acc, area);
        }
    }
    return out;
}

}  // namespace gs
