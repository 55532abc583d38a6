#pragma once
// The settings store's own thin layer over SQLite: prepared statements that finalize
// themselves and turn every failure into an ERegistryError (ERegistryBusy when another
// process holds the file), and the classes of result codes the store acts on. Used by
// the store's files only.
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/RegistryStore.h"

namespace gs::sqlite {

// A page or header SQLite cannot make sense of: the only reason to move a file aside.
inline bool isDamage(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

inline bool isBusy(int code) {
    const int primary = code & 0xFF;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// The code of this thread's last failure, for the caller that has to tell damage apart.
inline thread_local int lastError = 0;

[[noreturn]] inline void raise(int code, const std::string& message) {
    lastError = code;
    if (isBusy(code)) throw ERegistryBusy("settings store: " + message);
    throw ERegistryError("settings store: " + message);
}

// Runs SQL text without results.
inline void exec(sqlite3* db, const char* sql) {
    char* msg = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &msg);
    if (rc == SQLITE_OK) return;
    const std::string text = msg ? msg : sqlite3_errstr(rc);
    sqlite3_free(msg);
    raise(rc, text);
}

class TStatement {
public:
    TStatement(sqlite3* db, const char* sql) : db_(db) { Check(sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr)); }
    ~TStatement() { sqlite3_finalize(stmt_); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    TStatement& Bind(int i, std::int64_t v) { return Checked(sqlite3_bind_int64(stmt_, i, v)); }
    TStatement& Bind(int i, std::string_view s) {
        return Checked(sqlite3_bind_text(stmt_, i, s.data(), int(s.size()), SQLITE_TRANSIENT));
    }
    TStatement& BindBlob(int i, const TBytes& b) {
        return Checked(sqlite3_bind_blob(stmt_, i, b.data(), int(b.size()), SQLITE_TRANSIENT));
    }
    // True while a row is there.
    bool Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) Check(rc);
        return false;
    }
    int Type(int col) const { return sqlite3_column_type(stmt_, col); }
    std::int64_t Integer(int col) const { return sqlite3_column_int64(stmt_, col); }
    std::string Text(int col) const {
        auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
        return p ? std::string(p, std::size_t(sqlite3_column_bytes(stmt_, col))) : std::string();
    }
    TBytes Blob(int col) const {
        auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, col));
        return p ? TBytes(p, p + sqlite3_column_bytes(stmt_, col)) : TBytes();
    }
    int Changes() const { return sqlite3_changes(db_); }

private:
    TStatement& Checked(int rc) {
        Check(rc);
        return *this;
    }
    void Check(int rc) const {
        if (rc != SQLITE_OK) raise(rc, sqlite3_errmsg(db_));
    }
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace gs::sqlite
