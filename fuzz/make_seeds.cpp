// Seeds for the fuzz targets, made by the test material builders over their whole range:
// icon files of every depth, PNG-compressed and 256-pixel images, PE32 and PE32+ modules
// with several groups and a version block, NE modules and an icon library written by the
// program's own writer, version blocks with string tables, and command lines.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/core/VersionBlockWriter.h"
#include "iconlib/IclWriter.h"
#include "iconlib/Icon.h"
#include "iconlib/PEResources.h"
#include "platform/ByteSource.h"
#include "support/IconMaker.h"

using namespace gstest;
namespace fs = std::filesystem;

namespace {

constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};

std::vector<ImageSpec> oneOfEachDepth(int size) {
    std::vector<ImageSpec> images;
    for (int depth : kDepths) images.push_back(dibSpec(size, depth, unsigned(depth)));
    return images;
}

void writeIcoSeeds(const fs::path& dir) {
    for (int depth : kDepths)
        writeFile((dir / ("depth" + std::to_string(depth) + ".ico")).string(),
                  makeIcoFile({dibSpec(16, depth), dibSpec(32, depth, 2), dibSpec(48, depth, 3)}));
    writeFile((dir / "png256.ico").string(), makeIcoFile({pngSpec(256, 256), dibSpec(32, 32), pngSpec(48, 48, 4)}));
    writeFile((dir / "dib256.ico").string(), makeIcoFile({dibSpec(256, 32, 5), dibSpec(16, 4)}));
    std::vector<ImageSpec> mixed = oneOfEachDepth(32);
    mixed.push_back(pngSpec(24, 16, 6));
    mixed.push_back(pngSpec(64, 64, 7));
    writeFile((dir / "mixed.ico").string(), makeIcoFile(mixed));
}

// Groups of several kinds: named and numbered, two languages, PNG and DIB images.
std::vector<PeResource> peResources() {
    const std::vector<ImageSpec> images = {dibSpec(16, 4), dibSpec(32, 8), dibSpec(48, 24), dibSpec(32, 16),
                                           pngSpec(256, 256), dibSpec(16, 1)};
    std::vector<PeResource> res;
    for (std::size_t i = 0; i < images.size(); ++i)
        res.push_back({gs::RT_ICON, std::uint16_t(i + 1), "", 0x0409, images[i].data});
    res.push_back({gs::RT_GROUP_ICON, std::nullopt, "MAINICON", 0x0409, makeGroup({images[0], images[4]}, {1, 5})});
    res.push_back({gs::RT_GROUP_ICON, 5, "", 0x0407, makeGroup({images[1], images[2], images[3]}, {2, 3, 4})});
    res.push_back({gs::RT_GROUP_ICON, 9, "", 0x0409, makeGroup({images[5]}, {6})});
    res.push_back({gs::RT_GROUP_ICON, std::nullopt, "Second", 0x0416, makeGroup(images, {1, 2, 3, 4, 5, 6})});
    gs::TVersionBlockContent version;
    version.fileVersion = {1, 2, 3, 4};
    version.translations = {{0x0409, 1252}};
    version.strings = {{"CompanyName", "Example"}, {"FileVersion", "1.2.3.4"}, {"LegalCopyright", "(c) test"}};
    res.push_back({gs::RT_VERSION, 1, "", 0x0409, gs::buildVersionBlock(version)});
    return res;
}

