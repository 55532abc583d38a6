#include <gtest/gtest.h>

#include <sqlite3.h>

#include "support/TempDir.h"
#include "framework/core/RegUtils.h"

using namespace gs;
using gstest::TempDir;

namespace {
constexpr RegRootId kRoot = HKEY_LOCAL_MACHINE;
constexpr const char* kKey = "Software\\Test";
}  // namespace

TEST(RegUtils, TypesAreStrict) {
    TRegistryStore store(":memory:");
    RegWriteString(store, kRoot, kKey, "Text", "12");
    RegWriteInteger(store, kRoot, kKey, "Number", -1);
    RegWriteBool(store, kRoot, kKey, "Flag", true);
    EXPECT_EQ(RegReadInteger(store, kRoot, kKey, "Text", 7), 7);  // no conversion of the text
    EXPECT_FALSE(RegReadBool(store, kRoot, kKey, "Text", false));
    EXPECT_EQ(RegReadString(store, kRoot, kKey, "Number", "dflt"), "dflt");
    EXPECT_EQ(RegReadInteger(store, kRoot, kKey, "Number", 0), -1);
    EXPECT_EQ(RegReadInteger(store, kRoot, kKey, "Flag", 0), 1);
    RegWriteInteger(store, kRoot, kKey, "Number", 7);
    EXPECT_TRUE(RegReadBool(store, kRoot, kKey, "Number", false));  // any non-zero is true
    EXPECT_EQ(RegReadString(store, kRoot, "Software\\Missing", "Text", "d"), "d");
    EXPECT_TRUE(RegValueExists(store, kRoot, kKey, "text"));
    EXPECT_FALSE(RegValueExists(store, kRoot, kKey, "Nope"));
    EXPECT_FALSE(RegValueExists(store, kRoot, "Software\\Missing", "Text"));
}

TEST(RegUtils, StringListReadGivesANewListOrMissing) {
    TRegistryStore store(":memory:");
    EXPECT_EQ(RegReadStringList(store, kRoot, kKey, "List"), std::nullopt);
    ASSERT_TRUE(RegWriteStringList(store, kRoot, kKey, "List", {}));
    EXPECT_EQ(RegReadStringList(store, kRoot, kKey, "List"), StringList{});  // empty, not missing

    RegWriteStringList(store, kRoot, kKey, "List", {"b", "a", "A", "c"});
    EXPECT_EQ(RegReadStringList(store, kRoot, kKey, "List"), (StringList{"b", "a", "c"}));
    RegWriteStringList(store, kRoot, kKey, "List", {"x"});  // replaces, does not add
    EXPECT_EQ(RegReadStringList(store, kRoot, kKey, "List"), StringList{"x"});
    EXPECT_EQ(RegGetValueNames(store, kRoot, std::string(kKey) + "\\List"), StringList{"x"});
}

// A store whose table refuses one name (a tampered file) makes the rewrite fail after the
// old subkey was deleted and a first name written: the old list must survive whole.
TEST(RegUtils, RewritingAListIsAllOrNothing) {
    TempDir d;
    std::string file = d / "r.sqlite3";
    {
        TRegistryStore store(file);
        ASSERT_TRUE(RegWriteStringList(store, kRoot, kKey, "List", {".exe", ".dll"}));
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    const char* tamper =
        "CREATE TABLE t(id INTEGER PRIMARY KEY AUTOINCREMENT, key_id INTEGER NOT NULL, name TEXT NOT NULL,"
        "  name_fold TEXT NOT NULL, type INTEGER NOT NULL, data, CHECK(name_fold <> 'boom'));"
        "INSERT INTO t SELECT * FROM reg_values; DROP TABLE reg_values; PRAGMA legacy_alter_table=ON;"
        "ALTER TABLE t RENAME TO reg_values;"
        "CREATE UNIQUE INDEX reg_values_name ON reg_values(key_id, name_fold);";
    ASSERT_EQ(sqlite3_exec(db, tamper, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);

    TRegistryStore store(file);
    EXPECT_FALSE(RegWriteStringList(store, kRoot, kKey, "List", {".ico", "BOOM", ".cpl"}));
    EXPECT_EQ(RegReadStringList(store, kRoot, kKey, "List"), (StringList{".exe", ".dll"}));
    EXPECT_TRUE(RegWriteStringList(store, kRoot, kKey, "List", {".ico"}));
    EXPECT_EQ(RegReadStringList(store, kRoot, kKey, "List"), StringList{".ico"});
}

TEST(RegUtils, KeysAreCreatedListedAndDeleted) {
    TRegistryStore store(":memory:");
    RegWriteString(store, kRoot, "Software\\App\\Sub1\\Deep", "v", "1");
    RegWriteString(store, kRoot, "Software\\App\\sub0", "v", "2");
    RegWriteString(store, kRoot, "Software\\App", "Loc", "x");
    RegWriteString(store, kRoot, "Software\\App", "Ver", "y");
    EXPECT_EQ(RegGetKeyNames(store, kRoot, "Software\\App"), (StringList{"sub0", "Sub1"}));
    EXPECT_EQ(RegGetValueNames(store, kRoot, "Software\\App"), (StringList{"Loc", "Ver"}));
    EXPECT_TRUE(RegGetKeyNames(store, kRoot, "Software\\Missing").empty());

    RegCreateSubkey(store, kRoot, "Software\\Missing", "New");  // Key itself is not created
    EXPECT_TRUE(RegGetKeyNames(store, kRoot, "Software\\Missing").empty());
    RegCreateSubkey(store, kRoot, "Software\\App", "New\\Deeper");
    EXPECT_EQ(RegGetKeyNames(store, kRoot, "Software\\App\\New"), StringList{"Deeper"});

    RegDeleteSubkey(store, kRoot, "Software\\App", "sub1");  // with everything below it
    EXPECT_EQ(RegGetKeyNames(store, kRoot, "Software\\App"), (StringList{"New", "sub0"}));
    EXPECT_EQ(RegReadString(store, kRoot, "Software\\App\\Sub1\\Deep", "v", "gone"), "gone");

    RegDeleteValues(store, kRoot, "Software\\App");
    EXPECT_TRUE(RegGetValueNames(store, kRoot, "Software\\App").empty());
    RegDeleteSubkeys(store, kRoot, "Software\\App");
    EXPECT_TRUE(RegGetKeyNames(store, kRoot, "Software\\App").empty());
    EXPECT_EQ(RegGetKeyNames(store, kRoot, "Software"), StringList{"App"});  // the key stays

    RegDeleteSubkey(store, kRoot, "Software\\App", "");  // empty SubKey: the key itself
    EXPECT_TRUE(RegGetKeyNames(store, kRoot, "Software").empty());
}
