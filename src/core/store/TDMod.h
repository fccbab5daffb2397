#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/TRecordFields.h"
#include "store/TArticle.h"
#include "store/TExportLabels.h"
#include "store/TLogView.h"
#include "store/TSearchOptions.h"
#include "store/TSearchResult.h"
#include "store/TSqlConnection.h"
#include "store/TTableFolder.h"

// The data module: owns the database folder and every table in it (doc/store-schema.md).
//
// One SQLite connection per open folder. Its main database is the temporary log
// "tmpdb.db"; the other tables in use are attached under fixed schema names: "logdb" (a
// user table opened as the log), "news" (the current main table), "qresult" ("tmpout"),
// "memory" ("tmpmem") and, for a moment, "work".
//
// Threads: TDMod is not thread-safe. It is used by one thread at a time: the GUI thread,
// or a worker while the GUI thread does nothing but wait behind a modal window.
//
// Failures throw EError (EDBError for the engine, EConvertError for unreadable dates and
// numbers) carrying the message texts the commands show. Every operation that writes more
// than one row is one SQLite transaction: when it fails, every table is as it was before.
class TDMod {
  public:
    TDMod();
    // Deletes the temporary tables of the open folder (DeleteTempTables); never throws.
    ~TDMod();
    TDMod(const TDMod&) = delete;
    TDMod& operator=(const TDMod&) = delete;

    // --- Folder and tables --------------------------------------------------------------

    // Opens `folder` (a file-system path) as the database folder: no main table, the
    // temporary log as the log, and the three temporary tables created or emptied.
    void OpenFolder(const std::string& folder);
    // Empties "tmpdb", "tmpout" and "tmpmem" (creating any that is missing or damaged),
    // makes "tmpdb" the log again and clears the log filter and bookmark.
    void ResetTempTables();
    // Deletes the temporary tables of the current folder, then opens `folder`.
    void ChangeFolder(const std::string& folder);
    // Closes the folder and deletes its temporary tables.
    void DeleteTempTables();

    bool IsFolderOpen() const { return db_ != nullptr; }
    const std::string& Folder() const { return folderPath_; }

    // Table names are cp932 byte strings; they compare without regard to letter case.
    bool TableExists(const std::string& name) const;
    // Tables of the folder other than the temporary ones.
    int CountUserTables() const;
    // Appends every table but the temporary ones, the log database and the current main
    // table to `list`.
    void ListUserTables(std::vector<std::string>& list) const;
    // Whether `name` is a table this program can use as a main table or log database
    // (keyed MessageID and the article field types). Never throws.
    bool IsArticleTable(const std::string& name);

    // Creates a main table and makes it current. Throws EError("Invalid database name")
    // for a name that cannot be a file name and EError("Database name already exsits")
    // when the table exists.
    void CreateMainTable(const std::string& name);
    // Makes an existing table the current main table; empties "tmpout" and "tmpmem";
    // shows the recently-added view.
    void OpenMainTable(const std::string& name);
    // Makes an existing user table the log (a log database).
    void OpenLogTable(const std::string& name);
    // Deletes "<folder>/<name>.VAL" when it exists.
    void DeleteValFile(const std::string& name);

    const std::string& MainTableName() const { return mainTable_; }
    bool HasMainTable() const { return !mainTable_.empty(); }
    // "" while the temporary log is the log.
    const std::string& LogTableName() const { return logTable_; }
    bool LogIsTemporary() const { return logTable_.empty(); }

    // Smallest and largest MessageID of the main table when it was opened; LastID moves on
    // with every posting.
    long long FirstID() const { return firstId_; }
    long long LastID() const { return lastId_; }

    // --- View state: the main window keeps no copy of it --------------------------------

