#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/TempDir.h"
#include "support/WithoutWriteAccess.h"
#include "platform/RegistryStore.h"

using namespace gs;
using gstest::TempDir;
namespace fs = std::filesystem;
using Mode = TRegistryStore::Mode;

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

TEST(TRegistryStore, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    TRegistryStore store(":memory:");
    TRegTransaction t = store.begin(Mode::Write);
    RegKeyId key = t.CreateKey(HKEY_CURRENT_USER, "Software\\MyApp");
    EXPECT_EQ(t.OpenKey(HKEY_CURRENT_USER, "SOFTWARE\\myapp"), key);
    EXPECT_EQ(t.CreateKey(HKEY_CURRENT_USER, "software\\MYAPP"), key);
    EXPECT_EQ(t.SubkeyNames(*t.OpenKey(HKEY_CURRENT_USER, "")), std::vector<std::string>{"Software"});

    t.WriteValue(key, "Color", TRegValue::Dword(1));
    t.WriteValue(key, "COLOR", TRegValue::Dword(2));
    EXPECT_EQ(t.ValueNames(key), std::vector<std::string>{"Color"});
    EXPECT_EQ(t.ReadValue(key, "color"), TRegValue::Dword(2));

    // Letters beyond ASCII fold too.
    t.WriteValue(key, "\xC3\x84rger", TRegValue::Sz("x"));  // Ärger
    EXPECT_TRUE(t.HasValue(key, "\xC3\xA4RGER"));            // äRGER
    EXPECT_EQ(t.ValueNames(key).back(), "\xC3\x84rger");
    t.Commit();
}

TEST(TRegistryStore, ValuesKeepCreationOrderAndSubkeysSortWithoutCase) {
    TRegistryStore store(":memory:");
    TRegTransaction t = store.begin(Mode::Write);
    RegKeyId key = t.CreateKey(HKEY_LOCAL_MACHINE, "K");
    for (const char* name : {"z", "a", "M"}) t.WriteValue(key, name, TRegValue::Sz(name));
    t.WriteValue(key, "A", TRegValue::Sz("again"));  // an overwrite keeps its place
    EXPECT_EQ(t.ValueNames(key), (std::vector<std::string>{"z", "a", "M"}));
    EXPECT_TRUE(t.DeleteValue(key, "a"));
    EXPECT_FALSE(t.DeleteValue(key, "a"));
    t.WriteValue(key, "a", TRegValue::Sz("new"));  // created anew: now last
    EXPECT_EQ(t.ValueNames(key), (std::vector<std::string>{"z", "M", "a"}));

    for (const char* name : {"gamma", "beta", "Alpha", "Beta2"}) t.CreateSubkey(key, name);
    EXPECT_EQ(t.SubkeyNames(key), (std::vector<std::string>{"Alpha", "beta", "Beta2", "gamma"}));
}

TEST(TRegistryStore, KeyPathsSplitAtBackslashOnly) {
    TRegistryStore store(":memory:");
    TRegTransaction t = store.begin(Mode::Write);
    RegKeyId c = t.CreateKey(HKEY_CURRENT_USER, "\\a\\b\\\\c\\");  // empty parts are skipped
    EXPECT_EQ(t.OpenKey(HKEY_CURRENT_USER, "a\\b\\c"), c);
    RegKeyId slash = t.CreateKey(HKEY_CURRENT_USER, "x/y");  // "/" is part of a name
    EXPECT_EQ(t.SubkeyNames(*t.OpenKey(HKEY_CURRENT_USER, "")), (std::vector<std::string>{"a", "x/y"}));
    t.WriteValue(slash, "p\\q", TRegValue::Sz("v"));  // a value name may hold "\"
    EXPECT_EQ(t.ValueNames(slash), std::vector<std::string>{"p\\q"});
    t.WriteValue(slash, "", TRegValue::Sz("default"));  // the key's unnamed value
    EXPECT_EQ(t.ReadValue(slash, ""), TRegValue::Sz("default"));

    EXPECT_FALSE(t.OpenKey(HKEY_CURRENT_USER, "a\\missing\\c"));
    EXPECT_FALSE(t.OpenKey(0x12345, ""));
    EXPECT_THROW(t.CreateKey(0x12345, "k"), ERegistryError);
    EXPECT_THROW(t.CreateKey(0x12345, "k"), EPlatformError) << "the store's errors are the platform's";
}

