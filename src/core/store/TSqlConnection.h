#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "store/TSqlStatement.h"

// One SQLite connection. Other table files are attached to it under fixed schema names
// chosen by the store (never by the user), so one transaction can span several files.
// Used by one thread at a time. Failures throw EDBError.
class TSqlConnection {
  public:
    // Opens (and with `create`, creates) the database file at `path`.
    TSqlConnection(const std::string& path, bool create);
    ~TSqlConnection();
    TSqlConnection(const TSqlConnection&) = delete;
    TSqlConnection& operator=(const TSqlConnection&) = delete;

    sqlite3* handle() const { return db_; }
    const std::string& path() const { return path_; }

    void Exec(std::string_view sql);
    TSqlStatement Prepare(std::string_view sql) { return TSqlStatement(db_, sql); }

    // Attaches the file at `path` as `schema`; the file is created when missing.
    void Attach(const std::string& path, std::string_view schema);
    // Detaches `schema` when it is attached; never throws.
    void DetachIfAttached(std::string_view schema) noexcept;
    bool IsAttached(std::string_view schema) const;

    bool InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }
    long long LastInsertRowid() const { return sqlite3_last_insert_rowid(db_); }

  private:
    sqlite3* db_ = nullptr;
    std::string path_;
};
