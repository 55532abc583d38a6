#include "framework/core/VersionBlockWriter.h"

#include <cstdio>
#include <functional>
#include <string_view>

#include "platform/ByteWriter.h"
#include "platform/Text.h"

namespace gs {

namespace {

constexpr std::uint16_t kBinaryType = 0;
constexpr std::uint16_t kTextType = 1;

void pad4(TByteWriter& w) {
    while (w.Pos() % 4) w.U8(0);
}

void text(TByteWriter& w, std::string_view s) {
    for (char16_t c : utf8ToUtf16(s)) w.U16(c);
    w.U16(0);
}

// One entry: header, key, value, then the children written by `children`.
void entry(TByteWriter& w, std::string_view key, std::uint16_t type, const TBytes& value,
           std::uint16_t valueLength, const std::function<void()>& children = {}) {
    pad4(w);
    std::size_t start = w.Pos();
    w.U16(0);
    w.U16(valueLength);
    w.U16(type);
    text(w, key);
    pad4(w);
    w.Bytes(value);
    if (children) {
        pad4(w);
        children();
    }
    w.PatchU16(start, std::uint16_t(w.Pos() - start));
}

TBytes utf16Bytes(std::string_view s) {
    TByteWriter w;
    text(w, s);
    return w.Take();
}

TBytes fixedFileInfo(const TVersionBlockContent& c) {
    TByteWriter w;
    auto ms = [](const std::array<std::uint16_t, 4>& v) { return std::uint32_t(v[0]) << 16 | v[1]; };
    auto ls = [](const std::array<std::uint16_t, 4>& v) { return std::uint32_t(v[2]) << 16 | v[3]; };
    w.U32(TVsFixedFileInfo::kSignature);
    w.U32(0x00010000);  // structure version 1.0
    w.U32(ms(c.fileVersion));
    w.U32(ls(c.fileVersion));
    w.U32(ms(c.productVersion));
    w.U32(ls(c.productVersion));
    w.U32(0x3F);        // flags mask
    w.U32(0);           // flags
    w.U32(0x00040004);  // VOS_NT_WINDOWS32
    w.U32(1);           // VFT_APP
    w.U32(0);
    w.U32(0);
    w.U32(0);
    return w.Take();
}

}  // namespace

TBytes buildVersionBlock(const TVersionBlockContent& c) {
    TByteWriter w;
    TBytes fixed = fixedFileInfo(c);
    entry(w, "VS_VERSION_INFO", kBinaryType, fixed, std::uint16_t(fixed.size()), [&] {
        entry(w, "StringFileInfo", kTextType, {}, 0, [&] {
            for (const TVersionTranslation& t : c.translations) {
                char table[9];
                std::snprintf(table, sizeof table, "%04X%04X", unsigned(t.language), unsigned(t.codePage));
                entry(w, table, kTextType, {}, 0, [&] {
                    for (const auto& [name, value] : c.strings) {
                        TBytes v = utf16Bytes(value);
                        entry(w, name, kTextType, v, std::uint16_t(v.size() / 2));
                    }
                });
            }
        });
        entry(w, "VarFileInfo", kTextType, {}, 0, [&] {
            TByteWriter table;
            for (const TVersionTranslation& t : c.translations) {
                table.U16(t.language);
                table.U16(t.codePage);
            }
            entry(w, "Translation", kBinaryType, table.Data(), std::uint16_t(table.Data().size()));
        });
    });
    return w.Take();
}

}  // namespace gs
