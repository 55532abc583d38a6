// The INI reader over any bytes: every section and key it finds reads back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const gs::TIniFile ini("/nonexistent/fuzz.ini", std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& section : ini.Sections())
        for (const std::string& key : ini.Keys(section))
            if (!ini.Read(section, key)) __builtin_trap();
    return 0;
}
