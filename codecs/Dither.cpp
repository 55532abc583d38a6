#include "codecs/Dither.h"

#include <algorithm>

#include "codecs/GifTypes.h"

namespace gs {

namespace {

constexpr std::array<TDitherWeight, 4> kFloydSteinberg{{{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}};
constexpr std::array<TDitherWeight, 12> kStucki{{
    {0, 1, 8}, {0, 2, 4},
    {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2},
    {2, -2, 1}, {2, -1, 2}, {2, 0, 4}, {2, 1, 2}, {2, 2, 1},
}};
constexpr std::array<TDitherWeight, 10> kSierra{{
    {0, 1, 5}, {0, 2, 3},
    {1, -2, 2}, {1, -1, 4}, {1, 0, 5}, {1, 1, 4}, {1, 2, 2},
    {2, -1, 2}, {2, 0, 3}, {2, 1, 2},
}};
constexpr std::array<TDitherWeight, 12> kJaJuNi{{
    {0, 1, 7}, {0, 2, 5},
    {1, -2, 3}, {1, -1, 5}, {1, 0, 7}, {1, 1, 5}, {1, 2, 3},
    {2, -2, 1}, {2, -1, 3}, {2, 0, 5}, {2, 1, 3}, {2, 2, 1},
}};
constexpr std::array<TDitherWeight, 12> kSteveArche{{
    {0, 2, 32},
    {1, -3, 12}, {1, -1, 26}, {1, 1, 30}, {1, 3, 16},
    {2, -2, 12}, {2, 0, 26}, {2, 2, 12},
    {3, -3, 5}, {3, -1, 12}, {3, 1, 12}, {3, 3, 5},
}};
constexpr std::array<TDitherWeight, 7> kBurkes{{
    {0, 1, 8}, {0, 2, 4},
    {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2},
}};

}  // namespace

int TDitherEngine::DitherPixel(int red, int green, int blue, TRgb& chosen) {
    int index = lookup_.MatchColor(red, green, blue, chosen);
    column_ += direction_;
    return index;
}

void TDitherEngine::NextRow() {
    direction_ = -direction_;
    column_ = direction_ > 0 ? 0 : width_ - 1;
}

TErrorDitherer::TErrorDitherer(int width, TColorLookup& lookup, int rows, int margin, int divisor,
                               std::span<const TDitherWeight> kernel)
    : TDitherEngine(width, lookup), rows_(rows), margin_(margin), divisor_(divisor), kernel_(kernel),
      stride_(width + 2 * margin) {
    for (auto& channel : errors_) channel.assign(std::size_t(rows_) * std::size_t(stride_), 0);
}

int& TErrorDitherer::Term(int channel, int row, int column) {
    int r = (firstRow_ + row) % rows_;
    return errors_[std::size_t(channel)][std::size_t(r * stride_ + column + margin_)];
}

int TErrorDitherer::DitherPixel(int red, int green, int blue, TRgb& chosen) {
    const int rounding = divisor_ / 2;
    std::array<int, 3> value{red, green, blue};
    for (int ch = 0; ch < 3; ++ch) {
        int adjusted = value[std::size_t(ch)] + (Term(ch, 0, column_) + rounding) / divisor_;
        value[std::size_t(ch)] = std::clamp(adjusted, 0, 255);
    }
    int index = lookup_.MatchColor(value[0], value[1], value[2], chosen);
    std::array<int, 3> error{value[0] - chosen.r, value[1] - chosen.g, value[2] - chosen.b};
    for (int ch = 0; ch < 3; ++ch) {
        int e = error[std::size_t(ch)];
        if (e == 0) continue;
        for (const TDitherWeight& w : kernel_) Term(ch, w.row, column_ + w.offset * direction_) += e * w.weight;
    }
    column_ += direction_;
    return index;
}

void TErrorDitherer::NextRow() {
    for (auto& channel : errors_)
        std::fill_n(channel.begin() + std::ptrdiff_t(firstRow_) * stride_, stride_, 0);
    firstRow_ = (firstRow_ + 1) % rows_;
    TDitherEngine::NextRow();
}

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup& lookup)
    : TErrorDitherer(width, lookup, 2, 1, 16, kFloydSteinberg) {}

T5by3Ditherer::T5by3Ditherer(int width, TColorLookup& lookup, int divisor, std::span<const TDitherWeight> kernel)
    : TErrorDitherer(width, lookup, 3, 2, divisor, kernel) {}

TStuckiDitherer::TStuckiDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 42, kStucki) {}
TSierraDitherer::TSierraDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 32, kSierra) {}
TJaJuNiDitherer::TJaJuNiDitherer(int width, TColorLookup& lookup) : T5by3Ditherer(width, lookup, 48, kJaJuNi) {}

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup& lookup)
    : TErrorDitherer(width, lookup, 4, 3, 200, kSteveArche) {}

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup& lookup)
    : TErrorDitherer(width, lookup, 2, 2, 32, kBurkes) {}

std::unique_ptr<TDitherEngine> makeDitherer(TDitherMode mode, int width, TColorLookup& lookup) {
    switch (mode) {
        case TDitherMode::dtNone: return std::make_unique<TDitherEngine>(width, lookup);
        case TDitherMode::dtFloydSteinberg: return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
        case TDitherMode::dtStucki: return std::make_unique<TStuckiDitherer>(width, lookup);
        case TDitherMode::dtSierra: return std::make_unique<TSierraDitherer>(width, lookup);
        case TDitherMode::dtJaJuNi: return std::make_unique<TJaJuNiDitherer>(width, lookup);
        case TDitherMode::dtSteveArche: return std::make_unique<TSteveArcheDitherer>(width, lookup);
        case TDitherMode::dtBurkes: return std::make_unique<TBurkesDitherer>(width, lookup);
    }
    throw GIFException(gifmsg::kInvalidDither);
}

}  // namespace gs
