#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/DesktopEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const gs::TDesktopEntry entry = gs::ParseDesktopEntry(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const auto& [key, value] : entry.Keys) {
        if (gs::UnescapeDesktopValue(gs::EscapeDesktopValue(value)) != value) __builtin_trap();
        (void)gs::QuoteExecArgument(value);
    }
    return 0;
}
