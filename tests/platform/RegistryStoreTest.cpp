#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/TempDir.h"
#include "platform/RegistryStore.h"

using namespace gs;
using gstest::TempDir;
namespace fs = std::filesystem;
using Mode = RegistryStore::Mode;

namespace {

void sql(const std::string& file, const std::string& statements) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    int rc = sqlite3_exec(db, statements.c_str(), nullptr, nullptr, &err);
    std::string msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << msg;
}

std::vector<fs::path> movedAside(const TempDir& d) {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(d.path))
        if (e.path().filename().string().find(".corrupt-") != std::string::npos) found.push_back(e.path());
    return found;
}

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(RegistryStore, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    RegistryStore store(":memory:");
    RegTransaction t = store.begin(Mode::Write);
    RegKeyId key = t.createKey(HKEY_CURRENT_USER, "Software\\MyApp");
    EXPECT_EQ(t.openKey(HKEY_CURRENT_USER, "SOFTWARE\\myapp"), key);
    EXPECT_EQ(t.createKey(HKEY_CURRENT_USER, "software\\MYAPP"), key);
    EXPECT_EQ(t.subkeyNames(*t.openKey(HKEY_CURRENT_USER, "")), std::vector<std::string>{"Software"});

    t.writeValue(key, "Color", RegValue::dword(1));
    t.writeValue(key, "COLOR", RegValue::dword(2));
    EXPECT_EQ(t.valueNames(key), std::vector<std::string>{"Color"});
    EXPECT_EQ(t.readValue(key, "color"), RegValue::dword(2));

    // Letters beyond ASCII fold too.
    t.writeValue(key, "\xC3\x84rger", RegValue::sz("x"));  // Ärger
    EXPECT_TRUE(t.hasValue(key, "\xC3\xA4RGER"));            // äRGER
    EXPECT_EQ(t.valueNames(key).back(), "\xC3\x84rger");
    t.commit();
}

TEST(RegistryStore, ValuesKeepCreationOrderAndSubkeysSortWithoutCase) {
    RegistryStore store(":memory:");
    RegTransaction t = store.begin(Mode::Write);
    RegKeyId key = t.createKey(HKEY_LOCAL_MACHINE, "K");
    for (const char* name : {"z", "a", "M"}) t.writeValue(key, name, RegValue::sz(name));
    t.writeValue(key, "A", RegValue::sz("again"));  // an overwrite keeps its place
    EXPECT_EQ(t.valueNames(key), (std::vector<std::string>{"z", "a", "M"}));
    EXPECT_TRUE(t.deleteValue(key, "a"));
    EXPECT_FALSE(t.deleteValue(key, "a"));
    t.writeValue(key, "a", RegValue::sz("new"));  // created anew: now last
    EXPECT_EQ(t.valueNames(key), (std::vector<std::string>{"z", "M", "a"}));

    for (const char* name : {"gamma", "beta", "Alpha", "Beta2"}) t.createSubkey(key, name);
    EXPECT_EQ(t.subkeyNames(key), (std::vector<std::string>{"Alpha", "beta", "Beta2", "gamma"}));
}

TEST(RegistryStore, KeyPathsSplitAtBackslashOnly) {
    RegistryStore store(":memory:");
    RegTransaction t = store.begin(Mode::Write);
    RegKeyId c = t.createKey(HKEY_CURRENT_USER, "\\a\\b\\\\c\\");  // empty parts are skipped
    EXPECT_EQ(t.openKey(HKEY_CURRENT_USER, "a\\b\\c"), c);
    RegKeyId slash = t.createKey(HKEY_CURRENT_USER, "x/y");  // "/" is part of a name
    EXPECT_EQ(t.subkeyNames(*t.openKey(HKEY_CURRENT_USER, "")), (std::vector<std::string>{"a", "x/y"}));
    t.writeValue(slash, "p\\q", RegValue::sz("v"));  // a value name may hold "\"
    EXPECT_EQ(t.valueNames(slash), std::vector<std::string>{"p\\q"});
    t.writeValue(slash, "", RegValue::sz("default"));  // the key's unnamed value
    EXPECT_EQ(t.readValue(slash, ""), RegValue::sz("default"));

    EXPECT_FALSE(t.openKey(HKEY_CURRENT_USER, "a\\missing\\c"));
    EXPECT_FALSE(t.openKey(0x12345, ""));
    EXPECT_THROW(t.createKey(0x12345, "k"), RegistryError);
    EXPECT_THROW(t.createKey(0x12345, "k"), EPlatformError) << "the store's errors are the platform's";
}

