#include "store/TDMod.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <limits>
#include <system_error>

#include "base/Abort.h"
#include "store/ArticleTable.h"
#include "store/DateText.h"
#include "store/EDBError.h"
#include "store/KeywordQuery.h"
#include "store/TKeywordPattern.h"
#include "store/TSqlTransaction.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace {

// The scratch tables, by their table names.
const std::string kTmpDb = "tmpdb";
const std::string kTmpOut = "tmpout";
const std::string kTmpMem = "tmpmem";

// Schema names on the connection.
constexpr const char* kLogDb = "logdb";
constexpr const char* kNews = "news";
constexpr const char* kQResult = "qresult";
constexpr const char* kMemory = "memory";
constexpr const char* kWork = "work";

bool isTemporaryName(const std::string& name) {
    return name == kTmpDb || name == kTmpOut || name == kTmpMem;
}

long long countRows(TSqlConnection& db, const std::string& schema) {
    TSqlStatement count = db.Prepare("SELECT count(*) FROM " + schema + ".articles");
    count.Step();
    return count.Int(0);
}

// "1234567" -> "1,234,567".
std::string withThousands(std::uintmax_t n) {
    std::string digits = std::to_string(n), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

// Makes a finished rename or creation inside `folder` durable.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

void emptyLog(TSqlConnection& db) {
    TSqlTransaction t(db);
    db.Exec("DELETE FROM main.articles");
    db.Exec("DELETE FROM main.sqlite_sequence WHERE name = 'articles'");
    t.Commit();
}

}  // namespace

TDMod::TDMod() : currentYear_(CurrentYear) {}

TDMod::~TDMod() {
    try {
        DeleteTempTables();
    } catch (...) {
        // Nothing may leave a destructor; the next OpenFolder empties what is left.
    }
}

int TDMod::Year() const {
    return currentYear_ ? currentYear_() : CurrentYear();
}

TSqlConnection& TDMod::Db() {
    if (!db_)
        throw EDBError("No database folder is open");
    return *db_;
}

void TDMod::RequireMainTable() const {
    if (mainTable_.empty())
        throw EDBError("No database is open");
}

std::string TDMod::LogSchema() const {
    return logTable_.empty() ? "main" : kLogDb;
}

void TDMod::RowDone() {
    ThrowIfAborted();
    if (rowHook_)
        rowHook_();
}

// --- Folder and tables ------------------------------------------------------------------

void TDMod::CloseConnection() noexcept {
    logInsert_.reset();
    log_.Unbind();
    search_.Attach(nullptr);
    db_.reset();
    importing_ = false;
}

std::string TDMod::TempFile(const std::string& name) const {
    // The scratch tables go by their exact spelling, whatever case variants a user left.
    return (fs::path(folderPath_) / (name + ".db")).string();
}

void TDMod::RemoveTableFiles(const std::string& name) noexcept {
    if (!folder_ || !TTableFolder::IsStorableName(name))
        return;
    std::error_code ec;
    std::string file = (fs::path(folderPath_) / (cp932::toUtf8(name) + ".db")).string();
    fs::remove(file, ec);
    fs::remove(file + "-journal", ec);
}

void TDMod::OpenFolder(const std::string& folder) {
    CloseConnection();
    folder_.reset();
    folderPath_.clear();
    mainTable_.clear();
    logTable_.clear();
    firstId_ = lastId_ = 0;
    folder_ = std::make_unique<TTableFolder>(folder);
    folderPath_ = folder;
    try {
        ResetTempTables();
    } catch (...) {
        // A folder that cannot hold the temporary tables is not opened at all.
        CloseConnection();
        folder_.reset();
        folderPath_.clear();
        throw;
    }
}

void TDMod::PrepareTemporaryTable(const std::string& name, const std::string& schema, bool keyed) {
    TSqlConnection& db = Db();
    bool usable = false;
    try {
        if (!db.IsAttached(schema))
            db.Attach(TempFile(name), schema);
        PrepareStoreSchema(db, schema);
        usable = HasArticleSchema(db, schema, keyed);
        if (usable && !keyed) {
            // "tmpout" and "tmpmem" must be the unkeyed kind.
            TSqlStatement pk =
                db.Prepare("SELECT pk FROM pragma_table_info('articles', ?1) WHERE cid = 0");
            pk.Bind(1, std::string_view(schema));
            usable = pk.Step() && pk.Int(0) == 0;
        }
    } catch (const EDBError&) {
        usable = false;  // not a database: made anew below
    }
    if (usable) {
        TSqlTransaction t(db);
        db.Exec("DELETE FROM " + schema + ".articles");
        if (keyed)
            db.Exec("DELETE FROM " + schema + ".sqlite_sequence WHERE name = 'articles'");
        t.Commit();
        return;
    }
    // Missing or damaged: make it anew.
    db.DetachIfAttached(schema);
    RemoveTableFiles(name);
    db.Attach(TempFile(name), schema);
    PrepareStoreSchema(db, schema);
    TSqlTransaction t(db);
    CreateArticleSchema(db, schema, keyed ? TTableKind::Keyed : TTableKind::Unkeyed, false);
    t.Commit();
}

