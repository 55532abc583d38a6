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

int MenuShowDelayFromStore(gs::RegistryStore& store) {
    try {
        gs::RegTransaction t = store.begin(gs::RegistryStore::Mode::Read);
        std::optional<gs::RegKeyId> key = t.openKey(gs::HKEY_CURRENT_USER, kDesktopKey);
        if (!key || !t.hasValue(*key, kMenuShowDelayValue)) return kDefaultMenuShowDelayMs;
        std::optional<gs::RegValue> v = t.readValue(*key, kMenuShowDelayValue);
        std::optional<std::string> text = v ? v->text() : std::nullopt;
        std::optional<int> n = text ? ParseMenuDelay(*text) : std::nullopt;
        return std::max(n.value_or(0), 0);
    } catch (const gs::RegistryError&) {
        return 0;  // present but unreadable: not a number
    }
}

int MenuShowDelayMs() {
    static const int delay = MenuShowDelayFromStore(gs::defaultRegistryStore());
    return delay;
}

bool MenuDropsRightFromStore(gs::RegistryStore& store) {
    try {
        gs::RegTransaction t = store.begin(gs::RegistryStore::Mode::Read);
        std::optional<gs::RegKeyId> key = t.openKey(gs::HKEY_CURRENT_USER, kWindowsKey);
        std::optional<gs::RegValue> v = key ? t.readValue(*key, kMenuDropAlignmentValue) : std::nullopt;
        std::optional<std::string> text = v ? v->text() : std::nullopt;
        std::optional<int> n = text ? ParseMenuDelay(*text) : std::nullopt;
        return n.value_or(0) != 0;
    } catch (const gs::RegistryError&) {
        return false;
    }
}

bool MenuDropsRight() {
    static const bool right = MenuDropsRightFromStore(gs::defaultRegistryStore());
    return right;
}

bool SoundSchemeEnabled(gs::RegistryStore& store, std::string_view name) {
    try {
        gs::RegTransaction t = store.begin(gs::RegistryStore::Mode::Read);
        std::string path = "AppEvents\\Schemes\\Apps\\.Default\\" + std::string(name) + "\\.Current";
        std::optional<gs::RegKeyId> key = t.openKey(gs::HKEY_CURRENT_USER, path);
        if (!key) return false;
        std::optional<gs::RegValue> v = t.readValue(*key, "");
        if (!v) return false;
        if (auto s = v->text()) return !s->empty() && (*s)[0] != 0;
        if (auto n = v->number()) return (*n & 0xFF) != 0;
        const auto& bytes = std::get<gs::Bytes>(v->data);
        return bytes.size() > kSoundProbeBytes || (!bytes.empty() && bytes[0] != 0);
    } catch (const gs::RegistryError&) {
        return false;
    }
}

bool SoundSchemeEnabled(std::string_view name) { return SoundSchemeEnabled(gs::defaultRegistryStore(), name); }

}  // namespace tb
