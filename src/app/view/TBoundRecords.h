#pragma once

#include <memory>

struct TArticle;
class TDMod;
class TSearchResult;

// The record set the record view is bound to, seen the same way for both pages: the log
// (Log Records) or the search result (Search Records). The view reads rows and moves the
// current row here, and sends every edit here: the log binding writes it to the log
// table, the search binding into the result's cache (saved later by "Save changes").
// A page may bind its own subclass. GUI thread only; the store outlives the binding.
class TBoundRecords {
  public:
    virtual ~TBoundRecords() = default;

    virtual long long Count() = 0;
    // The row at index (< Count()); the reference lasts until the next call.
    virtual const TArticle& Row(long long index) = 0;
    virtual long long Current() = 0;
    virtual void SetCurrent(long long index) = 0;
    // Moves to the row with this MessageID; false when it is not in view.
    virtual bool Locate(long long messageId) = 0;
    // Grows with every change of the rows (the grid resets when it moved on).
    virtual unsigned long long Revision() = 0;
    // MessageID of the bookmarked row, -1 when none.
    virtual long long BookmarkID() = 0;
    // Whether rows are painted as filtered (a log filter is active).
    virtual bool FilterActive() { return false; }
    virtual bool IsLog() const { return false; }

    // Writes an edited row back by its MessageID. Throws EError.
    virtual void Post(const TArticle& row) = 0;
    // Whether the navigator may insert rows; Insert appends an empty row at the end, makes
    // it current and returns its MessageID. Throws EError.
    virtual bool CanInsert() const { return false; }
    virtual long long Insert();
    // Deletes the row with this MessageID. Throws EError.
    virtual void Delete(long long messageId) = 0;
};

// The log of the data module: edits, inserts and deletions go to the log table at once.
std::unique_ptr<TBoundRecords> MakeLogRecords(TDMod& dmod);
// The search result: edits and deletions are cached in the result until saved.
std::unique_ptr<TBoundRecords> MakeSearchRecords(TSearchResult& result);
