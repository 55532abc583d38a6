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
std::vector<TRgb> paletteFor(int bitCount) {
    std::vector<TRgb> p;
    if (bitCount == 1) return {TRgb{0, 0, 0}, TRgb{255, 255, 255}};
    if (bitCount == 4) {
        for (int i = 0; i < 16; ++i) {
            std::uint8_t v = (i & 8) ? 255 : 128;
            p.push_back(TRgb{std::uint8_t((i & 4) ? v : 0), std::uint8_t((i & 2) ? v : 0), std::uint8_t((i & 1) ? v : 0)});
        }
        p[0] = TRgb{0, 0, 0};
        p[8] = TRgb{192, 192, 192};
        return p;
    }
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) p.push_back(TRgb{std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51)});
    while (p.size() < 256) {
        auto v = std::uint8_t(p.size() - 216);
        p.push_back(TRgb{v, std::uint8_t(v * 3), std::uint8_t(255 - v)});
    }
    return p;
}

std::uint8_t nearest(const std::vector<TRgb>& pal, Argb c) {
    int best = 0, bestD = 1 << 30;
    for (std::size_t i = 0; i < pal.size(); ++i) {
        int dr = pal[i].r - redOf(c), dg = pal[i].g - greenOf(c), db = pal[i].b - blueOf(c);
        int d = dr * dr + dg * dg + db * db;
        if (d < bestD) bestD = d, best = int(i);
    }
    return std::uint8_t(best);
}
}  // namespace

TRaster patternPicture(int width, int height, unsigned seed, bool withTransparency) {
    TRaster r(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t a = 255;
            if (withTransparency && (x + y + int(seed)) % 7 == 0) a = 0;
            r.SetPixel(x, y, makeArgb(std::uint8_t(x * 255 / std::max(1, width - 1)), std::uint8_t((y * 37 + seed * 91) & 255),
                                      std::uint8_t(((x ^ y) * 16 + seed) & 255), a));
        }
    return r;
}

