#pragma once
// Ditherers: walk a picture row by row, serpentine (each row in the opposite direction of
// the last), and map each pixel through a colour lookup. The error-diffusion ditherers
// spread each pixel's difference from the chosen colour over the pixels not yet visited,
// with the published Floyd-Steinberg, Stucki, Sierra, Jarvis-Judice-Ninke, Stevenson-Arce
// and Burkes kernels.
#include <array>
#include <memory>
#include <span>
#include <vector>

#include "codecs/ColorLookup.h"

namespace gs {

enum class TDitherMode : std::uint8_t {
    dtNone = 0,
    dtFloydSteinberg = 1,
    dtStucki = 2,
    dtSierra = 3,
    dtJaJuNi = 4,
    dtSteveArche = 5,
    dtBurkes = 6,
};
inline constexpr int kDitherModeCount = 7;

// No diffusion: the lookup's answer for each pixel.
class TDitherEngine {
public:
    TDitherEngine(int width, TColorLookup& lookup) : lookup_(lookup), width_(width) {}
    virtual ~TDitherEngine() = default;

    // The column the next pixel is taken from, and the walking direction (+1 or -1).
    int Column() const { return column_; }
    int Direction() const { return direction_; }
    // Maps the pixel at Column() and moves on by Direction().
    virtual int DitherPixel(int red, int green, int blue, TRgb& chosen);
    // Turns round for the next row.
    virtual void NextRow();

protected:
    TColorLookup& lookup_;
    int width_;
    int direction_ = 1;
    int column_ = 0;
};

// One weight of a kernel: rows below the current one (0 = the current row), column offset
// in scan direction, weight.
struct TDitherWeight {
    int row;
    int offset;
    int weight;
};

// Error diffusion by a kernel. Errors are integers kept per channel in one row of terms per
// kernel row, with a margin on each side wide enough for the kernel; rows are reused by
// rotation.
class TErrorDitherer : public TDitherEngine {
public:
    int DitherPixel(int red, int green, int blue, TRgb& chosen) override;
    void NextRow() override;

protected:
    TErrorDitherer(int width, TColorLookup& lookup, int rows, int margin, int divisor,
                   std::span<const TDitherWeight> kernel);

private:
    int& Term(int channel, int row, int column);

    int rows_;
    int margin_;
    int divisor_;
    std::span<const TDitherWeight> kernel_;
    int stride_;
    int firstRow_ = 0;
    std::array<std::vector<int>, 3> errors_;
};

class TFloydSteinbergDitherer final : public TErrorDitherer {
public:
    TFloydSteinbergDitherer(int width, TColorLookup& lookup);
};

// The three kernels of five columns and three rows.
class T5by3Ditherer : public TErrorDitherer {
protected:
    T5by3Ditherer(int width, TColorLookup& lookup, int divisor, std::span<const TDitherWeight> kernel);
};

class TStuckiDitherer final : public T5by3Ditherer {
public:
    TStuckiDitherer(int width, TColorLookup& lookup);
};

class TSierraDitherer final : public T5by3Ditherer {
public:
    TSierraDitherer(int width, TColorLookup& lookup);
};

class TJaJuNiDitherer final : public T5by3Ditherer {
public:
    TJaJuNiDitherer(int width, TColorLookup& lookup);
};

class TSteveArcheDitherer final : public TErrorDitherer {
public:
    TSteveArcheDitherer(int width, TColorLookup& lookup);
};

class TBurkesDitherer final : public TErrorDitherer {
public:
    TBurkesDitherer(int width, TColorLookup& lookup);
};

// "Invalid dither mode" for a mode outside the table.
std::unique_ptr<TDitherEngine> makeDitherer(TDitherMode mode, int width, TColorLookup& lookup);

}  // namespace gs
