// The favourites tree against the settings store (load, sort, save as one transaction,
// bounded depth), the dialogs' checked edits and moves, and the Favorites menu's entries.
#include <gtest/gtest.h>

#include <sstream>

#include "app/core/Favorites.h"
#include "framework/core/Exceptions.h"

using namespace gs;

namespace {

const std::string kKey = "Software\\Test\\Favorites";

// The tree as one line per node: [folder], name|target, indented by depth.
std::string shown(TFavoritesFolder& root) {
    std::ostringstream out;
    WalkFavorites(root, true, [&](const TFavoritesNode& n) {
        out << std::string(std::size_t(n.Depth), ' ');
        if (n.NodeKind == TFavoritesNode::nkFavorite) out << n.Item->Name << '|' << n.Item->Target << ';';
        else out << '[' << n.Folder->Name << "];";
    });
    return out.str();
}

void put(TRegistryStore& store, const std::string& key, const std::string& name, const TRegValue& value) {
    TRegTransaction t = store.begin(TRegistryStore::Mode::Write);
    t.WriteValue(t.CreateKey(HKEY_LOCAL_MACHINE, key), name, value);
    t.Commit();
}

TFavoritesFolder loaded(TRegistryStore& store) {
    TFavoritesFolder root;
    root.Load(store, HKEY_LOCAL_MACHINE, kKey);
    return root;
}

std::string storedTree(TRegistryStore& store) {
    TFavoritesFolder root = loaded(store);
    return shown(root);
}

std::string refusal(const std::function<void()>& edit) {
    try {
        edit();
    } catch (const EQBException& e) {
        return e.MessageCopy();
    }
    return "";
}

}  // namespace

TEST(Favorites, LoadSortsFoldersAndFavoritesIgnoringCase) {
    TRegistryStore store(":memory:");
    EXPECT_EQ(storedTree(store), "[Favorites];");  // no key yet
    for (const char* name : {"zeta", "Alpha", "beta"}) put(store, kKey, name, TRegValue::Sz(std::string("/") + name));
    put(store, kKey + "\\Tools", "b", TRegValue::Dword(7));  // not a string: no target
    put(store, kKey + "\\icons", "a", TRegValue::Sz("/gone"));
    TFavoritesFolder root = loaded(store);
    EXPECT_EQ(shown(root), "[Favorites]; [icons];  a|/gone; [Tools];  b|; Alpha|/Alpha; beta|/beta; zeta|/zeta;");
    EXPECT_TRUE(root.FolderExists("ICONS"));
    EXPECT_FALSE(root.FolderExists("a"));  // one level only
}

TEST(Favorites, NestedAndEmptyFoldersRoundTripAndTheFirstSaveMakesTheKey) {
    TRegistryStore store(":memory:");
    TFavoritesFolder root;
    TFavoritesFolder& a = AddFolder(root, "A");
    AddFolder(AddFolder(a, "Deep"), "Empty");
    AddFavorite(a, "x", "/x y/z");
    AddFolder(root, "Also empty");
    AddFavorite(root, "top", "/t");
    ASSERT_TRUE(root.Save(store, HKEY_LOCAL_MACHINE, kKey));
    EXPECT_EQ(storedTree(store), shown(root));
    // Saving after a folder went removes its key and all below it.
    root.Folders.Remove(&a);
    ASSERT_TRUE(root.Save(store, HKEY_LOCAL_MACHINE, kKey));
    EXPECT_EQ(storedTree(store), "[Favorites]; [Also empty]; top|/t;");
}

TEST(Favorites, ASaveThatFailsHalfwayKeepsTheStoredTree) {
    TRegistryStore store(":memory:");
    TFavoritesFolder old;
    AddFavorite(AddFolder(old, "Kept"), "k", "/k");
    ASSERT_TRUE(old.Save(store, HKEY_LOCAL_MACHINE, kKey));
    TFavoritesFolder next;
    AddFavorite(next, "new", "/n");
    AddFolder(AddFolder(next, "Z"), "ok").Name = "bad\\name";  // only a bypass of the checks makes one
    const auto commits = store.CommitCount();
    EXPECT_FALSE(next.Save(store, HKEY_LOCAL_MACHINE, kKey));
    EXPECT_EQ(store.CommitCount(), commits);
    EXPECT_EQ(storedTree(store), "[Favorites]; [Kept];  k|/k;");
}

TEST(Favorites, AStoreNestedBeyondTheLimitLoadsWithoutRecursingOnAndIsLeftAlone) {
    TRegistryStore store(":memory:");
    std::string key = kKey;
    for (int i = 0; i < kMaxFavoritesDepth + 20; ++i) key += "\\d";
    put(store, key, "deep", TRegValue::Sz("/d"));
    TFavoritesFolder root;
    EXPECT_EQ(root.Load(store, HKEY_LOCAL_MACHINE, kKey), TFavoritesLoad::TooDeep);
    int depth = 0;
    WalkFavorites(root, true, [&](const TFavoritesNode& n) { depth = std::max(depth, n.Depth); });
    EXPECT_EQ(depth, kMaxFavoritesDepth);
    // What was not read is not saved over: the deep favourite stays.
    AddFavorite(root, "new", "/n");
    EXPECT_FALSE(root.Save(store, HKEY_LOCAL_MACHINE, kKey));
    TRegTransaction t = store.begin(TRegistryStore::Mode::Read);
    EXPECT_TRUE(t.OpenKey(HKEY_LOCAL_MACHINE, key).has_value());
}

