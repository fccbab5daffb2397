#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <memory>

class TLogView;
class TSearchResult;
struct TArticle;

// The grid's table model over the store's record set that the view is bound to: the log
// (Log Records page) or the search result (Search Records page). Rows are read from the
// store only when the view asks for them (the store keeps a few pages of rows), so a
// table of a million rows opens at once.
//
// Columns, in order: MessageID, Rank, Subject, Notes, with bold titles (Rank red, Subject
// olive, Notes maroon). The vertical header is the row indicator: it marks the current row.
// Rows are painted on light cyan when they are the bookmarked row, on light red while a
// log filter is active.
//
// The model does not own the record sets; TDMod does, and outlives the model's binding.
// GUI thread only.
class TArticleGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { ColMessageID = 0, ColRank, ColSubject, ColNotes, ColumnCount };

    explicit TArticleGridModel(QObject* parent = nullptr);
    ~TArticleGridModel() override;

    // Binds the model to a record set (BindView); Unbind shows no rows.
    void BindLog(TLogView& log);
    void BindSearch(TSearchResult& result);
    void Unbind();
    bool IsBoundToLog() const { return boundToLog_; }

    // Reads the record set again when it changed (its revision moved on): resets the
    // model. Returns whether it did.
    bool Refresh();
    // Resets the model whatever the revision says.
    void Reload();

    // The current row of the bound record set (-1 when none), and moving it.
    long long CurrentRow() const;
    void SetCurrentRow(long long row);
    // The record at row (the reference lasts until the next read from the record set).
    const TArticle* RecordAt(long long row) const;

    // Face name for the Subject and Notes columns (the article font's).
    void SetTextFamily(const QString& family);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static const QColor kBookmarkColor;
    static const QColor kFilterColor;

  signals:
    // The bound record set was read again (model reset).
    void reloaded();

  private:
    class Rows;
    class LogRows;
    class SearchRows;

    std::unique_ptr<Rows> rows_;
    bool boundToLog_ = false;
    unsigned long long revision_ = 0;
    long long count_ = 0;
    QString textFamily_;
    long long lastCurrent_ = -1;
};
