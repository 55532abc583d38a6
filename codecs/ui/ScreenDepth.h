#pragma once
// The screen's colour depth, asked of the display where the windows and the GIF drawing need
// it (menu pictures, dialog pictures, dithering).

namespace gs {

// Bits per pixel of the primary screen; 32 without a screen (no display: full colour, nothing
// to dither for).
int GetScreenColorDepth();

}  // namespace gs