void TDMod::ResetTempTables() {
    if (!folder_)
        throw EDBError("No database folder is open");
    log_.ResetState();
    logInsert_.reset();
    if (search_.Rows().HasSource()) {
        const std::string& schema = search_.Rows().source().schema;
        if (schema == kQResult || schema == kMemory) {
            stepped_.reset();
            search_.Reset();
        }
    }
    if (db_) {
        db_->DetachIfAttached(kLogDb);
        logTable_.clear();
    }

    const bool connected = db_ != nullptr;
    if (!connected) {
        // The temporary log is the connection's main database (see TDMod.h).
        const std::string path = TempFile(kTmpDb);
        bool usable = false;
        try {
            db_ = std::make_unique<TSqlConnection>(path, true);
            PrepareStoreConnection(*db_);
            PrepareStoreSchema(*db_, "main");
            usable = HasArticleSchema(*db_, "main", true);
            if (usable) {
                // Emptied here, where a file an import's crash damaged is still made anew;
                // an import cut short may have left it without its indexes.
                emptyLog(*db_);
                CreateLogIndexes(*db_, "main");
            } else {
                TSqlStatement any = db_->Prepare("SELECT count(*) FROM main.sqlite_master");
                if (any.Step() && any.Int(0) == 0) {
                    // A new, empty file.
                    TSqlTransaction t(*db_);
                    CreateArticleSchema(*db_, "main", TTableKind::Keyed, true);
                    t.Commit();
                    usable = true;
                }
            }
        } catch (const EDBError&) {
            usable = false;
        }
        if (!usable) {
            // Damaged or not ours: made anew.
            db_.reset();
            RemoveTableFiles(kTmpDb);
            db_ = std::make_unique<TSqlConnection>(path, true);
            PrepareStoreConnection(*db_);
            PrepareStoreSchema(*db_, "main");
            TSqlTransaction t(*db_);
            CreateArticleSchema(*db_, "main", TTableKind::Keyed, true);
            t.Commit();
        }
        search_.Attach(db_.get());
    }
    TSqlConnection& db = *db_;
    if (connected)
        emptyLog(db);
    PrepareTemporaryTable(kTmpOut, kQResult, false);
    PrepareTemporaryTable(kTmpMem, kMemory, false);
    log_.Bind(db_.get(), "main");
}

void TDMod::DeleteTempTables() {
    if (!folder_)
        return;
    CloseConnection();
    for (const std::string& name : {kTmpDb, kTmpOut, kTmpMem})
        RemoveTableFiles(name);
    mainTable_.clear();
    logTable_.clear();
}

void TDMod::ChangeFolder(const std::string& folder) {
    search_.ClearBookmark();
    DeleteTempTables();
    folder_.reset();
    folderPath_.clear();
    OpenFolder(folder);
}

bool TDMod::TableExists(const std::string& name) const {
    return folder_ && folder_->TableExists(name);
}

int TDMod::CountUserTables() const {
    if (!folder_)
        return 0;
    int n = 0;
    for (const std::string& name : folder_->ListTables())
        if (!isTemporaryName(name))
            ++n;
    return n;
}

void TDMod::ListUserTables(std::vector<std::string>& list) const {
    if (!folder_)
        return;
    for (std::string& name : folder_->ListTables()) {
        if (isTemporaryName(name) || name == logTable_ || name == mainTable_)
            continue;
        list.push_back(std::move(name));
    }
}

bool TDMod::IsArticleTable(const std::string& name) {
    if (!db_ || !folder_ || !TTableFolder::IsStorableName(name) || !folder_->TableExists(name))
        return false;
    try {
        db_->DetachIfAttached(kWork);
        db_->Attach(folder_->TableFile(name), kWork);
        bool ok = HasArticleSchema(*db_, kWork, true);
        db_->DetachIfAttached(kWork);
        return ok;
    } catch (const EError&) {
        db_->DetachIfAttached(kWork);
        return false;
    }
}

void TDMod::CreateTableFile(const std::string& name, bool keyed, bool logIndexes) {
    if (!TTableFolder::IsStorableName(name))
        throw EError("Invalid database name");
    if (folder_->TableExists(name))
        throw EError("Database name already exsits");
    TSqlConnection& db = Db();
    std::string file = folder_->TableFile(name);
    db.DetachIfAttached(kWork);
    try {
        db.Attach(file, kWork);
        PrepareStoreSchema(db, kWork);
        TSqlTransaction t(db);
        CreateArticleSchema(db, kWork, keyed ? TTableKind::Keyed : TTableKind::Unkeyed, logIndexes);
        t.Commit();
        db.DetachIfAttached(kWork);
    } catch (...) {
        db.DetachIfAttached(kWork);
        RemoveTableFiles(name);
        throw;
    }
    syncFolder(folderPath_);
}

void TDMod::AttachTable(const std::string& name, const std::string& schema) {
    TSqlConnection& db = Db();
    std::optional<std::string> stored = folder_->FindTable(name);
    if (!stored)
        throw EDBError("Database files missing");
    // Checked under the work name first, so a refused table leaves the one in use alone.
    if (!IsArticleTable(*stored))
        throw EDBError("Unsupported database type");
    db.DetachIfAttached(schema);
    db.Attach(folder_->TableFile(*stored), schema);
    PrepareStoreSchema(db, schema);
}

