#include "store/TArticleGridModel.h"

#include <QBrush>
#include <climits>

#include "controls/Cp932Text.h"
#include "store/TLogView.h"
#include "store/TSearchResult.h"

const QColor TArticleGridModel::kBookmarkColor(0xc8, 0xff, 0xff);
const QColor TArticleGridModel::kFilterColor(0xff, 0xc8, 0xc8);

// The two record sets the grid can show, seen the same way.
class TArticleGridModel::Rows {
  public:
    virtual ~Rows() = default;
    virtual long long Count() = 0;
    virtual const TArticle& Row(long long index) = 0;
    virtual long long Current() = 0;
    virtual void SetCurrent(long long index) = 0;
    virtual unsigned long long Revision() = 0;
    virtual long long BookmarkID() = 0;
    virtual bool FilterActive() = 0;
};

class TArticleGridModel::LogRows final : public TArticleGridModel::Rows {
  public:
    explicit LogRows(TLogView& log) : log_(log) {}
    long long Count() override { return log_.Rows().Count(); }
    const TArticle& Row(long long index) override { return log_.Rows().Row(index); }
    long long Current() override { return log_.Rows().Current(); }
    void SetCurrent(long long index) override { log_.Rows().SetCurrent(index); }
    unsigned long long Revision() override { return log_.Rows().Revision(); }
    long long BookmarkID() override { return log_.BookmarkID(); }
    bool FilterActive() override { return log_.FilterActive(); }

  private:
    TLogView& log_;
};

class TArticleGridModel::SearchRows final : public TArticleGridModel::Rows {
  public:
    explicit SearchRows(TSearchResult& result) : result_(result) {}
    long long Count() override { return result_.Count(); }
    const TArticle& Row(long long index) override { return result_.Row(index); }
    long long Current() override { return result_.Current(); }
    void SetCurrent(long long index) override { result_.SetCurrent(index); }
    unsigned long long Revision() override { return result_.Revision(); }
    long long BookmarkID() override { return result_.BookmarkID(); }
    bool FilterActive() override { return false; }

  private:
    TSearchResult& result_;
};

TArticleGridModel::TArticleGridModel(QObject* parent) : QAbstractTableModel(parent) {}

TArticleGridModel::~TArticleGridModel() = default;

void TArticleGridModel::BindLog(TLogView& log) {
    rows_ = std::make_unique<LogRows>(log);
    boundToLog_ = true;
    Reload();
}

void TArticleGridModel::BindSearch(TSearchResult& result) {
    rows_ = std::make_unique<SearchRows>(result);
    boundToLog_ = false;
    Reload();
}

void TArticleGridModel::Unbind() {
    rows_.reset();
    boundToLog_ = false;
    Reload();
}

bool TArticleGridModel::Refresh() {
    if (rows_ && rows_->Revision() == revision_ && rows_->Count() == count_)
        return false;
    Reload();
    return true;
}

void TArticleGridModel::Reload() {
    beginResetModel();
    // A view cannot show more rows than an int counts; the store's tables stay far below.
    count_ = rows_ ? qMin<long long>(rows_->Count(), INT_MAX) : 0;
    revision_ = rows_ ? rows_->Revision() : 0;
    lastCurrent_ = rows_ ? rows_->Current() : -1;
    endResetModel();
    emit reloaded();
}

long long TArticleGridModel::CurrentRow() const {
    return rows_ ? rows_->Current() : -1;
}

void TArticleGridModel::SetCurrentRow(long long row) {
    if (!rows_ || row < 0 || row >= count_)
        return;
    const long long before = lastCurrent_;
    rows_->SetCurrent(row);
    lastCurrent_ = rows_->Current();
    if (before != lastCurrent_) {
        if (before >= 0 && before < count_)
            emit headerDataChanged(Qt::Vertical, int(before), int(before));
        emit headerDataChanged(Qt::Vertical, int(lastCurrent_), int(lastCurrent_));
    }
}

const TArticle* TArticleGridModel::RecordAt(long long row) const {
    if (!rows_ || row < 0 || row >= count_)
        return nullptr;
    return &rows_->Row(row);
}

void TArticleGridModel::SetTextFamily(const QString& family) {
    textFamily_ = family;
    if (count_ > 0)
        emit dataChanged(index(0, ColSubject), index(int(count_) - 1, ColNotes));
}

int TArticleGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(count_);
}

int TArticleGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TArticleGridModel::data(const QModelIndex& index, int role) const {
    if (!rows_ || !index.isValid() || index.row() >= count_)
        return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: {
            const TArticle& row = rows_->Row(index.row());
            switch (index.column()) {
                case ColMessageID:
                    return QString::number(row.MessageID);
                case ColRank:
                    return row.Rank ? QString::number(*row.Rank) : QString();
                case ColSubject:
                    return FromCp932(row.Subject);
                case ColNotes:
                    return FromCp932(row.Notes);
            }
            return {};
        }
        case Qt::TextAlignmentRole:
            if (index.column() == ColMessageID || index.column() == ColRank)
                return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::FontRole:
            if (!textFamily_.isEmpty() &&
                (index.column() == ColSubject || index.column() == ColNotes)) {
                QFont font;
                font.setFamily(textFamily_);
                return font;
            }
            return {};
        case Qt::BackgroundRole: {
            const long long bookmark = rows_->BookmarkID();
            if (bookmark >= 0 && rows_->Row(index.row()).MessageID == bookmark)
                return QBrush(kBookmarkColor);
            if (boundToLog_ && rows_->FilterActive())
                return QBrush(kFilterColor);
            return {};
        }
    }
    return {};
}

QVariant TArticleGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole)
            return rows_ && section == lastCurrent_ ? QStringLiteral("\u25b6") : QString();
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            switch (section) {
                case ColMessageID:
                    return QStringLiteral("MessageID");
                case ColRank:
                    return QStringLiteral("Rank");
                case ColSubject:
                    return QStringLiteral("Subject");
                case ColNotes:
                    return QStringLiteral("Notes");
            }
            return {};
        case Qt::FontRole: {
            QFont font;
            font.setBold(true);
            return font;
        }
        case Qt::ForegroundRole:
            switch (section) {
                case ColRank:
                    return QBrush(QColor(0xff, 0x00, 0x00));  // red
                case ColSubject:
                    return QBrush(QColor(0x80, 0x80, 0x00));  // olive
                case ColNotes:
                    return QBrush(QColor(0x80, 0x00, 0x00));  // maroon
            }
            return {};
    }
    return {};
}
