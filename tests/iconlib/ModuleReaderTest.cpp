// Reading icon libraries from modules: PE32 and PE32+ resource directories, NE resource
// tables, names, language choice, the icon-count gate and damaged files.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "iconlib/IconLibrary.h"
#include "iconlib/NEReader.h"
#include "platform/ByteReader.h"
#include "platform/Errors.h"
#include "support/HeldBytes.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

using namespace gs;
using namespace gstest;
namespace fs = std::filesystem;

namespace {
struct ModuleDir : gstest::TempDir {
    std::string file(const std::string& name, const TBytes& data) const {
        std::string p = (path / name).string();
        writeFile(p, data);
        return p;
    }
};

std::vector<std::string> names(const TQBIconLibrary& lib) {
    std::vector<std::string> out;
    for (int i = 0; i < lib.Icons.Count(); ++i) out.push_back(lib.Icons.Name(i));
    return out;
}

// Three groups: ids 1 and 2 and "MAINICON", each with two images, in English.
std::vector<PeResource> threeGroups() {
    std::vector<PeResource> res;
    std::uint16_t iconId = 1;
    auto addGroup = [&](std::optional<std::uint16_t> id, std::string name, unsigned seed) {
        auto a = dibSpec(16, 4, seed), b = dibSpec(32, 32, seed);
        res.push_back({RT_ICON, iconId, "", 0x0409, a.data});
        res.push_back({RT_ICON, std::uint16_t(iconId + 1), "", 0x0409, b.data});
        res.push_back({RT_GROUP_ICON, id, name, 0x0409, makeGroup({a, b}, {iconId, std::uint16_t(iconId + 1)})});
        iconId += 2;
    };
    addGroup(2, "", 1);
    addGroup(std::nullopt, "MAINICON", 2);
    addGroup(1, "", 3);
    return res;
}
}  // namespace

TEST(PeReader, ListsNamedGroupsFirstThenIdsAscendingInBothWidths) {
    for (bool plus : {false, true}) {
        ModuleDir d;
        auto path = d.file("m.dll", makePeModule(threeGroups(), plus));
        EXPECT_EQ(GetIconCount(path), 3);
        TQBIconLibrary lib;
        EXPECT_EQ(lib.LoadFromFile(path), TLoadResult::Read);
        EXPECT_EQ(names(lib), (std::vector<std::string>{"MAINICON", "1", "2"}));
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(lib.Icons.GetIcon(i)->Images().Count(), 2);
            EXPECT_EQ(lib.Icons.GetIcon(i)->Images().GetImage(1)->Width(), 32);
        }
        // The images are the module's own data: group 1 holds seed 3's pictures.
        EXPECT_EQ(lib.Icons.GetIcon(1)->Images().GetImage(0)->Data(), dibSpec(16, 4, 3).data);
    }
}

TEST(PeReader, NeutralRequestPrefersNeutralThenUsEnglishThenFirst) {
    auto make = [](std::vector<std::uint16_t> langs) {
        std::vector<PeResource> res;
        std::uint16_t id = 1;
        for (auto lang : langs) {
            auto img = dibSpec(16 + 16 * (id - 1), 8);
            res.push_back({RT_ICON, id, "", lang, img.data});
            res.push_back({RT_GROUP_ICON, 7, "", lang, makeGroup({img}, {id})});
            ++id;
        }
        return makePeModule(res);
    };
    struct Case {
        std::vector<std::uint16_t> langs;
        int expectedWidth;
    } cases[] = {{{0x0407, 0x0409, 0x0000}, 48}, {{0x0407, 0x0409}, 32}, {{0x0407, 0x040C}, 16}};
    for (auto& c : cases) {
        ModuleDir d;
        TQBIconLibrary lib;
        lib.LoadFromFile(d.file("l.dll", make(c.langs)));
        ASSERT_EQ(lib.Icons.Count(), 1);  // each name once whatever its languages
        EXPECT_EQ(lib.Icons.GetIcon(0)->Images().GetImage(0)->Width(), c.expectedWidth);
    }
}

