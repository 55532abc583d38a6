// Opening the settings store: where it lives, what may stand at that path, checking that
// the file is a store of ours, moving a damaged one aside, and waiting for other processes.
#include <sqlite3.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iostream>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

#include "platform/Errors.h"
#include "platform/RegistryStore.h"
#include "platform/SqliteStatement.h"

namespace gs {

namespace fs = std::filesystem;

namespace {

// Marks a database as a store of this program ("GSRG"), and the layout of its tables.
constexpr int kApplicationId = 0x47535247;
constexpr int kSchemaVersion = 1;
constexpr std::chrono::milliseconds kBusyStep{25};

constexpr const char* kSchema = R"sql(
CREATE TABLE reg_keys(
  id        INTEGER PRIMARY KEY,
  parent    INTEGER REFERENCES reg_keys(id),
  root      INTEGER NOT NULL,
  name      TEXT NOT NULL,
  name_fold TEXT NOT NULL
);
CREATE UNIQUE INDEX reg_keys_child ON reg_keys(parent, name_fold);
CREATE UNIQUE INDEX reg_keys_root ON reg_keys(root) WHERE parent IS NULL;
CREATE TABLE reg_values(
  id        INTEGER PRIMARY KEY AUTOINCREMENT,
  key_id    INTEGER NOT NULL REFERENCES reg_keys(id),
  name      TEXT NOT NULL,
  name_fold TEXT NOT NULL,
  type      INTEGER NOT NULL,
  data
);
CREATE UNIQUE INDEX reg_values_name ON reg_values(key_id, name_fold);
CREATE VIEW reg_key_paths(id, path) AS
  WITH RECURSIVE p(id, path) AS (
    SELECT id, name FROM reg_keys WHERE parent IS NULL
    UNION
    SELECT k.id, p.path || '\' || k.name FROM reg_keys k JOIN p ON k.parent = p.id)
  SELECT id, path FROM p;
CREATE VIEW reg_entries(path, seq, name, type, data) AS
  SELECT p.path, v.id, v.name,
         CASE v.type WHEN 1 THEN 'REG_SZ' WHEN 2 THEN 'REG_EXPAND_SZ'
                     WHEN 3 THEN 'REG_BINARY' WHEN 4 THEN 'REG_DWORD' ELSE v.type END,
         v.data
  FROM reg_values v JOIN reg_key_paths p ON p.id = v.key_id;
INSERT INTO reg_keys(parent, root, name, name_fold) VALUES
  (NULL, 2147483648, 'HKCR', 'hkcr'), (NULL, 2147483649, 'HKCU', 'hkcu'),
  (NULL, 2147483650, 'HKLM', 'hklm'), (NULL, 2147483651, 'HKU', 'hku'),
  (NULL, 2147483653, 'HKCC', 'hkcc'), (NULL, 2147483654, 'HKDD', 'hkdd');
)sql";

// The only objects a store of ours holds; anything else means the file is not ours.
bool isKnownSchemaObject(std::string_view name) {
    for (std::string_view known : {"reg_keys", "reg_keys_child", "reg_keys_root", "reg_values",
                                   "reg_values_name", "reg_key_paths", "reg_entries", "sqlite_sequence"})
        if (name == known) return true;
    return name.starts_with("sqlite_autoindex_");
}

std::string timestampForName() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

std::optional<ino_t> inodeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return st.st_ino;
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    std::vector<char> buf(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir &&
        *found->pw_dir)
        return found->pw_dir;
    return {};
}

// What opening found: a store to use, a file to move aside, something to leave alone, or
// another process in the way.
enum class OpenResult { Ok, Damaged, Refused, Busy };

struct TOpened {
    OpenResult result;
    std::string reason;
};

TOpened failure(sqlite3* db, int rc) {
    std::string reason = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    if ((rc & 0xFF) == SQLITE_CANTOPEN && db && sqlite3_system_errno(db) != 0)
        reason = std::strerror(sqlite3_system_errno(db));  // say why in the system's words
    if (sqlite::isDamage(rc)) return {OpenResult::Damaged, reason};
    if (sqlite::isBusy(rc)) return {OpenResult::Busy, reason};
    return {OpenResult::Refused, reason};
}

// Looks at the tables in one transaction; creates them in an empty file when `writing`.
TOpened lookAtTables(sqlite3* db, bool writing, bool& empty) {
    sqlite::TStatement appId(db, "PRAGMA application_id");
    appId.Step();
    sqlite::TStatement version(db, "PRAGMA user_version");
    version.Step();
    sqlite::TStatement objects(db, "SELECT name FROM sqlite_schema");
    std::vector<std::string> names;
    while (objects.Step()) names.push_back(objects.Text(0));
    empty = appId.Integer(0) == 0 && names.empty();
    if (empty && writing) {
        const std::string marks = std::string(kSchema) + "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                  "; PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";";
        sqlite::exec(db, marks.c_str());
    } else if (!empty && appId.Integer(0) != kApplicationId) {
        return {OpenResult::Refused, "a database of another program"};
    } else if (!empty && version.Integer(0) != kSchemaVersion) {
        return {OpenResult::Refused, "a store of another version of this program"};
    } else {
        for (const auto& n : names)
            if (!isKnownSchemaObject(n)) return {OpenResult::Refused, "a database with a table \"" + n + "\" of another program"};
    }
    return {OpenResult::Ok, {}};
}

// Configures a fresh connection and checks the file; creates the tables in an empty one
// (a read-only empty file stays empty: there is nothing to read in it).
TOpened checkStore(sqlite3* db, bool readOnly) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    try {
        sqlite::TStatement check(db, "PRAGMA quick_check");
        if (check.Step() && check.Text(0) != "ok") return {OpenResult::Damaged, check.Text(0)};
    } catch (const ERegistryError&) {
        return failure(db, sqlite::lastError);
    }
    // A read transaction looks at the file; only an empty file is worth a write lock, and
    // it is looked at again under that lock since another process may have filled it.
    for (const bool writing : {false, true}) {
        if (int rc = sqlite3_exec(db, writing ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED", nullptr, nullptr, nullptr);
            rc != SQLITE_OK)
            return failure(db, rc);
        bool empty = false;
        TOpened result{OpenResult::Ok, {}};
        try {
            result = lookAtTables(db, writing, empty);
        } catch (const ERegistryError&) {
            const int code = sqlite::lastError ? sqlite::lastError : sqlite3_errcode(db);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return failure(db, code);
        }
        const bool keep = result.result == OpenResult::Ok && writing;
        if (int rc = sqlite3_exec(db, keep ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr); rc != SQLITE_OK)
            return failure(db, rc);
        if (!empty || writing || readOnly || result.result != OpenResult::Ok) return result;
    }
    return {OpenResult::Busy, "unreachable"};
}

// Renames a damaged store (and its journal) out of the way. False when the file is gone
// or has been replaced meanwhile by another process, which then did the moving.
bool moveAside(const std::string& path, std::optional<ino_t> inode, const std::string& reason,
               const std::function<void(const std::string&)>& say) {
    if (!inode || inodeOf(path) != inode) return false;
    std::string target = path + ".corrupt-" + timestampForName();
    for (int n = 1; fs::exists(target) || fs::exists(target + "-journal"); ++n)
        target = path + ".corrupt-" + timestampForName() + "-" + std::to_string(n);
    if (::rename(path.c_str(), target.c_str()) != 0) {
        say("the settings store " + path + " is damaged (" + reason + ") and cannot be moved aside: " +
            std::strerror(errno));
        return false;
    }
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        if (fs::exists(path + suffix)) ::rename((path + suffix).c_str(), (target + suffix).c_str());
    say("the settings store " + path + " is damaged (" + reason + "); moved aside to " + target +
        ", starting with an empty store");
    return true;
}

// Why a store whose file opened for writing still cannot take a change: its folder, where
// every change puts its journal first, refuses new files. Empty when it can. (access()
// answers for the real user, which this program always is, and says EROFS for a
// read-only mount even to root.)
std::string folderRefusesWrites(const std::string& path) {
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) folder = ".";
    if (::access(folder.c_str(), W_OK | X_OK) == 0) return {};
    return std::strerror(errno);
}

}  // namespace