TBytes makeDibImage(const TRaster& pic, int bitCount) {
    const int w = pic.Width(), h = pic.Height();
    std::vector<TRgb> pal = bitCount <= 8 ? paletteFor(bitCount) : std::vector<TRgb>{};
    TByteWriter out;
    out.U32(40);
    out.U32(std::uint32_t(w));
    out.U32(std::uint32_t(h * 2));
    out.U16(1);
    out.U16(std::uint16_t(bitCount));
    out.U32(0);
    const std::uint64_t xorStride = dibStride(std::uint64_t(w), unsigned(bitCount));
    const std::uint64_t andStride = dibStride(std::uint64_t(w), 1);
    out.U32(std::uint32_t((xorStride + andStride) * std::uint64_t(h)));
    out.U32(0);
    out.U32(0);
    out.U32(0);
    out.U32(0);
    for (const TRgb& c : pal) {
        out.U8(c.b);
        out.U8(c.g);
        out.U8(c.r);
        out.U8(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        TBytes row(xorStride, 0);
        for (int x = 0; x < w; ++x) {
            Argb c = pic.Pixel(x, y);
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
        out.Bytes(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        TBytes row(andStride, 0);
        for (int x = 0; x < w; ++x)
            if (alphaOf(pic.Pixel(x, y)) < 128) row[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
        out.Bytes(row);
    }
    return out.Take();
}

TBytes makePngImage(const TRaster& pic) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = std::uint32_t(pic.Width());
    image.height = std::uint32_t(pic.Height());
    image.format = PNG_FORMAT_BGRA;
    std::vector<Argb> px;
    for (int y = 0; y < pic.Height(); ++y)
        for (int x = 0; x < pic.Width(); ++x) px.push_back(pic.Pixel(x, y));
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, px.data(), 0, nullptr))
        throw std::runtime_error("png size");
    TBytes out(size);
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
void writeHead(TByteWriter& w, const ImageSpec& s) {
    w.U8(std::uint8_t(s.width));
    w.U8(std::uint8_t(s.height));
    w.U8(s.colorCount);
    w.U8(0);
    w.U16(1);
    w.U16(s.bitCount);
    w.U32(std::uint32_t(s.data.size()));
}
}  // namespace

TBytes makeIcoFile(const std::vector<ImageSpec>& images) {
    TByteWriter w;
    w.U16(0);
    w.U16(1);
    w.U16(std::uint16_t(images.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * images.size());
    for (const auto& s : images) {
        writeHead(w, s);
        w.U32(offset);
        offset += std::uint32_t(s.data.size());
    }
    for (const auto& s : images) w.Bytes(s.data);
    return w.Take();
}

TBytes makeGroup(const std::vector<ImageSpec>& images, const std::vector<std::uint16_t>& ids) {
    TByteWriter w;
    w.U16(0);
    w.U16(1);
    w.U16(std::uint16_t(images.size()));
    for (std::size_t i = 0; i < images.size(); ++i) {
        writeHead(w, images[i]);
        w.U16(ids[i]);
    }
    return w.Take();
}

namespace {
// The resource section's address in the modules made here.
constexpr std::uint32_t kRsrcRva = 0x1000;

// A PE module of one section, .rsrc, holding `rs` at kRsrcRva; `fileSize` pads the file with
// zeros past the section.
TBytes peFileAround(TByteWriter& rs, bool pe32Plus, std::size_t fileSize = 0) {
    while (rs.Pos() % 512) rs.U8(0);

    TByteWriter f;
    f.U16(0x5A4D);
    f.Zeros(58);
    f.U32(0x40);
    f.U32(0x00004550);
    f.U16(pe32Plus ? 0x8664 : 0x14C);
    f.U16(1);
    f.Zeros(12);
    const std::uint16_t optSize = pe32Plus ? 240 : 224;
    f.U16(optSize);
    f.U16(0x2102);
    const std::size_t opt = f.Pos();
    f.U16(pe32Plus ? 0x20B : 0x10B);
    f.Zeros((pe32Plus ? 108 : 92) - 2);
    f.U32(16);
    for (int i = 0; i < 16; ++i) {
        f.U32(i == 2 ? kRsrcRva : 0);
        f.U32(i == 2 ? std::uint32_t(rs.Pos()) : 0);
    }
    if (f.Pos() != opt + optSize) throw std::logic_error("optional header size");
    f.Chars(".rsrc");
    f.Zeros(3);
    f.U32(std::uint32_t(rs.Pos()));
    f.U32(kRsrcRva);
    f.U32(std::uint32_t(rs.Pos()));
    f.U32(0x200);
    f.Zeros(12);
    f.U32(0x40000040);
    while (f.Pos() < 0x200) f.U8(0);
    f.Bytes(rs.Data());
    if (f.Pos() < fileSize) f.Zeros(fileSize - f.Pos());
    return f.Take();
}
}  // namespace

TBytes makePeModule(const std::vector<PeResource>& resources, bool pe32Plus) {
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
    TByteWriter rs;  // the resource section
    struct Patch {
        std::size_t at;
        enum { Dir, Data, Name } kind;
        std::size_t target;
    };
    auto table = [&](std::size_t named, std::size_t ids) {
        rs.U32(0);
        rs.U32(0);
        rs.U16(4);
        rs.U16(0);
        rs.U16(std::uint16_t(named));
        rs.U16(std::uint16_t(ids));
    };
    // Level 1
    table(0, tree.size());
    std::vector<std::size_t> typeEntryPos;
    for (auto& [type, names] : tree) {
        typeEntryPos.push_back(rs.Pos());
        rs.U32(type);
        rs.U32(0);
    }
    std::vector<std::pair<std::size_t, const std::string*>> namePatches;
    std::vector<std::pair<std::size_t, std::size_t>> dataPatches;  // entry field pos, resource index
    std::size_t t = 0;
    for (auto& [type, names] : tree) {
        rs.PatchU32(typeEntryPos[t++] + 4, std::uint32_t(0x80000000u | rs.Pos()));
        std::size_t named = 0;
        for (auto& [k, l] : names) named += !k.isId;
        table(named, names.size() - named);
        std::vector<std::size_t> nameEntryPos;
        for (auto& [k, langs] : names) {
            nameEntryPos.push_back(rs.Pos());
            if (k.isId) rs.U32(k.id);
            else namePatches.emplace_back(rs.Pos(), &k.name), rs.U32(0);
            rs.U32(0);
        }
        std::size_t n = 0;
        for (auto& [k, langs] : names) {
            rs.PatchU32(nameEntryPos[n++] + 4, std::uint32_t(0x80000000u | rs.Pos()));
            table(0, langs.size());
            for (auto& [lang, idx] : langs) {
                rs.U32(lang);
                dataPatches.emplace_back(rs.Pos(), idx);
                rs.U32(0);
            }
        }
    }
    const std::uint32_t rva = kRsrcRva;
    for (auto& [at, name] : namePatches) {
        rs.PatchU32(at, std::uint32_t(0x80000000u | rs.Pos()));
        rs.U16(std::uint16_t(name->size()));
        for (char c : *name) rs.U16(std::uint8_t(c));
    }
    std::vector<std::size_t> entryPos;
    for (auto& [at, idx] : dataPatches) {
        while (rs.Pos() % 4) rs.U8(0);
        rs.PatchU32(at, std::uint32_t(rs.Pos()));
        entryPos.push_back(rs.Pos());
        rs.U32(0);
        rs.U32(std::uint32_t(resources[idx].data.size()));
        rs.U32(0);
        rs.U32(0);
    }
    for (std::size_t k = 0; k < dataPatches.size(); ++k) {
        while (rs.Pos() % 4) rs.U8(0);
        rs.PatchU32(entryPos[k], std::uint32_t(rva + rs.Pos()));
        rs.Bytes(resources[dataPatches[k].second].data);
    }
    return peFileAround(rs, pe32Plus);
}

TBytes makePeSharedLanguages(int groups, int languages, const ImageSpec& image, std::size_t fileSize) {
    TByteWriter rs;
    auto table = [&](std::size_t ids) {
        rs.Zeros(12);
        rs.U16(0);
        rs.U16(std::uint16_t(ids));
    };
    auto entry = [&](std::uint32_t name, std::uint32_t field) { rs.U32(name), rs.U32(field); };
    constexpr std::uint32_t kSubdir = 0x80000000u;
    // Root, the icon type's one image, then the group type's directory: fixed sizes, so the
    // offsets are known before they are written.
    const std::uint32_t iconDir = 16 + 2 * 8, iconName = iconDir + 16 + 8, groupDir = iconName + 16 + 8;
    const std::uint32_t shared = groupDir + 16 + 8 * std::uint32_t(groups);
    const std::uint32_t entries = shared + 16 + 8 * std::uint32_t(languages);
    table(2);
    entry(3, kSubdir | iconDir);
    entry(14, kSubdir | groupDir);
    table(1);
    entry(1, kSubdir | iconName);
    table(1);
    entry(0x0409, entries);  // the image's data entry
    table(std::size_t(groups));
    for (int g = 0; g < groups; ++g) entry(std::uint32_t(g + 1), kSubdir | shared);
    table(std::size_t(languages));
    for (int l = 0; l + 1 < languages; ++l) entry(0x1000 + std::uint32_t(l) % 0xE000, entries + 32);
    entry(0x0409, entries + 16);
    // Data entries: the image, the US English group, the group of every other language.
    const TBytes good = makeGroup({image}, {1}), other = makeGroup({image}, {2});
    const std::uint32_t data = entries + 48;
    const std::uint32_t at[] = {data, data + std::uint32_t(image.data.size()), data + std::uint32_t(image.data.size() + good.size())};
    const std::size_t sizes[] = {image.data.size(), good.size(), other.size()};
    for (int k = 0; k < 3; ++k) rs.U32(kRsrcRva + at[k]), rs.U32(std::uint32_t(sizes[k])), rs.U32(0), rs.U32(0);
    rs.Bytes(image.data);
    rs.Bytes(good);
    rs.Bytes(other);
    return peFileAround(rs, false, fileSize);
}

TBytes makeNeModule(const std::vector<NeResource>& resources, const std::vector<std::string>& names,
                   std::uint16_t alignShift) {
    std::vector<std::uint16_t> types;
    for (auto& r : resources)
        if (std::find(types.begin(), types.end(), r.typeId) == types.end()) types.push_back(r.typeId);
    TByteWriter f;
    f.U16(0x5A4D);
    f.Zeros(58);
    f.U16(64);
    f.U16(0);
    f.U16(0x454E);  // NE header at 64
    f.Zeros(0x22);
    f.U16(64);  // +0x24 resource table at 128
    const std::size_t namesField = f.Pos();
    f.U16(0);
    while (f.Pos() < 128) f.U8(0);
    f.U16(alignShift);
    std::vector<std::pair<std::size_t, std::size_t>> records;  // record pos, resource index
    std::vector<std::pair<std::size_t, int>> nameIdPatches;
    for (auto type : types) {
        std::size_t count = 0;
        for (auto& r : resources) count += r.typeId == type;
        f.U16(type);
        f.U16(std::uint16_t(count));
        f.U32(0);
        for (std::size_t i = 0; i < resources.size(); ++i) {
            if (resources[i].typeId != type) continue;
            records.emplace_back(f.Pos(), i);
            f.U32(0);
            f.U16(0x1C30);
            if (resources[i].nameIndex) nameIdPatches.emplace_back(f.Pos(), *resources[i].nameIndex);
            f.U16(resources[i].id);
            f.U32(0);
        }
    }
    f.U16(0);
    f.PatchU16(namesField, std::uint16_t(f.Pos() - 64));
    std::vector<std::size_t> namePos;
    for (auto& n : names) {
        namePos.push_back(f.Pos());
        f.U8(std::uint8_t(n.size()));
        f.Chars(n);
    }
    f.U8(0);
    for (auto& [at, k] : nameIdPatches) f.PatchU16(at, std::uint16_t(namePos.at(std::size_t(k)) - 128));
    const std::size_t unit = std::size_t(1) << alignShift;
    for (auto& [rec, idx] : records) {
        while (f.Pos() % unit) f.U8(0);
        const std::size_t start = f.Pos();
        f.Bytes(resources[idx].data);
        while (f.Pos() % unit) f.U8(0);
        f.PatchU16(rec, std::uint16_t(start >> alignShift));
        f.PatchU16(rec + 2, std::uint16_t((f.Pos() - start) >> alignShift));
    }
    return f.Take();
}

TBytes makeOverBudgetModule(bool ne) {
    const ImageSpec tiny{TBytes{0}, 16, 16, 0, 4};
    const TBytes group = makeGroup(std::vector<ImageSpec>(20000, tiny), std::vector<std::uint16_t>(20000, 1));
    if (ne) return makeNeModule({{0x8003, 0x8001, tiny.data}, {0x800E, 0x8001, group}}, {});
    return makePeModule({{3, 1, "", 0x0409, tiny.data}, {14, 1, "", 0x0409, group}});
}

void writeFile(const std::string& path, const TBytes& data) {
    std::ofstream o(path, std::ios::binary);
    o.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

}  // namespace gstest