    // *log in use*: the log is locked against import (an import put records into it, or a
    // log database was opened); cleared by the idle log state.
    bool LogInUse() const { return logInUse_; }
    // Setting it either way empties the keyword clipboard.
    void SetLogInUse(bool inUse) {
        logInUse_ = inUse;
        keywordClipboard_.clear();
    }
    // *multi-select*: the grid selects whole rows, several at a time.
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool on) { multiSelect_ = on; }
    // The grid's keyword clipboard ("Keyword Copy" / "Keyword Paste"), a cp932 text.
    const std::string& KeywordClipboard() const { return keywordClipboard_; }
    void SetKeywordClipboard(std::string text) { keywordClipboard_ = std::move(text); }

    long long MainRowCount();
    long long QueryResultRowCount();
    long long MemoryRowCount();

    // --- The log ------------------------------------------------------------------------

    // Appends an imported record to the log. The Date text is read by ReadDateText (an
    // unreadable one throws EConvertError and adds nothing); an empty Date or Notes stays
    // empty; texts are cut to their field sizes.
    void AppendLogRecord(const TRecordFields& record);

    // Groups appends into one transaction (an import holds one per file): far fewer disk
    // syncs (none for the temporary log, which no restart keeps), and the appends of a
    // file stand or fall together. Without Commit() the
    // appends since construction are undone. Batches do not nest with other operations:
    // nothing but AppendLogRecord may run while one is open.
    class LogBatch {
      public:
        explicit LogBatch(TDMod& dmod);
        ~LogBatch();
        LogBatch(const LogBatch&) = delete;
        LogBatch& operator=(const LogBatch&) = delete;
        void Commit();

      private:
        void RestoreSync() noexcept;

        TDMod& dmod_;
        bool open_ = false;
        bool relaxed_ = false;  // synchronous OFF for the temporary log while open
    };

    // An import's run of LogBatches. While it lasts the temporary log keeps its rollback
    // journal in memory and its file locked by this connection, and is not synced: no
    // journal file is made and removed, and no lock taken and given back, for each of
    // thousands of small files. A batch still commits or rolls back as a whole; only a crash
    // in the middle of a commit can damage the file, and the temporary log never outlives
    // its connection (a damaged one is made anew when the folder is opened). A log
    // database is written as before.
    class LogImport {
      public:
        explicit LogImport(TDMod& dmod);
        ~LogImport();
        LogImport(const LogImport&) = delete;
        LogImport& operator=(const LogImport&) = delete;

        // Whether the log's indexes are still to be made (the import went into an empty
        // log), and making them, which the destructor otherwise does. A long log's take a
        // while: the caller may run this on the runner. Throws EDBError.
        bool IndexesPending() const { return reindex_; }
        void BuildIndexes();

      private:
        TDMod& dmod_;
        bool relaxed_ = false;
        bool reindex_ = false;  // the log's indexes are made when the import ends
    };

    TLogView& Log() { return log_; }

    // The log navigator: a new empty row at the end (returns its MessageID), an edited row
    // written back by MessageID, a row deleted.
    long long InsertLogRow();
    void UpdateLogRow(const TArticle& row);
    void DeleteLogRow(long long messageId);

    // --- Transfers (each one transaction) -----------------------------------------------

    // Appends every row of the log that passes the filter, in the log's current order, to
    // the main table (fresh MessageIDs) and shows exactly those rows as recently added.
    void PostAll();
    // The log rows with these MessageIDs, in this order (IDs no longer in the log are
    // skipped), appended to the main table; Move also deletes them from the log.
    void CopySelected(const std::vector<long long>& messageIds);
    void MoveSelected(const std::vector<long long>& messageIds);
    // Deletes these rows from the log.
    void DeleteSelected(const std::vector<long long>& messageIds);
    // Deletes every log row that passes the filter; Move posts them first.
    void DeleteFiltered();
    void MoveFiltered();
    // After a transfer that took rows out of the log: when the log is empty, the filter is
    // released and, if it is still empty, the temporary tables are reset (a log database
    // is closed). True when that happened.
    bool CloseLogIfEmpty();

    // --- Search ---------------------------------------------------------------------------

    TSearchResult& Search() { return search_; }
    // The Search Records counter: "k of N", k rows in the result, N in the main table.
    std::string SearchCounterText();

    // The keyword search: parses the keyword box, builds the condition, fills "tmpout" with
    // the hits and shows them. Throws EError("Input keyword"), EError("Invalid keyword"),
    // EConvertError; on any failure "tmpout" and the result shown are unchanged.
    void KeywordSearch(const std::string& keywordBox, const TSearchOptions& options);
    // The keyword search in steps, for a window that must stay responsive on a large table
    // (a search hitting nearly every row of a million shows its first rows at once, and
    // filling the rest of "tmpout" for a later narrowing never holds the window):
    //  - BeginKeywordSearch checks the keyword box as KeywordSearch does (same errors,
    //    nothing changed on failure), empties "tmpout" and shows the result, still empty.
    //    Returns whether steps remain. A narrowing (its source is "tmpout" itself) runs
    //    whole here and returns false.
    //  - ContinueSearch searches the next `rowsPerStep` rows of the source in MessageID
    //    order, adds their hits to "tmpout" (one transaction per step) and shows every hit
    //    so far (the result's row list is read again: Revision() grows). Returns whether
    //    steps remain; false at once when no stepped search is running. A failing step
    //    ends the search with the hits of the steps before it and throws.
    //  - CancelSearch ends it where it stands: "tmpout" keeps the hits found so far.
    // The order is the one KeywordSearch gives (MessageID, or Date then MessageID). Rows
    // added to the source after Begin are not searched. Any other search call ends a
    // stepped search first.
    bool BeginKeywordSearch(const std::string& keywordBox, const TSearchOptions& options);
    bool ContinueSearch(long long rowsPerStep = 5000);
    void CancelSearch() { stepped_.reset(); }
    bool SearchInProgress() const { return stepped_.has_value(); }

    // The subject search for a phrase (the selected text of the Subject box).
    void SubjectSearch(const std::string& phrase);
    // The subject search for a whole Subject: EError("Invalid Subject") when it is empty,
    // else the text after its last colon. Returns the phrase searched.
    std::string SubjectSearchForSubject(const std::string& subject);
    // Rows of the main table from LastID on; LastID becomes the last one's MessageID.
    void ShowRecentlyAdded();
    // "Prior 100" / "Next 100" from the current row of the result.
    bool CanPriorPage();
    bool CanNextPage();
    void PriorPage();
    void NextPage();

    // Writes the cached edits and deletions of the result to the main table, "tmpout" and
    // "tmpmem" by MessageID (one transaction).
    void SaveChanges();
    // Replaces "tmpmem" with the rows of the current result, MessageIDs unchanged.
    void SetMemoryPosition();
    // "Add": puts `keyword` in front of the Notes of these result rows (cached edits),
    // unless their Notes already hold it. EError("Input keyword") for an empty keyword.
    void AddKeywordToNotes(const std::vector<long long>& messageIds, const std::string& keyword);
    // Saves the current result as a new main table (fresh MessageIDs).
    void SaveSearchResults(const std::string& name);

    // --- Maintenance ----------------------------------------------------------------------

    // Copies the current main table to `folder` under the same name, replacing an older
    // copy only once the new one is complete. Throws EError("Backup operation not allowed
    // on Database Folder") for the database folder itself and EError("Backup error") when
    // the copy fails.
    void Backup(const std::string& folder);
    // Compacts the log database and returns the size report.
    std::string PackLogDatabase();
    // Renames a user table. EError("Invalid database name") for an empty name or one with
    // any of \ / : * ? " < > |; EError("Invalid file name") for every other failure
    // (an existing table of the new name included).
    void RenameTable(const std::string& oldName, const std::string& newName);
    // Bytes of the files "<name>.*" of a table.
    std::uintmax_t TableSize(const std::string& name) const;

    // --- Text export -----------------------------------------------------------------------

    // The labels of the last text export; they stay for the rest of the session.
    TExportLabels& ExportLabels() { return exportLabels_; }

    // --- Seams for tests ------------------------------------------------------------------

    // Called after each row of a transfer, inside its transaction; what it throws ends the
    // transfer as an engine failure would.
    void SetRowHook(std::function<void()> hook) { rowHook_ = std::move(hook); }
    // The year two-digit years are placed around (default: the current year).
    void SetCurrentYearSource(std::function<int()> source) { currentYear_ = std::move(source); }

  private:
    TSqlConnection& Db();
    void CloseConnection() noexcept;
    void RequireMainTable() const;
    std::string LogSchema() const;
    std::string TempFile(const std::string& name) const;
    void RemoveTableFiles(const std::string& name) noexcept;
    void CreateTableFile(const std::string& name, bool keyed, bool logIndexes);
    void AttachTable(const std::string& name, const std::string& schema);
    void PrepareTemporaryTable(const std::string& name, const std::string& schema, bool keyed);
    std::vector<long long> LogRowidsFor(const std::vector<long long>& messageIds);
    long long CopyLogRows(const std::vector<long long>& rowids);
    void DeleteLogRows(const std::vector<long long>& rowids);
    void AfterPosting(long long firstNewId);
    void RunSearch(const TSqlCondition& where, const std::string& source, bool orderByDate,
                   std::vector<std::string> articleKeywords);
    void ShowMainRange(long long minId, long long maxId, bool currentAtEnd);
    // For Prior/Next 100: the MessageID 100 rows before or after `current` in the main
    // table, or the first/last MessageID when fewer rows lie that way.
    long long PageBoundary(long long current, bool forward);
    void RowDone();
    int Year() const;

    struct SteppedSearch {
        TSqlCondition where;
        std::string source;
        long long lastRowid;  // searched up to here
        long long maxRowid;   // the source's last row when the search began
    };
    std::optional<SteppedSearch> stepped_;

    std::unique_ptr<TTableFolder> folder_;
    std::string folderPath_;
    std::unique_ptr<TSqlConnection> db_;
    std::string mainTable_;
    std::string logTable_;
    long long firstId_ = 0;
    long long lastId_ = 0;
    TLogView log_;
    TSearchResult search_;
    std::optional<TSqlStatement> logInsert_;  // AppendLogRecord's statement, kept between calls
    std::string logInsertSchema_;
    std::function<void()> rowHook_;
    std::function<int()> currentYear_;
    TExportLabels exportLabels_;
    bool logInUse_ = false;
    bool importing_ = false;  // a LogImport is open on the temporary log
    bool multiSelect_ = false;
    std::string keywordClipboard_;
};
