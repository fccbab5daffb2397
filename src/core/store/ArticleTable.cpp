#include "store/ArticleTable.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "store/EDBError.h"
#include "store/StoreSqlFunctions.h"
#include "text/Cp932.h"

namespace {

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string s(std::string_view schema) {
    return std::string(schema);
}

}  // namespace

void PrepareStoreConnection(TSqlConnection& db) {
    RegisterStoreSqlFunctions(db.handle());
}

void PrepareStoreSchema(TSqlConnection& db, std::string_view schema) {
    // FULL: a committed transfer is on disk before COMMIT returns. The journal stays the
    // rollback journal (never WAL), which is what makes one transaction over several
    // attached files atomic as a whole.
    db.Exec("PRAGMA " + s(schema) + ".synchronous = FULL");
    MapStoreFile(db, schema, true);
}

void MapStoreFile(TSqlConnection& db, std::string_view schema, bool on) {
    // Keyword scans read every article; mapping the file spares a copy per page. As much
    // as the library maps (2 GB less 64 KB in Debian's build): a table of a million
    // articles is over 4 GB, and its keyword scan took a quarter less time with 2 GB
    // mapped than with 1 GB.
    db.Exec("PRAGMA " + s(schema) + ".mmap_size = " + (on ? "2147418112" : "0"));
}

void CreateArticleSchema(TSqlConnection& db, std::string_view schema, TTableKind kind,
                         bool logIndexes) {
    const std::string S = s(schema);
    std::string key = kind == TTableKind::Keyed ? "MessageID INTEGER PRIMARY KEY AUTOINCREMENT"
                                                : "MessageID INTEGER NOT NULL";
    db.Exec("CREATE TABLE " + S + ".articles (" + key +
            ", Rank INTEGER, Date DATETIME TEXT, \"From\" VARCHAR(70), Newsgroup VARCHAR(60),"
            " Subject VARCHAR(85), Notes VARCHAR(80), Article TEXT)");
    if (kind == TTableKind::Unkeyed) {
        // Not an ordering (these tables keep their rows in the order they were written):
        // only the look-up by MessageID that saving edits does.
        db.Exec("CREATE INDEX " + S + ".articles_MessageID ON articles (MessageID)");
    }
    if (logIndexes)
        CreateLogIndexes(db, schema);
}

namespace {
constexpr const char* kLogIndexFields[] = {"Date", "Newsgroup", "From", "Subject"};
}

void CreateLogIndexes(TSqlConnection& db, std::string_view schema) {
    for (const char* field : kLogIndexFields)
        db.Exec("CREATE INDEX IF NOT EXISTS " + s(schema) + ".\"" + field + "\" ON articles (\"" +
                field + "\")");
}

void DropLogIndexes(TSqlConnection& db, std::string_view schema) {
    for (const char* field : kLogIndexFields)
        db.Exec("DROP INDEX IF EXISTS " + s(schema) + ".\"" + field + "\"");
}

bool HasArticleSchema(TSqlConnection& db, std::string_view schema, bool keyedOnly) {
    try {
        std::vector<std::pair<std::string, int>> columns;  // declared type, pk
        {
            TSqlStatement info =
                db.Prepare("SELECT type, pk FROM pragma_table_info('articles', ?1)");
            info.Bind(1, schema);
            while (info.Step())
                columns.emplace_back(upper(info.Text(0)), info.Int(1));
        }
        if (columns.size() < 8)
            return false;
        bool autoIncrement = false;
        {
            TSqlStatement sql =
                db.Prepare("SELECT sql FROM " + s(schema) +
                           ".sqlite_master WHERE type = 'table' AND name = 'articles'");
            if (sql.Step())
                autoIncrement = upper(sql.Text(0)).find("AUTOINCREMENT") != std::string::npos;
        }
        bool keyed = columns[0].first == "INTEGER" && columns[0].second == 1 && autoIncrement;
        bool plain = columns[0].first == "INTEGER" && columns[0].second == 0;
        if (!(keyed || (plain && !keyedOnly)))
            return false;
        if (columns[1].first != "INTEGER" || columns[2].first != "DATETIME TEXT")
            return false;
        for (int i = 3; i <= 6; ++i)
            if (columns[i].first.rfind("VARCHAR", 0) != 0)
                return false;
        return columns[7].first == "TEXT";
    } catch (const EDBError&) {
        return false;
    }
}

