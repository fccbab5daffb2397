#include "store/StoreSqlFunctions.h"

#include <string_view>

#include "store/EDBError.h"
#include "store/TKeywordPattern.h"
#include "text/Cp932.h"

namespace {

std::string_view bytesOf(sqlite3_value* v) {
    const void* data = sqlite3_value_blob(v);
    int size = sqlite3_value_bytes(v);
    if (!data || size <= 0)
        return {};
    return std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

template <bool kIgnoreCase>
void match(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    // The keyword is a bound parameter, constant for the statement: SQLite keeps the
    // prepared pattern with it between rows.
    auto* pattern = static_cast<TKeywordPattern*>(sqlite3_get_auxdata(ctx, 1));
    if (!pattern) {
        pattern = new TKeywordPattern(bytesOf(argv[1]), kIgnoreCase);
        sqlite3_set_auxdata(ctx, 1, pattern,
                            [](void* p) { delete static_cast<TKeywordPattern*>(p); });
        pattern = static_cast<TKeywordPattern*>(sqlite3_get_auxdata(ctx, 1));
        if (!pattern) {
            // SQLite could not keep it (out of memory) and has already freed it.
            TKeywordPattern once(bytesOf(argv[1]), kIgnoreCase);
            sqlite3_result_int(ctx, once.FoundIn(bytesOf(argv[0])) ? 1 : 0);
            return;
        }
    }
    sqlite3_result_int(ctx, pattern->FoundIn(bytesOf(argv[0])) ? 1 : 0);
}

// brevilo_cut(text, maxBytes): the text cut to a field size at a character boundary.
void cut(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    std::string_view text = bytesOf(argv[0]);
    sqlite3_int64 max = sqlite3_value_int64(argv[1]);
    if (max < 0 || static_cast<std::size_t>(max) >= text.size()) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    std::size_t keep = cp932::boundaryAtOrBefore(text, static_cast<std::size_t>(max));
    sqlite3_result_text64(ctx, text.data(), keep, SQLITE_TRANSIENT, SQLITE_UTF8);
}

}  // namespace

void RegisterStoreSqlFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    int rc = sqlite3_create_function_v2(db, "brevilo_match", 2, flags, nullptr, match<true>,
                                        nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "brevilo_match_cs", 2, flags, nullptr, match<false>,
                                        nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "brevilo_cut", 2, flags, nullptr, cut, nullptr, nullptr,
                                        nullptr);
    if (rc != SQLITE_OK)
        throw EDBError(std::string("Database error: ") + sqlite3_errstr(rc));
}
