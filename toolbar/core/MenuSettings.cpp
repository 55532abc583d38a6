#include "toolbar/core/MenuSettings.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace tb {

namespace {
// The value is read into a 32-byte buffer: longer text cannot be a number.
constexpr std::size_t kMaxDelayChars = 31;
// More data than this counts as a set sound, whatever its bytes.
constexpr std::size_t kSoundProbeBytes = 8;
}  // namespace

std::optional<int> ParseMenuDelay(std::string_view text) {
    if (text.empty() || text.size() > kMaxDelayChars) return std::nullopt;
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    std::int64_t n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
        if (n > std::int64_t(INT_MAX) + 1) return std::nullopt;  // beyond 32 bits
    }
    if (negative) n = -n;
    if (n > INT_MAX || n < INT_MIN) return std::nullopt;
    return static_cast<int>(n);
}

int MenuShowDelayFromStore(gs::TRegistryStore& store) {
    try {
        gs::TRegTransaction t = store.begin(gs::TRegistryStore::Mode::Read);
        std::optional<gs::RegKeyId> key = t.OpenKey(gs::HKEY_CURRENT_USER, kDesktopKey);
        if (!key || !t.HasValue(*key, kMenuShowDelayValue)) return kDefaultMenuShowDelayMs;
        std::optional<gs::TRegValue> v = t.ReadValue(*key, kMenuShowDelayValue);
        std::optional<std::string> text = v ? v->Text() : std::nullopt;
        std::optional<int> n = text ? ParseMenuDelay(*text) : std::nullopt;
        return std::max(n.value_or(0), 0);
    } catch (const gs::ERegistryError&) {
        return 0;  // present but unreadable: not a number
    }
}

int MenuShowDelayMs() {
    static const int delay = MenuShowDelayFromStore(gs::defaultRegistryStore());
    return delay;
}

bool MenuDropsRightFromStore(gs::TRegistryStore& store) {
    try {
        gs::TRegTransaction t = store.begin(gs::TRegistryStore::Mode::Read);
        std::optional<gs::RegKeyId> key = t.OpenKey(gs::HKEY_CURRENT_USER, kWindowsKey);
        std::optional<gs::TRegValue> v = key ? t.ReadValue(*key, kMenuDropAlignmentValue) : std::nullopt;
        std::optional<std::string> text = v ? v->Text() : std::nullopt;
        std::optional<int> n = text ? ParseMenuDelay(*text) : std::nullopt;
        return n.value_or(0) != 0;
    } catch (const gs::ERegistryError&) {
        return false;
    }
}

bool MenuDropsRight() {
    static const bool right = MenuDropsRightFromStore(gs::defaultRegistryStore());
    return right;
}

bool SoundSchemeEnabled(gs::TRegistryStore& store, std::string_view name) {
    try {
        gs::TRegTransaction t = store.begin(gs::TRegistryStore::Mode::Read);
        std::string path = "AppEvents\\Schemes\\Apps\\.Default\\" + std::string(name) + "\\.Current";
        std::optional<gs::RegKeyId> key = t.OpenKey(gs::HKEY_CURRENT_USER, path);
        if (!key) return false;
        std::optional<gs::TRegValue> v = t.ReadValue(*key, "");
        if (!v) return false;
        if (auto s = v->Text()) return !s->empty() && (*s)[0] != 0;
        if (auto n = v->Number()) return (*n & 0xFF) != 0;
        const auto& bytes = std::get<gs::TBytes>(v->data);
        return bytes.size() > kSoundProbeBytes || (!bytes.empty() && bytes[0] != 0);
    } catch (const gs::ERegistryError&) {
        return false;
    }
}

bool SoundSchemeEnabled(std::string_view name) { return SoundSchemeEnabled(gs::defaultRegistryStore(), name); }

}  // namespace tb