void TDMod::CreateMainTable(const std::string& name) {
    Db();
    CreateTableFile(name, true, false);
    stepped_.reset();
    search_.Reset();
    mainTable_.clear();
    AttachTable(name, kNews);
    mainTable_ = *folder_->FindTable(name);
    DeleteValFile(name);
    firstId_ = lastId_ = 0;
    ShowRecentlyAdded();
}

void TDMod::OpenMainTable(const std::string& name) {
    TSqlConnection& db = Db();
    if (!logTable_.empty() && TTableFolder::SameName(name, logTable_))
        throw EDBError("Unsupported database type");
    AttachTable(name, kNews);
    stepped_.reset();
    search_.Reset();
    firstId_ = lastId_ = 0;
    mainTable_ = *folder_->FindTable(name);
    if (countRows(db, kMemory) > 0 || countRows(db, kQResult) > 0) {
        TSqlTransaction t(db);
        db.Exec(std::string("DELETE FROM ") + kMemory + ".articles");
        db.Exec(std::string("DELETE FROM ") + kQResult + ".articles");
        t.Commit();
    }
    TSqlStatement range = db.Prepare("SELECT min(MessageID), max(MessageID) FROM news.articles");
    range.Step();
    firstId_ = range.IsNull(0) ? 0 : range.Int(0);
    lastId_ = range.IsNull(1) ? 0 : range.Int(1);
    ShowRecentlyAdded();
}

void TDMod::OpenLogTable(const std::string& name) {
    TSqlConnection& db = Db();
    if (isTemporaryName(name) || (!mainTable_.empty() && TTableFolder::SameName(name, mainTable_)))
        throw EDBError("Unsupported database type");
    log_.ClearBookmark();
    logInsert_.reset();
    AttachTable(name, kLogDb);
    logTable_ = *folder_->FindTable(name);
    log_.ResetState();
    // A log database has only its primary order.
    log_.Unbind();
    log_.Bind(&db, kLogDb);
    log_.SetOrder(TLogView::Order::Import);
}

void TDMod::DeleteValFile(const std::string& name) {
    if (!folder_ || !TTableFolder::IsStorableName(name))
        return;
    std::error_code ec;
    fs::remove(fs::path(folderPath_) / (cp932::toUtf8(name) + ".VAL"), ec);
}

std::string TDMod::SearchCounterText() {
    return std::to_string(search_.Count()) + " of " + std::to_string(MainRowCount());
}

long long TDMod::MainRowCount() {
    return mainTable_.empty() ? 0 : countRows(Db(), kNews);
}
long long TDMod::QueryResultRowCount() {
    return countRows(Db(), kQResult);
}
long long TDMod::MemoryRowCount() {
    return countRows(Db(), kMemory);
}

std::uintmax_t TDMod::TableSize(const std::string& name) const {
    return folder_ ? folder_->TableSize(name) : 0;
}

// --- The log ----------------------------------------------------------------------------

void TDMod::AppendLogRecord(const TRecordFields& record) {
    TSqlConnection& db = Db();
    TArticle a;
    a.From = record.From;
    a.Newsgroup = record.Newsgroup;
    a.Subject = record.Subject;
    if (!record.Date.empty())
        a.Date = DateTextToTimestamp(record.Date, Year());
    a.Article = record.Article;
    a.Notes = record.Notes;
    // One INSERT is atomic on its own (alone or inside a LogBatch): a failure leaves no row.
    if (!logInsert_ || logInsertSchema_ != LogSchema()) {
        logInsert_.reset();
        logInsert_.emplace(db.Prepare(InsertArticleSql(LogSchema(), TTableKind::Keyed)));
        logInsertSchema_ = LogSchema();
    }
    TSqlStatement& insert = *logInsert_;
    insert.Reset();
    BindArticleForInsert(insert, a, TTableKind::Keyed);
    insert.Run();
    long long id = db.LastInsertRowid();
    log_.Rows().NoteAppended(id, id);
}

TDMod::LogBatch::LogBatch(TDMod& dmod) : dmod_(dmod) {
    // The temporary log is emptied whenever the folder is opened, so nothing in it can
    // outlive a crash: its batches need no disk sync. An import commits one batch per
    // file, and thousands of small files would otherwise wait for thousands of syncs.
    // Atomicity stays (the rollback journal is still written); only durability goes.
    relaxed_ = dmod_.LogIsTemporary() && !dmod_.importing_;
    if (relaxed_)
        dmod_.Db().Exec("PRAGMA main.synchronous = OFF");
    try {
        // Deferred, not IMMEDIATE: an immediate transaction takes a write lock on every
        // attached file, and a commit over several files goes through a super-journal
        // with its own syncs, whatever the log's synchronous setting. Only the log's file
        // is written here.
        dmod_.Db().Exec("BEGIN");
    } catch (...) {
        RestoreSync();
        throw;
    }
    open_ = true;
}