TEST(PeReader, GroupsSharingOneLanguageDirectoryEachTakeItsPreferredLanguage) {
    // 3,000 groups leading to one directory of 3,000 languages, US English listed last: the
    // choice is made once for the directory, and every group gets that language's images.
    const auto img = dibSpec(16, 4, 5);
    ModuleDir d;
    TQBIconLibrary lib;
    ASSERT_EQ(lib.LoadFromFile(d.file("shared.dll", makePeSharedLanguages(3000, 3000, img))), TLoadResult::Read);
    ASSERT_EQ(lib.Icons.Count(), 3000);
    for (int i : {0, 1499, 2999}) {
        EXPECT_EQ(lib.Icons.Name(i), std::to_string(i + 1));
        ASSERT_EQ(lib.Icons.GetIcon(i)->Images().Count(), 1) << i;
        EXPECT_EQ(lib.Icons.GetIcon(i)->Images().GetImage(0)->Data(), img.data) << i;
    }
}

TEST(PeReader, MissingIconImageIsSkippedAndGroupStays) {
    auto a = dibSpec(16, 4), b = dibSpec(32, 4);
    std::vector<PeResource> res = {{RT_ICON, 1, "", 0x0409, a.data},
                                   {RT_GROUP_ICON, 1, "", 0x0409, makeGroup({a, b}, {1, 99})}};
    ModuleDir d;
    TQBIconLibrary lib;
    lib.LoadFromFile(d.file("m.exe", makePeModule(res)));
    ASSERT_EQ(lib.Icons.Count(), 1);
    EXPECT_EQ(lib.Icons.GetIcon(0)->Images().Count(), 1);
}

