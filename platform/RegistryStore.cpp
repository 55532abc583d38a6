#include "platform/RegistryStore.h"

#include <sqlite3.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <locale.h>
#include <sys/stat.h>
#include <wctype.h>

namespace gs {

namespace fs = std::filesystem;

namespace {

// Marks a database as a store of this program ("GSRG"), and the layout of its tables.
constexpr int kApplicationId = 0x47535247;
constexpr int kSchemaVersion = 1;

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
  (NULL, 2147483653, 'HKCC', 'hkcc');
)sql";

// The only objects a store of ours holds; anything else means the file is not ours.
bool isKnownSchemaObject(std::string_view name) {
    for (std::string_view known : {"reg_keys", "reg_keys_child", "reg_keys_root", "reg_values",
                                   "reg_values_name", "reg_key_paths", "reg_entries", "sqlite_sequence"})
        if (name == known) return true;
    return name.starts_with("sqlite_autoindex_");
}

bool isDamage(int code) {
    int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// A prepared statement that finalizes itself; every failure becomes a RegistryError.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        check(sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr));
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int i, std::int64_t v) { return checked(sqlite3_bind_int64(stmt_, i, v)); }
    Statement& bind(int i, std::string_view s) {
        return checked(sqlite3_bind_text(stmt_, i, s.data(), int(s.size()), SQLITE_TRANSIENT));
    }
    Statement& bindBlob(int i, const Bytes& b) {
        return checked(sqlite3_bind_blob(stmt_, i, b.data(), int(b.size()), SQLITE_TRANSIENT));
    }
    // True while a row is there.
    bool step() {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) check(rc);
        return false;
    }
    int type(int col) const { return sqlite3_column_type(stmt_, col); }
    std::int64_t integer(int col) const { return sqlite3_column_int64(stmt_, col); }
    std::string text(int col) const {
        auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        return p ? std::string(p, std::size_t(sqlite3_column_bytes(stmt_, col))) : std::string();
    }
    Bytes blob(int col) const {
        auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, col));
        return p ? Bytes(p, p + sqlite3_column_bytes(stmt_, col)) : Bytes();
    }
    int changes() const { return sqlite3_changes(db_); }

    static inline thread_local int lastError = 0;  // the code of this thread's last failure

private:
    Statement& checked(int rc) {
        check(rc);
        return *this;
    }
    void check(int rc) const {
        if (rc == SQLITE_OK) return;
        lastError = rc;
        throw RegistryError(std::string("settings store: ") + sqlite3_errmsg(db_));
    }
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

std::vector<std::string_view> splitKeyPath(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        std::size_t cut = path.find('\\');
        std::string_view part = path.substr(0, cut);
        if (!part.empty()) parts.push_back(part);
        if (cut == std::string_view::npos) break;
        path.remove_prefix(cut + 1);
    }
    return parts;
}

// Decodes one UTF-8 sequence at s[i]; nothing for a malformed one.
std::optional<char32_t> decodeUtf8(std::string_view s, std::size_t& i) {
    auto b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) return std::nullopt;
    char32_t c = len == 1 ? b : b & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        auto cb = static_cast<unsigned char>(s[i + k]);
        if ((cb & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (cb & 0x3F);
    }
    i += len;
    return c;
}

void encodeUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out += {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
        out += {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
    } else {
        out += {char(0xF0 | (c >> 18)), char(0x80 | ((c >> 12) & 0x3F)), char(0x80 | ((c >> 6) & 0x3F)),
                char(0x80 | (c & 0x3F))};
    }
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

}  // namespace

std::string foldCaseUtf8(std::string_view name) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size();) {
        std::size_t at = i;
        std::optional<char32_t> c = decodeUtf8(name, i);
        if (!c) {  // a stray byte stands for itself
            out.push_back(name[at]);
            i = at + 1;
        } else if (*c < 0x80) {
            out.push_back(char(*c >= 'A' && *c <= 'Z' ? *c + 32 : *c));
        } else {
            encodeUtf8(out, utf8 ? char32_t(towlower_l(wint_t(*c), utf8)) : *c);
        }
    }
    return out;
}

