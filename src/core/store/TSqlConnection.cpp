#include "store/TSqlConnection.h"

#include "store/EDBError.h"
#include "text/Cp932.h"

namespace {

// How long a writer waits for another process (brevilo-cli beside the GUI, or the GUI
// beside a script) to release a table before it gives up.
constexpr int kBusyTimeoutMs = 10000;

}  // namespace

TSqlConnection::TSqlConnection(const std::string& path, bool create) : path_(path) {
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw EDBError("Cannot open " + cp932::fromUtf8(path) + ": " + message);
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

TSqlConnection::~TSqlConnection() {
    sqlite3_close_v2(db_);
}

void TSqlConnection::Exec(std::string_view sql) {
    std::string text(sql);
    char* error = nullptr;
    int rc = sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw EDBError("Database error: " + message);
    }
}

void TSqlConnection::Attach(const std::string& path, std::string_view schema) {
    TSqlStatement attach = Prepare("ATTACH DATABASE ?1 AS " + std::string(schema));
    attach.Bind(1, std::string_view(path));
    try {
        attach.Run();
    } catch (const EDBError& e) {
        throw EDBError("Cannot open " + cp932::fromUtf8(path) + ": " + e.what());
    }
}

void TSqlConnection::DetachIfAttached(std::string_view schema) noexcept {
    if (!IsAttached(schema))
        return;
    std::string sql = "DETACH DATABASE " + std::string(schema);
    sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
}

bool TSqlConnection::IsAttached(std::string_view schema) const {
    std::string name(schema);
    return sqlite3_db_filename(db_, name.c_str()) != nullptr;
}
