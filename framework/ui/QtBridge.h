#pragma once
// Where the core's values meet Qt's: its UTF-8 text and its colour values, converted in one
// place so that every window reads them the same way.
#include <QColor>
#include <QString>
#include <cstdint>
#include <string>

namespace gs {

inline QString qs(const std::string& s) { return QString::fromStdString(s); }

// A stored colour value packs red in the low byte, then green, then blue; the top byte
// (flags of the system colours) is not a colour and is ignored.
inline QColor toQColor(std::uint32_t colorRef) {
    return QColor(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

}  // namespace gs
