#include "support/IconMaker.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <png.h>
#include <stdexcept>

#include "platform/ByteWriter.h"
#include "platform/Dib.h"

namespace gstest {

using namespace gs;

namespace {
std::vector<Rgb> paletteFor(int bitCount) {
    std::vector<Rgb> p;
    if (bitCount == 1) return {Rgb{0, 0, 0}, Rgb{255, 255, 255}};
    if (bitCount == 4) {
        for (int i = 0; i < 16; ++i) {
            std::uint8_t v = (i & 8) ? 255 : 128;
            p.push_back(Rgb{std::uint8_t((i & 4) ? v : 0), std::uint8_t((i & 2) ? v : 0), std::uint8_t((i & 1) ? v : 0)});
        }
        p[0] = Rgb{0, 0, 0};
        p[8] = Rgb{192, 192, 192};
        return p;
    }
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.push_back(Rgb{std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51)});
    while (p.size() < 256) {
        auto v = std::uint8_t(p.size() - 216);
        p.push_back(Rgb{v, std::uint8_t(v * 3), std::uint8_t(255 - v)});
    }
    return p;
}

std::uint8_t nearest(const std::vector<Rgb>& pal, Argb c) {
    int best = 0, bestD = 1 << 30;
    for (std::size_t i = 0; i < pal.size(); ++i) {
        int dr = pal[i].r - redOf(c), dg = pal[i].g - greenOf(c), db = pal[i].b - blueOf(c);
        int d = dr * dr + dg * dg + db * db;
        if (d < bestD) bestD = d, best = int(i);
    }
    return std::uint8_t(best);
}
}  // namespace

Raster patternPicture(int width, int height, unsigned seed, bool withTransparency) {
    Raster r(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t a = 255;
            if (withTransparency && (x + y + int(seed)) % 7 == 0) a = 0;
            r.setPixel(x, y, makeArgb(std::uint8_t(x * 255 / std::max(1, width - 1)), std::uint8_t((y * 37 + seed * 91) & 255),
                                      std::uint8_t(((x ^ y) * 16 + seed) & 255), a));
        }
    return r;
}

Bytes makeDibImage(const Raster& pic, int bitCount) {
    const int w = pic.width(), h = pic.height();
    std::vector<Rgb> pal = bitCount <= 8 ? paletteFor(bitCount) : std::vector<Rgb>{};
    ByteWriter out;
    out.u32(40);
    out.u32(std::uint32_t(w));
    out.u32(std::uint32_t(h * 2));
    out.u16(1);
    out.u16(std::uint16_t(bitCount));
    out.u32(0);
    const std::uint64_t xorStride = dibStride(std::uint64_t(w), unsigned(bitCount));
    const std::uint64_t andStride = dibStride(std::uint64_t(w), 1);
    out.u32(std::uint32_t((xorStride + andStride) * std::uint64_t(h)));
    out.u32(0);
    out.u32(0);
    out.u32(0);
    out.u32(0);
    for (const Rgb& c : pal) {
        out.u8(c.b);
        out.u8(c.g);
        out.u8(c.r);
        out.u8(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(xorStride, 0);
        for (int x = 0; x < w; ++x) {
            Argb c = pic.pixel(x, y);
            const bool masked = alphaOf(c) < 128;
            if (bitCount != 32 && masked) c = makeArgb(0, 0, 0);
            switch (bitCount) {
                case 1: row[x >> 3] |= std::uint8_t(nearest(pal, c) << (7 - (x & 7))); break;
                case 4: row[x >> 1] |= std::uint8_t(nearest(pal, c) << ((x & 1) ? 0 : 4)); break;
                case 8: row[x] = nearest(pal, c); break;
                case 16: {  // 5-5-5
                    const unsigned v = unsigned(redOf(c) >> 3) << 10 | unsigned(greenOf(c) >> 3) << 5 | (blueOf(c) >> 3);
                    row[2 * x] = std::uint8_t(v), row[2 * x + 1] = std::uint8_t(v >> 8);
                    break;
                }
                case 24:
                    row[3 * x] = blueOf(c), row[3 * x + 1] = greenOf(c), row[3 * x + 2] = redOf(c);
                    break;
                default:
                    row[4 * x] = blueOf(c), row[4 * x + 1] = greenOf(c), row[4 * x + 2] = redOf(c),
                    row[4 * x + 3] = alphaOf(c);
            }
        }
        out.bytes(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(andStride, 0);
        for (int x = 0; x < w; ++x)
            if (alphaOf(pic.pixel(x, y)) < 128) row[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
        out.bytes(row);
    }
    return out.take();
}

Bytes makePngImage(const Raster& pic) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = std::uint32_t(pic.width());
    image.height = std::uint32_t(pic.height());
    image.format = PNG_FORMAT_BGRA;
    std::vector<Argb> px;
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x) px.push_back(pic.pixel(x, y));
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, px.data(), 0, nullptr))
        throw std::runtime_error("png size");
    Bytes out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, px.data(), 0, nullptr))
        throw std::runtime_error("png write");
    out.resize(size);
    return out;
}

