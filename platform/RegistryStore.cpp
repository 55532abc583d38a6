// The store's transactions and the operations on keys and values inside them.
#include "platform/RegistryStore.h"

#include "platform/SqliteStatement.h"
#include "platform/Text.h"

namespace gs {

using sqlite::Statement;

namespace {

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

// A root this program knows but a store made by an earlier version lacks: the name it has
// in a new store, else nothing.
std::optional<std::string_view> lateRootName(RegRootId root) {
    if (root == HKEY_DYN_DATA) return "HKDD";
    return std::nullopt;
}

}  // namespace

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

// ---- the store ----------------------------------------------------------------------

RegistryStore::RegistryStore(std::string location) : location_(std::move(location)) {}

RegistryStore::~RegistryStore() { close(); }

void RegistryStore::exec(const char* sql) { sqlite::exec(db_, sql); }

RegTransaction RegistryStore::begin(Mode mode) {
    std::unique_lock lock(mutex_);
    bool outer = depth_ == 0;
    if (outer) {
        sqlite::lastError = 0;
        if (!db_ || damaged_) open();
        if (!deferred_.empty() && !flushing_) flushDeferred();
        if (mode == Mode::Write && readOnly_) throw RegistryError("settings store " + location_ + " is read-only");
        exec(mode == Mode::Write ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
    } else {
        exec(("SAVEPOINT sp" + std::to_string(depth_)).c_str());
    }
    ++depth_;
    return RegTransaction(*this, std::move(lock), outer);
}

void RegistryStore::deferWrite(DeferredWrite write) {
    std::lock_guard lock(mutex_);
    deferred_.push_back(std::move(write));
}

std::size_t RegistryStore::deferredCount() const {
    std::lock_guard lock(mutex_);
    return deferred_.size();
}

bool RegistryStore::flushDeferred() {
    std::lock_guard lock(mutex_);
    if (deferred_.empty() || depth_ > 0) return deferred_.empty();
    flushing_ = true;
    try {
        RegTransaction t = begin(Mode::Write);
        for (const DeferredWrite& write : deferred_) {
            // A write that fails for a reason of its own is dropped, as it would have been
            // when it was asked for; only the store being busy keeps the rest waiting.
            try {
                RegTransaction step = begin(Mode::Write);
                write(step);
                step.commit();
            } catch (const RegistryBusy&) {
                throw;
            } catch (const std::exception&) {
            }
        }
        t.commit();
        deferred_.clear();
    } catch (const RegistryBusy&) {
    } catch (const RegistryError&) {
        deferred_.clear();  // read-only or unusable: these writes can never be made
    }
    flushing_ = false;
    return deferred_.empty();
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
    if (sqlite::isDamage(sqlite::lastError)) store_->damaged_ = true;
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
    if (const std::optional<std::string_view> name = lateRootName(root); !key && name) {
        Statement ins(store_->db_, "INSERT INTO reg_keys(parent, root, name, name_fold) VALUES (NULL, ?1, ?2, ?3)");
        ins.bind(1, std::int64_t(root)).bind(2, *name).bind(3, foldCaseUtf8(*name));
        ins.step();
        key = sqlite3_last_insert_rowid(store_->db_);
    }
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