std::optional<std::string> RegValue::text() const {
    if (type != RegType::Sz && type != RegType::ExpandSz) return std::nullopt;
    if (auto* s = std::get_if<std::string>(&data)) return *s;
    return std::nullopt;
}

std::optional<std::uint32_t> RegValue::number() const {
    if (type != RegType::Dword) return std::nullopt;
    if (auto* v = std::get_if<std::uint32_t>(&data)) return *v;
    return std::nullopt;
}

// ---- the store: opening, checking, moving aside --------------------------------------

RegistryStore::RegistryStore(std::string location) : location_(std::move(location)) {}

RegistryStore::~RegistryStore() { close(); }

std::string RegistryStore::defaultLocation() {
    if (const char* env = std::getenv(kEnvVariable); env && *env) return env;
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = fs::path(home) / ".config";
    } else {
        base = ".config";
    }
    return (base / "glyphscope" / "registry.sqlite3").string();
}

RegistryStore& defaultRegistryStore() {
    static RegistryStore store(RegistryStore::defaultLocation());
    return store;
}

void RegistryStore::close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
    damaged_ = false;
}

void RegistryStore::exec(const char* sql) {
    char* msg = nullptr;
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &msg);
    if (rc == SQLITE_OK) return;
    std::string text = msg ? msg : sqlite3_errstr(rc);
    sqlite3_free(msg);
    Statement::lastError = rc;
    throw RegistryError("settings store: " + text);
}

