// RAII wrappers over the SQLite C API used by the record manager.
#pragma once

#include <sqlite3.h>

#include <string>
#include <utility>

namespace kwio {

class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &_stmt,
                               nullptr) != SQLITE_OK) {
            _stmt = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(_stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept : _stmt(std::exchange(other._stmt, nullptr)) {}
    Statement& operator=(Statement&& other) noexcept {
        if (this != &other) {
            sqlite3_finalize(_stmt);
            _stmt = std::exchange(other._stmt, nullptr);
        }
        return *this;
    }
    sqlite3_stmt* get() const { return _stmt; }
    explicit operator bool() const { return _stmt != nullptr; }
    // Ready for new bindings: ends any step in progress.
    void Reset() {
        if (_stmt) {
            sqlite3_reset(_stmt);
            sqlite3_clear_bindings(_stmt);
        }
    }

private:
    sqlite3_stmt* _stmt = nullptr;
};

class Database {
public:
    Database() = default;
    ~Database() { Close(); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    int Open(const std::string& path, int flags) {
        Close();
        const int rc = sqlite3_open_v2(path.c_str(), &_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close_v2(_db);
            _db = nullptr;
        }
        return rc;
    }
    void Close() {
        if (_db) sqlite3_close_v2(_db);
        _db = nullptr;
    }
    sqlite3* get() const { return _db; }
    // Runs SQL without results; answers the SQLite result code.
    int Exec(const std::string& sql) { return sqlite3_exec(_db, sql.c_str(), nullptr, nullptr, nullptr); }
    std::string Error() const { return _db ? sqlite3_errmsg(_db) : "no database"; }

private:
    sqlite3* _db = nullptr;
};

} // namespace kwio
