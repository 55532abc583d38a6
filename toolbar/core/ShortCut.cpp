#include "toolbar/core/ShortCut.h"

#include <array>
#include <cctype>

namespace tb {

namespace {

struct TNamedKey {
    std::uint8_t key;
    const char* name;
};

constexpr std::array<TNamedKey, 15> kNamedKeys{{{vk::Back, "BkSp"},
                                               {vk::Tab, "Tab"},
                                               {vk::Return, "Enter"},
                                               {vk::Escape, "Esc"},
                                               {vk::Space, "Space"},
                                               {vk::Prior, "PgUp"},
                                               {vk::Next, "PgDn"},
                                               {vk::End, "End"},
                                               {vk::Home, "Home"},
                                               {vk::Left, "Left"},
                                               {vk::Up, "Up"},
                                               {vk::Right, "Right"},
                                               {vk::Down, "Down"},
                                               {vk::Insert, "Ins"},
                                               {vk::Delete, "Del"}}};

struct TModifier {
    TShortCut bit;
    const char* prefix;
};
constexpr std::array<TModifier, 3> kModifiers{{{scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}}};

std::string keyName(std::uint8_t key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
    if (key >= vk::F1 && key <= vk::F24) return "F" + std::to_string(key - vk::F1 + 1);
    for (const TNamedKey& k : kNamedKeys)
        if (k.key == key) return k.name;
    return {};
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower((unsigned char)text[i]) != std::tolower((unsigned char)prefix[i])) return false;
    return true;
}

bool equalNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && startsWithNoCase(a, b); }

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
    std::string name = keyName(std::uint8_t(shortCut & 0xFF));
    if (name.empty()) return {};
    std::string text;
    for (const TModifier& m : kModifiers)
        if (shortCut & m.bit) text += m.prefix;
    return text + name;
}

std::optional<TShortCut> TextToShortCut(std::string_view text) {
    if (text.empty()) return scNone;
    TShortCut modifiers = 0;
    for (bool more = true; more;) {
        more = false;
        for (const TModifier& m : kModifiers) {
            std::string_view p = m.prefix;
            if (startsWithNoCase(text, p) && text.size() > p.size()) {
                modifiers |= m.bit;
                text.remove_prefix(p.size());
                more = true;
            }
        }
    }
    for (int key = 1; key < 256; ++key) {
        std::string name = keyName(std::uint8_t(key));
        if (!name.empty() && equalNoCase(name, text)) return ShortCut(std::uint8_t(key), modifiers);
    }
    return std::nullopt;
}

}  // namespace tb
