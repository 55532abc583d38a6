#pragma once
// The list's colours as the options hold them: 0x00BBGGRR for a colour of its own, or
// 0x800000NN for the desktop's system colour NN (window, window text, highlight, ...), which
// is looked up in the palette Qt gives whenever it is shown, so it follows the desktop.
#include <span>

#include <QColor>
#include <QPalette>

namespace gs {

inline constexpr unsigned kSystemColourFlag = 0x80000000u;

struct TSystemColour {
    const char* name;  // readable, as the colour boxes list it
    int code;          // as stored: kSystemColourFlag | index
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The 25 system colours in the order of their indexes, each with the palette role that
// stands in for it.
std::span<const TSystemColour> SystemColours();

// The colour a stored value shows: a system colour from the palette, any other value as its
// red, green and blue bytes. A system index beyond the table is the window colour.
QColor ListColour(int stored, const QPalette& palette);

}  // namespace gs