ImageSpec dibSpec(int size, int bitCount, unsigned seed) {
    ImageSpec s;
    s.data = makeDibImage(patternPicture(size, size, seed), bitCount);
    s.width = s.height = size >= 256 ? 0 : size;
    s.bitCount = std::uint16_t(bitCount);
    s.colorCount = bitCount == 1 ? 2 : bitCount == 4 ? 16 : 0;
    return s;
}

ImageSpec pngSpec(int width, int height, unsigned seed) {
    ImageSpec s;
    s.data = makePngImage(patternPicture(width, height, seed));
    s.width = width >= 256 ? 0 : (width & 0xFF);
    s.height = height >= 256 ? 0 : (height & 0xFF);
    s.bitCount = 32;
    return s;
}

namespace {
void writeHead(ByteWriter& w, const ImageSpec& s) {
    w.u8(std::uint8_t(s.width));
    w.u8(std::uint8_t(s.height));
    w.u8(s.colorCount);
    w.u8(0);
    w.u16(1);
    w.u16(s.bitCount);
    w.u32(std::uint32_t(s.data.size()));
}
}  // namespace

Bytes makeIcoFile(const std::vector<ImageSpec>& images) {
    ByteWriter w;
    w.u16(0);
    w.u16(1);
    w.u16(std::uint16_t(images.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * images.size());
    for (const auto& s : images) {
        writeHead(w, s);
        w.u32(offset);
        offset += std::uint32_t(s.data.size());
    }
    for (const auto& s : images) w.bytes(s.data);
    return w.take();
}

Bytes makeGroup(const std::vector<ImageSpec>& images, const std::vector<std::uint16_t>& ids) {
    ByteWriter w;
    w.u16(0);
    w.u16(1);
    w.u16(std::uint16_t(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        writeHead(w, images[i]);
        w.u16(ids[i]);
    }
    return w.take();
}

Bytes makePeModule(const std::vector<PeResource>& resources, bool pe32Plus) {
    // type -> name key -> language -> resource index. Named entries sort before ids.
    struct Key {
        bool isId;
        std::uint16_t id;
        std::string name;
        bool operator<(const Key& o) const {
            if (isId != o.isId) return !isId;
            return isId ? id < o.id : name < o.name;
        }
    };
    std::map<std::uint16_t, std::map<Key, std::map<std::uint16_t, std::size_t>>> tree;
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const auto& r = resources[i];
        tree[r.type][Key{r.id.has_value(), r.id.value_or(0), r.name}][r.language] = i;
    }
    ByteWriter rs;  // the resource section
    struct Patch {
        std::size_t at;
        enum { Dir, Data, Name } kind;
        std::size_t target;
    };
    auto table = [&](std::size_t named, std::size_t ids) {
        rs.u32(0);
        rs.u32(0);
        rs.u16(4);
        rs.u16(0);
        rs.u16(std::uint16_t(named));
        rs.u16(std::uint16_t(ids));
    };
    // Level 1
    table(0, tree.size());
    std::vector<std::size_t> typeEntryPos;
    for (auto& [type, names] : tree) {
        typeEntryPos.push_back(rs.pos());
        rs.u32(type);
        rs.u32(0);
    }
    std::vector<std::pair<std::size_t, const std::string*>> namePatches;
    std::vector<std::pair<std::size_t, std::size_t>> dataPatches;  // entry field pos, resource index
    std::size_t t = 0;
    for (auto& [type, names] : tree) {
        rs.patchU32(typeEntryPos[t++] + 4, std::uint32_t(0x80000000u | rs.pos()));
        std::size_t named = 0;
        for (auto& [k, l] : names) named += !k.isId;
        table(named, names.size() - named);
        std::vector<std::size_t> nameEntryPos;
        for (auto& [k, langs] : names) {
            nameEntryPos.push_back(rs.pos());
            if (k.isId) rs.u32(k.id);
            else namePatches.emplace_back(rs.pos(), &k.name), rs.u32(0);
            rs.u32(0);
        }
        std::size_t n = 0;
        for (auto& [k, langs] : names) {
            rs.patchU32(nameEntryPos[n++] + 4, std::uint32_t(0x80000000u | rs.pos()));
            table(0, langs.size());
            for (auto& [lang, idx] : langs) {
                rs.u32(lang);
                dataPatches.emplace_back(rs.pos(), idx);
                rs.u32(0);
            }
        }
    }
    const std::uint32_t rva = 0x1000;
    for (auto& [at, name] : namePatches) {
        rs.patchU32(at, std::uint32_t(0x80000000u | rs.pos()));
        rs.u16(std::uint16_t(name->size()));
        for (char c : *name) rs.u16(std::uint8_t(c));
    }
    std::vector<std::size_t> entryPos;
    for (auto& [at, idx] : dataPatches) {
        while (rs.pos() % 4) rs.u8(0);
        rs.patchU32(at, std::uint32_t(rs.pos()));
        entryPos.push_back(rs.pos());
        rs.u32(0);
        rs.u32(std::uint32_t(resources[idx].data.size()));
        rs.u32(0);
        rs.u32(0);
    }
    for (std::size_t k = 0; k < dataPatches.size(); ++k) {
        while (rs.pos() % 4) rs.u8(0);
        rs.patchU32(entryPos[k], std::uint32_t(rva + rs.pos()));
        rs.bytes(resources[dataPatches[k].second].data);
    }
    while (rs.pos() % 512) rs.u8(0);

    ByteWriter f;
    f.u16(0x5A4D);
    f.zeros(58);
    f.u32(0x40);
    f.u32(0x00004550);
    f.u16(pe32Plus ? 0x8664 : 0x14C);
    f.u16(1);
    f.zeros(12);
    const std::uint16_t optSize = pe32Plus ? 240 : 224;
    f.u16(optSize);
    f.u16(0x2102);
    const std::size_t opt = f.pos();
    f.u16(pe32Plus ? 0x20B : 0x10B);
    f.zeros((pe32Plus ? 108 : 92) - 2);
    f.u32(16);
    for (int i = 0; i < 16; ++i) {
        f.u32(i == 2 ? rva : 0);
        f.u32(i == 2 ? std::uint32_t(rs.pos()) : 0);
    }
    if (f.pos() != opt + optSize) throw std::logic_error("optional header size");
    f.chars(".rsrc");
    f.zeros(3);
    f.u32(std::uint32_t(rs.pos()));
    f.u32(rva);
    f.u32(std::uint32_t(rs.pos()));
    f.u32(0x200);
    f.zeros(12);
    f.u32(0x40000040);
    while (f.pos() < 0x200) f.u8(0);
    f.bytes(rs.data());
    return f.take();
}

Bytes makeNeModule(const std::vector<NeResource>& resources, const std::vector<std::string>& names,
                   std::uint16_t alignShift) {
    std::vector<std::uint16_t> types;
    for (auto& r : resources)
        if (std::find(types.begin(), types.end(), r.typeId) == types.end()) types.push_back(r.typeId);
    ByteWriter f;
    f.u16(0x5A4D);
    f.zeros(58);
    f.u16(64);
    f.u16(0);
    f.u16(0x454E);  // NE header at 64
    f.zeros(0x22);
    f.u16(64);  // +0x24 resource table at 128
    const std::size_t namesField = f.pos();
    f.u16(0);
    while (f.pos() < 128) f.u8(0);
    f.u16(alignShift);
    std::vector<std::pair<std::size_t, std::size_t>> records;  // record pos, resource index
    std::vector<std::pair<std::size_t, int>> nameIdPatches;
    for (auto type : types) {
        std::size_t count = 0;
        for (auto& r : resources) count += r.typeId == type;
        f.u16(type);
        f.u16(std::uint16_t(count));
        f.u32(0);
        for (std::size_t i = 0; i < resources.size(); ++i) {
            if (resources[i].typeId != type) continue;
            records.emplace_back(f.pos(), i);
            f.u32(0);
            f.u16(0x1C30);
            if (resources[i].nameIndex) nameIdPatches.emplace_back(f.pos(), *resources[i].nameIndex);
            f.u16(resources[i].id);
            f.u32(0);
        }
    }
    f.u16(0);
    f.patchU16(namesField, std::uint16_t(f.pos() - 64));
    std::vector<std::size_t> namePos;
    for (auto& n : names) {
        namePos.push_back(f.pos());
        f.u8(std::uint8_t(n.size()));
        f.chars(n);
    }
    f.u8(0);
    for (auto& [at, k] : nameIdPatches) f.patchU16(at, std::uint16_t(namePos.at(std::size_t(k)) - 128));
    const std::size_t unit = std::size_t(1) << alignShift;
    for (auto& [rec, idx] : records) {
        while (f.pos() % unit) f.u8(0);
        const std::size_t start = f.pos();
        f.bytes(resources[idx].data);
        while (f.pos() % unit) f.u8(0);
        f.patchU16(rec, std::uint16_t(start >> alignShift));
        f.patchU16(rec + 2, std::uint16_t((f.pos() - start) >> alignShift));
    }
    return f.take();
}

void writeFile(const std::string& path, const Bytes& data) {
    std::ofstream o(path, std::ios::binary);
    o.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

}  // namespace gstest