TEST(RegistryStore, DeletingAKeyTakesEverythingBelowIt) {
    RegistryStore store(":memory:");
    RegTransaction t = store.begin(Mode::Write);
    RegKeyId a = t.createKey(HKEY_CURRENT_USER, "A");
    RegKeyId deep = t.createKey(HKEY_CURRENT_USER, "A\\B\\C\\D");
    t.writeValue(a, "v", RegValue::dword(1));
    t.writeValue(deep, "w", RegValue::dword(2));
    RegKeyId sibling = t.createKey(HKEY_CURRENT_USER, "A2");
    t.writeValue(sibling, "keep", RegValue::dword(3));

    t.deleteKey(a);
    EXPECT_FALSE(t.openKey(HKEY_CURRENT_USER, "A"));
    EXPECT_FALSE(t.openKey(HKEY_CURRENT_USER, "A\\B\\C\\D"));
    EXPECT_TRUE(t.valueNames(deep).empty());  // no orphaned values remain
    EXPECT_EQ(t.readValue(sibling, "keep"), RegValue::dword(3));
    EXPECT_THROW(t.deleteKey(*t.openKey(HKEY_CURRENT_USER, "")), RegistryError);
}

TEST(RegistryStore, ValuesKeepTheirTypeAndData) {
    TempDir d;
    const RegValue values[] = {RegValue::sz("tex\xC3\xA9t"), RegValue::expandSz("%HOME%/x"),
                               RegValue::dword(0xFFFFFFFFu), RegValue::binary({0, 1, 0xFF, 0})};
    {
        RegistryStore store(d / "r.sqlite3");
        RegTransaction t = store.begin(Mode::Write);
        RegKeyId key = t.createKey(HKEY_CURRENT_USER, "T");
        for (std::size_t i = 0; i < std::size(values); ++i) t.writeValue(key, std::to_string(i), values[i]);
        EXPECT_THROW(t.writeValue(key, "bad", RegValue{RegType::Dword, std::string("1")}), RegistryError);
        t.commit();
    }
    RegistryStore again(d / "r.sqlite3");  // read back through a new connection
    RegTransaction t = again.begin(Mode::Read);
    RegKeyId key = *t.openKey(HKEY_CURRENT_USER, "T");
    for (std::size_t i = 0; i < std::size(values); ++i) EXPECT_EQ(t.readValue(key, std::to_string(i)), values[i]);
    EXPECT_EQ(t.readValue(key, "0")->number(), std::nullopt);
    EXPECT_EQ(t.readValue(key, "2")->text(), std::nullopt);
}

TEST(RegistryStore, RowsWhoseDataDoesNotFitTheirTypeAreRefused) {
    TempDir d;
    std::string file = d / "r.sqlite3";
    {
        RegistryStore store(file);
        RegTransaction t = store.begin(Mode::Write);
        t.createKey(HKEY_CURRENT_USER, "T");
        t.commit();
    }
    sql(file, "INSERT INTO reg_values(key_id, name, name_fold, type, data) "
              "SELECT id, 'n', 'n', 4, 'text' FROM reg_keys WHERE name = 'T';"
              "INSERT INTO reg_values(key_id, name, name_fold, type, data) "
              "SELECT id, 'big', 'big', 4, 4294967296 FROM reg_keys WHERE name = 'T';");
    RegistryStore store(file);
    RegTransaction t = store.begin(Mode::Read);
    RegKeyId key = *t.openKey(HKEY_CURRENT_USER, "T");
    EXPECT_THROW(t.readValue(key, "n"), RegistryError);
    EXPECT_THROW(t.readValue(key, "big"), RegistryError);
}

TEST(RegistryStore, AStoreMadeBeforeTheDynamicDataRootGetsItOnItsFirstKey) {
    TempDir d;
    std::string file = d / "r.sqlite3";
    RegistryStore(file).begin(Mode::Write).commit();
    sql(file, "DELETE FROM reg_keys WHERE parent IS NULL AND name = 'HKDD'");
    RegistryStore store(file);
    EXPECT_FALSE(store.begin(Mode::Read).openKey(HKEY_DYN_DATA, ""));
    RegTransaction t = store.begin(Mode::Write);
    const RegKeyId key = t.createKey(HKEY_DYN_DATA, "Software\\App"), other = t.createKey(HKEY_DYN_DATA, "Other");
    EXPECT_EQ(t.openKey(HKEY_DYN_DATA, "software\\app"), key);
    EXPECT_EQ(t.openKey(HKEY_DYN_DATA, "Other"), other);  // one root, made once
    EXPECT_THROW(t.createKey(0x80000004u, "X"), RegistryError);  // not a root of ours
    t.commit();
}

