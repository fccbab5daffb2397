#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>

class TBoundRecords;
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
// The model does not own the record set; the record view does (TRecordViewWidget), and
// the store behind it outlives the binding. While frozen (a worker uses the store behind
// the runner's wait window) the model reads nothing from the store. GUI thread only.
class TArticleGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { ColMessageID = 0, ColRank, ColSubject, ColNotes, ColumnCount };

    explicit TArticleGridModel(QObject* parent = nullptr);
    ~TArticleGridModel() override;

    // Binds the model to a record set (not owned); nullptr shows no rows.
    void Bind(TBoundRecords* records);
    bool IsBoundToLog() const;

    // While frozen no cell, header or count is read from the store; rows show empty.
    void SetFrozen(bool frozen);
    bool IsFrozen() const { return frozen_; }

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
    TBoundRecords* rows_ = nullptr;
    bool frozen_ = false;
    unsigned long long revision_ = 0;
    long long count_ = 0;
    QString textFamily_;
    long long lastCurrent_ = -1;
};