TEST(IconLibrary, ModulesReplaceIconFilesAppendAndIconlessFilesChangeNothing) {
    ModuleDir d;
    auto ico = d.file("a.ico", makeIcoFile({dibSpec(32, 4)}));
    auto ico2 = d.file("b.ico", makeIcoFile({dibSpec(16, 4)}));
    auto empty = d.file("e.ico", makeIcoFile({}));
    auto data = d.file("x.txt", TBytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
    auto noIcons = d.file("n.dll", makePeModule({{16, 1, "", 0x0409, TBytes{1, 2, 3, 4}}}));
    TQBIconLibrary lib;
    EXPECT_EQ(lib.LoadFromFile(ico), TLoadResult::Read);
    EXPECT_EQ(lib.LoadFromFile(ico2), TLoadResult::Read);
    EXPECT_EQ(names(lib), (std::vector<std::string>{"Icon 1", "Icon 2"}));
    for (const auto& f : {empty, data, noIcons}) {
        EXPECT_EQ(GetIconCount(f), 0) << f;
        EXPECT_EQ(lib.LoadFromFile(f), TLoadResult::NoIcons) << f;
    }
    EXPECT_EQ(lib.FileName, ico2);
    EXPECT_EQ(lib.Icons.Count(), 2);
    EXPECT_EQ(lib.LoadFromFile(d.file("m.dll", makePeModule(threeGroups()))), TLoadResult::Read);
    EXPECT_EQ(lib.Icons.Count(), 3);
    EXPECT_THROW(lib.LoadFromFile(d.path / "missing.ico"), EFOpenError);
    EXPECT_THROW(lib.LoadFromFile(d.path), EFOpenError);
    EXPECT_EQ(GetIconCount(d.path), 0);
}

TEST(IconLibrary, MzFileWithOtherNewHeaderIsTriedAsIconFile) {
    TBytes mz(256, 0);
    mz[0] = 'M', mz[1] = 'Z', mz[60] = 128, mz[128] = 'L', mz[129] = 'E';
    ModuleDir d;
    EXPECT_EQ(GetIconCount(d.file("le.exe", mz)), 0);
    EXPECT_EQ(ProbeModule(TMemorySource(mz)), TModuleKind::None);
}

namespace {
// An NE module with `groups` icon groups of one 32x32 image each.
TBytes neModule(int groups, const std::vector<std::string>& names, bool extraNamedType = false,
               std::uint16_t shift = 4) {
    std::vector<NeResource> res;
    std::vector<ImageSpec> specs;
    for (int i = 0; i < groups; ++i) specs.push_back(dibSpec(32, 4, unsigned(i)));
    for (int i = 0; i < groups; ++i) res.push_back({0x8003, std::uint16_t(0x8000 | (i + 1)), specs[std::size_t(i)].data});
    for (int i = 0; i < groups; ++i)
        res.push_back({0x800E, std::uint16_t(0x8000 | (i + 1)), makeGroup({specs[std::size_t(i)]}, {std::uint16_t(i + 1)})});
    if (extraNamedType) res.push_back({0x0003, 0x8001, TBytes{1, 2, 3}});
    return makeNeModule(res, names, shift);
}
}  // namespace

TEST(NeReader, SequentialNamesOnlyWhenTheyMatchTheGroups) {
    ModuleDir d;
    TQBIconLibrary lib;
    lib.LoadFromFile(d.file("shell.dll", neModule(3, {"Only"})));
    EXPECT_EQ(names(lib), (std::vector<std::string>{"shell 001", "shell 002", "shell 003"}));
    TQBIconLibrary named;
    named.LoadFromFile(d.file("lib.icl", neModule(2, {"ICL", "Folder", "Disk"})));
    EXPECT_EQ(names(named), (std::vector<std::string>{"Folder", "Disk"}));
    EXPECT_EQ(GetIconCount(d.path / "lib.icl"), 2);
    ASSERT_EQ(named.Icons.GetIcon(1)->Images().Count(), 1);
    // The data block carries alignment padding; the image keeps just its own bytes.
    EXPECT_EQ(named.Icons.GetIcon(1)->Images().GetImage(0)->Data(), dibSpec(32, 4, 1).data);
    // A module whose string area starts with a named type's name must not give it to an icon.
    TQBIconLibrary typed;
    typed.LoadFromFile(d.file("app.exe", neModule(1, {"TYPENAME"}, true)));
    EXPECT_EQ(names(typed), (std::vector<std::string>{"app 001"}));
}

TEST(NeReader, GroupWithNameIdTakesItsOwnStringInWindows1252) {
    auto img = dibSpec(16, 4);
    std::vector<NeResource> res = {{0x8003, 0x8001, img.data},
                                   {0x800E, 0, makeGroup({img}, {1}), 1},
                                   {0x800E, 0x8002, makeGroup({img}, {1})}};
    ModuleDir d;
    TQBIconLibrary lib;
    lib.LoadFromFile(d.file("prog.exe", makeNeModule(res, {"prog", "Caf\xE9"})));
    EXPECT_EQ(names(lib), (std::vector<std::string>{"Caf\xC3\xA9", "prog 002"}));
}

TEST(NeReader, DamagedTablesYieldNothing) {
    ModuleDir d;
    struct Case {
        const char* what;
        TBytes data;
    };
    TBytes lowOffset = neModule(1, {});
    lowOffset[60] = 10;
    TBytes noIconType = makeNeModule({{0x800E, 0x8001, makeGroup({dibSpec(16, 4)}, {1})}}, {});
    TBytes bigShift = neModule(1, {});
    bigShift[128] = 16;
    TBytes cut = neModule(2, {});
    cut.resize(cut.size() - 100);
    TBytes noResources = neModule(1, {});
    noResources[64 + 0x24] = 0;
    for (auto& c : {Case{"offset", lowOffset}, Case{"no icon type", noIconType}, Case{"shift", bigShift},
                    Case{"cut", cut}, Case{"no resources", noResources}}) {
        auto path = d.file("bad.icl", c.data);
        TQB16BitReader reader(path);
        EXPECT_FALSE(reader.Read() && reader.Icons.Count() == 2) << c.what;
        TQBIconLibrary lib;
        EXPECT_NO_THROW(lib.LoadFromFile(path)) << c.what;
    }
    // A group whose image record is missing keeps the group, without that image.
    auto img = dibSpec(16, 4);
    auto path = d.file("m.icl", makeNeModule({{0x8003, 0x8001, img.data}, {0x800E, 0x8001, makeGroup({img, img}, {1, 5})}}, {}));
    TQBIconLibrary lib;
    lib.LoadFromFile(path);
    ASSERT_EQ(lib.Icons.Count(), 1);
    EXPECT_EQ(lib.Icons.GetIcon(0)->Images().Count(), 1);
}

// The image bytes the library holds, each shared block once.
std::uint64_t imageBytes(const TQBIconLibrary& lib) {
    std::vector<const TQBIcon*> icons;
    for (int k = 0; k < lib.Icons.Count(); ++k) icons.push_back(lib.Icons.GetIcon(k));
    return heldBytes(icons);
}

TEST(Readers, GroupsRepeatingOneImageNeverTakeMoreThanTheModule) {
    // A group naming one image thousands of times would read it once per entry.
    const auto img = dibSpec(48, 32);
    const std::vector<ImageSpec> specs(3000, img);
    const std::vector<std::uint16_t> ids(3000, 1);
    ModuleDir d;
    const TBytes pe = makePeModule({{RT_ICON, 1, "", 0x0409, img.data}, {RT_GROUP_ICON, 1, "", 0x0409, makeGroup(specs, ids)}});
    const TBytes ne = makeNeModule({{0x8003, 0x8001, img.data}, {0x800E, 0x8001, makeGroup(specs, ids)}}, {});
    for (const auto& [name, data] : {std::pair{"m.dll", pe}, std::pair{"m.icl", ne}}) {
        TQBIconLibrary lib;
        lib.LoadFromFile(d.file(name, data));
        ASSERT_EQ(lib.Icons.Count(), 1) << name;
        EXPECT_GE(lib.Icons.GetIcon(0)->Images().Count(), 1) << name;
        EXPECT_LE(imageBytes(lib), data.size()) << name;
    }
}

TEST(PeReader, DirectoryNamingOneLongStringOverAndOverIsRefused) {
    // Thousands of entries made to name the same long string would each copy it.
    const auto img = dibSpec(16, 4);
    std::vector<PeResource> res = {{RT_ICON, 1, "", 0x0409, img.data},
                                   {RT_GROUP_ICON, std::nullopt, std::string(20000, 'A'), 0x0409, makeGroup({img}, {1})}};
    constexpr int kShort = 3000;
    for (int i = 0; i < kShort; ++i)
        res.push_back({RT_GROUP_ICON, std::nullopt, "B" + std::to_string(10000 + i), 0x0409, makeGroup({img}, {1})});
    TBytes file = makePeModule(res);
    TMemorySource whole(file);
    TByteReader r(whole);
    std::uint64_t dir = 0;
    while (!(r.U16At(dir + 12) == kShort + 1 && r.U16At(dir + 14) == 0)) ++dir;
    for (int i = 1; i <= kShort; ++i)
        for (int b = 0; b < 4; ++b) file[dir + 16 + 8 * i + b] = file[dir + 16 + b];
    TPeModule module(std::make_shared<TMemorySource>(file));
    EXPECT_THROW(module.names(RT_GROUP_ICON), EReadError);
}

TEST(Readers, RandomDamageNeverCrashes) {
    // Flip bytes and cut files of every kind; every outcome but a crash or hang is fine.
    ModuleDir d;
    std::mt19937 rng(7);
    const TBytes originals[] = {makePeModule(threeGroups()), makePeModule(threeGroups(), true), neModule(3, {"a", "b", "c"}),
                               makeIcoFile({dibSpec(16, 4), pngSpec(32, 32)})};
    for (const TBytes& orig : originals) {
        for (int round = 0; round < 150; ++round) {
            TBytes b = orig;
            int flips = 1 + int(rng() % 8);
            for (int k = 0; k < flips; ++k) b[rng() % b.size()] = std::uint8_t(rng());
            if (round % 5 == 0) b.resize(rng() % b.size());
            auto path = d.file("f.bin", b);
            TQBIconLibrary lib;
            try {
                lib.LoadFromFile(path);
            } catch (const std::exception&) {
            }
            ReadFirstIcon(path);  // never raises
            for (int i = 0; i < lib.Icons.Count(); ++i)
                for (std::uint16_t k = 0; k < lib.Icons.GetIcon(i)->Images().Count(); ++k) {
                    const TQBIconImage* im = lib.Icons.GetIcon(i)->Images().GetImage(k);
                    EXPECT_EQ(im->BytesInRes(), im->Data().size());
                    im->GetHandle();
                }
        }
    }
}

TEST(PeReader, OverlappingDirectoriesAreReadNoMoreThanTheFileHolds) {
    // 300 groups whose language directories start 8 bytes apart in one run of entries:
    // each, read as a directory, claims 32,756 entries, all naming one small valid group.
    TBytes module = makePeModule({{10, 1, "", 0x0409, TBytes(400000, 0)}});
    const std::size_t rsrc = 0x200, run = 0x4000, runEnd = 0x46000, entry = 0x47FF0, group = 0x48000;
    auto put16 = [&](std::size_t at, std::uint16_t v) { module[at] = std::uint8_t(v), module[at + 1] = std::uint8_t(v >> 8); };
    auto put32 = [&](std::size_t at, std::uint32_t v) { put16(at, std::uint16_t(v)), put16(at + 2, std::uint16_t(v >> 16)); };
    std::fill(module.begin() + long(rsrc), module.begin() + long(rsrc + 0x50000), 0);
    put16(rsrc + 14, 1);  // root: one type
    put32(rsrc + 16, RT_GROUP_ICON);
    put32(rsrc + 20, 0x80000000u | 0x18);
    const int names = 300;
    put16(rsrc + 0x18 + 14, names);
    for (int i = 0; i < names; ++i) {
        put32(rsrc + 0x28 + 8 * std::size_t(i), std::uint32_t(i + 1));
        put32(rsrc + 0x2C + 8 * std::size_t(i), 0x80000000u | std::uint32_t(run + 8 * std::size_t(i)));
    }
    for (std::size_t at = run; at < runEnd; at += 8) {
        put32(rsrc + at, 0x0409);
        put32(rsrc + at + 4, std::uint32_t(entry));  // also read as counts: 0x7FF0 + 4
    }
    put32(rsrc + entry, std::uint32_t(0x1000 + group));
    put32(rsrc + entry + 4, 6);
    put16(rsrc + group + 4, 1);  // group header 0, 1, 0: no images
    ModuleDir d;
    TQBIconLibrary lib;
    EXPECT_THROW(lib.LoadFromFile(d.file("overlap.dll", module)), EReadError);
}

namespace {
// Groups whose images are large enough that half of the module holds only some of them.
std::vector<PeResource> bigGroups(int groups) {
    std::vector<PeResource> res;
    for (int g = 0; g < groups; ++g) {
        auto a = dibSpec(48, 32, unsigned(g + 1));
        const auto id = std::uint16_t(g + 1);
        res.push_back({RT_ICON, id, "", 0x0409, a.data});
        res.push_back({RT_GROUP_ICON, id, "", 0x0409, makeGroup({a}, {id})});
    }
    return res;
}
}  // namespace

TEST(ModuleReading, AFileCutToHalfWhileItsReaderHoldsItGivesTheReadError) {
    ModuleDir d;
    const auto pe = d.file("m.dll", makePeModule(bigGroups(6)));
    auto module = TPeModule::open(pe);
    ASSERT_EQ(module->names(RT_GROUP_ICON).size(), 6u);
    fs::resize_file(pe, fs::file_size(pe) / 2);
    int failed = 0;
    for (const TResourceName& name : module->names(RT_GROUP_ICON)) {
        TQBIcon icon;
        try {
            icon.LoadFromResource(*module, name);
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find("changed while it was read"), std::string::npos) << e.what();
            ++failed;
        }
    }
    EXPECT_GT(failed, 0);

    const auto ne = d.file("m.icl", makeNeModule({{0x8003, 0x8001, dibSpec(48, 32).data},
                                                   {0x800E, 0x8001, makeGroup({dibSpec(48, 32)}, {1})}},
                                                  {}));
    TQB16BitReader reader(ne);
    ASSERT_EQ(reader.ReadTables(), 1);
    fs::resize_file(ne, fs::file_size(ne) / 2);
    EXPECT_FALSE(reader.Read());
    EXPECT_FALSE(reader.FailureReason().empty());
}

