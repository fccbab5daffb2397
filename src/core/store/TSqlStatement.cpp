#include "store/TSqlStatement.h"

#include <utility>

#include "store/EDBError.h"

TSqlStatement::TSqlStatement(sqlite3* db, std::string_view sql) : db_(db) {
    int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK)
        Fail(rc);
}

TSqlStatement::~TSqlStatement() {
    sqlite3_finalize(stmt_);
}

TSqlStatement::TSqlStatement(TSqlStatement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)) {}

TSqlStatement& TSqlStatement::operator=(TSqlStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = std::exchange(other.stmt_, nullptr);
    }
    return *this;
}

TSqlStatement& TSqlStatement::Bind(int index, long long value) {
    int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK)
        Fail(rc);
    return *this;
}

TSqlStatement& TSqlStatement::Bind(int index, std::string_view bytes) {
    // SQLITE_TRANSIENT: SQLite takes its own copy, so the caller's buffer may go at once.
    int rc = sqlite3_bind_text64(stmt_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT,
                                 SQLITE_UTF8);
    if (rc != SQLITE_OK)
        Fail(rc);
    return *this;
}

TSqlStatement& TSqlStatement::BindNull(int index) {
    int rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK)
        Fail(rc);
    return *this;
}

TSqlStatement& TSqlStatement::Bind(int index, const std::optional<long long>& value) {
    return value ? Bind(index, *value) : BindNull(index);
}

TSqlStatement& TSqlStatement::BindTextOrNull(int index, std::string_view bytes) {
    return bytes.empty() ? BindNull(index) : Bind(index, bytes);
}

TSqlStatement& TSqlStatement::Bind(const TSqlCondition& condition) {
    for (std::size_t i = 0; i < condition.values.size(); ++i) {
        const auto& v = condition.values[i];
        int index = static_cast<int>(i + 1);
        if (std::holds_alternative<long long>(v))
            Bind(index, std::get<long long>(v));
        else
            Bind(index, std::string_view(std::get<std::string>(v)));
    }
    return *this;
}

bool TSqlStatement::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(stmt_);
    Fail(rc);
}

void TSqlStatement::Run() {
    while (Step()) {
    }
}

void TSqlStatement::Reset() {
    sqlite3_reset(stmt_);
}

bool TSqlStatement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

long long TSqlStatement::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string TSqlStatement::Text(int column) const {
    // Blob access, so that SQLite never converts the bytes between encodings.
    const void* data = sqlite3_column_blob(stmt_, column);
    int size = sqlite3_column_bytes(stmt_, column);
    if (!data || size <= 0)
        return {};
    return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

void TSqlStatement::Fail(int rc) const {
    std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    throw EDBError("Database error: " + message);
}