TEST(TRegistryStore, DeletingAKeyTakesEverythingBelowIt) {
    TRegistryStore store(":memory:");
    TRegTransaction t = store.begin(Mode::Write);
    RegKeyId a = t.CreateKey(HKEY_CURRENT_USER, "A");
    RegKeyId deep = t.CreateKey(HKEY_CURRENT_USER, "A\\B\\C\\D");
    t.WriteValue(a, "v", TRegValue::Dword(1));
    t.WriteValue(deep, "w", TRegValue::Dword(2));
    RegKeyId sibling = t.CreateKey(HKEY_CURRENT_USER, "A2");
    t.WriteValue(sibling, "keep", TRegValue::Dword(3));

    t.DeleteKey(a);
    EXPECT_FALSE(t.OpenKey(HKEY_CURRENT_USER, "A"));
    EXPECT_FALSE(t.OpenKey(HKEY_CURRENT_USER, "A\\B\\C\\D"));
    EXPECT_TRUE(t.ValueNames(deep).empty());  // no orphaned values remain
    EXPECT_EQ(t.ReadValue(sibling, "keep"), TRegValue::Dword(3));
    EXPECT_THROW(t.DeleteKey(*t.OpenKey(HKEY_CURRENT_USER, "")), ERegistryError);
}

TEST(TRegistryStore, ValuesKeepTheirTypeAndData) {
    TempDir d;
    const TRegValue values[] = {TRegValue::Sz("tex\xC3\xA9t"), TRegValue::ExpandSz("%HOME%/x"),
                               TRegValue::Dword(0xFFFFFFFFu), TRegValue::Binary({0, 1, 0xFF, 0})};
    {
        TRegistryStore store(d / "r.sqlite3");
        TRegTransaction t = store.begin(Mode::Write);
        RegKeyId key = t.CreateKey(HKEY_CURRENT_USER, "T");
        for (std::size_t i = 0; i < std::size(values); ++i) t.WriteValue(key, std::to_string(i), values[i]);
        EXPECT_THROW(t.WriteValue(key, "bad", TRegValue{RegType::Dword, std::string("1")}), ERegistryError);
        t.Commit();
    }
    TRegistryStore again(d / "r.sqlite3");  // read back through a new connection
    TRegTransaction t = again.begin(Mode::Read);
    RegKeyId key = *t.OpenKey(HKEY_CURRENT_USER, "T");
    for (std::size_t i = 0; i < std::size(values); ++i) EXPECT_EQ(t.ReadValue(key, std::to_string(i)), values[i]);
    EXPECT_EQ(t.ReadValue(key, "0")->Number(), std::nullopt);
    EXPECT_EQ(t.ReadValue(key, "2")->Text(), std::nullopt);
}

TEST(TRegistryStore, RowsWhoseDataDoesNotFitTheirTypeAreRefused) {
    TempDir d;
    std::string file = d / "r.sqlite3";
    {
        TRegistryStore store(file);
        TRegTransaction t = store.begin(Mode::Write);
        t.CreateKey(HKEY_CURRENT_USER, "T");
        t.Commit();
    }
    sql(file, "INSERT INTO reg_values(key_id, name, name_fold, type, data) "
              "SELECT id, 'n', 'n', 4, 'text' FROM reg_keys WHERE name = 'T';"
              "INSERT INTO reg_values(key_id, name, name_fold, type, data) "
              "SELECT id, 'big', 'big', 4, 4294967296 FROM reg_keys WHERE name = 'T';");
    TRegistryStore store(file);
    TRegTransaction t = store.begin(Mode::Read);
    RegKeyId key = *t.OpenKey(HKEY_CURRENT_USER, "T");
    EXPECT_THROW(t.ReadValue(key, "n"), ERegistryError);
    EXPECT_THROW(t.ReadValue(key, "big"), ERegistryError);
}

TEST(TRegistryStore, AStoreMadeBeforeTheDynamicDataRootGetsItOnItsFirstKey) {
    TempDir d;
    std::string file = d / "r.sqlite3";
    TRegistryStore(file).begin(Mode::Write).Commit();
    sql(file, "DELETE FROM reg_keys WHERE parent IS NULL AND name = 'HKDD'");
    TRegistryStore store(file);
    EXPECT_FALSE(store.begin(Mode::Read).OpenKey(HKEY_DYN_DATA, ""));
    TRegTransaction t = store.begin(Mode::Write);
    const RegKeyId key = t.CreateKey(HKEY_DYN_DATA, "Software\\App"), other = t.CreateKey(HKEY_DYN_DATA, "Other");
    EXPECT_EQ(t.OpenKey(HKEY_DYN_DATA, "software\\app"), key);
    EXPECT_EQ(t.OpenKey(HKEY_DYN_DATA, "Other"), other);  // one root, made once
    EXPECT_THROW(t.CreateKey(0x80000004u, "X"), ERegistryError);  // not a root of ours
    t.Commit();
}

