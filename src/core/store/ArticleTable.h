#pragma once

#include <string>
#include <string_view>

#include "store/TArticle.h"
#include "store/TSqlConnection.h"
#include "store/TSqlStatement.h"

// The article table inside one table file, attached to a connection under a schema name
// (doc/store-schema.md). Schema names are the store's own identifiers, never user text.

// Kinds of article table.
enum class TTableKind {
    Keyed,    // MessageID INTEGER PRIMARY KEY AUTOINCREMENT: main tables, logs, saved results
    Unkeyed,  // MessageID INTEGER NOT NULL: the query-result and memory tables
};

// Per-connection setup: the SQL functions the store's queries use.
void PrepareStoreConnection(TSqlConnection& db);
// Per-schema setup after opening or attaching a file: durability and read speed.
void PrepareStoreSchema(TSqlConnection& db, std::string_view schema);
// The part of that setup that maps the file into memory, turned on or off. A file that
// grows by a page per transaction is better written unmapped: the map is remade each time.
void MapStoreFile(TSqlConnection& db, std::string_view schema, bool on);

// Creates the table `articles` (and with `logIndexes` the four secondary indexes "Date",
// "Newsgroup", "From", "Subject") in the empty database attached as `schema`.
void CreateArticleSchema(TSqlConnection& db, std::string_view schema, TTableKind kind,
                         bool logIndexes);
// Those four indexes, made where missing, or dropped.
void CreateLogIndexes(TSqlConnection& db, std::string_view schema);
void DropLogIndexes(TSqlConnection& db, std::string_view schema);

// Whether `schema` holds an article table: `articles` with at least eight columns whose
// first eight have the article types (MessageID as AUTOINCREMENT key when keyedOnly).
// Names and sizes are not checked. Never throws: an unreadable file is no article table.
bool HasArticleSchema(TSqlConnection& db, std::string_view schema, bool keyedOnly);

// The columns every read selects, in this order, for ReadArticle: the row's rowid first.
inline constexpr std::string_view kArticleColumns =
    "rowid, MessageID, Rank, Date, \"From\", Newsgroup, Subject, Notes, Article";

// Reads the columns of kArticleColumns starting at column `first`.
TArticle ReadArticle(const TSqlStatement& row, int first = 0);

// "INSERT INTO <schema>.articles ..." for one record. Keyed tables get a fresh MessageID
// (the record's own is ignored); unkeyed tables keep the record's MessageID.
std::string InsertArticleSql(std::string_view schema, TTableKind kind);
// Binds a record to a statement from InsertArticleSql, cutting the texts to their sizes.
void BindArticleForInsert(TSqlStatement& insert, const TArticle& article, TTableKind kind);

// "INSERT INTO <to>.articles ... SELECT ... FROM <from>.articles WHERE rowid = ?1": copies
// one row inside SQLite with a fresh MessageID (the target is keyed), cutting the texts to
// their sizes on the way.
std::string CopyArticleSql(std::string_view from, std::string_view to);
// The same for many rows in one statement: the rows of <from>.articles whose rowids
// <order>.rid lists, in the order of <order>.seq, rowids no longer present skipped.
// `rowFilter` is a condition on the copied row `a` (its WHERE clause; "1" for none).
std::string CopyArticlesInOrderSql(std::string_view from, std::string_view to,
                                   std::string_view order, std::string_view rowFilter);

// "UPDATE <schema>.articles SET <seven fields> WHERE MessageID = ?8".
std::string UpdateArticleSql(std::string_view schema);
void BindArticleForUpdate(TSqlStatement& update, const TArticle& article, long long whereMessageID);
