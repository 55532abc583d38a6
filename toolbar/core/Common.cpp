#include "toolbar/core/Common.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace tb {

char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const int extra = lead < 0xC2 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : 0;
    if (lead < 0x80 || extra == 0 || i + std::size_t(extra) >= text.size()) {
        ++i;
        return lead;
    }
    char32_t c = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        if ((byte(i + std::size_t(k)) & 0xC0) != 0x80) {
            ++i;
            return lead;
        }
        c = (c << 6) | (byte(i + std::size_t(k)) & 0x3F);
    }
    // Overlong forms, surrogates and code points past the last one are not characters.
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        ++i;
        return lead;
    }
    i += std::size_t(extra) + 1;
    return c;
}

char32_t AcceleratorCharOf(std::string_view text) {
    char32_t result = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '&') {
            NextCodePoint(text, i);
            continue;
        }
        if (++i >= text.size()) break;  // a trailing `&` marks nothing
        if (text[i] == '&') {
            ++i;  // `&&` is a literal ampersand
            continue;
        }
        result = NextCodePoint(text, i);
    }
    return result;
}

char32_t FoldCase(char32_t c) {
    struct Run {
        char32_t first, last;
        std::int32_t delta;
        char32_t stride;
    };
    static constexpr Run kRuns[] = {
#include "toolbar/core/CaseFold.inc"
    };
    // The last run that starts at or before c.
    const Run* run = std::upper_bound(std::begin(kRuns), std::end(kRuns), c,
                                      [](char32_t v, const Run& r) { return v < r.first; });
    if (run == std::begin(kRuns)) return c;
    --run;
    if (c > run->last || (c - run->first) % run->stride != 0) return c;
    return char32_t(std::int32_t(c) + run->delta);
}

std::string StripAccelerators(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        // An `&` is dropped and the character after it kept: `&&` leaves one `&`.
        if (text[i] == '&' && ++i >= text.size()) break;
        out += text[i];
    }
    return out;
}

int AcceleratorPosition(std::string_view text) {
    int shown = 0, found = -1;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '&') {
            if (++i >= text.size()) break;
            if (text[i] != '&') found = shown;
        }
        NextCodePoint(text, i);
        ++shown;
    }
    return found;
}

int TextWidthOf(const TextMeasurer& measure, std::string_view text, bool prefix) {
    return prefix ? measure(StripAccelerators(text)) : measure(text);
}

int DivideAwayFromZero(int a, int b) {
    if (b == 0) return 0;
    std::int64_t q = std::int64_t(a) / b, r = std::int64_t(a) % b;
    if (r != 0) q += ((r < 0) == (b < 0)) ? 1 : -1;
    return static_cast<int>(std::clamp<std::int64_t>(q, INT_MIN, INT_MAX));
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    std::int64_t p = std::int64_t(a) * b;
    bool negative = (p < 0) != (c < 0);
    std::int64_t ap = p < 0 ? -p : p, ac = c < 0 ? -std::int64_t(c) : c;
    std::int64_t q = (ap + ac / 2) / ac;
    if (q > INT_MAX) return -1;
    return static_cast<int>(negative ? -q : q);
}

namespace {

std::int64_t overlap(const TRect& a, const TRect& b) {
    std::int64_t w = std::min(a.right, b.right) - std::max(a.left, b.left);
    std::int64_t h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return (w > 0 && h > 0) ? w * h : 0;
}

// Squared distance between two rectangles (0 when they touch or overlap).
std::int64_t distance2(const TRect& a, const TRect& b) {
    std::int64_t dx = std::max<std::int64_t>({0, std::int64_t(a.left) - b.right, std::int64_t(b.left) - a.right});
    std::int64_t dy = std::max<std::int64_t>({0, std::int64_t(a.top) - b.bottom, std::int64_t(b.top) - a.bottom});
    return dx * dx + dy * dy;
}

}  // namespace

std::optional<TRect> MonitorAreaOfRect(const std::vector<TMonitor>& monitors, const TRect& rect, bool workArea) {
    if (monitors.empty()) return std::nullopt;
    const TMonitor* best = &monitors.front();
    std::int64_t bestOverlap = -1, bestDistance = -1;
    for (const TMonitor& m : monitors) {
        std::int64_t o = overlap(m.area, rect), d = distance2(m.area, rect);
        if (o > bestOverlap || (o == 0 && bestOverlap == 0 && d < bestDistance)) {
            best = &m;
            bestOverlap = o;
            bestDistance = d;
        }
    }
    return workArea ? best->workArea : best->area;
}

std::optional<TRect> MonitorAreaOfPoint(const std::vector<TMonitor>& monitors, TPoint point, bool workArea) {
    // A point is the one-pixel rectangle at it.
    return MonitorAreaOfRect(monitors, TRect{point.x, point.y, point.x + 1, point.y + 1}, workArea);
}

}  // namespace tb
