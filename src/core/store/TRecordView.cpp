#include "store/TRecordView.h"

#include <algorithm>
#include <stdexcept>

#include "store/ArticleTable.h"

void TRecordView::Attach(TSqlConnection* db) {
    db_ = db;
    Clear();
}

void TRecordView::SetSource(Source source) {
    source_ = std::move(source);
    hasSource_ = true;
    currentId_.reset();
    current_ = -1;
    Invalidate();
}

void TRecordView::Clear() {
    hasSource_ = false;
    source_ = Source{};
    entries_.clear();
    pages_.clear();
    stale_ = false;
    current_ = -1;
    currentId_.reset();
    ++revision_;
}

void TRecordView::Invalidate() {
    if (current_ >= 0 && current_ < static_cast<long long>(entries_.size()) && !stale_)
        currentId_ = entries_[static_cast<std::size_t>(current_)].messageId;
    stale_ = true;
    pages_.clear();
    ++revision_;
}

void TRecordView::ForgetRows() {
    pages_.clear();
    ++revision_;
}

void TRecordView::NoteAppended(long long rowid, long long messageId) {
    bool simple = !stale_ && hasSource_ && source_.where.empty() && !source_.only &&
                  source_.orderBy == "rowid" && (entries_.empty() || entries_.back().rowid < rowid);
    if (!simple) {
        Invalidate();
        return;
    }
    entries_.push_back({rowid, messageId});
    if (current_ < 0)
        current_ = 0;
    ++revision_;
}

void TRecordView::RemoveAt(long long index) {
    EnsureList();
    if (index < 0 || index >= static_cast<long long>(entries_.size()))
        return;
    entries_.erase(entries_.begin() + index);
    pages_.clear();
    if (current_ >= static_cast<long long>(entries_.size()))
        current_ = static_cast<long long>(entries_.size()) - 1;
    ++revision_;
}

void TRecordView::EnsureList() {
    if (!stale_)
        return;
    stale_ = false;
    entries_.clear();
    pages_.clear();
    if (hasSource_ && db_) {
        std::string sql = "SELECT rowid, MessageID FROM " + source_.schema + ".articles";
        if (!source_.where.empty())
            sql += " WHERE " + source_.where.sql;
        sql += " ORDER BY " + source_.orderBy;
        TSqlStatement st = db_->Prepare(sql);
        st.Bind(source_.where);
        try {
            while (st.Step()) {
                Entry e{st.Int(0), st.Int(1)};
                if (source_.only && !source_.only->count(e.messageId))
                    continue;
                entries_.push_back(e);
            }
        } catch (...) {
            // A failed read leaves an empty view that tries again next time.
            entries_.clear();
            stale_ = true;
            throw;
        }
    }
    long long n = static_cast<long long>(entries_.size());
    if (currentId_) {
        auto it = std::find_if(entries_.begin(), entries_.end(),
                               [&](const Entry& e) { return e.messageId == *currentId_; });
        if (it != entries_.end())
            current_ = it - entries_.begin();
        currentId_.reset();
    }
    if (n == 0)
        current_ = -1;
    else if (current_ < 0)
        current_ = 0;
    else if (current_ >= n)
        current_ = n - 1;
}

long long TRecordView::Count() {
    EnsureList();
    return static_cast<long long>(entries_.size());
}

const std::vector<TRecordView::Entry>& TRecordView::Entries() {
    EnsureList();
    return entries_;
}

long long TRecordView::MessageIDAt(long long index) {
    EnsureList();
    return entries_.at(static_cast<std::size_t>(index)).messageId;
}

TRecordView::Page& TRecordView::FetchPage(long long number) {
    for (auto it = pages_.begin(); it != pages_.end(); ++it) {
        if (it->number != number)
            continue;
        pages_.splice(pages_.begin(), pages_, it);
        return pages_.front();
    }
    Page page{number, {}};
    long long first = number * kPageRows;
    long long last =
        std::min<long long>(first + kPageRows, static_cast<long long>(entries_.size()));
    TSqlStatement st = db_->Prepare("SELECT " + std::string(kArticleColumns) + " FROM " +
                                    source_.schema + ".articles WHERE rowid = ?1");
    for (long long i = first; i < last; ++i) {
        const Entry& e = entries_[static_cast<std::size_t>(i)];
        st.Reset();
        st.Bind(1, e.rowid);
        if (st.Step()) {
            page.rows.push_back(ReadArticle(st));
        } else {
            TArticle gone;
            gone.MessageID = e.messageId;
            page.rows.push_back(std::move(gone));
        }
    }
    pages_.push_front(std::move(page));
    if (pages_.size() > kCachedPages)
        pages_.pop_back();
    return pages_.front();
}

const TArticle& TRecordView::Row(long long index) {
    EnsureList();
    if (index < 0 || index >= static_cast<long long>(entries_.size()))
        throw std::out_of_range("TRecordView::Row");
    Page& page = FetchPage(index / kPageRows);
    return page.rows[static_cast<std::size_t>(index % kPageRows)];
}

std::optional<long long> TRecordView::IndexOf(long long messageId) {
    EnsureList();
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].messageId == messageId)
            return static_cast<long long>(i);
    return std::nullopt;
}

long long TRecordView::Current() {
    EnsureList();
    return current_;
}

void TRecordView::SetCurrent(long long index) {
    EnsureList();
    long long n = static_cast<long long>(entries_.size());
    current_ = n == 0 ? -1 : std::clamp<long long>(index, 0, n - 1);
}

bool TRecordView::Locate(long long messageId) {
    auto index = IndexOf(messageId);
    if (!index)
        return false;
    current_ = *index;
    return true;
}