namespace {

enum class OpenResult { Ok, Damaged, Busy };

struct Opened {
    OpenResult result;
    std::string reason;
};

// Configures a fresh connection and checks the file; creates the tables in an empty one.
Opened checkStore(sqlite3* db) {
    sqlite3_busy_timeout(db, int(RegistryStore::kBusyTimeout.count()));
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    auto fail = [&](int rc) {
        return Opened{isDamage(rc) || (rc & 0xFF) == SQLITE_CANTOPEN ? OpenResult::Damaged : OpenResult::Busy,
                      sqlite3_errmsg(db)};
    };
    if (sqlite3_db_readonly(db, "main") == 1) return {OpenResult::Damaged, "the file is read-only"};
    try {
        Statement check(db, "PRAGMA quick_check");
        if (check.step() && check.text(0) != "ok") return {OpenResult::Damaged, check.text(0)};
    } catch (const RegistryError&) {
        return fail(Statement::lastError);
    }
    // A read transaction looks at the file; only an empty file is worth a write lock, and
    // it is looked at again under that lock since another process may have filled it.
    for (const char* begin : {"BEGIN DEFERRED", "BEGIN IMMEDIATE"}) {
        if (int rc = sqlite3_exec(db, begin, nullptr, nullptr, nullptr); rc != SQLITE_OK) return fail(rc);
        Opened result{OpenResult::Ok, {}};
        bool writing = std::string_view(begin) == "BEGIN IMMEDIATE";
        bool empty = false;
        try {
            Statement appId(db, "PRAGMA application_id");
            appId.step();
            Statement version(db, "PRAGMA user_version");
            version.step();
            Statement objects(db, "SELECT name FROM sqlite_schema");
            std::vector<std::string> names;
            while (objects.step()) names.push_back(objects.text(0));
            empty = appId.integer(0) == 0 && names.empty();
            if (empty && writing) {
                std::string marks = std::string(kSchema) + "PRAGMA application_id=" + std::to_string(kApplicationId) +
                                    "; PRAGMA user_version=" + std::to_string(kSchemaVersion) + ";";
                if (sqlite3_exec(db, marks.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
                    throw RegistryError(sqlite3_errmsg(db));
            } else if (!empty && (appId.integer(0) != kApplicationId || version.integer(0) != kSchemaVersion)) {
                result = {OpenResult::Damaged, "not a settings store of this version"};
            } else {
                for (const auto& n : names)
                    if (!isKnownSchemaObject(n)) result = {OpenResult::Damaged, "unexpected table " + n};
            }
        } catch (const RegistryError&) {
            int code = Statement::lastError ? Statement::lastError : sqlite3_errcode(db);
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            return fail(code);
        }
        bool keep = result.result == OpenResult::Ok && writing;
        if (int rc = sqlite3_exec(db, keep ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr); rc != SQLITE_OK)
            return fail(rc);
        if (!empty || writing || result.result != OpenResult::Ok) return result;
    }
    return {OpenResult::Busy, "unreachable"};
}

// Renames a damaged store (and its journal) out of the way. False when the file is gone
// or has been replaced meanwhile by another process, which then did the moving.
bool moveAside(const std::string& path, std::optional<ino_t> inode, const std::string& reason) {
    if (!inode || inodeOf(path) != inode) return false;
    std::string target = path + ".corrupt-" + timestampForName();
    for (int n = 1; fs::exists(target) || fs::exists(target + "-journal"); ++n)
        target = path + ".corrupt-" + timestampForName() + "-" + std::to_string(n);
    if (::rename(path.c_str(), target.c_str()) != 0) {
        std::cerr << "glyphscope: settings store " << path << " is damaged (" << reason
                  << ") and cannot be moved aside: " << std::strerror(errno) << '\n';
        return false;
    }
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        if (fs::exists(path + suffix)) ::rename((path + suffix).c_str(), (target + suffix).c_str());
    std::cerr << "glyphscope: settings store " << path << " is damaged (" << reason << "); moved aside to "
              << target << ", starting with an empty store\n";
    return true;
}

}  // namespace

void RegistryStore::open() {
    close();
    bool memory = location_ == kInMemory;
    if (!memory) {
        std::error_code ec;
        fs::create_directories(fs::path(location_).parent_path(), ec);
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::optional<ino_t> inode = memory ? std::nullopt : inodeOf(location_);
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(location_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        Opened opened = rc == SQLITE_OK ? checkStore(db)
                                        : Opened{OpenResult::Damaged, db ? sqlite3_errmsg(db) : "cannot open"};
        if (opened.result == OpenResult::Ok) {
            db_ = db;
            return;
        }
        sqlite3_close_v2(db);
        if (opened.result == OpenResult::Busy || memory)
            throw RegistryError("settings store " + location_ + ": " + opened.reason);
        if (!inode) inode = inodeOf(location_);
        if (!moveAside(location_, inode, opened.reason) && inodeOf(location_) == inode) break;
    }
    // The file can neither be used nor moved: run on a store that lasts for this process.
    std::cerr << "glyphscope: settings store " << location_
              << " cannot be used; settings of this run will not be kept\n";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        checkStore(db).result != OpenResult::Ok) {
        sqlite3_close_v2(db);
        throw RegistryError("settings store: cannot open even an in-memory store");
    }
    db_ = db;
}

RegTransaction RegistryStore::begin(Mode mode) {
    std::unique_lock lock(mutex_);
    bool outer = depth_ == 0;
    if (outer) {
        Statement::lastError = 0;
        if (!db_ || damaged_) open();
        exec(mode == Mode::Write ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
    } else {
        exec(("SAVEPOINT sp" + std::to_string(depth_)).c_str());
    }
    ++depth_;
    return RegTransaction(*this, std::move(lock), outer);
}

// ---- transactions and their operations -----------------------------------------------

RegTransaction::RegTransaction(RegistryStore& store, std::unique_lock<std::recursive_mutex> lock, bool outer)
    : store_(&store), lock_(std::move(lock)), outer_(outer), savepoint_("sp" + std::to_string(store.depth_ - 1)) {}

RegTransaction::RegTransaction(RegTransaction&& other) noexcept
    : store_(other.store_),
      lock_(std::move(other.lock_)),
      outer_(other.outer_),
      done_(other.done_),
      savepoint_(std::move(other.savepoint_)) {
    other.done_ = true;
    other.store_ = nullptr;
}

RegTransaction::~RegTransaction() {
    if (!store_ || done_) return;
    // A damaged page met by this transaction makes the next one check the file again.
    if (isDamage(Statement::lastError)) store_->damaged_ = true;
    try {
        if (outer_) {
            store_->exec("ROLLBACK");
        } else {
            store_->exec(("ROLLBACK TO " + savepoint_ + "; RELEASE " + savepoint_).c_str());
        }
    } catch (const RegistryError&) {
        // A failed rollback leaves SQLite to undo the transaction when the connection closes.
        if (outer_) store_->close();
    }
    --store_->depth_;
}

void RegTransaction::commit() {
    store_->exec(outer_ ? "COMMIT" : ("RELEASE " + savepoint_).c_str());
    if (outer_) ++store_->commits_;
    done_ = true;
    --store_->depth_;
}

std::optional<RegKeyId> RegTransaction::rootKey(RegRootId root) {
    Statement q(store_->db_, "SELECT id FROM reg_keys WHERE parent IS NULL AND root = ?1");
    q.bind(1, std::int64_t(root));
    if (!q.step()) return std::nullopt;
    return q.integer(0);
}

std::optional<RegKeyId> RegTransaction::childKey(RegKeyId parent, std::string_view name) {
    Statement q(store_->db_, "SELECT id FROM reg_keys WHERE parent = ?1 AND name_fold = ?2");
    q.bind(1, parent).bind(2, foldCaseUtf8(name));
    if (!q.step()) return std::nullopt;
    return q.integer(0);
}

std::optional<RegKeyId> RegTransaction::openKey(RegRootId root, std::string_view path) {
    std::optional<RegKeyId> key = rootKey(root);
    return key ? openSubkey(*key, path) : std::nullopt;
}

std::optional<RegKeyId> RegTransaction::openSubkey(RegKeyId parent, std::string_view path) {
    std::optional<RegKeyId> key = parent;
    for (std::string_view part : splitKeyPath(path)) {
        key = childKey(*key, part);
        if (!key) break;
    }
    return key;
}

RegKeyId RegTransaction::createKey(RegRootId root, std::string_view path) {
    std::optional<RegKeyId> key = rootKey(root);
    if (!key) throw RegistryError("settings store: unknown root " + std::to_string(root));
    return createSubkey(*key, path);
}

RegKeyId RegTransaction::createSubkey(RegKeyId parent, std::string_view path) {
    RegKeyId key = parent;
    for (std::string_view part : splitKeyPath(path)) {
        if (std::optional<RegKeyId> child = childKey(key, part)) {
            key = *child;
            continue;
        }
        Statement ins(store_->db_,
                      "INSERT INTO reg_keys(parent, root, name, name_fold) "
                      "SELECT ?1, root, ?2, ?3 FROM reg_keys WHERE id = ?1");
        ins.bind(1, key).bind(2, part).bind(3, foldCaseUtf8(part));
        ins.step();
        if (ins.changes() != 1) throw RegistryError("settings store: parent key vanished");
        key = sqlite3_last_insert_rowid(store_->db_);
    }
    return key;
}

void RegTransaction::deleteKey(RegKeyId key) {
    Statement root(store_->db_, "SELECT 1 FROM reg_keys WHERE id = ?1 AND parent IS NULL");
    if (root.bind(1, key).step()) throw RegistryError("settings store: a root cannot be deleted");
    // UNION (not UNION ALL) stops at keys already seen, so even a damaged parent chain
    // that loops back cannot make this run forever.
    constexpr const char* kSubtree =
        "WITH RECURSIVE sub(id) AS (SELECT id FROM reg_keys WHERE parent = ?1 "
        "UNION SELECT k.id FROM reg_keys k JOIN sub ON k.parent = sub.id) ";
    Statement values(store_->db_, (std::string(kSubtree) +
                                   "DELETE FROM reg_values WHERE key_id = ?1 OR key_id IN (SELECT id FROM sub)")
                                      .c_str());
    values.bind(1, key).step();
    Statement keys(store_->db_,
                   (std::string(kSubtree) + "DELETE FROM reg_keys WHERE id = ?1 OR id IN (SELECT id FROM sub)")
                       .c_str());
    keys.bind(1, key).step();
}

std::vector<std::string> RegTransaction::names(const char* sql, RegKeyId key) {
    Statement q(store_->db_, sql);
    q.bind(1, key);
    std::vector<std::string> found;
    while (q.step()) found.push_back(q.text(0));
    return found;
}

std::vector<std::string> RegTransaction::subkeyNames(RegKeyId key) {
    return names("SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY name_fold, name", key);
}

std::vector<std::string> RegTransaction::valueNames(RegKeyId key) {
    return names("SELECT name FROM reg_values WHERE key_id = ?1 ORDER BY id", key);
}

bool RegTransaction::hasValue(RegKeyId key, std::string_view name) {
    Statement q(store_->db_, "SELECT 1 FROM reg_values WHERE key_id = ?1 AND name_fold = ?2");
    q.bind(1, key).bind(2, foldCaseUtf8(name));
    return q.step();
}

std::optional<RegValue> RegTransaction::readValue(RegKeyId key, std::string_view name) {
    Statement q(store_->db_, "SELECT type, data FROM reg_values WHERE key_id = ?1 AND name_fold = ?2");
    q.bind(1, key).bind(2, foldCaseUtf8(name));
    if (!q.step()) return std::nullopt;
    // The file is not trusted: a row whose data does not fit its type reads as no value.
    auto type = static_cast<RegType>(q.integer(0));
    int column = q.type(1);
    switch (type) {
    case RegType::Sz:
    case RegType::ExpandSz:
        if (column == SQLITE_TEXT) return RegValue{type, q.text(1)};
        break;
    case RegType::Dword:
        if (column == SQLITE_INTEGER && q.integer(1) >= 0 && q.integer(1) <= 0xFFFFFFFFll)
            return RegValue::dword(std::uint32_t(q.integer(1)));
        break;
    case RegType::Binary:
        if (column == SQLITE_BLOB || column == SQLITE_TEXT) return RegValue::binary(q.blob(1));
        if (column == SQLITE_NULL) return RegValue::binary({});
        break;
    }
    throw RegistryError("settings store: value \"" + std::string(name) + "\" has data of another type");
}

void RegTransaction::writeValue(RegKeyId key, std::string_view name, const RegValue& value) {
    auto bindData = [&](Statement& s, int i) {
        if (auto* text = std::get_if<std::string>(&value.data)) s.bind(i, *text);
        if (auto* number = std::get_if<std::uint32_t>(&value.data)) s.bind(i, std::int64_t(*number));
        if (auto* bytes = std::get_if<Bytes>(&value.data)) s.bindBlob(i, *bytes);
    };
    bool textual = std::holds_alternative<std::string>(value.data);
    bool matches = value.type == RegType::Dword ? std::holds_alternative<std::uint32_t>(value.data)
                   : value.type == RegType::Binary ? std::holds_alternative<Bytes>(value.data)
                                                   : textual;
    if (!matches) throw RegistryError("settings store: value data does not match its type");
    std::string fold = foldCaseUtf8(name);
    Statement upd(store_->db_, "UPDATE reg_values SET type = ?1, data = ?2 WHERE key_id = ?3 AND name_fold = ?4");
    upd.bind(1, std::int64_t(value.type)).bind(3, key).bind(4, fold);
    bindData(upd, 2);
    upd.step();
    if (upd.changes() > 0) return;
    Statement ins(store_->db_,
                  "INSERT INTO reg_values(key_id, name, name_fold, type, data) VALUES (?1, ?2, ?3, ?4, ?5)");
    ins.bind(1, key).bind(2, name).bind(3, fold).bind(4, std::int64_t(value.type));
    bindData(ins, 5);
    ins.step();
}

bool RegTransaction::deleteValue(RegKeyId key, std::string_view name) {
    Statement del(store_->db_, "DELETE FROM reg_values WHERE key_id = ?1 AND name_fold = ?2");
    del.bind(1, key).bind(2, foldCaseUtf8(name));
    del.step();
    return del.changes() > 0;
}

}  // namespace gs
