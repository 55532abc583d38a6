#include "FuzzCommon.h"
#include "iconlib/NEReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::TQB16BitReader reader("fuzz.icl", std::make_shared<gs::TMemorySource>(gs::TBytes(data, data + size)));
    if (reader.Read())
        for (int i = 0; i < reader.Icons.Count(); ++i) exerciseIcon(*reader.Icons.GetIcon(i));
    return 0;
}
