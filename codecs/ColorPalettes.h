#pragma once
// The fixed palettes colour reduction maps onto. They are plain tables, not objects of any
// display system, so a reduction gives the same result on every machine.
#include <array>
#include <vector>

#include "platform/Raster.h"

namespace gs {

// The 20 colours a display always reserves: 10 at the start of the system palette and
// 10 at its end.
inline constexpr int kStockColorCount = 20;
inline constexpr int kStockHalf = 10;
const std::array<TRgb, kStockColorCount>& stockDefaultPalette();

// 216 colours, channel levels 0, 51, ..., 255; entry 36 * red level + 6 * green level + blue level.
inline constexpr int kWebCubeLevels = 6;
inline constexpr int kWebCubeStep = 51;
std::vector<TRgb> webCubePalette();

// (i, i, i) for i = 0 to 255.
std::vector<TRgb> gray256Palette();
// Black and white.
std::vector<TRgb> monochromePalette();
// 0, 128, 192 and 255 grey.
std::vector<TRgb> gray4Palette();

// The halftone palette, fixed as a table of 256 entries (a display's halftone palette
// depends on the display; this one is the same everywhere):
//   0-9     the first 10 stock colours,
//   10-225  the 216 cube colours in cube order (see webCubePalette),
//   226-245 20 greys between the cube's levels: round(k * 255 / 21) for k = 1 to 20,
//   246-255 the last 10 stock colours.
std::vector<TRgb> halftonePalette();

}  // namespace gs
