#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "store/TRecordView.h"

// What the Search Records page shows: the rows of the last query (a keyword or subject
// search, the recently-added view or a page of 100), with the user's edits and deletions
// cached until "Save changes" (TDMod::SaveChanges) writes them back by MessageID.
// Owned by TDMod, which runs the queries; the GUI reads and edits rows here.
class TSearchResult {
  public:
    enum class Kind { None, Search, RecentlyAdded, Page };

    // The rows in view, with cached edits applied and cached deletions left out.
    long long Count() { return rows_.Count(); }
    const TArticle& Row(long long index);
    std::optional<long long> IndexOf(long long messageId) { return rows_.IndexOf(messageId); }
    long long Current() { return rows_.Current(); }
    void SetCurrent(long long index) { rows_.SetCurrent(index); }
    bool Locate(long long messageId) { return rows_.Locate(messageId); }
    unsigned long long Revision() const { return rows_.Revision() + editRevision_; }
    TRecordView& Rows() { return rows_; }

    Kind kind() const { return kind_; }
    // The keywords the article view marks: those of the last Article search, else none.
    const std::vector<std::string>& articleKeywords() const { return articleKeywords_; }

    // Cached editing (the row's MessageID cannot change; texts are cut to their sizes).
    void EditRow(long long index, const TArticle& changed);
    void DeleteRow(long long index);
    bool HasPendingChanges() const { return !edited_.empty() || !deleted_.empty(); }
    // Forgets the cached changes and shows the stored rows again.
    void DiscardChanges();
    // Cached changes, by MessageID (the row's MessageID before the change).
    const std::map<long long, TArticle>& editedRows() const { return edited_; }
    const std::set<long long>& deletedRows() const { return deleted_; }

    // The search bookmark: a MessageID of the result, -1 when none.
    long long BookmarkID() const { return bookmarkId_; }
    bool SetBookmark();
    void ClearBookmark() { bookmarkId_ = -1; }
    bool GoToBookmark() { return bookmarkId_ >= 0 && rows_.Locate(bookmarkId_); }

    // For TDMod: a new query replaces the result (the bookmark and cached changes go).
    void Show(Kind kind, TRecordView::Source source, std::vector<std::string> articleKeywords = {});
    void Attach(TSqlConnection* db);
    void Reset();
    // For TDMod after saving: the changes are stored; show the stored rows.
    void ChangesSaved();

  private:
    TRecordView rows_;
    Kind kind_ = Kind::None;
    std::vector<std::string> articleKeywords_;
    std::map<long long, TArticle> edited_;
    std::set<long long> deleted_;
    long long bookmarkId_ = -1;
    unsigned long long editRevision_ = 0;
};