TEST(RegistryStore, NestedTransactionsUndoOnlyTheirOwnPart) {
    RegistryStore store(":memory:");
    {
        RegTransaction outer = store.begin(Mode::Write);
        RegKeyId key = outer.createKey(HKEY_CURRENT_USER, "N");
        outer.writeValue(key, "kept", RegValue::dword(1));
        {
            RegTransaction inner = store.begin(Mode::Write);
            inner.writeValue(key, "undone", RegValue::dword(2));
        }  // not committed
        {
            RegTransaction inner = store.begin(Mode::Write);
            inner.writeValue(key, "released", RegValue::dword(3));
            inner.commit();
        }
        EXPECT_EQ(store.commitCount(), 0u);  // savepoints are not commits
        outer.commit();
    }
    EXPECT_EQ(store.commitCount(), 1u);
    {
        RegTransaction dropped = store.begin(Mode::Write);
        dropped.createKey(HKEY_CURRENT_USER, "Dropped");
    }
    RegTransaction t = store.begin(Mode::Read);
    EXPECT_EQ(t.valueNames(*t.openKey(HKEY_CURRENT_USER, "N")), (std::vector<std::string>{"kept", "released"}));
    EXPECT_FALSE(t.openKey(HKEY_CURRENT_USER, "Dropped"));
}

TEST(RegistryStore, LocationComesFromTheEnvironment) {
    std::string saved = std::getenv(RegistryStore::kEnvVariable) ? std::getenv(RegistryStore::kEnvVariable) : "";
    setenv(RegistryStore::kEnvVariable, "/some/where.sqlite3", 1);
    EXPECT_EQ(RegistryStore::defaultLocation(), "/some/where.sqlite3");
    unsetenv(RegistryStore::kEnvVariable);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(RegistryStore::defaultLocation(), "/cfg/glyphscope/registry.sqlite3");
    // Neither HOME nor XDG_CONFIG_HOME: the home folder of the password database, never
    // the current folder.
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    const std::string fromPasswd = RegistryStore::defaultLocation();
    EXPECT_TRUE(fromPasswd.starts_with("/") || fromPasswd == RegistryStore::kInMemory) << fromPasswd;
    EXPECT_TRUE(fromPasswd.ends_with("/.config/glyphscope/registry.sqlite3") ||
                fromPasswd == RegistryStore::kInMemory)
        << fromPasswd;
    setenv("HOME", home.c_str(), 1);
    setenv(RegistryStore::kEnvVariable, saved.c_str(), 1);
}

// A file that is not a database and a store with damaged pages are moved aside whole,
// reported, and replaced by a new empty store.
TEST(RegistryStore, DamagedFilesAreMovedAsideNotOverwritten) {
    TempDir d;
    std::string file = d / "registry.sqlite3";
    auto openAndWrite = [&] {
        RegistryStore store(file);
        RegTransaction t = store.begin(Mode::Write);
        EXPECT_TRUE(t.subkeyNames(*t.openKey(HKEY_CURRENT_USER, "")).empty());  // a new store
        t.writeValue(t.createKey(HKEY_CURRENT_USER, "New"), "v", RegValue::dword(1));
        t.commit();
    };

    std::ofstream(file, std::ios::binary) << std::string(5000, 'x');
    testing::internal::CaptureStderr();
    openAndWrite();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("moved aside"), std::string::npos) << err;
    auto aside = movedAside(d);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(contents(aside[0]), std::string(5000, 'x'));
    fs::remove(aside[0]);

    fs::remove(file);

    // A real store whose table pages were overwritten.
    {
        RegistryStore store(file);
        RegTransaction t = store.begin(Mode::Write);
        RegKeyId key = t.createKey(HKEY_CURRENT_USER, "Data");
        for (int i = 0; i < 200; ++i) t.writeValue(key, "value" + std::to_string(i), RegValue::sz(std::string(50, 'v')));
        t.commit();
    }
    {
        std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096);  // the whole second page
        f << std::string(4096, '\x7F');
    }
    std::string damaged = contents(file);
    testing::internal::CaptureStderr();
    openAndWrite();
    testing::internal::GetCapturedStderr();
    aside = movedAside(d);
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(contents(aside[0]), damaged);
}

