// The store's transactions and the operations on keys and values inside them.
#include "platform/RegistryStore.h"

#include "platform/SqliteStatement.h"
#include "platform/Text.h"

namespace gs {

using sqlite::TStatement;

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

std::optional<std::string> TRegValue::Text() const {
    if (type != RegType::Sz && type != RegType::ExpandSz) return std::nullopt;
    if (auto* s = std::get_if<std::string>(&data)) return *s;
    return std::nullopt;
}

std::optional<std::uint32_t> TRegValue::Number() const {
    if (type != RegType::Dword) return std::nullopt;
    if (auto* v = std::get_if<std::uint32_t>(&data)) return *v;
    return std::nullopt;
}

// ---- the store ----------------------------------------------------------------------

TRegistryStore::TRegistryStore(std::string location) : location_(std::move(location)) {}

TRegistryStore::~TRegistryStore() { Close(); }

void TRegistryStore::Exec(const char* sql) { sqlite::exec(db_, sql); }

TRegTransaction TRegistryStore::begin(Mode mode) {
    std::unique_lock lock(mutex_);
    bool outer = depth_ == 0;
    if (outer) {
        sqlite::lastError = 0;
        if (!db_ || damaged_) Open();
        if (!deferred_.empty() && !flushing_) FlushDeferred();
        if (mode == Mode::Write && readOnly_) throw ERegistryError("settings store " + location_ + " is read-only");
        Exec(mode == Mode::Write ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
    } else {
        Exec(("SAVEPOINT sp" + std::to_string(depth_)).c_str());
    }
    ++depth_;
    return TRegTransaction(*this, std::move(lock), outer);
}

void TRegistryStore::DeferWrite(DeferredWrite write) {
    std::lock_guard lock(mutex_);
    deferred_.push_back(std::move(write));
}

std::size_t TRegistryStore::DeferredCount() const {
    std::lock_guard lock(mutex_);
    return deferred_.size();
}

bool TRegistryStore::FlushDeferred() {
    std::lock_guard lock(mutex_);
    if (deferred_.empty() || depth_ > 0) return deferred_.empty();
    flushing_ = true;
    try {
        TRegTransaction t = begin(Mode::Write);
        for (const DeferredWrite& write : deferred_) {
            // A write that fails for a reason of its own is dropped, as it would have been
            // when it was asked for; only the store being busy keeps the rest waiting.
            try {
                TRegTransaction step = begin(Mode::Write);
                write(step);
                step.Commit();
            } catch (const ERegistryBusy&) {
                throw;
            } catch (const std::exception&) {
            }
        }
        t.Commit();
        deferred_.clear();
    } catch (const ERegistryBusy&) {
    } catch (const ERegistryError&) {
        deferred_.clear();  // read-only or unusable: these writes can never be made
    }
    flushing_ = false;
    return deferred_.empty();
}

// The file system refused a change (the file or its folder made read-only, or its journal
// refused) after the store was opened for writing: said once, and no change is tried again.
void TRegistryStore::RefusedWrite(int code) {
    const int primary = code & 0xFF;
    if (readOnly_ || (primary != SQLITE_READONLY && primary != SQLITE_CANTOPEN && primary != SQLITE_PERM)) return;
    readOnly_ = true;
    Say("the settings store " + location_ + " cannot be written (" + sqlite3_errstr(code) +
        "); changes are not kept");
}

// ---- transactions and their operations -----------------------------------------------

TRegTransaction::TRegTransaction(TRegistryStore& store, std::unique_lock<std::recursive_mutex> lock, bool outer)
    : store_(&store), lock_(std::move(lock)), outer_(outer), savepoint_("sp" + std::to_string(store.depth_ - 1)) {}

TRegTransaction::TRegTransaction(TRegTransaction&& other) noexcept
    : store_(other.store_),
      lock_(std::move(other.lock_)),
      outer_(other.outer_),
      done_(other.done_),
      savepoint_(std::move(other.savepoint_)) {
    other.done_ = true;
    other.store_ = nullptr;
}

TRegTransaction::~TRegTransaction() {
    if (!store_ || done_) return;
    // A damaged page met by this transaction makes the next one check the file again.
    if (sqlite::isDamage(sqlite::lastError)) store_->damaged_ = true;
    store_->RefusedWrite(sqlite::lastError);
    try {
        if (outer_) {
            store_->Exec("ROLLBACK");
        } else {
            store_->Exec(("ROLLBACK TO " + savepoint_ + "; RELEASE " + savepoint_).c_str());
        }
    } catch (const ERegistryError&) {
        // A failed rollback leaves SQLite to undo the transaction when the connection closes.
        if (outer_) store_->Close();
    }
    --store_->depth_;
}

void TRegTransaction::Commit() {
    store_->Exec(outer_ ? "COMMIT" : ("RELEASE " + savepoint_).c_str());
    if (outer_) ++store_->commits_;
    done_ = true;
    --store_->depth_;
}

std::optional<RegKeyId> TRegTransaction::RootKey(RegRootId root) {
    TStatement q(store_->db_, "SELECT id FROM reg_keys WHERE parent IS NULL AND root = ?1");
    q.Bind(1, std::int64_t(root));
    if (!q.Step()) return std::nullopt;
    return q.Integer(0);
}

std::optional<RegKeyId> TRegTransaction::ChildKey(RegKeyId parent, std::string_view name) {
    TStatement q(store_->db_, "SELECT id FROM reg_keys WHERE parent = ?1 AND name_fold = ?2");
    q.Bind(1, parent).Bind(2, foldCaseUtf8(name));
    if (!q.Step()) return std::nullopt;
    return q.Integer(0);
}

std::optional<RegKeyId> TRegTransaction::OpenKey(RegRootId root, std::string_view path) {
    std::optional<RegKeyId> key = RootKey(root);
    return key ? OpenSubkey(*key, path) : std::nullopt;
}

std::optional<RegKeyId> TRegTransaction::OpenSubkey(RegKeyId parent, std::string_view path) {
    std::optional<RegKeyId> key = parent;
    for (std::string_view part : splitKeyPath(path)) {
        key = ChildKey(*key, part);
        if (!key) break;
    }
    return key;
}

RegKeyId TRegTransaction::CreateKey(RegRootId root, std::string_view path) {
    std::optional<RegKeyId> key = RootKey(root);
    if (const std::optional<std::string_view> name = lateRootName(root); !key && name) {
        TStatement ins(store_->db_, "INSERT INTO reg_keys(parent, root, name, name_fold) VALUES (NULL, ?1, ?2, ?3)");
        ins.Bind(1, std::int64_t(root)).Bind(2, *name).Bind(3, foldCaseUtf8(*name));
        ins.Step();
        key = sqlite3_last_insert_rowid(store_->db_);
    }
    if (!key) throw ERegistryError("settings store: unknown root " + std::to_string(root));
    return CreateSubkey(*key, path);
}

RegKeyId TRegTransaction::CreateSubkey(RegKeyId parent, std::string_view path) {
    RegKeyId key = parent;
    for (std::string_view part : splitKeyPath(path)) {
        if (std::optional<RegKeyId> child = ChildKey(key, part)) {
            key = *child;
            continue;
        }
        TStatement ins(store_->db_,
                      "INSERT INTO reg_keys(parent, root, name, name_fold) "
                      "SELECT ?1, root, ?2, ?3 FROM reg_keys WHERE id = ?1");
        ins.Bind(1, key).Bind(2, part).Bind(3, foldCaseUtf8(part));
        ins.Step();
        if (ins.Changes() != 1) throw ERegistryError("settings store: parent key vanished");
        key = sqlite3_last_insert_rowid(store_->db_);
    }
    return key;
}

void TRegTransaction::DeleteKey(RegKeyId key) {
    TStatement root(store_->db_, "SELECT 1 FROM reg_keys WHERE id = ?1 AND parent IS NULL");
    if (root.Bind(1, key).Step()) throw ERegistryError("settings store: a root cannot be deleted");
    // UNION (not UNION ALL) stops at keys already seen, so even a damaged parent chain
    // that loops back cannot make this run forever.
    constexpr const char* kSubtree =
        "WITH RECURSIVE sub(id) AS (SELECT id FROM reg_keys WHERE parent = ?1 "
        "UNION SELECT k.id FROM reg_keys k JOIN sub ON k.parent = sub.id) ";
    TStatement values(store_->db_, (std::string(kSubtree) +
                                   "DELETE FROM reg_values WHERE key_id = ?1 OR key_id IN (SELECT id FROM sub)")
                                      .c_str());
    values.Bind(1, key).Step();
    TStatement keys(store_->db_,
                   (std::string(kSubtree) + "DELETE FROM reg_keys WHERE id = ?1 OR id IN (SELECT id FROM sub)")
                       .c_str());
    keys.Bind(1, key).Step();
}

std::vector<std::string> TRegTransaction::Names(const char* sql, RegKeyId key) {
    TStatement q(store_->db_, sql);
    q.Bind(1, key);
    std::vector<std::string> found;
    while (q.Step()) found.push_back(q.Text(0));
    return found;
}

std::vector<std::string> TRegTransaction::SubkeyNames(RegKeyId key) {
    return Names("SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY name_fold, name", key);
}

std::vector<std::string> TRegTransaction::ValueNames(RegKeyId key) {
    return Names("SELECT name FROM reg_values WHERE key_id = ?1 ORDER BY id", key);
}

bool TRegTransaction::HasValue(RegKeyId key, std::string_view name) {
    TStatement q(store_->db_, "SELECT 1 FROM reg_values WHERE key_id = ?1 AND name_fold = ?2");
    q.Bind(1, key).Bind(2, foldCaseUtf8(name));
    return q.Step();
}

std::optional<TRegValue> TRegTransaction::ReadValue(RegKeyId key, std::string_view name) {
    TStatement q(store_->db_, "SELECT type, data FROM reg_values WHERE key_id = ?1 AND name_fold = ?2");
    q.Bind(1, key).Bind(2, foldCaseUtf8(name));
    if (!q.Step()) return std::nullopt;
    // The file is not trusted: a row whose data does not fit its type reads as no value.
    auto type = static_cast<RegType>(q.Integer(0));
    int column = q.Type(1);
    switch (type) {
    case RegType::Sz:
    case RegType::ExpandSz:
        if (column == SQLITE_TEXT) return TRegValue{type, q.Text(1)};
        break;
    case RegType::Dword:
        if (column == SQLITE_INTEGER && q.Integer(1) >= 0 && q.Integer(1) <= 0xFFFFFFFFll)
            return TRegValue::Dword(std::uint32_t(q.Integer(1)));
        break;
    case RegType::Binary:
        if (column == SQLITE_BLOB || column == SQLITE_TEXT) return TRegValue::Binary(q.Blob(1));
        if (column == SQLITE_NULL) return TRegValue::Binary({});
        break;
    }
    throw ERegistryError("settings store: value \"" + std::string(name) + "\" has data of another type");
}

void TRegTransaction::WriteValue(RegKeyId key, std::string_view name, const TRegValue& value) {
    auto bindData = [&](TStatement& s, int i) {
        if (auto* text = std::get_if<std::string>(&value.data)) s.Bind(i, *text);
        if (auto* number = std::get_if<std::uint32_t>(&value.data)) s.Bind(i, std::int64_t(*number));
        if (auto* bytes = std::get_if<TBytes>(&value.data)) s.BindBlob(i, *bytes);
    };
    bool textual = std::holds_alternative<std::string>(value.data);
    bool matches = value.type == RegType::Dword ? std::holds_alternative<std::uint32_t>(value.data)
                   : value.type == RegType::Binary ? std::holds_alternative<TBytes>(value.data)
                                                   : textual;
    if (!matches) throw ERegistryError("settings store: value data does not match its type");
    std::string fold = foldCaseUtf8(name);
    TStatement upd(store_->db_, "UPDATE reg_values SET type = ?1, data = ?2 WHERE key_id = ?3 AND name_fold = ?4");
    upd.Bind(1, std::int64_t(value.type)).Bind(3, key).Bind(4, fold);
    bindData(upd, 2);
    upd.Step();
    if (upd.Changes() > 0) return;
    TStatement ins(store_->db_,
                  "INSERT INTO reg_values(key_id, name, name_fold, type, data) VALUES (?1, ?2, ?3, ?4, ?5)");
    ins.Bind(1, key).Bind(2, name).Bind(3, fold).Bind(4, std::int64_t(value.type));
    bindData(ins, 5);
    ins.Step();
}

bool TRegTransaction::DeleteValue(RegKeyId key, std::string_view name) {
    TStatement del(store_->db_, "DELETE FROM reg_values WHERE key_id = ?1 AND name_fold = ?2");
    del.Bind(1, key).Bind(2, foldCaseUtf8(name));
    del.Step();
    return del.Changes() > 0;
}

}  // namespace gs