void TDMod::LogBatch::RestoreSync() noexcept {
    if (relaxed_ && dmod_.db_)
        sqlite3_exec(dmod_.db_->handle(), "PRAGMA main.synchronous = FULL", nullptr, nullptr,
                     nullptr);
    relaxed_ = false;
}

TDMod::LogBatch::~LogBatch() {
    if (open_) {
        sqlite3_exec(dmod_.db_->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        dmod_.log_.Rows().Invalidate();
    }
    RestoreSync();
}

void TDMod::LogBatch::Commit() {
    if (!open_)
        return;
    dmod_.Db().Exec("COMMIT");
    open_ = false;
    RestoreSync();
}

TDMod::LogImport::LogImport(TDMod& dmod) : dmod_(dmod) {
    relaxed_ = dmod_.LogIsTemporary() && !dmod_.importing_;
    if (!relaxed_)
        return;
    TSqlConnection& db = dmod_.Db();
    db.Exec(
        "PRAGMA main.synchronous = OFF; PRAGMA main.journal_mode = MEMORY;"
        " PRAGMA main.locking_mode = EXCLUSIVE");
    dmod_.importing_ = true;
    try {
        MapStoreFile(db, "main", false);
        // Into an empty log, the orderings' indexes are built once at the end (sorting
        // what came) rather than kept up to date record by record: every batch would write
        // a page of each of them.
        bool empty;
        {
            TSqlStatement any = db.Prepare("SELECT EXISTS (SELECT 1 FROM main.articles)");
            empty = any.Step() && any.Int(0) == 0;
        }
        if (empty) {
            DropLogIndexes(db, "main");
            reindex_ = true;
        }
    } catch (const EDBError&) {
        // Only slower commits.
    }
}

void TDMod::LogImport::BuildIndexes() {
    if (!reindex_)
        return;
    CreateLogIndexes(dmod_.Db(), "main");
    reindex_ = false;
}

TDMod::LogImport::~LogImport() {
    if (!relaxed_ || !dmod_.db_)
        return;
    dmod_.importing_ = false;
    try {
        BuildIndexes();
    } catch (const EDBError&) {
        // The orderings still work, only slower; the next folder opening makes them.
    }
    // The lock goes at the file's next use: the read after the pragmas.
    sqlite3_exec(dmod_.db_->handle(),
                 "PRAGMA main.synchronous = FULL; PRAGMA main.journal_mode = DELETE;"
                 " PRAGMA main.locking_mode = NORMAL; SELECT count(*) FROM main.sqlite_master",
                 nullptr, nullptr, nullptr);
    try {
        MapStoreFile(*dmod_.db_, "main", true);
    } catch (const EDBError&) {
        // Only slower keyword scans of the log.
    }
}

long long TDMod::InsertLogRow() {
    TSqlConnection& db = Db();
    TSqlStatement insert = db.Prepare(InsertArticleSql(LogSchema(), TTableKind::Keyed));
    BindArticleForInsert(insert, TArticle{}, TTableKind::Keyed);
    insert.Run();
    long long id = db.LastInsertRowid();
    log_.Rows().NoteAppended(id, id);
    log_.Rows().Invalidate();
    log_.Rows().Locate(id);
    return id;
}

void TDMod::UpdateLogRow(const TArticle& row) {
    TSqlConnection& db = Db();
    TSqlStatement update = db.Prepare(UpdateArticleSql(LogSchema()));
    BindArticleForUpdate(update, row, row.MessageID);
    update.Run();
    if (log_.order() == TLogView::Order::Import && !log_.FilterActive())
        log_.Rows().ForgetRows();
    else
        log_.Rows().Invalidate();
}

void TDMod::DeleteLogRow(long long messageId) {
    TSqlConnection& db = Db();
    TSqlStatement del = db.Prepare("DELETE FROM " + LogSchema() + ".articles WHERE MessageID = ?1");
    del.Bind(1, messageId);
    del.Run();
    log_.Rows().Invalidate();
}

// --- Transfers --------------------------------------------------------------------------

std::vector<long long> TDMod::LogRowidsFor(const std::vector<long long>& messageIds) {
    // In log tables the MessageID is the rowid; IDs no longer present are dropped.
    std::vector<long long> rowids;
    TSqlStatement exists =
        Db().Prepare("SELECT rowid FROM " + LogSchema() + ".articles WHERE MessageID = ?1");
    for (long long id : messageIds) {
        exists.Reset();
        exists.Bind(1, id);
        if (exists.Step())
            rowids.push_back(exists.Int(0));
    }
    return rowids;
}

namespace {

// The row hook of a transfer as an SQL function, so that one INSERT ... SELECT still calls
// it for every row it copies. What the hook throws (an injected failure, EAborted) makes
// the statement fail and is kept to be raised again in its place.
struct RowHookCall {
    std::function<void()> rowDone;
    std::exception_ptr failure;
};

void rowDoneFunction(sqlite3_context* ctx, int, sqlite3_value**) {
    auto* call = static_cast<RowHookCall*>(sqlite3_user_data(ctx));
    try {
        call->rowDone();
        sqlite3_result_int(ctx, 1);
    } catch (...) {
        call->failure = std::current_exception();
        sqlite3_result_error(ctx, "transfer stopped", -1);
    }
}

}  // namespace

long long TDMod::CopyLogRows(const std::vector<long long>& rowids) {
    TSqlConnection& db = Db();
    // One INSERT ... SELECT over the rowids in transfer order instead of one statement a
    // row: the per-row statement steps were a fifth of "post all"'s time.
    db.Exec(
        "CREATE TEMP TABLE IF NOT EXISTS transfer_order"
        " (seq INTEGER PRIMARY KEY, rid INTEGER NOT NULL)");
    db.Exec("DELETE FROM temp.transfer_order");
    {
        TSqlStatement add = db.Prepare("INSERT INTO temp.transfer_order (rid) VALUES (?1)");
        for (long long rowid : rowids) {
            add.Reset();
            add.Bind(1, rowid);
            add.Run();
        }
    }
    RowHookCall call{[this] { RowDone(); }, nullptr};
    // Not deterministic and given the row: SQLite calls it once for each row copied.
    if (sqlite3_create_function_v2(db.handle(), "brevilo_row_done", 1, SQLITE_UTF8, &call,
                                   rowDoneFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDBError(sqlite3_errmsg(db.handle()));
    struct Unregister {
        sqlite3* handle;
        ~Unregister() {
            sqlite3_create_function_v2(handle, "brevilo_row_done", 1, SQLITE_UTF8, nullptr, nullptr,
                                       nullptr, nullptr, nullptr);
        }
    } unregister{db.handle()};
    TSqlStatement copy = db.Prepare(CopyArticlesInOrderSql(
        LogSchema(), kNews, "temp.transfer_order", "brevilo_row_done(a.rowid)"));
    try {
        copy.Run();
    } catch (...) {
        if (call.failure)
            std::rethrow_exception(call.failure);
        throw;
    }
    // The target is keyed (AUTOINCREMENT): one statement's new MessageIDs are consecutive.
    const long long copied = sqlite3_changes(db.handle());
    const long long firstNew = copied == 0 ? 0 : db.LastInsertRowid() - copied + 1;
    db.Exec("DELETE FROM temp.transfer_order");
    return firstNew;
}

void TDMod::DeleteLogRows(const std::vector<long long>& rowids) {
    TSqlStatement del = Db().Prepare("DELETE FROM " + LogSchema() + ".articles WHERE rowid = ?1");
    // From the last to the first, as the rows were selected.
    for (auto it = rowids.rbegin(); it != rowids.rend(); ++it) {
        del.Reset();
        del.Bind(1, *it);
        del.Run();
        RowDone();
    }
}

void TDMod::AfterPosting(long long firstNewId) {
    // The recently-added view shows exactly the rows this transfer appended: they are the
    // ones from the first new MessageID on (LastID + 1 when nothing was appended).
    lastId_ = firstNewId > 0 ? firstNewId : lastId_ + 1;
    ShowRecentlyAdded();
}

namespace {

std::vector<long long> rowidsOf(const std::vector<TRecordView::Entry>& entries) {
    std::vector<long long> rowids;
    rowids.reserve(entries.size());
    for (const auto& e : entries)
        rowids.push_back(e.rowid);
    return rowids;
}

}  // namespace

void TDMod::PostAll() {
    RequireMainTable();
    std::vector<long long> rowids = rowidsOf(log_.Rows().Entries());
    TSqlTransaction t(Db());
    long long firstNew = CopyLogRows(rowids);
    t.Commit();
    AfterPosting(firstNew);
}

void TDMod::CopySelected(const std::vector<long long>& messageIds) {
    RequireMainTable();
    std::vector<long long> rowids = LogRowidsFor(messageIds);
    TSqlTransaction t(Db());
    long long firstNew = CopyLogRows(rowids);
    t.Commit();
    AfterPosting(firstNew);
}

void TDMod::MoveSelected(const std::vector<long long>& messageIds) {
    RequireMainTable();
    std::vector<long long> rowids = LogRowidsFor(messageIds);
    TSqlTransaction t(Db());
    long long firstNew = CopyLogRows(rowids);
    DeleteLogRows(rowids);
    t.Commit();
    log_.Rows().Invalidate();
    AfterPosting(firstNew);
}

void TDMod::DeleteSelected(const std::vector<long long>& messageIds) {
    std::vector<long long> rowids = LogRowidsFor(messageIds);
    TSqlTransaction t(Db());
    DeleteLogRows(rowids);
    t.Commit();
    log_.Rows().Invalidate();
}

void TDMod::DeleteFiltered() {
    std::vector<long long> rowids = rowidsOf(log_.Rows().Entries());
    TSqlTransaction t(Db());
    DeleteLogRows(rowids);
    t.Commit();
    log_.Rows().Invalidate();
}

void TDMod::MoveFiltered() {
    RequireMainTable();
    std::vector<long long> rowids = rowidsOf(log_.Rows().Entries());
    TSqlTransaction t(Db());
    long long firstNew = CopyLogRows(rowids);
    DeleteLogRows(rowids);
    t.Commit();
    log_.Rows().Invalidate();
    AfterPosting(firstNew);
}

bool TDMod::CloseLogIfEmpty() {
    if (log_.TableCount() != 0)
        return false;
    log_.ReleaseFilter();
    if (log_.TableCount() != 0)
        return false;
    ResetTempTables();
    return true;
}

// --- Search -------------------------------------------------------------------------------

void TDMod::RunSearch(const TSqlCondition& where, const std::string& source, bool orderByDate,
                      std::vector<std::string> articleKeywords) {
    RequireMainTable();
    stepped_.reset();
    TSqlConnection& db = Db();
    const std::string order = orderByDate ? "Date, rowid" : "rowid";
    const std::string fields =
        "MessageID, Rank, Date, \"From\", Newsgroup, Subject, Notes, Article";
    {
        TSqlTransaction t(db);
        if (source == kQResult) {
            // Narrowing: the hits are what stays of the last result. A condition that is
            // NULL for a row (an empty Rank compared) does not hold.
            TSqlStatement narrow =
                db.Prepare(std::string("DELETE FROM ") + kQResult +
                           ".articles WHERE NOT coalesce((" + where.sql + "), 0)");
            narrow.Bind(where);
            narrow.Run();
        } else {
            db.Exec(std::string("DELETE FROM ") + kQResult + ".articles");
            TSqlStatement fill = db.Prepare(std::string("INSERT INTO ") + kQResult + ".articles (" +
                                            fields + ") SELECT " + fields + " FROM " + source +
                                            ".articles WHERE " + where.sql + " ORDER BY " + order);
            fill.Bind(where);
            fill.Run();
        }
        ThrowIfAborted();
        t.Commit();
    }
    TRecordView::Source view;
    view.schema = kQResult;
    view.orderBy = order;
    search_.Show(TSearchResult::Kind::Search, std::move(view), std::move(articleKeywords));
}

void TDMod::KeywordSearch(const std::string& keywordBox, const TSearchOptions& options) {
    std::vector<std::string> keywords = ParseKeywords(keywordBox);
    TSqlCondition where = BuildKeywordCondition(keywords, options.field, Year());
    RequireMainTable();
    std::string source = kNews;
    if (options.method == TSearchMethod::Narrowing)
        source = kQResult;
    if (options.method == TSearchMethod::Recycle)
        source = kMemory;
    RunSearch(where, source, options.orderByDate,
              options.field == TSearchField::Article ? keywords : std::vector<std::string>{});
}

bool TDMod::BeginKeywordSearch(const std::string& keywordBox, const TSearchOptions& options) {
    std::vector<std::string> keywords = ParseKeywords(keywordBox);
    TSqlCondition where = BuildKeywordCondition(keywords, options.field, Year());
    RequireMainTable();
    if (options.method == TSearchMethod::Narrowing) {
        KeywordSearch(keywordBox, options);
        return false;
    }
    stepped_.reset();
    const std::string source = options.method == TSearchMethod::Recycle ? kMemory : kNews;
    TSqlConnection& db = Db();
    long long maxRowid = 0;
    {
        TSqlStatement last = db.Prepare("SELECT max(rowid) FROM " + source + ".articles");
        if (last.Step() && !last.IsNull(0))
            maxRowid = last.Int(0);
    }
    {
        TSqlTransaction t(db);
        db.Exec(std::string("DELETE FROM ") + kQResult + ".articles");
        t.Commit();
    }
    TRecordView::Source view;
    view.schema = kQResult;
    view.orderBy = options.orderByDate ? "Date, rowid" : "rowid";
    search_.Show(TSearchResult::Kind::Search, std::move(view),
                 options.field == TSearchField::Article ? keywords : std::vector<std::string>{});
    stepped_ =
        SteppedSearch{std::move(where), source, std::numeric_limits<long long>::min(), maxRowid};
    return true;
}

bool TDMod::ContinueSearch(long long rowsPerStep) {
    if (!stepped_)
        return false;
    TSqlConnection& db = Db();
    SteppedSearch& run = *stepped_;
    try {
        // The step ends at the rowsPerStep-th row after the last one searched.
        long long upto = run.maxRowid;
        {
            TSqlStatement bound = db.Prepare("SELECT rowid FROM " + run.source +
                                             ".articles WHERE rowid > ?1 ORDER BY rowid LIMIT 1 "
                                             "OFFSET ?2");
            bound.Bind(1, run.lastRowid).Bind(2, std::max(rowsPerStep, 1LL) - 1);
            if (bound.Step())
                upto = std::min(bound.Int(0), run.maxRowid);
        }
        TSqlCondition step = run.where;
        const std::string from = step.Param(run.lastRowid);
        const std::string to = step.Param(upto);
        const std::string fields =
            "MessageID, Rank, Date, \"From\", Newsgroup, Subject, Notes, Article";
        TSqlTransaction t(db);
        TSqlStatement fill = db.Prepare(std::string("INSERT INTO ") + kQResult + ".articles (" +
                                        fields + ") SELECT " + fields + " FROM " + run.source +
                                        ".articles WHERE rowid > " + from + " AND rowid <= " + to +
                                        " AND (" + run.where.sql + ") ORDER BY rowid");
        fill.Bind(step);
        fill.Run();
        ThrowIfAborted();
        t.Commit();
        run.lastRowid = upto;
    } catch (...) {
        stepped_.reset();
        search_.Rows().Invalidate();
        throw;
    }
    search_.Rows().Invalidate();
    if (run.lastRowid >= run.maxRowid) {
        stepped_.reset();
        return false;
    }
    return true;
}

void TDMod::SubjectSearch(const std::string& phrase) {
    RunSearch(BuildSubjectCondition(phrase), kNews, false, {});
}

std::string TDMod::SubjectSearchForSubject(const std::string& subject) {
    if (subject.empty())
        throw EError("Invalid Subject");
    std::string phrase = SubjectSearchText(subject);
    SubjectSearch(phrase);
    return phrase;
}

void TDMod::ShowMainRange(long long minId, long long maxId, bool currentAtEnd) {
    TRecordView::Source view;
    view.schema = kNews;
    view.where.sql = "MessageID >= " + view.where.Param(minId);
    if (maxId >= 0)
        view.where.sql += " AND MessageID <= " + view.where.Param(maxId);
    stepped_.reset();
    search_.Show(maxId >= 0 ? TSearchResult::Kind::Page : TSearchResult::Kind::RecentlyAdded,
                 std::move(view));
    long long n = search_.Count();
    search_.SetCurrent(currentAtEnd ? n - 1 : 0);
}

void TDMod::ShowRecentlyAdded() {
    RequireMainTable();
    ShowMainRange(lastId_, -1, true);
    if (search_.Count() > 0)
        lastId_ = search_.Rows().MessageIDAt(search_.Count() - 1);
}

bool TDMod::CanPriorPage() {
    if (mainTable_.empty() || search_.Count() == 0)
        return false;
    return search_.Rows().MessageIDAt(search_.Current()) > firstId_;
}

bool TDMod::CanNextPage() {
    if (mainTable_.empty() || search_.Count() == 0)
        return false;
    return search_.Rows().MessageIDAt(search_.Current()) < lastId_;
}

long long TDMod::PageBoundary(long long current, bool forward) {
    TSqlConnection& db = Db();
    TSqlStatement step = db.Prepare(
        forward ? "SELECT MessageID FROM news.articles WHERE MessageID >= ?1 ORDER BY MessageID "
                  "LIMIT 1 OFFSET 100"
                : "SELECT MessageID FROM news.articles WHERE MessageID <= ?1 ORDER BY MessageID "
                  "DESC LIMIT 1 OFFSET 100");
    step.Bind(1, current);
    if (step.Step())
        return step.Int(0);
    TSqlStatement edge = db.Prepare(forward ? "SELECT max(MessageID) FROM news.articles"
                                            : "SELECT min(MessageID) FROM news.articles");
    edge.Step();
    if (edge.IsNull(0))
        return current;
    return forward ? std::max(edge.Int(0), current) : std::min(edge.Int(0), current);
}

void TDMod::PriorPage() {
    RequireMainTable();
    if (search_.Count() == 0)
        return;
    long long current = search_.Rows().MessageIDAt(search_.Current());
    ShowMainRange(PageBoundary(current, false), current, false);
}

void TDMod::NextPage() {
    RequireMainTable();
    if (search_.Count() == 0)
        return;
    long long current = search_.Rows().MessageIDAt(search_.Current());
    ShowMainRange(current, PageBoundary(current, true), true);
}

void TDMod::SaveChanges() {
    if (!search_.HasPendingChanges())
        return;
    RequireMainTable();
    TSqlConnection& db = Db();
    TSqlTransaction t(db);
    for (const char* schema : {kNews, kQResult, kMemory}) {
        TSqlStatement update = db.Prepare(UpdateArticleSql(schema));
        for (const auto& [id, row] : search_.editedRows()) {
            update.Reset();
            BindArticleForUpdate(update, row, id);
            update.Run();
            RowDone();
        }
        TSqlStatement del =
            db.Prepare(std::string("DELETE FROM ") + schema + ".articles WHERE MessageID = ?1");
        for (long long id : search_.deletedRows()) {
            del.Reset();
            del.Bind(1, id);
            del.Run();
            RowDone();
        }
    }
    t.Commit();
    search_.ChangesSaved();
}

void TDMod::SetMemoryPosition() {
    TSqlConnection& db = Db();
    TSqlTransaction t(db);
    db.Exec(std::string("DELETE FROM ") + kMemory + ".articles");
    TSqlStatement insert = db.Prepare(InsertArticleSql(kMemory, TTableKind::Unkeyed));
    long long n = search_.Count();
    for (long long i = 0; i < n; ++i) {
        insert.Reset();
        BindArticleForInsert(insert, search_.Row(i), TTableKind::Unkeyed);
        insert.Run();
        RowDone();
    }
    t.Commit();
}

void TDMod::AddKeywordToNotes(const std::vector<long long>& messageIds,
                              const std::string& keyword) {
    if (keyword.empty())
        throw EError("Input keyword");
    // A case-sensitive test, unlike the search.
    TKeywordPattern already(keyword, false);
    for (long long id : messageIds) {
        auto index = search_.IndexOf(id);
        if (!index)
            continue;
        TArticle row = search_.Row(*index);
        if (already.FoundIn(row.Notes))
            continue;
        row.Notes = row.Notes.empty() ? keyword : keyword + " " + row.Notes;
        search_.EditRow(*index, row);
    }
}

void TDMod::SaveSearchResults(const std::string& name) {
    // The nine characters are refused here too: on this system a "/" would put the table
    // into another folder.
    if (name.empty() || !TTableFolder::IsValidNewName(name))
        throw EError("Invalid database name");
    if (TableExists(name))
        throw EError("Database name already exsits");
    CreateTableFile(name, true, false);
    TSqlConnection& db = Db();
    try {
        db.Attach(folder_->TableFile(name), kWork);
        PrepareStoreSchema(db, kWork);
        TSqlTransaction t(db);
        TSqlStatement insert = db.Prepare(InsertArticleSql(kWork, TTableKind::Keyed));
        long long n = search_.Count();
        for (long long i = 0; i < n; ++i) {
            insert.Reset();
            BindArticleForInsert(insert, search_.Row(i), TTableKind::Keyed);
            insert.Run();
            RowDone();
        }
        t.Commit();
        db.DetachIfAttached(kWork);
    } catch (...) {
        db.DetachIfAttached(kWork);
        RemoveTableFiles(name);
        throw;
    }
    DeleteValFile(name);
}

// --- Maintenance --------------------------------------------------------------------------

void TDMod::Backup(const std::string& folder) {
    RequireMainTable();
    std::error_code ec;
    // The same folder under another spelling ("/data/db/" or a link) is still the
    // database folder: copying a table onto itself would destroy it.
    if (folder == folderPath_ || fs::equivalent(folder, folderPath_, ec))
        throw EError("Backup operation not allowed on Database Folder");
    if (!fs::is_directory(folder, ec))
        throw EError("Backup error");
    const std::string fileName = cp932::toUtf8(mainTable_) + ".db";
    const std::string target = (fs::path(folder) / fileName).string();
    const std::string partial = target + ".partial";
    try {
        fs::remove(partial, ec);
        fs::remove(partial + "-journal", ec);
        {
            TSqlConnection copy(partial, true);
            copy.Exec("PRAGMA synchronous = FULL");
            sqlite3_backup* backup =
                sqlite3_backup_init(copy.handle(), "main", Db().handle(), kNews);
            if (!backup)
                throw EDBError(sqlite3_errmsg(copy.handle()));
            int rc;
            do {
                rc = sqlite3_backup_step(backup, 256);
                ThrowIfAborted();
            } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
            sqlite3_backup_finish(backup);
            if (rc != SQLITE_DONE)
                throw EDBError(sqlite3_errstr(rc));
        }
        // An old copy's leftover journal must not be applied to the new copy.
        fs::remove(target + "-journal", ec);
        if (::rename(partial.c_str(), target.c_str()) != 0)
            throw EDBError("rename failed");
        syncFolder(folder);
    } catch (const EError&) {
        fs::remove(partial, ec);
        fs::remove(partial + "-journal", ec);
        throw EError("Backup error");
    }
}

std::string TDMod::PackLogDatabase() {
    if (logTable_.empty())
        throw EDBError("No log database is open");
    std::string report = logTable_ + " DB Packing Information" + "\r\n\r\n" +
                         "Before Packing:  " + withThousands(TableSize(logTable_)) + " byte" +
                         "\r\n";
    Db().Exec(std::string("VACUUM ") + kLogDb);
    log_.Rows().Invalidate();
    report += "After Packing:  " + withThousands(TableSize(logTable_)) + " byte";
    return report;
}

void TDMod::RenameTable(const std::string& oldName, const std::string& newName) {
    if (!TTableFolder::IsValidNewName(newName))
        throw EError("Invalid database name");
    const EError invalid("Invalid file name");
    if (!folder_)
        throw invalid;
    std::optional<std::string> stored = folder_->FindTable(oldName);
    if (!stored || isTemporaryName(*stored) || *stored == mainTable_ || *stored == logTable_ ||
        folder_->TableExists(newName))
        throw invalid;
    TSqlConnection& db = Db();
    std::string from = folder_->TableFile(*stored);
    std::string to = (fs::path(folderPath_) / (cp932::toUtf8(newName) + ".db")).string();
    try {
        // Reading the table once lets SQLite finish or undo an interrupted transaction, so
        // no journal is left behind under the old name.
        db.DetachIfAttached(kWork);
        db.Attach(from, kWork);
        TSqlStatement touch =
            db.Prepare(std::string("SELECT count(*) FROM ") + kWork + ".sqlite_master");
        touch.Step();
        touch.Reset();
        db.DetachIfAttached(kWork);
    } catch (const EError&) {
        db.DetachIfAttached(kWork);
        throw invalid;
    }
    std::error_code ec;
    if (fs::exists(from + "-journal", ec))
        throw invalid;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
        throw invalid;
    syncFolder(folderPath_);
}