// What stands at the store's path and is not a store of ours is left exactly as it is:
// the run goes on with a store in memory and says why.
TEST(RegistryStore, WhatIsNotAStoreOfOursIsLeftAlone) {
    TempDir d;
    const std::string folder = d / "folder", foreign = d / "foreign.sqlite3";
    fs::create_directory(folder);
    sql(foreign, "CREATE TABLE other(x); INSERT INTO other VALUES (42);");
    const std::string foreignBytes = contents(foreign);
    struct Case {
        std::string path;
        std::string said;
    } cases[] = {{folder, "not a regular file"},
                 {"/dev/null", "not a regular file"},
                 {foreign, "another program"},
                 {d / "file/below/a/file.sqlite3", "cannot be used"}};
    std::ofstream(d / "file") << "x";
    for (const Case& c : cases) {
        RegistryStore store(c.path);
        testing::internal::CaptureStderr();
        {
            RegTransaction t = store.begin(Mode::Write);
            t.writeValue(t.createKey(HKEY_CURRENT_USER, "K"), "v", RegValue::dword(7));
            t.commit();
        }
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.said), std::string::npos) << c.path << ": " << err;
        EXPECT_TRUE(err.starts_with("glyphscope: ")) << err;
        RegTransaction t = store.begin(Mode::Read);  // the run keeps its settings in memory
        EXPECT_EQ(t.readValue(*t.openKey(HKEY_CURRENT_USER, "K"), "v"), RegValue::dword(7)) << c.path;
    }
    EXPECT_TRUE(fs::is_directory(folder) && fs::is_empty(folder));
    EXPECT_EQ(contents(foreign), foreignBytes);
    EXPECT_TRUE(movedAside(d).empty());
    EXPECT_FALSE(fs::exists("/dev/null-journal"));
    EXPECT_FALSE(fs::exists(d / "foreign.sqlite3-journal"));
}

// Another connection holding the file: the store waits a few seconds in all, says so once,
// reads give nothing, and a write kept back is made once the file is free again.
TEST(RegistryStore, ABusyStoreIsWaitedForBrieflyAndItsWritesKept) {
    TempDir d;
    const std::string file = d / "registry.sqlite3";
    RegistryStore store(file);
    store.begin(Mode::Read).commit();  // made and checked while free
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    testing::internal::CaptureStderr();
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i) {
        EXPECT_THROW(store.begin(Mode::Write), RegistryBusy);
        store.deferWrite([i](RegTransaction& t) {
            t.writeValue(t.createKey(HKEY_CURRENT_USER, "Later"), "v" + std::to_string(i), RegValue::dword(i));
        });
    }
    const auto waited = std::chrono::steady_clock::now() - started;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_LT(waited, RegistryStore::kBusyBudget * 2);
    EXPECT_EQ(err.find("busy"), err.rfind("busy")) << err;  // said once
    EXPECT_NE(err.find("busy"), std::string::npos) << err;
    EXPECT_FALSE(store.flushDeferred());
    EXPECT_EQ(store.deferredCount(), 3u);

    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    RegTransaction t = store.begin(Mode::Read);  // the kept writes go first
    EXPECT_EQ(store.deferredCount(), 0u);
    EXPECT_EQ(t.valueNames(*t.openKey(HKEY_CURRENT_USER, "Later")), (std::vector<std::string>{"v0", "v1", "v2"}));
}

TEST(RegistryStore, TwentyProcessesWritingOneKeyKeepEveryValue) {
    TempDir d;
    const std::string file = d / "shared/registry.sqlite3";  // made by whichever comes first
    constexpr int kWriters = 20;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kWriters; ++i) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(gate[1]);
            char c;
            while (::read(gate[0], &c, 1) > 0) {
            }  // all start when the gate closes
            int status = 1;
            try {
                RegistryStore store(file);
                RegTransaction t = store.begin(Mode::Write);
                t.writeValue(t.createKey(HKEY_LOCAL_MACHINE, "Software\\Race"), "writer" + std::to_string(i),
                             RegValue::dword(std::uint32_t(i)));
                t.commit();
                status = 0;
            } catch (...) {
            }
            ::_exit(status);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    RegistryStore store(file);
    RegTransaction t = store.begin(Mode::Read);
    RegKeyId key = *t.openKey(HKEY_LOCAL_MACHINE, "Software\\Race");
    EXPECT_EQ(t.valueNames(key).size(), std::size_t(kWriters));
    for (int i = 0; i < kWriters; ++i)
        EXPECT_EQ(t.readValue(key, "writer" + std::to_string(i)), RegValue::dword(std::uint32_t(i)));
    EXPECT_TRUE(movedAside(d).empty());
}
