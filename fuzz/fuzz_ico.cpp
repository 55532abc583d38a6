#include "FuzzCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::TMemorySource src(gs::TBytes(data, data + size));
    gs::TQBIcon icon;
    icon.LoadFromSource(src);
    exerciseIcon(icon);
    return 0;
}
