#include "view/TRecordViewWidget.h"

#include <algorithm>

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTextOption>
#include <QVBoxLayout>
#include <cmath>

#include "base/EError.h"
#include "controls/Cp932Text.h"
#include "controls/TDBEditGrid.h"
#include "shell/IDialogs.h"
#include "store/DateText.h"
#include "store/TArticle.h"
#include "view/TArticleGridModel.h"
#include "view/TBoundRecords.h"

namespace {

const QString kLetters52 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");

// The Date box shows the short date format with the time.
QString DateBoxText(const TTimestamp& d) {
    return QString::asprintf("%02d/%02d/%04d %02d:%02d:%02d", d.month, d.day, d.year, d.hour,
                             d.minute, d.second);
}

// The store keeps CR LF line ends; the editor one paragraph per line.
QString ArticleText(const std::string& article) {
    std::string text;
    text.reserve(article.size());
    for (std::size_t i = 0; i < article.size(); ++i) {
        if (article[i] == '\r' && i + 1 < article.size() && article[i + 1] == '\n')
            continue;
        text += article[i];
    }
    return FromCp932(text);
}

std::string StoredArticle(const QString& text) {
    const std::string bytes = ToCp932(text);
    std::string stored;
    stored.reserve(bytes.size() + bytes.size() / 32);
    for (char c : bytes) {
        if (c == '\n')
            stored += '\r';
        stored += c;
    }
    return stored;
}

}  // namespace

TRecordViewWidget::TRecordViewWidget(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("RecordView"));
    panel_ = new QWidget(this);
    panel_->setObjectName(QStringLiteral("Panel1"));
    auto* grid = new QGridLayout(panel_);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);

    auto makeBox = [this](const char* name, const QString& label) {
        auto* box = new QLineEdit(panel_);
        box->setObjectName(QString::fromLatin1(name));
        box->setAccessibleName(label);
        connect(box, &QLineEdit::textEdited, this, [this] { StartEdit(); });
        return box;
    };
    auto makeLabel = [this](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, panel_);
        label->setBuddy(buddy);
        return label;
    };
    edDate_ = makeBox("edDate", QStringLiteral("Date"));
    edGroup_ = makeBox("edGroup", QStringLiteral("Group"));
    edGroup_->setMaxLength(60);
    edFrom_ = makeBox("edFrom", QStringLiteral("From"));
    edSubject_ = makeBox("edSubject", QStringLiteral("Subject"));
    grid->addWidget(makeLabel(QStringLiteral("&Date"), edDate_), 0, 0);
    grid->addWidget(edDate_, 0, 1);
    grid->addWidget(makeLabel(QStringLiteral("&Group"), edGroup_), 0, 2);
    grid->addWidget(edGroup_, 0, 3);
    grid->addWidget(makeLabel(QStringLiteral("F&rom"), edFrom_), 1, 0);
    grid->addWidget(edFrom_, 1, 1, 1, 3);
    grid->addWidget(makeLabel(QStringLiteral("S&ubject"), edSubject_), 2, 0);
    grid->addWidget(edSubject_, 2, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 2);
    edDate_->setMaximumWidth(170);

    dreArticle_ = new QPlainTextEdit(this);
    dreArticle_->setObjectName(QStringLiteral("dreArticle"));
    dreArticle_->setAccessibleName(QStringLiteral("Article"));
    dreArticle_->setLineWrapMode(QPlainTextEdit::NoWrap);
    dreArticle_->setWordWrapMode(QTextOption::NoWrap);
    dreArticle_->setTabChangesFocus(false);
    dreArticle_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    dreArticle_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(dreArticle_, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_)
            StartEdit();
    });

    dbgNews_ = new TDBEditGrid(this);
    dbgNews_->setObjectName(QStringLiteral("dbgNews"));
    dbgNews_->setAccessibleName(QStringLiteral("Records"));
    dbgNews_->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgNews_->setSelectionMode(QAbstractItemView::SingleSelection);
    dbgNews_->setShowGrid(true);
    dbgNews_->setTabKeyNavigation(true);
    dbgNews_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbgNews_->verticalHeader()->setDefaultSectionSize(dbgNews_->fontMetrics().height() + 4);
    dbgNews_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    dbgNews_->horizontalHeader()->setStretchLastSection(true);
    model_ = new TArticleGridModel(this);
    dbgNews_->setModel(model_);
    connect(dbgNews_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TRecordViewWidget::GridCurrentChanged);
    connect(model_, &TArticleGridModel::reloaded, this, &TRecordViewWidget::ModelReloaded);

    Splitter1_ = new QSplitter(Qt::Vertical, this);
    Splitter1_->setObjectName(QStringLiteral("Splitter1"));
    Splitter1_->addWidget(dreArticle_);
    Splitter1_->addWidget(dbgNews_);
    Splitter1_->setChildrenCollapsible(false);
    Splitter1_->setStretchFactor(0, 3);
    Splitter1_->setStretchFactor(1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(panel_);
    layout->addWidget(Splitter1_, 1);
    ShowMessageIDColumn(false);
}