TEST(ModuleReading, IconDataIsTheResourceAsReadWhateverHappensToTheFileAfterwards) {
    ModuleDir d;
    auto groups = bigGroups(2);
    const auto pe = d.file("m.dll", makePeModule(groups));
    TQBIconLibrary lib;
    ASSERT_EQ(lib.Read(pe).Result, TLoadResult::Read);
    writeFile(pe, TBytes(fs::file_size(pe), 0xEE));  // same size, other bytes
    for (int i = 0; i < 2; ++i) {
        const TQBIconImage& image = *lib.Icons.GetIcon(i)->Images().GetImage(0);
        EXPECT_EQ(image.Data(), groups[std::size_t(i) * 2].data);
    }
}

TEST(ModuleReading, ReadSaysWhatHappenedAndWhy) {
    ModuleDir d;
    auto image = dibSpec(32, 4);
    TBytes cutGroup = makeNeModule({{0x8003, 0x8001, image.data}, {0x800E, 0x8001, makeGroup({image}, {1})}}, {});
    cutGroup.resize(cutGroup.size() - 10);
    TBytes badData = makePeModule(threeGroups());
    struct Case {
        std::string file;
        TLoadResult result;
        std::string reason;  // a part of it
        int icons;
    } cases[] = {
        {d.file("ok.dll", makePeModule(threeGroups())), TLoadResult::Read, "", 3},
        {d.file("ok.ico", makeIcoFile({image})), TLoadResult::Read, "", 1},
        {d.file("none.txt", TBytes{'h', 'i'}), TLoadResult::NoIcons, "", 0},
        {d.file("cut.icl", cutGroup), TLoadResult::Refused, "Unexpected end of data", 0},
        {(d.path / "missing.dll").string(), TLoadResult::Failed, "Cannot open file", 0},
        {d.path.string(), TLoadResult::Failed, "Not a regular file", 0},
    };
    for (const Case& c : cases) {
        TQBIconLibrary lib;
        const TIconsRead read = lib.Read(c.file);
        EXPECT_EQ(read.Result, c.result) << c.file;
        EXPECT_NE(read.Reason.find(c.reason), std::string::npos) << c.file << ": " << read.Reason;
        EXPECT_EQ(lib.Icons.Count(), c.icons) << c.file;
    }
}

