// The recent list: names mirrored as menu items, captions, limits and clicks.
#include <gtest/gtest.h>

#include "toolbar/core/MRUList.h"

using namespace tb;

namespace {
std::vector<std::string> captions(const TTBMRUList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Container()->Count(); ++i) out.push_back(list.Container()->Items(i)->Caption());
    return out;
}
}  // namespace

TEST(ToolbarMRU, CaptionsAndLimits) {
    TTBMRUList list(nullptr);
    list.SetHidePathExtension(false);
    std::vector<std::string> eleven;
    for (int i = 0; i < 11; ++i) eleven.push_back("/f/" + std::to_string(i));
    list.SetItems(eleven);
    EXPECT_EQ(captions(list), (std::vector<std::string>{"&1 /f/0", "&2 /f/1", "&3 /f/2", "&4 /f/3"}));

    list.SetHidePathExtension(true);
    list.Items().Put(0, "/home/me/Tom & Jerry.ico");
    EXPECT_EQ(captions(list)[0], "&1 Tom && Jerry.ico");
    list.Items().Put(0, "/");  // no file name: the whole text
    EXPECT_EQ(captions(list)[0], "&1 /");

    int changes = 0;
    list.OnChange = [&](TTBMRUList*) { ++changes; };
    list.SetMaxItems(-3);  // below 0 counts as 0
    EXPECT_EQ(list.Items().Count(), 0);
    EXPECT_EQ(list.Container()->Count(), 0);
    EXPECT_GE(changes, 1);
    list.Items().Add("x");
    EXPECT_EQ(list.Items().Count(), 0);
    EXPECT_THROW(list.Items().Delete(0), ETBItemError);
    EXPECT_THROW(list.Items().Move(0, 1), ETBItemError);
}

TEST(ToolbarMRU, ClickMovesTheEntryToTheTop) {
    TTBMRUList list(nullptr);
    list.SetHidePathExtension(false);
    list.SetItems({"a", "b", "c"});
    std::vector<std::string> clicked;
    list.OnClick = [&](TTBMRUList* sender, const std::string& name) {
        EXPECT_EQ(sender, &list);
        clicked.push_back(name);
    };
    TTBCustomItem* third = list.Container()->Items(2);
    third->Click();
    EXPECT_EQ(clicked, std::vector<std::string>{"c"});
    EXPECT_EQ(list.Items().Strings(), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_EQ(list.Container()->Items(0), third);  // the same menu item, moved
    EXPECT_EQ(captions(list), (std::vector<std::string>{"&1 c", "&2 a", "&3 b"}));
}

TEST(ToolbarMRU, EntryDeletedInItsOwnClick) {
    // What the main window does with a recent folder that vanished: remove it while its
    // click runs. The item is unlinked at once and freed after the click (ASan watches).
    TTBMRUList list(nullptr);
    list.SetItems({"a", "b", "c"});
    TTBCustomItem* second = list.Container()->Items(1);
    int seenDuringClick = -1;
    list.OnClick = [&](TTBMRUList* l, const std::string& name) {
        l->Items().Delete(0);
        seenDuringClick = l->Container()->IndexOf(second);
        l->Items().Clear();
    };
    second->Click();
    EXPECT_EQ(seenDuringClick, -1);
    EXPECT_EQ(list.Container()->Count(), 0);
}

TEST(ToolbarMRU, ListItemShowsTheListInPlace) {
    TTBRootItem menu(nullptr);
    auto* placeholder = new TTBMRUListItem(&menu);
    menu.Add(placeholder);
    EXPECT_EQ(placeholder->ItemStyle() & tbstEmbedded, tbstEmbedded);
    EXPECT_EQ(placeholder->Caption(), "(MRU List)");
    {
        TTBMRUList list(nullptr);
        placeholder->SetMRUList(&list);
        EXPECT_EQ(placeholder->EffectiveLink(), list.Container());
        list.Items().Add("/x");
    }
    EXPECT_EQ(placeholder->MRUList(), nullptr);
    EXPECT_EQ(placeholder->LinkSubitems(), nullptr);
}

TEST(ToolbarErrors, ItemRefusalsAreTheLibrarysErrorWithTheirText) {
    TTBMRUList list(nullptr);
    try {
        list.Items().Delete(0);
        ADD_FAILURE() << "not refused";
    } catch (const ETBError& e) {
        EXPECT_STREQ(e.what(), kItemIndexOutOfRange);
    }
}
