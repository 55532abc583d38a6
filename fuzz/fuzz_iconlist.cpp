#include <exception>

#include "codecs/IconList.h"

// Reads an icon-list stream and writes it back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::MemorySource src(gs::Bytes(data, data + size));
    gs::TIconList list;
    try {
        gs::ByteReader in(src);
        list.loadIcons(in);
    } catch (const std::exception&) {
    }
    gs::ByteWriter out;
    list.saveIcons(out);
    return 0;
}
