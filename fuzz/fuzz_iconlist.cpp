#include <cstdlib>
#include <exception>
#include <optional>

#include "codecs/IconList.h"

namespace {

// The list read from `in`, written back; nothing after a failure.
std::optional<gs::Bytes> readBack(gs::ByteReader& in) {
    gs::TIconList list;
    try {
        list.loadIcons(in);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    gs::ByteWriter out;
    list.saveIcons(out);
    return out.take();
}

}  // namespace

// Reads an icon-list stream and writes it back. A list that reads alone reads the same from
// the middle of a larger stream, with bytes after it: each entry is read in place, never
// reaching outside itself, and the stream is left right after the list.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::MemorySource src(gs::Bytes(data, data + size));
    gs::ByteReader in(src);
    const std::optional<gs::Bytes> alone = readBack(in);
    if (!alone) return 0;
    gs::Bytes framed(5, 0x5A);
    framed.insert(framed.end(), data, data + size);
    framed.insert(framed.end(), 9, 0xC3);
    gs::MemorySource around(framed);
    gs::ByteReader middle(around, 5);
    if (readBack(middle) != alone || middle.pos() != 5 + in.pos()) std::abort();
    return 0;
}
