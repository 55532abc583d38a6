// Writes the hostile files of bench/hostile_files.sh, one a folder, each small on disk and
// made to cost a reader much: modules whose many icon groups all name one large image,
// a sparse 2 GB module with one huge icon, an icon file of PNG images declaring 4096 x 4096,
// a GIF asking for a 20000 x 20000 screen in 35 bytes, an animated cursor of 30,000 frames;
// a module of 60,000 icon groups all leading to one language directory of 60,000 entries, a
// module of 50,000 groups naming one 4 MB image, an icon file cut after its header, modules
// and an icon library naming more than their read budget; and, within every bound, an icon
// file of 60 solid 1024 x 1024 PNGs and a module of 200 groups each naming its own copy of one.
//
//   bench_hostile_files DIR           writes them
//   bench_hostile_files --list FILE   lists FILE's icons as the main window's scan does
//                                     (its definitions and list pictures, kept), and says
//                                     how many
//   bench_hostile_files --select FILE lists FILE, then selects its first icon as the main
//                                     window's preview does: the icon read again, its
//                                     preview lines with their pictures, kept, and the
//                                     preview bitmap of the copy and save commands
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/core/ExtractThread.h"
#include "app/core/ListWork.h"
#include "app/core/Options.h"
#include "iconlib/IconChoice.h"
#include "iconlib/IconPicture.h"
#include "iconlib/ModuleFormat.h"
#include "platform/ByteWriter.h"
#include "support/CodecMaker.h"
#include "support/IconMaker.h"

using namespace gstest;
namespace fs = std::filesystem;

