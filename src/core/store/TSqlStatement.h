#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>
#include <string_view>

#include "store/TSqlCondition.h"

// One prepared SQLite statement. Values are bound by position (1-based) and never spliced
// into the SQL text. Text is bound and read as raw bytes (cp932 in this program); SQLite
// does not look inside them. Failures throw EDBError. Move-only.
class TSqlStatement {
  public:
    TSqlStatement(sqlite3* db, std::string_view sql);
    ~TSqlStatement();
    TSqlStatement(TSqlStatement&& other) noexcept;
    TSqlStatement& operator=(TSqlStatement&& other) noexcept;
    TSqlStatement(const TSqlStatement&) = delete;
    TSqlStatement& operator=(const TSqlStatement&) = delete;

    TSqlStatement& Bind(int index, long long value);
    TSqlStatement& Bind(int index, std::string_view bytes);
    TSqlStatement& BindNull(int index);
    // NULL for nullopt.
    TSqlStatement& Bind(int index, const std::optional<long long>& value);
    // NULL for an empty text: empty fields are stored as NULL, like blank fields.
    TSqlStatement& BindTextOrNull(int index, std::string_view bytes);

    // Binds the values of a condition to ?1, ?2, ... in order.
    TSqlStatement& Bind(const TSqlCondition& condition);

    // Advances to the next row: true when there is one, false when the statement is done.
    bool Step();
    // Steps until done (for statements that return no rows).
    void Run();
    // Makes the statement ready to run again; bindings stay.
    void Reset();

    bool IsNull(int column) const;
    long long Int(int column) const;
    // NULL reads as "".
    std::string Text(int column) const;

  private:
    [[noreturn]] void Fail(int rc) const;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
};