TRecordViewWidget::~TRecordViewWidget() {
    // The model must not read from a binding that is going, and nobody is told.
    blockSignals(true);
    disconnect(model_, nullptr, this, nullptr);
    model_->Bind(nullptr);
}

void TRecordViewWidget::Bind(std::unique_ptr<TBoundRecords> records) {
    if (records_) {
        PostEdit();
        if (editing_)
            CancelEdit();  // an edit that cannot be posted is not carried to another set
        DropUnchangedInsert();
    }
    model_->Bind(nullptr);
    records_ = std::move(records);
    model_->Bind(records_.get());
}

void TRecordViewWidget::Refresh() {
    if (Frozen())
        return;
    if (!model_->Refresh())
        ShowCurrentRecord();
}

long long TRecordViewWidget::CurrentRow() const {
    return model_->CurrentRow();
}

long long TRecordViewWidget::RowCount() const {
    return model_->rowCount();
}

void TRecordViewWidget::GoToRow(long long row) {
    const long long count = model_->rowCount();
    if (count == 0 || Frozen())
        return;
    row = qBound(0LL, row, count - 1);
    const QModelIndex index = model_->index(int(row), TArticleGridModel::ColSubject);
    dbgNews_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    dbgNews_->scrollTo(index);
}

void TRecordViewWidget::SelectRow(long long row) {
    const bool wasMoving = moving_;
    moving_ = true;
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex index = model_->index(int(row), TArticleGridModel::ColSubject);
        const auto flags = dbgNews_->selectionMode() == QAbstractItemView::SingleSelection
                               ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                               : QItemSelectionModel::NoUpdate;
        dbgNews_->selectionModel()->setCurrentIndex(index, flags);
        dbgNews_->scrollTo(index);
    }
    moving_ = wasMoving;
}

void TRecordViewWidget::GridCurrentChanged(const QModelIndex& current, const QModelIndex&) {
    if (moving_ || !current.isValid() || !records_ || Frozen())
        return;
    const long long target = current.row();
    if (!editing_ && insertedId_ < 0) {
        model_->SetCurrentRow(target);
        ShowCurrentRecord();
        return;
    }
    // Leaving an edited or freshly inserted row: post (or drop) it first. Posting may move
    // rows (an ordering by the edited field, a filter it no longer passes), so the target
    // is found again by its MessageID.
    moving_ = true;
    const long long targetId = target < records_->Count() ? records_->Row(target).MessageID : -1;
    if (!PostEdit()) {
        SelectRow(model_->CurrentRow());
        moving_ = false;
        return;
    }
    if (insertedId_ != targetId)
        DropUnchangedInsert();
    if (targetId >= 0)
        records_->Locate(targetId);
    moving_ = false;
    if (!model_->Refresh()) {
        SelectRow(records_->Current());
        model_->SetCurrentRow(records_->Current());
        ShowCurrentRecord();
    }
}

void TRecordViewWidget::ModelReloaded() {
    ShowMessageIDColumn(!dbgNews_->isColumnHidden(TArticleGridModel::ColMessageID));
    SelectRow(model_->CurrentRow());
    ShowCurrentRecord();
}

void TRecordViewWidget::ShowCurrentRecord() {
    if (Frozen())
        return;
    loading_ = true;
    const TArticle* row = model_->RecordAt(model_->CurrentRow());
    if (!row) {
        for (QLineEdit* box : {edDate_, edGroup_, edFrom_, edSubject_})
            box->clear();
        dreArticle_->clear();
    } else {
        edDate_->setText(row->Date ? DateBoxText(*row->Date) : QString());
        edGroup_->setText(FromCp932(row->Newsgroup));
        edFrom_->setText(FromCp932(row->From));
        edSubject_->setText(FromCp932(row->Subject));
        dreArticle_->setPlainText(ArticleText(row->Article));
        for (QLineEdit* box : {edGroup_, edFrom_, edSubject_})
            box->setCursorPosition(0);
    }
    // Without a row there is nothing to edit (the navigator's Insert makes one).
    for (QLineEdit* box : {edDate_, edGroup_, edFrom_, edSubject_})
        box->setReadOnly(!row);
    dreArticle_->setReadOnly(!row);
    loading_ = false;
    UpdateNavigators();
    emit currentChanged();
}