TEST(TRegistryStore, NestedTransactionsUndoOnlyTheirOwnPart) {
    TRegistryStore store(":memory:");
    {
        TRegTransaction outer = store.begin(Mode::Write);
        RegKeyId key = outer.CreateKey(HKEY_CURRENT_USER, "N");
        outer.WriteValue(key, "kept", TRegValue::Dword(1));
        {
            TRegTransaction inner = store.begin(Mode::Write);
            inner.WriteValue(key, "undone", TRegValue::Dword(2));
        }  // not committed
        {
            TRegTransaction inner = store.begin(Mode::Write);
            inner.WriteValue(key, "released", TRegValue::Dword(3));
            inner.Commit();
        }
        EXPECT_EQ(store.CommitCount(), 0u);  // savepoints are not commits
        outer.Commit();
    }
    EXPECT_EQ(store.CommitCount(), 1u);
    {
        TRegTransaction dropped = store.begin(Mode::Write);
        dropped.CreateKey(HKEY_CURRENT_USER, "Dropped");
    }
    TRegTransaction t = store.begin(Mode::Read);
    EXPECT_EQ(t.ValueNames(*t.OpenKey(HKEY_CURRENT_USER, "N")), (std::vector<std::string>{"kept", "released"}));
    EXPECT_FALSE(t.OpenKey(HKEY_CURRENT_USER, "Dropped"));
}

TEST(TRegistryStore, LocationComesFromTheEnvironment) {
    std::string saved = std::getenv(TRegistryStore::kEnvVariable) ? std::getenv(TRegistryStore::kEnvVariable) : "";
    setenv(TRegistryStore::kEnvVariable, "/some/where.sqlite3", 1);
    EXPECT_EQ(TRegistryStore::DefaultLocation(), "/some/where.sqlite3");
    unsetenv(TRegistryStore::kEnvVariable);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(TRegistryStore::DefaultLocation(), "/cfg/glyphscope/registry.sqlite3");
    // Neither HOME nor XDG_CONFIG_HOME: the home folder of the password database, never
    // the current folder.
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("HOME");
    const std::string fromPasswd = TRegistryStore::DefaultLocation();
    EXPECT_TRUE(fromPasswd.starts_with("/") || fromPasswd == TRegistryStore::kInMemory) << fromPasswd;
    EXPECT_TRUE(fromPasswd.ends_with("/.config/glyphscope/registry.sqlite3") ||
                fromPasswd == TRegistryStore::kInMemory)
        << fromPasswd;
    setenv("HOME", home.c_str(), 1);
    setenv(TRegistryStore::kEnvVariable, saved.c_str(), 1);
}

// A file that is not a database and a store with damaged pages are moved aside whole,
// reported, and replaced by a new empty store.
TEST(TRegistryStore, DamagedFilesAreMovedAsideNotOverwritten) {
    TempDir d;
    std::string file = d / "registry.sqlite3";
    auto openAndWrite = [&] {
        TRegistryStore store(file);
        TRegTransaction t = store.begin(Mode::Write);
        EXPECT_TRUE(t.SubkeyNames(*t.OpenKey(HKEY_CURRENT_USER, "")).empty());  // a new store
        t.WriteValue(t.CreateKey(HKEY_CURRENT_USER, "New"), "v", TRegValue::Dword(1));
        t.Commit();
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
        TRegistryStore store(file);
        TRegTransaction t = store.begin(Mode::Write);
        RegKeyId key = t.CreateKey(HKEY_CURRENT_USER, "Data");
        for (int i = 0; i < 200; ++i) t.WriteValue(key, "value" + std::to_string(i), TRegValue::Sz(std::string(50, 'v')));
        t.Commit();
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
TEST(TRegistryStore, WhatIsNotAStoreOfOursIsLeftAlone) {
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
        TRegistryStore store(c.path);
        testing::internal::CaptureStderr();
        {
            TRegTransaction t = store.begin(Mode::Write);
            t.WriteValue(t.CreateKey(HKEY_CURRENT_USER, "K"), "v", TRegValue::Dword(7));
            t.Commit();
        }
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.said), std::string::npos) << c.path << ": " << err;
        EXPECT_TRUE(err.starts_with("glyphscope: ")) << err;
        TRegTransaction t = store.begin(Mode::Read);  // the run keeps its settings in memory
        EXPECT_EQ(t.ReadValue(*t.OpenKey(HKEY_CURRENT_USER, "K"), "v"), TRegValue::Dword(7)) << c.path;
    }
    EXPECT_TRUE(fs::is_directory(folder) && fs::is_empty(folder));
    EXPECT_EQ(contents(foreign), foreignBytes);
    EXPECT_TRUE(movedAside(d).empty());
    EXPECT_FALSE(fs::exists("/dev/null-journal"));
    EXPECT_FALSE(fs::exists(d / "foreign.sqlite3-journal"));
}

