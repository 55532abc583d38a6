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

void pad4(ByteWriter& w) {
    while (w.pos() % 4) w.u8(0);
}

void text(ByteWriter& w, std::string_view s) {
    for (char16_t c : utf8ToUtf16(s)) w.u16(c);
    w.u16(0);
}

// One entry: header, key, value, then the children written by `children`.
void entry(ByteWriter& w, std::string_view key, std::uint16_t type, const Bytes& value,
           std::uint16_t valueLength, const std::function<void()>& children = {}) {
    pad4(w);
    std::size_t start = w.pos();
    w.u16(0);
    w.u16(valueLength);
    w.u16(type);
    text(w, key);
    pad4(w);
    w.bytes(value);
    if (children) {
        pad4(w);
        children();
    }
    w.patchU16(start, std::uint16_t(w.pos() - start));
}

Bytes utf16Bytes(std::string_view s) {
    ByteWriter w;
    text(w, s);
    return w.take();
}

Bytes fixedFileInfo(const VersionBlockContent& c) {
    ByteWriter w;
    auto ms = [](const std::array<std::uint16_t, 4>& v) { return std::uint32_t(v[0]) << 16 | v[1]; };
    auto ls = [](const std::array<std::uint16_t, 4>& v) { return std::uint32_t(v[2]) << 16 | v[3]; };
    w.u32(VsFixedFileInfo::kSignature);
    w.u32(0x00010000);  // structure version 1.0
    w.u32(ms(c.fileVersion));
    w.u32(ls(c.fileVersion));
    w.u32(ms(c.productVersion));
    w.u32(ls(c.productVersion));
    w.u32(0x3F);        // flags mask
    w.u32(0);           // flags
    w.u32(0x00040004);  // VOS_NT_WINDOWS32
    w.u32(1);           // VFT_APP
    w.u32(0);
    w.u32(0);
    w.u32(0);
    return w.take();
}

}  // namespace

Bytes buildVersionBlock(const VersionBlockContent& c) {
    ByteWriter w;
    Bytes fixed = fixedFileInfo(c);
    entry(w, "VS_VERSION_INFO", kBinaryType, fixed, std::uint16_t(fixed.size()), [&] {
        entry(w, "StringFileInfo", kTextType, {}, 0, [&] {
            for (const VersionTranslation& t : c.translations) {
                char table[9];
                std::snprintf(table, sizeof table, "%04X%04X", unsigned(t.language), unsigned(t.codePage));
                entry(w, table, kTextType, {}, 0, [&] {
                    for (const auto& [name, value] : c.strings) {
                        Bytes v = utf16Bytes(value);
                        entry(w, name, kTextType, v, std::uint16_t(v.size() / 2));
                    }
                });
            }
        });
        entry(w, "VarFileInfo", kTextType, {}, 0, [&] {
            ByteWriter table;
            for (const VersionTranslation& t : c.translations) {
                table.u16(t.language);
                table.u16(t.codePage);
            }
            entry(w, "Translation", kBinaryType, table.data(), std::uint16_t(table.data().size()));
        });
    });
    return w.take();
}

}  // namespace gs
