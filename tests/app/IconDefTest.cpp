// Icon definitions: the full icon read on demand with its errors, and the owning list that
// removes by identity.
#include <gtest/gtest.h>

#include <optional>

#include "app/ExtractMaterial.h"
#include "app/core/IconDef.h"
#include "app/Raised.h"
#include "framework/core/Exceptions.h"

using namespace gs;
using namespace gstest;

namespace {

std::unique_ptr<TIconDef> defOf(const std::filesystem::path& file, int index) {
    auto def = std::make_unique<TIconDef>();
    def->FileName = file;
    def->IconIndex = index;
    return def;
}

}  // namespace

TEST(IconDef, LoadsTheIconAtItsIndexOnceAndKeepsIt) {
    Tree t;
    const auto file = t.put("m.dll", peWithGroups(3, 5));
    auto def = defOf(file, 2);
    EXPECT_FALSE(def->Loaded());
    TQBIcon& icon = def->GetIcon();
    EXPECT_TRUE(def->Loaded());
    ASSERT_EQ(icon.Images().Count(), 2);
    EXPECT_EQ(icon.Images().GetImage(0)->Data(), dibSpec(16, 4, 7).data);  // group 3 = seed 5 + 2
    // The second call does not read the file again: it is gone by now.
    std::filesystem::remove(file);
    EXPECT_EQ(&def->GetIcon(), &icon);
}

TEST(IconDef, RefusesWithThePartsMessagesAndStaysUnloaded) {
    Tree t;
    const auto file = t.put("three.dll", peWithGroups(3));
    struct Case {
        std::filesystem::path file;
        int index;
        std::string message;
        std::optional<std::string> details;  // unset: the reader's own message, not empty
    } cases[] = {
        {file, -1, "Invalid icon index.", "-1 is not a valid icon index."},
        {"", 0, "Undefined file name.", ""},
        {t.path / "gone.dll", 0, "Invalid file name.", "File '" + (t.path / "gone.dll").string() + "' no longer exists."},
        {file, 3, "Error loading icon.", "Invalid icon index."},
        {t.dir("folder.dll"), 0, "Invalid file name.", "File '" + (t.path / "folder.dll").string() + "' no longer exists."},
        {t.put("cut.dll", truncatedModule()), 1, "Error loading icon.", std::nullopt},
    };
    for (const Case& c : cases) {
        auto def = defOf(c.file, c.index);
        EQBException e = raised([&] { def->GetIcon(); });
        EXPECT_EQ(e.MessageCopy(), c.message) << c.file;
        if (c.details) EXPECT_EQ(e.Details(), *c.details) << c.file;
        else EXPECT_FALSE(e.Details().empty()) << c.file;
        EXPECT_EQ(e.Severity(), TQBSeverity::Warning);
        EXPECT_FALSE(def->Loaded());
    }
}

TEST(IconDef, ALaterCallRetriesAfterAFailure) {
    Tree t;
    auto def = defOf(t.path / "later.ico", 0);
    EXPECT_THROW(def->GetIcon(), EQBException);
    t.put("later.ico", oneIcon());
    EXPECT_EQ(def->GetIcon().Images().Count(), 1);
}

TEST(IconsList, RemovesThatDefinitionNeverOneWithTheSameNameAndFile) {
    TIconsList list;
    auto make = [](const std::string& name) {
        auto d = std::make_unique<TIconDef>();
        d->Name = name;
        d->FileName = "/x/disk.dll";
        d->IconIndex = 3;
        return d;
    };
    TIconDef* first = list.GetItem(list.Add(make("disk_3")));
    TIconDef* second = list.GetItem(list.Add(make("DISK_3")));
    TIconDef* third = list.GetItem(list.Add(make("disk_3")));
    EXPECT_TRUE(list.Remove(third));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], first);
    EXPECT_EQ(list[1], second);
    TIconDef stranger;
    EXPECT_FALSE(list.Remove(&stranger));
    EXPECT_EQ(list.Count(), 2);
}