void TRecordViewWidget::StartEdit() {
    if (editing_ || !records_ || Frozen())
        return;
    const long long current = model_->CurrentRow();
    if (current < 0)
        return;  // no row: the boxes are read-only
    editing_ = true;
    editId_ = records_->Row(current).MessageID;
    UpdateNavigators();
}

TArticle TRecordViewWidget::EditedRecord() const {
    TArticle row = records_->Row(records_->Current());
    const std::string date = ToCp932(edDate_->text().trimmed());
    if (date.empty())
        row.Date.reset();
    else
        row.Date = DateTextToTimestamp(date, CurrentYear());
    row.Newsgroup = ToCp932(edGroup_->text());
    row.From = ToCp932(edFrom_->text());
    row.Subject = ToCp932(edSubject_->text());
    row.Article = StoredArticle(dreArticle_->toPlainText());
    return row.Cut();
}

bool TRecordViewWidget::PostEdit() {
    if (!editing_)
        return true;
    if (!records_) {
        editing_ = false;
        return true;
    }
    try {
        if (!records_->Locate(editId_))
            throw EError("The record has been deleted");
        records_->Post(EditedRecord());
    } catch (const EError& e) {
        ShowMessage(this, FromCp932(e.what()));
        return false;
    }
    if (insertedId_ == editId_)
        insertedId_ = -1;
    editing_ = false;
    editId_ = -1;
    UpdateNavigators();
    return true;
}

void TRecordViewWidget::CancelEdit() {
    editing_ = false;
    editId_ = -1;
    ShowCurrentRecord();
}

bool TRecordViewWidget::DropUnchangedInsert() {
    if (insertedId_ < 0 || (editing_ && editId_ == insertedId_) || !records_)
        return false;
    const long long id = insertedId_;
    insertedId_ = -1;
    try {
        records_->Delete(id);
    } catch (const EError& e) {
        ShowMessage(this, FromCp932(e.what()));
        return false;
    }
    emit rowsChanged();
    return true;
}

void TRecordViewWidget::Freeze() {
    if (frozen_++ == 0)
        model_->SetFrozen(true);
}

void TRecordViewWidget::Thaw() {
    if (frozen_ > 0 && --frozen_ == 0) {
        model_->SetFrozen(false);  // reads the record set again
        ShowCurrentRecord();
    }
}

TDBNavigator* TRecordViewWidget::CreateNavigator(bool withInsert, QWidget* parent) {
    auto* navigator = new TDBNavigator(withInsert, parent);
    navigators_ << navigator;
    connect(navigator, &TDBNavigator::clicked, this,
            [this](TDBNavigator::Button button) { NavigatorClick(button); });
    connect(navigator, &QObject::destroyed, this,
            [this, navigator] { navigators_.removeAll(navigator); });
    UpdateNavigators();
    return navigator;
}

void TRecordViewWidget::UpdateNavigators() {
    const long long count = Frozen() ? 0 : model_->rowCount();
    const long long current = Frozen() ? -1 : model_->CurrentRow();
    const bool canInsert = records_ && records_->CanInsert() && !Frozen();
    for (TDBNavigator* navigator : std::as_const(navigators_)) {
        navigator->SetButtonEnabled(TDBNavigator::nbFirst, current > 0);
        navigator->SetButtonEnabled(TDBNavigator::nbPrior, current > 0);
        navigator->SetButtonEnabled(TDBNavigator::nbNext, current >= 0 && current < count - 1);
        navigator->SetButtonEnabled(TDBNavigator::nbLast, current >= 0 && current < count - 1);
        navigator->SetButtonEnabled(TDBNavigator::nbInsert, canInsert);
        navigator->SetButtonEnabled(TDBNavigator::nbDelete, count > 0);
        navigator->SetButtonEnabled(TDBNavigator::nbEdit, count > 0 && !editing_);
        navigator->SetButtonEnabled(TDBNavigator::nbPost, editing_);
        navigator->SetButtonEnabled(TDBNavigator::nbCancel, editing_ || insertedId_ >= 0);
    }
}

