// The icon list's icons taken from modules made here (PE32, PE32+ and NE, with named and
// numbered icon groups), and its stream as the form property "Icons".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/IconList.h"
#include "iconlib/IconModule.h"
#include "iconlib/ModuleFormat.h"
#include "platform/Errors.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

using namespace gs;
using namespace gstest;

namespace {

// Groups "MAINICON" (seed 1), "Folder" (seed 2) and id 7 (seed 3), each a 16 and a 32.
TBytes peModule(bool plus) {
    std::vector<PeResource> res;
    std::uint16_t iconId = 1;
    auto group = [&](std::optional<std::uint16_t> id, std::string name, unsigned seed) {
        const ImageSpec a = dibSpec(16, 4, seed), b = dibSpec(32, 8, seed);
        res.push_back({RT_ICON, iconId, "", 0x0409, a.data});
        res.push_back({RT_ICON, std::uint16_t(iconId + 1), "", 0x0409, b.data});
        res.push_back({RT_GROUP_ICON, id, name, 0x0409, makeGroup({a, b}, {iconId, std::uint16_t(iconId + 1)})});
        iconId += 2;
    };
    group(std::nullopt, "MAINICON", 1);
    group(std::nullopt, "Folder", 2);
    group(7, "", 3);
    return makePeModule(res, plus);
}

// A named group "FOLDER" (seed 5) and a numbered one (seed 6).
TBytes neModule() {
    const ImageSpec a = dibSpec(32, 4, 5), b = dibSpec(32, 4, 6);
    return makeNeModule({{0x8003, 0x8001, a.data},
                         {0x8003, 0x8002, b.data},
                         {0x800E, 0, makeGroup({a}, {1}), 0},
                         {0x800E, 0x8002, makeGroup({b}, {2})}},
                        {"FOLDER"});
}

// The first image's data of each entry (empty for an empty entry).
std::vector<TBytes> firstImages(const TIconList& list) {
    std::vector<TBytes> out;
    for (int i = 0; i < list.IconCount(); ++i)
        out.push_back(list.IconAt(i) ? list.IconAt(i)->Images().GetImage(0)->Data() : TBytes{});
    return out;
}

}  // namespace

TEST(IconListResources, PeGroupsAreFoundByNameInAnyCaseAndByTheirId) {
    for (bool plus : {false, true}) {
        SCOPED_TRACE(plus ? "PE32+" : "PE32");
        TempDir dir;
        writeFile(dir / "m.dll", peModule(plus));
        const auto module = IIconModule::Open(dir / "m.dll");
        EXPECT_EQ(module->GroupNames(), (std::vector<std::string>{"Folder", "MAINICON", "7"}));
        TIconList list;
        int changes = 0;
        list.onChange = [&] { ++changes; };
        EXPECT_EQ(list.AddIconResource(*module, "mainicon"), 0);
        EXPECT_EQ(list.AddIconResource(*module, "#7"), 1);
        list.InsertIconResource(0, *module, "FOLDER");
        list.InsertIconResource(3, *module, "7");
        EXPECT_EQ(changes, 4);
        EXPECT_EQ(firstImages(list), (std::vector<TBytes>{dibSpec(16, 4, 2).data, dibSpec(16, 4, 1).data,
                                                         dibSpec(16, 4, 3).data, dibSpec(16, 4, 3).data}));
        EXPECT_EQ(list.IconAt(1)->Images().Count(), 2);

        // A group the module lacks, or a place outside the list, changes nothing.
        for (const char* missing : {"NOICON", "8", "#", "#70000", ""})
            EXPECT_THROW(list.AddIconResource(*module, missing), EResNotFound) << missing;
        EXPECT_THROW(list.InsertIconResource(9, *module, "7"), std::out_of_range);
        EXPECT_EQ(list.IconCount(), 4);
        EXPECT_EQ(changes, 4);
    }
}

TEST(IconListResources, NeGroupsAreFoundByTheNamesTheReaderGivesThem) {
    TempDir dir;
    writeFile(dir / "lib.icl", neModule());
    const auto module = IIconModule::Open(dir / "lib.icl");
    const std::vector<std::string> names = module->GroupNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "FOLDER");
    TIconList list;
    list.AddIconResource(*module, "folder");
    list.InsertIconResource(0, *module, names[1]);
    EXPECT_EQ(firstImages(list), (std::vector<TBytes>{dibSpec(32, 4, 6).data, dibSpec(32, 4, 5).data}));
    EXPECT_THROW(list.AddIconResource(*module, "DRIVE"), EResNotFound);
}

TEST(IconListResources, OnlyModulesOpen) {
    TempDir dir;
    writeFile(dir / "one.ico", makeIcoFile({dibSpec(16, 4)}));
    TBytes cut = peModule(false);
    cut.resize(200);
    writeFile(dir / "cut.dll", cut);
    EXPECT_THROW(IIconModule::Open(dir / "one.ico"), EReadError);
    EXPECT_THROW(IIconModule::Open(dir / "cut.dll"), EReadError);
    EXPECT_THROW(IIconModule::Open(dir / "missing.dll"), EFOpenError);
    EXPECT_THROW(IIconModule::Open(dir.path), EFOpenError);
}

TEST(IconListResources, TheIconsPropertyRoundTripsAndIsStoredWhenItDiffers) {
    TempDir dir;
    writeFile(dir / "m.dll", peModule(false));
    const auto module = IIconModule::Open(dir / "m.dll");
    TIconList list;
    list.AddIconResource(*module, "MAINICON");
    list.AddIconResource(*module, "Folder");
    TIconList copy;
    copy.SetIconsProperty(list.IconsProperty());
    EXPECT_EQ(copy.IconsProperty(), list.IconsProperty());
    EXPECT_EQ(firstImages(copy), firstImages(list));

    // Two empty entries: 12 bytes, read and written the same.
    const TBytes twoEmpty{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    TIconList empties;
    empties.SetIconsProperty(twoEmpty);
    EXPECT_EQ(empties.IconCount(), 2);
    EXPECT_EQ(empties.IconsProperty(), twoEmpty);

    TIconList none, other, shorter;
    other.AddIconResource(*module, "MAINICON");
    other.AddIconResource(*module, "7");
    shorter.AddIconResource(*module, "MAINICON");
    struct Case {
        const char* name;
        const TIconList& list;
        const TIconList* ancestor;
        bool stored;
    } cases[] = {
        {"empty, no ancestor", none, nullptr, false},
        {"icons, no ancestor", list, nullptr, true},
        {"the ancestor itself", list, &list, false},
        {"an equal ancestor", copy, &list, false},
        {"another count", list, &shorter, true},
        {"another icon", list, &other, true},
        {"empty entries against icons", empties, &list, true},
        {"empty against empty", none, &none, false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.list.StoresIcons(c.ancestor), c.stored) << c.name;
}