namespace {

void put(const fs::path& dir, const std::string& name, const TBytes& data) {
    fs::create_directories(dir);
    writeFile((dir / name).string(), data);
}

// A 1024 x 1024 picture as PNG: 4 MB once decoded, some hundred kilobytes on disk.
ImageSpec largeImage() {
    ImageSpec spec = pngSpec(1024, 1024, 7);
    spec.width = spec.height = 0;  // the directory's 256
    return spec;
}

// `groups` icon groups, every one naming the same single image.
TBytes peSharedImage(int groups) {
    const ImageSpec image = largeImage();
    std::vector<PeResource> res{{gs::RT_ICON, 1, "", 0x0409, image.data}};
    const TBytes group = makeGroup({image}, {1});
    for (int g = 0; g < groups; ++g) res.push_back({gs::RT_GROUP_ICON, std::uint16_t(100 + g), "", 0x0409, group});
    return makePeModule(res);
}

TBytes neSharedImage(int groups) {
    const ImageSpec image = largeImage();
    std::vector<NeResource> res{{0x8003, 0x8001, image.data}};
    const TBytes group = makeGroup({image}, {1});
    for (int g = 0; g < groups; ++g) res.push_back({0x800E, std::uint16_t(0x8001 + g), group});
    return makeNeModule(res, {"HOSTILE"}, 9);
}

void patch32(TBytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}
std::uint32_t read32(const TBytes& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

// One icon whose image says 23170 x 23170 at 32 bits (2 GB of pixels), in a module whose
// resource section, and the image's resource, reach to the end of a 2 GB file that is all
// hole past its first kilobytes. Every size the reader checks against the file is honest.
void writeSparseModule(const fs::path& dir) {
    constexpr std::uint32_t kFileSize = 0x7FFF0000u;
    constexpr std::int32_t kSide = 23170;
    gs::TByteWriter dib;
    for (std::uint32_t v : {40u, std::uint32_t(kSide), std::uint32_t(2 * kSide)}) dib.U32(v);
    dib.U16(1);
    dib.U16(32);
    for (int i = 0; i < 6; ++i) dib.U32(0);
    ImageSpec image{dib.Take(), 0, 0, 0, 32};
    TBytes module = makePeModule({{gs::RT_ICON, 1, "", 0x0409, image.data},
                                 {gs::RT_GROUP_ICON, 1, "", 0x0409, makeGroup({image}, {1})}});
    // The builder lays out one section, .rsrc, at file offset 0x200 and address 0x1000; its
    // header follows the PE32 optional header, and the data entries hold (address, size).
    constexpr std::size_t kOptional = 0x40 + 24, kSection = kOptional + 224, kSectionFile = 0x200;
    constexpr std::uint32_t kSectionRva = 0x1000;
    const std::uint32_t sectionSize = kFileSize - std::uint32_t(kSectionFile);
    for (std::size_t at = kSectionFile; at + 8 <= module.size(); at += 4) {
        const std::uint32_t rva = read32(module, at), size = read32(module, at + 4);
        if (size != 40 || rva < kSectionRva || rva - kSectionRva + kSectionFile + 40 > module.size()) continue;
        if (read32(module, rva - kSectionRva + kSectionFile) != 40) continue;
        patch32(module, at + 4, kFileSize - (rva - kSectionRva + std::uint32_t(kSectionFile)));
        break;
    }
    patch32(module, kOptional + 56, kSectionRva + sectionSize);  // the image's size
    patch32(module, kOptional + 96 + 2 * 8 + 4, sectionSize);    // the resource directory's
    patch32(module, kSection + 8, sectionSize);
    patch32(module, kSection + 16, sectionSize);
    put(dir, "sparse.dll", module);
    if (truncate((dir / "sparse.dll").c_str(), off_t(kFileSize)) != 0) std::perror("truncate");
}

// 60 PNG images of 4096 x 4096 of one colour: 64 MB each once decoded, 60 KB each on disk.
TBytes icoOfLargePngs() {
    gs::TRaster picture(4096, 4096);
    picture.Fill(gs::makeArgb(40, 90, 160));
    ImageSpec png{makePngImage(picture), 0, 0, 0, 32};
    return makeIcoFile(std::vector<ImageSpec>(60, png));
}

// One colour over 1024 x 1024, the largest side decoded: 4 MB of pixels from 4 KB of PNG.
ImageSpec solidLargePng() {
    gs::TRaster picture(1024, 1024);
    picture.Fill(gs::makeArgb(160, 90, 40));
    return ImageSpec{makePngImage(picture), 0, 0, 0, 32};
}

// `groups` icon groups, each naming an image of its own, all of them the same solid picture:
// nothing is shared, every group's image is decoded.
TBytes peCopiedImage(int groups) {
    const ImageSpec image = solidLargePng();
    std::vector<PeResource> res;
    for (int g = 0; g < groups; ++g) {
        res.push_back({gs::RT_ICON, std::uint16_t(1 + g), "", 0x0409, image.data});
        res.push_back({gs::RT_GROUP_ICON, std::uint16_t(1000 + g), "", 0x0409, makeGroup({image}, {std::uint16_t(1 + g)})});
    }
    return makePeModule(res);
}

// `groups` groups naming one 1024 x 1024 32-bit DIB (4 MB): each icon is within the file's
// size, all of them written out are thousands of times it.
TBytes peGroupsOfOneBigImage(int groups) {
    const ImageSpec image = dibSpec(1024, 32, 3);
    std::vector<PeResource> res{{gs::RT_ICON, 1, "", 0x0409, image.data}};
    const TBytes group = makeGroup({image}, {1});
    for (int g = 0; g < groups; ++g) res.push_back({gs::RT_GROUP_ICON, std::uint16_t(1 + g), "", 0x0409, group});
    return makePeModule(res);
}

// A 1 x 1 frame on a screen of 20000 x 20000.
TBytes gifOfHugeScreen() {
    return {'G', 'I', 'F', '8', '9', 'a', 0x20, 0x4E, 0x20, 0x4E, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
            0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
}

// What the window keeps of a listing: every definition with its two pictures.
struct KeepingSink : gs::IIconSink {
    gs::TIconBatch kept;
    std::string failure;
    void ResetIconList() override { kept.clear(); }
    int AddIcons(gs::TIconBatch batch) override {
        for (auto& def : batch) kept.push_back(std::move(def));
        return int(kept.size());
    }
    void FileFailed(const fs::path&, const std::string& error) override { failure = error; }
};

int listFile(const char* file, KeepingSink& sink) {
    gs::TExtractFromFileThread job(file, gs::TExtractSettings::FromOptions(gs::TKAVUOptions()));
    const gs::TJobEnd end = job.Execute(sink, {});
    std::printf("%zu icons listed%s%s\n", sink.kept.size(), sink.failure.empty() ? "" : "; failed: ",
                sink.failure.c_str());
    return end.Kind == gs::TJobEnd::TKind::Done ? 0 : 1;
}

int selectFirst(const char* file) {
    KeepingSink sink;
    if (listFile(file, sink) != 0 || sink.kept.empty()) return 1;
    const gs::TQBIcon& icon = sink.kept.front()->GetIcon();
    const std::vector<gs::TPreviewLine> lines = gs::PreviewLines(icon);
    std::size_t pixels = 0;
    for (const gs::TPreviewLine& line : lines) {
        if (line.Picture) pixels += line.Picture->colour.size();
        std::printf("%s%s\n", line.Text.c_str(), line.Picture ? "" : " (blank)");
    }
    const auto bitmap = gs::GetPreviewBitmap(icon);
    std::printf("%zu preview lines of %zu pixels; preview bitmap %d x %d\n", lines.size(), pixels,
                bitmap ? bitmap->Width() : 0, bitmap ? bitmap->Height() : 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--list") {
        KeepingSink sink;
        return listFile(argv[2], sink);
    }
    if (argc == 3 && std::string(argv[1]) == "--select") return selectFirst(argv[2]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_hostile_files DIR | --list FILE | --select FILE\n");
        return 2;
    }
    const fs::path root = argv[1];
    put(root / "pe-shared-200", "shared.dll", peSharedImage(200));
    put(root / "pe-shared-600", "shared.dll", peSharedImage(600));
    put(root / "ne-shared-200", "shared.icl", neSharedImage(200));
    put(root / "ne-shared-600", "shared.icl", neSharedImage(600));
    writeSparseModule(root / "sparse-2gb");
    put(root / "ico-60-png-4096", "large.ico", icoOfLargePngs());
    put(root / "ico-60-png-1024", "solid.ico", makeIcoFile(std::vector<ImageSpec>(60, solidLargePng())));
    put(root / "ico-600-png-1024", "solid.ico", makeIcoFile(std::vector<ImageSpec>(600, solidLargePng())));
    put(root / "pe-copies-200", "copies.dll", peCopiedImage(200));
    put(root / "gif-screen-20000", "screen.gif", gifOfHugeScreen());
    put(root / "ani-30000-frames", "long.ani", longAnimatedCursor(30000));
    put(root / "pe-shared-language", "languages.dll", makePeSharedLanguages(60000, 60000, dibSpec(32, 32), 8u << 20));
    put(root / "pe-50000-groups-4mb", "big.dll", peGroupsOfOneBigImage(50000));
    put(root / "ico-truncated", "cut.ico", TBytes{0, 0, 1, 0, 1, 0});
    put(root / "pe-over-budget", "over.dll", makeOverBudgetModule(false));
    put(root / "ne-over-budget", "over.exe", makeOverBudgetModule(true));
    put(root / "icl-over-budget", "over.icl", makeOverBudgetModule(true));
    return 0;
}