void TRecordViewWidget::NavigatorClick(TDBNavigator::Button button) {
    if (!records_ || Frozen())
        return;
    emit navigatorAboutToRun(button);
    const long long count = model_->rowCount();
    const long long current = model_->CurrentRow();
    switch (button) {
        case TDBNavigator::nbFirst:
            GoToRow(0);
            break;
        case TDBNavigator::nbPrior:
            GoToRow(current - 1);
            break;
        case TDBNavigator::nbNext:
            GoToRow(current + 1);
            break;
        case TDBNavigator::nbLast:
            GoToRow(count - 1);
            break;
        case TDBNavigator::nbInsert: {
            // A new row goes at the end of the record set, not at the cursor.
            if (!PostEdit())
                return;
            DropUnchangedInsert();
            try {
                insertedId_ = records_->Insert();
            } catch (const EError& e) {
                ShowMessage(this, FromCp932(e.what()));
                return;
            }
            records_->Locate(insertedId_);
            Refresh();
            emit rowsChanged();
            edSubject_->setFocus();
            break;
        }
        case TDBNavigator::nbDelete: {
            if (current < 0)
                return;
            if (Dialogs().Message(this, QStringLiteral("Delete record?"),
                                  QStringLiteral("Confirmation"), QMessageBox::Question,
                                  QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
                return;
            const long long id = records_->Row(current).MessageID;
            editing_ = false;
            editId_ = -1;
            if (insertedId_ == id)
                insertedId_ = -1;
            try {
                records_->Delete(id);
            } catch (const EError& e) {
                ShowMessage(this, FromCp932(e.what()));
            }
            Refresh();
            emit rowsChanged();
            break;
        }
        case TDBNavigator::nbEdit:
            StartEdit();
            edSubject_->setFocus();
            break;
        case TDBNavigator::nbPost:
            if (PostEdit())
                Refresh();
            break;
        case TDBNavigator::nbCancel:
            CancelEdit();
            if (DropUnchangedInsert())
                Refresh();
            break;
    }
    UpdateNavigators();
}

void TRecordViewWidget::ShowMessageIDColumn(bool shown) {
    dbgNews_->setColumnHidden(TArticleGridModel::ColMessageID, !shown);
    QHeaderView* header = dbgNews_->horizontalHeader();
    // 70 pixels at least; wider where the bold title needs it in the desktop's font, so
    // that it never reads "lessageID".
    if (shown)
        header->resizeSection(
            TArticleGridModel::ColMessageID,
            std::max(70, header->sectionSizeHint(TArticleGridModel::ColMessageID)));
    header->resizeSection(TArticleGridModel::ColRank, 45);
    header->resizeSection(TArticleGridModel::ColSubject, 250);
}

void TRecordViewWidget::ScrollArticle(int notches) {
    QScrollBar* bar = dreArticle_->verticalScrollBar();
    bar->setValue(bar->value() - 3 * notches);
}

QSize TRecordViewWidget::ApplyArticleFont(const QFont& font, const QColor& color) {
    QPalette palette = dreArticle_->palette();
    palette.setColor(QPalette::Text, color);
    dreArticle_->setPalette(palette);
    dreArticle_->setFont(font);

    // The boxes take only the face name; their sizes and colours stay as designed.
    for (QLineEdit* box : {edGroup_, edFrom_, edSubject_}) {
        QFont boxFont = box->font();
        boxFont.setFamily(font.family());
        box->setFont(boxFont);
    }
    model_->SetTextFamily(font.family());

    const QFontMetrics metrics(font, dreArticle_);
    const int spaces = metrics.horizontalAdvance(QString(52, QLatin1Char(' ')));
    const int letters = metrics.horizontalAdvance(kLetters52);

    // 32 tab stops, the i-th at 4 * i mean letter widths. The mean letter width is taken
    // in twips, rounded as MulDiv does, so the stops fall where the text layout expects.
    const int dpi = qMax(1, dreArticle_->logicalDpiX());
    const int meanTwips = int(std::lround(double(letters) * 1440.0 / (52.0 * double(dpi))));
    const qreal stepPixels = 4.0 * meanTwips * dpi / 1440.0;
    QTextOption option = dreArticle_->document()->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    for (int i = 1; i <= 32; ++i)
        tabs.append(QTextOption::Tab(stepPixels * i, QTextOption::LeftTab));
    option.setTabs(tabs);
    option.setTabStopDistance(stepPixels > 0 ? stepPixels : 8);
    option.setWrapMode(QTextOption::NoWrap);
    dreArticle_->document()->setDefaultTextOption(option);
    return QSize(spaces, letters);
}
