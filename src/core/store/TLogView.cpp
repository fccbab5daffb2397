#include "store/TLogView.h"

#include <algorithm>

void TLogView::Bind(TSqlConnection* db, const std::string& schema) {
    db_ = db;
    schema_ = schema;
    rows_.Attach(db);
    Apply();
}

void TLogView::Unbind() {
    db_ = nullptr;
    schema_.clear();
    rows_.Attach(nullptr);
    ResetState();
}

void TLogView::ResetState() {
    filter_ = Filter::None;
    filterText_.clear();
    filterMoment_.reset();
    filterIds_.clear();
    filterFromId_.reset();
    filterFromKey_.reset();
    ClearBookmark();
    if (db_)
        Apply();
}

std::string TLogView::OrderBy() const {
    switch (order_) {
        case Order::Import:
            return "rowid";
        case Order::Date:
            return "Date, rowid";
        case Order::Newsgroup:
            return "Newsgroup, rowid";
        case Order::From:
            return "\"From\", rowid";
        case Order::Subject:
            return "Subject, rowid";
    }
    return "rowid";
}

const char* TLogView::KeyColumn() const {
    switch (order_) {
        case Order::Import:
            return "MessageID";
        case Order::Date:
            return "Date";
        case Order::Newsgroup:
            return "Newsgroup";
        case Order::From:
            return "\"From\"";
        case Order::Subject:
            return "Subject";
    }
    return "MessageID";
}

void TLogView::Apply() {
    if (!db_)
        return;
    TRecordView::Source source;
    source.schema = schema_;
    source.orderBy = OrderBy();
    switch (filter_) {
        case Filter::None:
            break;
        case Filter::Subject:
            source.where.sql = "brevilo_match(Subject, " + source.where.Param(filterText_) + ")";
            break;
        case Filter::From:
            source.where.sql = "brevilo_match(\"From\", " + source.where.Param(filterText_) + ")";
            break;
        case Filter::Group:
            source.where.sql = "brevilo_match(Newsgroup, " + source.where.Param(filterText_) + ")";
            break;
        case Filter::DateOnOrBefore:
            source.where.sql = "Date <= " + source.where.Param(filterMoment_->ToText());
            break;
        case Filter::DateOnOrAfter:
            source.where.sql = "Date >= " + source.where.Param(filterMoment_->ToText());
            break;
        case Filter::MultiSelection:
        case Filter::Range:
            source.only = filterIds_;
            break;
    }
    // Keep the current row across the change of source.
    std::optional<long long> keep;
    if (rows_.HasSource() && rows_.Count() > 0)
        keep = rows_.MessageIDAt(rows_.Current());
    rows_.SetSource(std::move(source));
    if (keep && !rows_.Locate(*keep))
        rows_.SetCurrent(0);
}

void TLogView::SetOrder(Order order) {
    ClearBookmark();
    order_ = order;
    Apply();
}

void TLogView::RememberPosition() {
    filterFromId_.reset();
    filterFromKey_.reset();
    filterFromKeyNull_ = false;
    if (rows_.Count() == 0)
        return;
    const TArticle& row = rows_.Row(rows_.Current());
    filterFromId_ = row.MessageID;
    std::string key;
    switch (order_) {
        case Order::Import:
            return;
        case Order::Date:
            if (row.Date)
                key = row.Date->ToText();
            break;
        case Order::Newsgroup:
            key = row.Newsgroup;
            break;
        case Order::From:
            key = row.From;
            break;
        case Order::Subject:
            key = row.Subject;
            break;
    }
    // Empty fields are stored as NULL.
    filterFromKeyNull_ = key.empty();
    filterFromKey_ = key;
}

bool TLogView::SetTextFilter(Filter which, const std::string& text) {
    if (text.empty())
        return false;
    if (which != Filter::Subject && which != Filter::From && which != Filter::Group)
        return false;
    RememberPosition();
    filter_ = which;
    filterText_ = text;
    Apply();
    return true;
}

void TLogView::SetDateFilter(Filter which, const TTimestamp& moment) {
    if (which != Filter::DateOnOrBefore && which != Filter::DateOnOrAfter)
        return;
    RememberPosition();
    filter_ = which;
    filterMoment_ = moment;
    filterText_ = moment.ToText();
    Apply();
}

bool TLogView::SetSelectionFilter(const std::vector<long long>& messageIds) {
    if (messageIds.empty())
        return false;
    RememberPosition();
    filter_ = Filter::MultiSelection;
    filterIds_ = std::unordered_set<long long>(messageIds.begin(), messageIds.end());
    filterText_.clear();
    Apply();
    return true;
}

bool TLogView::SetRangeFilter() {
    if (bookmarkId_ < 0 || rows_.Count() == 0)
        return false;
    auto marked = rows_.IndexOf(bookmarkId_);
    if (!marked)
        return false;
    long long current = rows_.Current();
    long long from = std::min(*marked, current), to = std::max(*marked, current);
    RememberPosition();
    std::unordered_set<long long> ids;
    const auto& entries = rows_.Entries();
    for (long long i = from; i <= to; ++i)
        ids.insert(entries[static_cast<std::size_t>(i)].messageId);
    filter_ = Filter::Range;
    filterIds_ = std::move(ids);
    filterText_.clear();
    ClearBookmark();
    Apply();
    return true;
}

void TLogView::ReleaseFilter() {
    if (filter_ == Filter::None)
        return;
    filter_ = Filter::None;
    filterText_.clear();
    filterMoment_.reset();
    filterIds_.clear();
    Apply();
    bool found = false;
    if (order_ != Order::Import && filterFromKey_ && db_) {
        std::string key = KeyColumn();
        TSqlStatement seek = db_->Prepare("SELECT MessageID FROM " + schema_ + ".articles WHERE " +
                                          key + " IS ?1 ORDER BY " + key + ", rowid LIMIT 1");
        if (filterFromKeyNull_)
            seek.BindNull(1);
        else
            seek.Bind(1, std::string_view(*filterFromKey_));
        if (seek.Step())
            found = rows_.Locate(seek.Int(0));
    }
    if (!found && filterFromId_)
        rows_.Locate(*filterFromId_);
    filterFromId_.reset();
    filterFromKey_.reset();
}

long long TLogView::TableCount() {
    if (!db_)
        return 0;
    TSqlStatement count = db_->Prepare("SELECT count(*) FROM " + schema_ + ".articles");
    count.Step();
    return count.Int(0);
}

std::string TLogView::CounterText() {
    if (FilterActive())
        return std::to_string(rows_.Count()) + " of " + std::to_string(TableCount());
    return std::to_string(rows_.RecordNumber()) + " / " + std::to_string(TableCount());
}

bool TLogView::SetBookmark() {
    if (bookmarkId_ >= 0)
        return true;
    if (rows_.Count() == 0)
        return false;
    bookmarkRow_ = rows_.RecordNumber();
    bookmarkId_ = rows_.MessageIDAt(rows_.Current());
    return true;
}

void TLogView::ClearBookmark() {
    bookmarkId_ = -1;
    bookmarkRow_ = -1;
}

bool TLogView::GoToBookmark() {
    return bookmarkId_ >= 0 && rows_.Locate(bookmarkId_);
}