TArticle ReadArticle(const TSqlStatement& row, int first) {
    TArticle a;
    a.MessageID = row.Int(first + 1);
    if (!row.IsNull(first + 2))
        a.Rank = row.Int(first + 2);
    if (!row.IsNull(first + 3))
        a.Date = TTimestamp::FromText(row.Text(first + 3));
    a.From = row.Text(first + 4);
    a.Newsgroup = row.Text(first + 5);
    a.Subject = row.Text(first + 6);
    a.Notes = row.Text(first + 7);
    a.Article = row.Text(first + 8);
    return a;
}

std::string InsertArticleSql(std::string_view schema, TTableKind kind) {
    if (kind == TTableKind::Keyed)
        return "INSERT INTO " + s(schema) +
               ".articles (Rank, Date, \"From\", Newsgroup, Subject, Notes, Article)"
               " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)";
    return "INSERT INTO " + s(schema) +
           ".articles (Rank, Date, \"From\", Newsgroup, Subject, Notes, Article, MessageID)"
           " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)";
}

namespace {

void bindSeven(TSqlStatement& st, const TArticle& a) {
    st.Bind(1, a.Rank);
    if (a.Date)
        st.Bind(2, std::string_view(a.Date->ToText()));
    else
        st.BindNull(2);
    st.BindTextOrNull(3, cp932::truncate(a.From, TArticle::kFromSize));
    st.BindTextOrNull(4, cp932::truncate(a.Newsgroup, TArticle::kNewsgroupSize));
    st.BindTextOrNull(5, cp932::truncate(a.Subject, TArticle::kSubjectSize));
    st.BindTextOrNull(6, cp932::truncate(a.Notes, TArticle::kNotesSize));
    st.BindTextOrNull(7, a.Article);
}

}  // namespace

void BindArticleForInsert(TSqlStatement& insert, const TArticle& article, TTableKind kind) {
    bindSeven(insert, article);
    if (kind == TTableKind::Unkeyed)
        insert.Bind(8, article.MessageID);
}

std::string CopyArticleSql(std::string_view from, std::string_view to) {
    return "INSERT INTO " + s(to) +
           ".articles (Rank, Date, \"From\", Newsgroup, Subject, Notes, Article)"
           " SELECT Rank, Date, brevilo_cut(\"From\", 70), brevilo_cut(Newsgroup, 60),"
           " brevilo_cut(Subject, 85), brevilo_cut(Notes, 80), Article FROM " +
           s(from) + ".articles WHERE rowid = ?1";
}

std::string CopyArticlesInOrderSql(std::string_view from, std::string_view to,
                                   std::string_view order, std::string_view rowFilter) {
    return "INSERT INTO " + s(to) +
           ".articles (Rank, Date, \"From\", Newsgroup, Subject, Notes, Article)"
           " SELECT a.Rank, a.Date, brevilo_cut(a.\"From\", 70), brevilo_cut(a.Newsgroup, 60),"
           " brevilo_cut(a.Subject, 85), brevilo_cut(a.Notes, 80), a.Article FROM " +
           s(order) + " AS o JOIN " + s(from) + ".articles AS a ON a.rowid = o.rid WHERE " +
           s(rowFilter) + " ORDER BY o.seq";
}

std::string UpdateArticleSql(std::string_view schema) {
    return "UPDATE " + s(schema) +
           ".articles SET Rank = ?1, Date = ?2, \"From\" = ?3, Newsgroup = ?4, Subject = ?5,"
           " Notes = ?6, Article = ?7 WHERE MessageID = ?8";
}

void BindArticleForUpdate(TSqlStatement& update, const TArticle& article,
                          long long whereMessageID) {
    bindSeven(update, article);
    update.Bind(8, whereMessageID);
}