// Another connection holding the file: the store waits a few seconds in all, says so once,
// reads give nothing, and a write kept back is made once the file is free again.
TEST(TRegistryStore, ABusyStoreIsWaitedForBrieflyAndItsWritesKept) {
    TempDir d;
    const std::string file = d / "registry.sqlite3";
    TRegistryStore store(file);
    store.begin(Mode::Read).Commit();  // made and checked while free
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    testing::internal::CaptureStderr();
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i) {
        EXPECT_THROW(store.begin(Mode::Write), ERegistryBusy);
        store.DeferWrite([i](TRegTransaction& t) {
            t.WriteValue(t.CreateKey(HKEY_CURRENT_USER, "Later"), "v" + std::to_string(i), TRegValue::Dword(i));
        });
    }
    const auto waited = std::chrono::steady_clock::now() - started;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_LT(waited, TRegistryStore::kBusyBudget * 2);
    EXPECT_EQ(err.find("busy"), err.rfind("busy")) << err;  // said once
    EXPECT_NE(err.find("busy"), std::string::npos) << err;
    EXPECT_FALSE(store.FlushDeferred());
    EXPECT_EQ(store.DeferredCount(), 3u);

    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    TRegTransaction t = store.begin(Mode::Read);  // the kept writes go first
    EXPECT_EQ(store.DeferredCount(), 0u);
    EXPECT_EQ(t.ValueNames(*t.OpenKey(HKEY_CURRENT_USER, "Later")), (std::vector<std::string>{"v0", "v1", "v2"}));
}

// A store whose folder cannot take its journal: read, told at its opening as read-only,
// every change refused at once. A folder that turns read-only later refuses the first
// change the run makes; that is told once and no change is tried again.
TEST(TRegistryStore, AFolderThatCannotBeWrittenMakesTheStoreReadOnly) {
    TempDir d;
    const fs::path folder = d.path / "settings";
    fs::create_directory(folder);
    const std::string file = (folder / "registry.sqlite3").string();
    {
        TRegistryStore maker(file);
        TRegTransaction t = maker.begin(Mode::Write);
        t.WriteValue(t.CreateKey(HKEY_CURRENT_USER, "K"), "v", TRegValue::Dword(7));
        t.Commit();
    }
    ::chmod(file.c_str(), 0666);
    const int failures = gstest::RunWithoutWriteAccess(folder, [&](const gstest::LockFolder& lock) {
        using gstest::Check;
        int failed = 0;
        auto said = [](TRegistryStore& store, const char* what) {
            std::string all;
            for (const std::string& n : store.TakeNotices()) all += n + "\n";
            return all.find(what) != std::string::npos ? std::string() : all;
        };
        lock(true);
        {
            TRegistryStore store(file);
            TRegTransaction t = store.begin(Mode::Read);
            failed += Check(t.ReadValue(*t.OpenKey(HKEY_CURRENT_USER, "K"), "v") == TRegValue::Dword(7), "read");
            t.Commit();
            const std::string notices = said(store, "is in a folder that cannot be written");
            failed += Check(notices.empty(), "told at the opening: " + notices);
            try {
                store.begin(Mode::Write);
                failed += Check(false, "a write transaction began");
            } catch (const ERegistryError&) {
            }
        }
        lock(false);
        TRegistryStore store(file);
        store.begin(Mode::Read).Commit();
        failed += Check(store.TakeNotices().empty(), "a writable folder told");
        lock(true);
        for (int i = 0; i < 2; ++i) {
            try {
                TRegTransaction t = store.begin(Mode::Write);
                t.WriteValue(t.CreateKey(HKEY_CURRENT_USER, "K"), "v", TRegValue::Dword(8));
                t.Commit();
                failed += Check(false, "a write was kept");
            } catch (const ERegistryError&) {
            }
        }
        const std::string notices = said(store, "cannot be written");
        failed += Check(notices.empty(), "told when refused: " + notices);
        lock(false);
        return failed;
    });
    EXPECT_EQ(failures, 0);
    EXPECT_FALSE(fs::exists(folder / "registry.sqlite3-journal"));
}

TEST(TRegistryStore, TwentyProcessesWritingOneKeyKeepEveryValue) {
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
                TRegistryStore store(file);
                TRegTransaction t = store.begin(Mode::Write);
                t.WriteValue(t.CreateKey(HKEY_LOCAL_MACHINE, "Software\\Race"), "writer" + std::to_string(i),
                             TRegValue::Dword(std::uint32_t(i)));
                t.Commit();
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
    TRegistryStore store(file);
    TRegTransaction t = store.begin(Mode::Read);
    RegKeyId key = *t.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Race");
    EXPECT_EQ(t.ValueNames(key).size(), std::size_t(kWriters));
    for (int i = 0; i < kWriters; ++i)
        EXPECT_EQ(t.ReadValue(key, "writer" + std::to_string(i)), TRegValue::Dword(std::uint32_t(i)));
    EXPECT_TRUE(movedAside(d).empty());
}
