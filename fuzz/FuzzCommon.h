#pragma once
// Decodes and draws every image of an icon, as a listing and a preview would.
#include "iconlib/Icon.h"
#include "platform/ByteWriter.h"

inline void exerciseIcon(const gs::TQBIcon& icon) {
    gs::Raster canvas(64, 64);
    for (std::uint16_t k = 0; k < icon.Images().Count(); ++k) icon.Images().GetImage(k)->Draw(canvas, 0, 0);
    gs::ByteWriter w;
    icon.SaveToStream(w);
}
