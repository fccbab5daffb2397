#pragma once

#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "store/TRecordView.h"
#include "store/TTimestamp.h"

// The log as the Log Records page shows it: the rows of the log table in the current
// ordering, the log filter and the log bookmark. Owned by TDMod, which binds it to the
// log table; the GUI reads rows through Rows() and sets orderings and filters here.
class TLogView {
  public:
    enum class Order { Import, Date, Newsgroup, From, Subject };
    enum class Filter {
        None,
        Subject,
        From,
        Group,
        DateOnOrBefore,
        DateOnOrAfter,
        MultiSelection,
        Range
    };

    // Binding (TDMod): the log table is `schema`.articles.
    void Bind(TSqlConnection* db, const std::string& schema);
    void Unbind();
    const std::string& schema() const { return schema_; }

    TRecordView& Rows() { return rows_; }

    Order order() const { return order_; }
    // Selects the ordering and keeps the current row on the same record; clears the
    // bookmark (choosing an ordering does).
    void SetOrder(Order order);

    // Filters. Each remembers the current row's MessageID and its key value in the
    // current ordering, so that ReleaseFilter() can come back to it.
    Filter filter() const { return filter_; }
    bool FilterActive() const { return filter_ != Filter::None; }
    // Subject, From or Group: rows whose field contains `text`, ignoring ASCII letter case,
    // at character boundaries. An empty text sets no filter (returns false).
    bool SetTextFilter(Filter which, const std::string& text);
    // DateOnOrBefore / DateOnOrAfter: rows with a Date not later than / at or after
    // `moment` (time of day included); rows without a Date never pass.
    void SetDateFilter(Filter which, const TTimestamp& moment);
    // Multi-selection: the rows with these MessageIDs. An empty set sets no filter.
    bool SetSelectionFilter(const std::vector<long long>& messageIds);
    // Range: the rows from the bookmarked row to the current row (whichever comes first
    // in the current order), both included; clears the bookmark. False (nothing set) when
    // no bookmark is set or the bookmarked row is no longer in view.
    bool SetRangeFilter();
    // Switches filtering off and comes back to the row that was current when the filter
    // was set (in Import order by MessageID; in the others the first row with the same
    // key value). Does nothing when no filter is active.
    void ReleaseFilter();
    // The filter text or moment as set (for the GUI's check marks and hints).
    const std::string& filterText() const { return filterText_; }

    // Rows in the log table, whatever the filter.
    long long TableCount();
    // The status counter: "n / N" without a filter, "k of N" with one.
    std::string CounterText();

    // The log bookmark: the MessageID and row number of the bookmarked row; -1 when none.
    long long BookmarkID() const { return bookmarkId_; }
    long long BookmarkRow() const { return bookmarkRow_; }
    // Bookmarks the current row unless a bookmark exists; false when there is no row.
    bool SetBookmark();
    void ClearBookmark();
    // Makes the bookmarked row current; false when there is none or it is not in view.
    bool GoToBookmark();

    // Back to the state of a freshly opened log: no filter, no bookmark (ordering kept).
    void ResetState();

  private:
    void Apply();
    std::string OrderBy() const;
    const char* KeyColumn() const;
    void RememberPosition();

    TSqlConnection* db_ = nullptr;
    std::string schema_;
    TRecordView rows_;
    Order order_ = Order::Import;
    Filter filter_ = Filter::None;
    std::string filterText_;
    std::optional<TTimestamp> filterMoment_;
    std::unordered_set<long long> filterIds_;
    // The row current when the filter was set, and its key value in the ordering then.
    std::optional<long long> filterFromId_;
    std::optional<std::string> filterFromKey_;
    bool filterFromKeyNull_ = false;
    long long bookmarkId_ = -1;
    long long bookmarkRow_ = -1;
};