void writeNeSeeds(const fs::path& dir) {
    const std::vector<ImageSpec> images = {dibSpec(16, 4), dibSpec(32, 8), dibSpec(48, 24), dibSpec(32, 32)};
    std::vector<NeResource> ne;
    for (std::size_t i = 0; i < images.size(); ++i)
        ne.push_back({0x8003, std::uint16_t(0x8001 + i), images[i].data});
    ne.push_back({0x800E, 0x8001, makeGroup({images[0], images[1]}, {1, 2})});
    ne.push_back({0x800E, 0, makeGroup({images[1]}, {2}), 1});
    ne.push_back({0x800E, 0x8003, makeGroup(images, {1, 2, 3, 4})});
    writeFile((dir / "groups.icl").string(), makeNeModule(ne, {"ICL", "Named"}, 4));
    writeFile((dir / "shift9.icl").string(), makeNeModule(ne, {"ICL", "Named"}, 9));
    // An icon library as the program writes one, from icons of every depth and a PNG image.
    gs::TQBIconLibrary library;
    for (const auto& spec : {makeIcoFile(oneOfEachDepth(32)), makeIcoFile({pngSpec(256, 256), dibSpec(48, 8)})}) {
        gs::TMemorySource source(spec);
        auto icon = std::make_unique<gs::TQBIcon>();
        icon->LoadFromSource(source);
        library.Icons.AddIcon("Icon " + std::to_string(library.Icons.Count() + 1), std::move(icon));
    }
    writeFile((dir / "written.icl").string(), gs::TQB16BitWriter(library).Build());
}

// Shapes whose cost grows with their counts, for the module readers: groups all leading to
// one language directory of as many entries, and many groups naming one large image.
void writeManyGroupSeeds(const fs::path& root) {
    const ImageSpec large = dibSpec(64, 32, 9);
    const gs::TBytes group = makeGroup({large}, {1});
    std::vector<PeResource> pe = {{gs::RT_ICON, 1, "", 0x0409, large.data}};
    std::vector<NeResource> ne = {{0x8003, 0x8001, large.data}};
    for (int g = 0; g < 300; ++g) {
        pe.push_back({gs::RT_GROUP_ICON, std::uint16_t(g + 1), "", 0x0409, group});
        ne.push_back({0x800E, std::uint16_t(0x8001 + g), group});
    }
    const std::pair<std::string, gs::TBytes> seeds[] = {
        {"pe/shared-language.dll", makePeSharedLanguages(2000, 2000, dibSpec(16, 4))},
        {"pe/one-large-image.dll", makePeModule(pe)},
        {"ne/one-large-image.icl", makeNeModule(ne, {}, 4)}};
    for (const auto& [name, data] : seeds) {
        writeFile((root / name).string(), data);
        writeFile((root / "module" / fs::path(name).filename()).string(), data);
    }
}

void writeVersionSeeds(const fs::path& dir) {
    writeFile((dir / "empty.bin").string(), gs::buildVersionBlock(gs::TVersionBlockContent{}));
    gs::TVersionBlockContent full;
    full.fileVersion = {5, 6, 7, 8};
    full.productVersion = {5, 6, 0, 0};
    full.translations = {{0x0409, 1252}, {0x0416, 1252}};
    full.strings = {{"CompanyName", "Veltrazone"}, {"FileDescription", "Descri\xC3\xA7\xC3\xA3o"},
                    {"InternalName", "x"}, {"LegalCopyright", "\xC2\xA9 2026"}, {"ProductName", "P"}};
    writeFile((dir / "strings.bin").string(), gs::buildVersionBlock(full));
}

// Arguments one to a line.
void writeCmdlineSeeds(const fs::path& dir) {
    const char* lines[] = {
        "/XBS:src/*.dll,out", "/XB:src/*.*,out,BMP,32,FALSE", "/XBS:a b/x?.exe,c d,TIF,16,TRUE",
        "/XB:icons/*.ICO,out,GIF,48", "/XBS:,", "/X:folder", "/X:file.ico", "plain\nsecond", "/XBS:x,y,JPG,7,no,extra",
    };
    int n = 0;
    for (const char* line : lines) {
        const std::string text = line;
        writeFile((dir / ("args" + std::to_string(++n) + ".txt")).string(), gs::TBytes(text.begin(), text.end()));
    }
}

