#pragma once
#include <exception>
#include <string>

#include "iconlib/Icon.h"
#include "platform/ByteWriter.h"

// What a read gave, to hold two ways of reading the same bytes against each other: the
// error it raised, or `describe()` of what it read.
template <class Read, class Describe>
std::string readOutcome(const Read& read, const Describe& describe) {
    try {
        read();
    } catch (const std::exception& e) {
        return std::string("error ") + e.what();
    }
    return describe();
}

// Decodes and draws every image of an icon, as a listing and a preview would.
inline void exerciseIcon(const gs::TQBIcon& icon) {
    gs::TRaster canvas(64, 64);
    for (std::uint16_t k = 0; k < icon.Images().Count(); ++k) icon.Images().GetImage(k)->Draw(canvas, 0, 0);
    gs::TByteWriter w;
    icon.SaveToStream(w);
}
