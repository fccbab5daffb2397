#pragma once

#include <list>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "store/TArticle.h"
#include "store/TSqlCondition.h"
#include "store/TSqlConnection.h"

// An ordered, possibly filtered view of one article table, for a grid that may show a
// million rows: the ordered list of (rowid, MessageID) pairs is read once (8+8 bytes a
// row), the rows themselves are read on demand in pages of kPageRows and a few pages are
// kept. This is what the GUI's table model sits on: Count(), Row(i), IndexOf(MessageID),
// and a current row.
//
// The view reads lazily: after SetSource() or Invalidate() nothing is read until the next
// call that needs the list. Revision() grows with every change of the list or its rows,
// so a model can tell that it must reset. Used by one thread at a time, like the store.
class TRecordView {
  public:
    struct Entry {
        long long rowid;
        long long messageId;
    };

    // The rows of `schema`.articles that pass `where` (and, when set, whose MessageID is in
    // `only`), ordered by `orderBy` (SQL ORDER BY terms over the table's columns).
    struct Source {
        std::string schema;
        TSqlCondition where;
        std::string orderBy = "rowid";
        std::optional<std::unordered_set<long long>> only;
    };

    static constexpr long long kPageRows = 64;
    static constexpr std::size_t kCachedPages = 6;

    // Binds the view to a connection (or to none: an empty view).
    void Attach(TSqlConnection* db);
    void SetSource(Source source);
    // No rows until the next SetSource().
    void Clear();
    bool HasSource() const { return hasSource_; }
    const Source& source() const { return source_; }

    // The table changed in a way that may move or drop rows: read the list again.
    void Invalidate();
    // Values changed but no row moved in or out: drop the cached rows only.
    void ForgetRows();
    // A row was appended to the table (by rowid); cheap when the view is in rowid order
    // and unfiltered (an import into the log), otherwise the same as Invalidate().
    void NoteAppended(long long rowid, long long messageId);
    // Takes the entry at `index` out of the view without touching the table (a cached
    // deletion in the search result).
    void RemoveAt(long long index);

    long long Count();
    const std::vector<Entry>& Entries();
    long long MessageIDAt(long long index);
    // The row at `index` (0-based, must be < Count()). The reference stays valid until the
    // next non-const call on the view. A row that has gone from the table reads as an
    // empty record with its MessageID.
    const TArticle& Row(long long index);
    // Position of the first row with this MessageID.
    std::optional<long long> IndexOf(long long messageId);

    // The current row: -1 when the view is empty. Kept on the same MessageID when the list
    // is read again (or moved to the nearest position when that row has gone).
    long long Current();
    void SetCurrent(long long index);
    // Moves to the row with this MessageID; false (and no move) when it is not in view.
    bool Locate(long long messageId);
    // "n" of the record counter: the current row's number, 0 when empty.
    long long RecordNumber() { return Current() + 1; }

    unsigned long long Revision() const { return revision_; }

  private:
    struct Page {
        long long number;
        std::vector<TArticle> rows;
    };
    void EnsureList();
    Page& FetchPage(long long number);

    TSqlConnection* db_ = nullptr;
    Source source_;
    bool hasSource_ = false;
    bool stale_ = true;
    std::vector<Entry> entries_;
    std::list<Page> pages_;  // most recently used first
    long long current_ = -1;
    std::optional<long long> currentId_;  // the MessageID to keep current across a re-read
    unsigned long long revision_ = 0;
};
