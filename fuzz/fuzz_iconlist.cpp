#include <cstdlib>
#include <exception>
#include <optional>

#include "codecs/IconList.h"

namespace {

// The list read from `in`, written back; nothing after a failure.
std::optional<gs::TBytes> readBack(gs::TByteReader& in) {
    gs::TIconList list;
    try {
        list.LoadIcons(in);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    gs::TByteWriter out;
    list.SaveIcons(out);
    return out.Take();
}

}  // namespace

// Reads an icon-list stream and writes it back. A list that reads alone reads the same from
// the middle of a larger stream, with bytes after it: each entry is read in place, never
// reaching outside itself, and the stream is left right after the list.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gs::TMemorySource src(gs::TBytes(data, data + size));
    gs::TByteReader in(src);
    const std::optional<gs::TBytes> alone = readBack(in);
    if (!alone) return 0;
    gs::TBytes framed(5, 0x5A);
    framed.insert(framed.end(), data, data + size);
    framed.insert(framed.end(), 9, 0xC3);
    gs::TMemorySource around(framed);
    gs::TByteReader middle(around, 5);
    if (readBack(middle) != alone || middle.Pos() != 5 + in.Pos()) std::abort();
    return 0;
}
