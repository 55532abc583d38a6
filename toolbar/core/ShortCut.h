#pragma once
// Keyboard shortcuts as 16-bit values: a virtual key code (the low byte) plus modifier
// bits, written as "Shift+Ctrl+Alt+Key" with the key names the menus show.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tb {

using TShortCut = std::uint16_t;

constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

// Virtual key codes of the keys that have names of their own.
namespace vk {
constexpr std::uint8_t Back = 0x08, Tab = 0x09, Return = 0x0D, Escape = 0x1B, Space = 0x20, Prior = 0x21,
                       Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28,
                       Insert = 0x2D, Delete = 0x2E, F1 = 0x70, F24 = 0x87;
}

constexpr TShortCut ShortCut(std::uint8_t key, TShortCut modifiers) { return TShortCut(key | modifiers); }

// "Shift+", "Ctrl+", "Alt+" in that order, then the key's name; empty for 0 or for a key
// without a name.
std::string ShortCutToText(TShortCut shortCut);
// The reverse, without regard to case; nullopt for text that names no shortcut. Empty
// text is 0.
std::optional<TShortCut> TextToShortCut(std::string_view text);

}  // namespace tb