std::string TRegistryStore::DefaultLocation() {
    if (const char* env = std::getenv(kEnvVariable); env && *env) return env;
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        base = xdg;
    } else if (const std::string home = homeFolder(); !home.empty()) {
        base = fs::path(home) / ".config";
    } else {
        return std::string(kInMemory);
    }
    return (base / "glyphscope" / "registry.sqlite3").string();
}

TRegistryStore& defaultRegistryStore() {
    static TRegistryStore store(TRegistryStore::DefaultLocation());
    return store;
}

void TRegistryStore::Close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
    damaged_ = false;
    readOnly_ = false;
}

int TRegistryStore::OnBusy(void* self, int /*count*/) {
    auto* store = static_cast<TRegistryStore*>(self);
    if (store->busyWaited_ >= kBusyBudget) {
        store->SayBusy();
        return 0;
    }
    const std::chrono::milliseconds step = std::min(kBusyStep, kBusyBudget - store->busyWaited_);
    std::this_thread::sleep_for(step);
    store->busyWaited_ += step;
    return 1;
}

void TRegistryStore::SayBusy() {
    if (busySaid_) return;
    busySaid_ = true;
    Say("the settings store " + location_ + " is busy (another program is using it); going on with the settings read so far");
}

void TRegistryStore::Say(const std::string& notice) {
    std::cerr << kMessagePrefix << notice << '\n';
    notices_.push_back(notice);
}

