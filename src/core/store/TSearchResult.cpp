#include "store/TSearchResult.h"

const TArticle& TSearchResult::Row(long long index) {
    const TArticle& stored = rows_.Row(index);
    auto edit = edited_.find(stored.MessageID);
    return edit != edited_.end() ? edit->second : stored;
}

void TSearchResult::EditRow(long long index, const TArticle& changed) {
    long long id = rows_.MessageIDAt(index);
    TArticle row = changed.Cut();
    row.MessageID = id;
    edited_[id] = std::move(row);
    ++editRevision_;
}

void TSearchResult::DeleteRow(long long index) {
    long long id = rows_.MessageIDAt(index);
    edited_.erase(id);
    deleted_.insert(id);
    rows_.RemoveAt(index);
    if (bookmarkId_ == id)
        bookmarkId_ = -1;
    ++editRevision_;
}

void TSearchResult::DiscardChanges() {
    if (!HasPendingChanges())
        return;
    edited_.clear();
    deleted_.clear();
    rows_.Invalidate();
    ++editRevision_;
}

bool TSearchResult::SetBookmark() {
    if (bookmarkId_ >= 0)
        return true;
    if (rows_.Count() == 0)
        return false;
    bookmarkId_ = rows_.MessageIDAt(rows_.Current());
    return true;
}

void TSearchResult::Show(Kind kind, TRecordView::Source source,
                         std::vector<std::string> articleKeywords) {
    edited_.clear();
    deleted_.clear();
    bookmarkId_ = -1;
    kind_ = kind;
    articleKeywords_ = std::move(articleKeywords);
    rows_.SetSource(std::move(source));
    ++editRevision_;
}

void TSearchResult::Attach(TSqlConnection* db) {
    rows_.Attach(db);
    Reset();
}

void TSearchResult::Reset() {
    edited_.clear();
    deleted_.clear();
    bookmarkId_ = -1;
    kind_ = Kind::None;
    articleKeywords_.clear();
    rows_.Clear();
    ++editRevision_;
}

void TSearchResult::ChangesSaved() {
    edited_.clear();
    deleted_.clear();
    rows_.Invalidate();
    ++editRevision_;
}
