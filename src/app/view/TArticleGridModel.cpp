#include "view/TArticleGridModel.h"

#include <QBrush>
#include <climits>

#include "controls/Cp932Text.h"
#include "store/TArticle.h"
#include "view/TBoundRecords.h"

const QColor TArticleGridModel::kBookmarkColor(0xc8, 0xff, 0xff);
const QColor TArticleGridModel::kFilterColor(0xff, 0xc8, 0xc8);

TArticleGridModel::TArticleGridModel(QObject* parent) : QAbstractTableModel(parent) {}

TArticleGridModel::~TArticleGridModel() = default;

void TArticleGridModel::Bind(TBoundRecords* records) {
    rows_ = records;
    Reload();
}

bool TArticleGridModel::IsBoundToLog() const {
    return rows_ && rows_->IsLog();
}

void TArticleGridModel::SetFrozen(bool frozen) {
    if (frozen_ == frozen)
        return;
    frozen_ = frozen;
    if (frozen) {
        if (count_ > 0)
            emit dataChanged(index(0, 0), index(int(count_) - 1, ColumnCount - 1));
    } else {
        Reload();
    }
}

bool TArticleGridModel::Refresh() {
    if (frozen_)
        return false;
    if (rows_ && rows_->Revision() == revision_ && rows_->Count() == count_)
        return false;
    Reload();
    return true;
}

void TArticleGridModel::Reload() {
    if (frozen_)
        return;
    beginResetModel();
    // A view cannot show more rows than an int counts; the store's tables stay far below.
    count_ = rows_ ? qMin<long long>(rows_->Count(), INT_MAX) : 0;
    revision_ = rows_ ? rows_->Revision() : 0;
    lastCurrent_ = rows_ ? rows_->Current() : -1;
    endResetModel();
    emit reloaded();
}

long long TArticleGridModel::CurrentRow() const {
    return rows_ && !frozen_ ? rows_->Current() : -1;
}

void TArticleGridModel::SetCurrentRow(long long row) {
    if (!rows_ || frozen_ || row < 0 || row >= count_)
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
    if (!rows_ || frozen_ || row < 0 || row >= count_ || row >= rows_->Count())
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
    // The store's list may have shrunk since the last reset (an edit that leaves the
    // filter); such rows read as empty until the reset that follows.
    if (!rows_ || frozen_ || !index.isValid() || index.row() >= count_ ||
        index.row() >= rows_->Count())
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
            if (rows_->IsLog() && rows_->FilterActive())
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