// The dialogs nest folders only as deep as the loader reads, so every tree they make comes
// back whole; a move counts the levels the moved folder brings along.
TEST(Favorites, TheDeepestTreeTheEditsAllowRoundTripsWhole) {
    TRegistryStore store(":memory:");
    TFavoritesFolder root;
    TFavoritesFolder* level = &root;
    for (int i = 1; i <= kMaxFavoritesDepth; ++i) {
        EXPECT_EQ(refusal([&] { CheckFolderNesting(root, *level); }), "") << i;
        level = &AddFolder(*level, "L" + std::to_string(i));
        EXPECT_EQ(FolderLevel(root, *level), i);
    }
    AddFavorite(*level, "bottom", "/b");
    EXPECT_EQ(refusal([&] { CheckFolderNesting(root, *level); }), kMsgNestedTooDeep);
    ASSERT_TRUE(root.Save(store, HKEY_LOCAL_MACHINE, kKey));
    TFavoritesFolder back;
    EXPECT_EQ(back.Load(store, HKEY_LOCAL_MACHINE, kKey), TFavoritesLoad::Read);
    EXPECT_EQ(shown(back), shown(root));
    EXPECT_TRUE(back.Save(store, HKEY_LOCAL_MACHINE, kKey));

    TFavoritesFolder& pair = AddFolder(root, "Pair");
    AddFolder(pair, "Inner");
    EXPECT_EQ(FolderHeight(pair), 2);
    TFavoritesFolder* at62 = root.Folders[0];
    while (FolderLevel(root, *at62) < kMaxFavoritesDepth - 2) at62 = at62->Folders[0];
    EXPECT_EQ(refusal([&] { CheckFolderNesting(root, *at62, &pair); }), "");
    EXPECT_EQ(refusal([&] { CheckFolderNesting(root, *at62->Folders[0], &pair); }), kMsgNestedTooDeep);
}

TEST(Favorites, EditsRefuseClashingAndUnsafeNames) {
    TFavoritesFolder root;
    TFavoritesFolder& icons = AddFolder(root, "Icons");
    TFavoritesFolder& other = AddFolder(root, "Other");
    TFavorite& shell = AddFavorite(icons, "Shell", "/s");
    AddFavorite(icons, "Apps", "/a");
    struct Case {
        const char* what;
        std::function<void()> edit;
        std::string message;
    } cases[] = {
        {"same name, other case", [&] { AddFavorite(icons, "SHELL", "/t"); }, "A record named 'SHELL' already exists."},
        {"same name, other folder", [&] { AddFavorite(other, "shell", "/t"); }, ""},
        {"folder clash", [&] { CheckNewFolderName(root, "icons"); }, "A folder named 'icons' already exists."},
        {"folder with \\", [&] { AddFolder(root, "a\\b"); }, kMsgPlainNameOnly},
        {"rename to a sibling", [&] { RenameFavorite(icons, shell, "apps"); }, "A record named 'apps' already exists."},
        {"rename not plain", [&] { RenameFolder(root, icons, "Ic:ons"); }, kMsgPlainNameOnly},
        {"case-only rename", [&] { RenameFolder(root, icons, "ICONS"); }, ""},
        {"case-only rename of a favourite", [&] { RenameFavorite(icons, shell, "shell"); }, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(refusal(c.edit), c.message) << c.what;
    EXPECT_FALSE(RenameFavorite(icons, shell, ""));
    EXPECT_EQ(shown(root), "[Favorites]; [ICONS];  Apps|/a;  shell|/s; [Other];  shell|/t;");
}

TEST(Favorites, MovesCheckTheTargetFolder) {
    TFavoritesFolder root;
    TFavoritesFolder& a = AddFolder(root, "A");
    TFavoritesFolder& sub = AddFolder(a, "Sub");
    TFavoritesFolder& b = AddFolder(root, "B");
    AddFolder(b, "sub");
    TFavorite& f = AddFavorite(a, "F", "/f");
    AddFavorite(root, "f", "/other");
    EXPECT_FALSE(CanMoveFolder(root, a, a));    // onto itself
    EXPECT_FALSE(CanMoveFolder(root, a, sub));  // into its own sub-folder
    EXPECT_FALSE(CanMoveFolder(a, sub, a));     // onto its present parent
    EXPECT_FALSE(CanMoveFavorite(a, a));
    EXPECT_EQ(refusal([&] { MoveFolder(a, sub, b); }), "A folder named 'Sub' already exists.");
    EXPECT_EQ(refusal([&] { MoveFavorite(a, f, root); }), "A record named 'F' already exists.");
    EXPECT_EQ(refusal([&] { MoveFavorite(a, f, b); }), "");
    EXPECT_EQ(refusal([&] { MoveFolder(a, sub, root); }), "");
    EXPECT_EQ(shown(root), "[Favorites]; [A]; [B];  [sub];  F|/f; [Sub]; f|/other;");
}

TEST(Favorites, MenuEntriesLeaveOutEmptyNamesAndTargetsAndCloseWhileBusy) {
    TFavoritesFolder root;
    AddFolder(root, "Empty");
    TFavoritesFolder& full = AddFolder(root, "Full");
    AddFavorite(full, "in", "/in");
    AddFolder(full, "Inner");
    AddFavorite(root, "no target", "");
    AddFavorite(root, "ok", "/ok");
    AddFolder(root, "x").Name.clear();
    auto render = [](const std::vector<TFavoritesMenuEntry>& entries) {
        std::string s;
        for (const auto& e : entries) s += e.Caption + (e.Enabled ? "+" : "-") + std::to_string(e.ImageIndex) + ";";
        return s;
    };
    const auto idle = FavoritesMenuEntries(root, true);
    EXPECT_EQ(render(idle), "Empty-13;Full+13;ok+15;");
    EXPECT_EQ(render(idle[1].Children), "Inner-13;in+15;");
    EXPECT_EQ(idle[2].Hint, "/ok");
    EXPECT_EQ(render(FavoritesMenuEntries(root, false)), "Empty-13;Full-13;ok-15;");
}