gs::TBytes readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return gs::TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each seed of `from` again in `to`, after a first byte of each value in `picks`.
void copyWithPick(const fs::path& from, const fs::path& to, std::initializer_list<std::uint8_t> picks) {
    fs::create_directories(to);
    for (const auto& e : fs::directory_iterator(from))
        for (std::uint8_t pick : picks) {
            gs::TBytes bytes = readBytes(e.path());
            bytes.insert(bytes.begin(), pick);
            writeFile((to / (std::to_string(pick) + e.path().filename().string())).string(), bytes);
        }
}

// Seeds of the targets that take another target's files: the export road (a choice byte,
// then an icon file or a module), modules opened by group name, a GIF shown, a picture
// loaded by extension; and the tip file and the settings store.
void writeRoadSeeds(const fs::path& root) {
    // Every size with and without re-rendering, all sizes whole or as the preview, with and
    // without transparency.
    copyWithPick(root / "ico", root / "export", {0, 1, 2 | 4, 3 | 4 | 16, 8, 8 | 4 | 16});
    copyWithPick(root / "pe", root / "export", {1, 8 | 4});
    copyWithPick(root / "ne", root / "export", {2, 3 | 4 | 16});
    fs::create_directories(root / "module");
    fs::create_directories(root / "gifrender");
    for (const char* d : {"pe", "ne"})
        for (const auto& e : fs::directory_iterator(root / d)) fs::copy_file(e.path(), root / "module" / e.path().filename());
    for (const auto& e : fs::directory_iterator(root / "gif"))
        fs::copy_file(e.path(), root / "gifrender" / e.path().filename());
    copyWithPick(root / "gif", root / "picture", {0, 1, 3, 4});
    fs::create_directories(root / "tips");
    const std::string tips[] = {"First tip\r\nSecond tip\r\n", "one\ntwo\rthree\r\n\nfive", "", "\r\r\n\n"};
    for (std::size_t i = 0; i < std::size(tips); ++i)
        writeFile((root / "tips" / ("tips" + std::to_string(i) + ".txt")).string(), gs::TBytes(tips[i].begin(), tips[i].end()));
    // Records: op (0 option, 1 list value, 2 favourite), value type, then the fields, each
    // text after its length byte.
    fs::create_directories(root / "store");
    const gs::TBytes store[] = {
        {0, 2, 14, 4, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 1, 'x', 0, 3, 3, 2, 'a', 'b'},
        {1, 0, 30, 4, '.', 'i', 'c', 'o', 0, 1, 0, 4, '.', 'd', 'l', 'l', 0},
        {2, 0, 0, 4, 'H', 'o', 'm', 'e', 4, '/', 't', 'm', 'p', 2, 1, 3, 'A', '\\', 'B', 1, 'n', 1, '/',
         2, 2, 1, 'a', 1, 'N', 0},
    };
    for (std::size_t i = 0; i < std::size(store); ++i)
        writeFile((root / "store" / ("store" + std::to_string(i) + ".bin")).string(), store[i]);
}

}  // namespace

// The image codecs' seeds (codec_seeds.cpp).
void writeCodecSeeds(const std::filesystem::path& root);

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path root = argv[1];
    for (const char* d : {"ico", "pe", "ne", "version", "cmdline"}) fs::create_directories(root / d);
    writeIcoSeeds(root / "ico");
    writeFile((root / "pe" / "pe32.dll").string(), makePeModule(peResources()));
    writeFile((root / "pe" / "pe64.dll").string(), makePeModule(peResources(), true));
    writeNeSeeds(root / "ne");
    writeVersionSeeds(root / "version");
    writeCmdlineSeeds(root / "cmdline");
    // The whole reading road takes every kind of file.
    fs::create_directories(root / "file");
    for (const char* d : {"ico", "pe", "ne"})
        for (const auto& e : fs::directory_iterator(root / d)) fs::copy_file(e.path(), root / "file" / e.path().filename());
    writeCodecSeeds(root);
    writeRoadSeeds(root);
    // After the roads' copies: the export and whole-file targets write or draw every icon.
    writeManyGroupSeeds(root);
    return 0;
}