TEST(ModuleReading, TheFirstIconAloneIsTheFirstIconOfTheWholeReading) {
    ModuleDir d;
    const TBytes cutGroup = [] {
        auto image = dibSpec(32, 4);
        TBytes ne = makeNeModule({{0x8003, 0x8001, image.data}, {0x800E, 0x8001, makeGroup({image}, {1})}}, {});
        ne.resize(ne.size() - 10);
        return ne;
    }();
    const std::string withIcons[] = {d.file("a.dll", makePeModule(threeGroups())),
                                     d.file("b.dll", makePeModule(threeGroups(), true)),
                                     d.file("c.icl", neModule(3, {"c", "d", "e"})),
                                     d.file("d.ico", makeIcoFile({dibSpec(16, 4), pngSpec(32, 32), dibSpec(48, 32)}))};
    for (const std::string& file : withIcons) {
        TQBIconLibrary lib;
        ASSERT_EQ(lib.LoadFromFile(file), TLoadResult::Read) << file;
        const std::unique_ptr<TQBIcon> first = ReadFirstIcon(file);
        ASSERT_NE(first, nullptr) << file;
        const TQBIconImageList& expected = lib.Icons.GetIcon(0)->Images();
        ASSERT_EQ(first->Images().Count(), expected.Count()) << file;
        for (std::uint16_t k = 0; k < expected.Count(); ++k)
            EXPECT_EQ(first->Images().GetImage(k)->Data(), expected.GetImage(k)->Data()) << file << " image " << k;
    }
    const std::string without[] = {d.file("none.txt", TBytes{'h', 'i'}), d.file("empty.ico", TBytes{}),
                                   d.file("cut.icl", cutGroup), (d.path / "missing.dll").string(), d.path.string()};
    for (const std::string& file : without) EXPECT_EQ(ReadFirstIcon(file), nullptr) << file;
}