std::vector<std::string> TRegistryStore::TakeNotices() {
    std::lock_guard lock(mutex_);
    return std::exchange(notices_, {});
}

void TRegistryStore::OpenInMemory() {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        checkStore(db, false).result != OpenResult::Ok) {
        sqlite3_close_v2(db);
        throw ERegistryError("settings store: cannot open even an in-memory store");
    }
    db_ = db;
}

void TRegistryStore::UseInMemory(const std::string& reason) {
    Say("the settings store " + location_ + " cannot be used (" + reason + "); settings of this run will not be kept");
    OpenInMemory();
}

void TRegistryStore::Open() {
    Close();
    if (location_ == kInMemory) return OpenInMemory();
    // Only a regular file is ever handed to SQLite: it would make a journal beside a
    // device, and a folder would look like a file it cannot open.
    if (struct stat st {}; ::stat(location_.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return UseInMemory("it is not a regular file");
    } else if (errno == ENOENT) {
        std::error_code ec;
        fs::create_directories(fs::path(location_).parent_path(), ec);
    } else {
        return UseInMemory(std::strerror(errno));
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::optional<ino_t> inode = inodeOf(location_);
        sqlite3* db = nullptr;
        const int rc = sqlite3_open_v2(location_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (db) sqlite3_busy_handler(db, &TRegistryStore::OnBusy, this);
        std::string whyReadOnly;  // empty when changes can be kept
        if (rc == SQLITE_OK) {
            if (sqlite3_db_readonly(db, "main") == 1) whyReadOnly = "is read-only";
            else if (const std::string folder = folderRefusesWrites(location_); !folder.empty())
                whyReadOnly = "is in a folder that cannot be written (" + folder + ")";
        }
        const bool readOnly = !whyReadOnly.empty();
        const TOpened opened = rc == SQLITE_OK ? checkStore(db, readOnly) : failure(db, rc);
        if (opened.result == OpenResult::Ok) {
            db_ = db;
            readOnly_ = readOnly;
            if (readOnly)
                Say("the settings store " + location_ + " " + whyReadOnly +
                    "; settings are read from it, changes are not kept");
            return;
        }
        sqlite3_close_v2(db);
        if (opened.result == OpenResult::Busy)
            throw ERegistryBusy("settings store " + location_ + ": " + opened.reason);
        if (opened.result == OpenResult::Refused) return UseInMemory(opened.reason);
        if (!inode) inode = inodeOf(location_);
        if (!moveAside(location_, inode, opened.reason, [this](const std::string& n) { Say(n); }) && inodeOf(location_) == inode) break;
    }
    UseInMemory("it is damaged and cannot be moved aside");
}

}  // namespace gs
