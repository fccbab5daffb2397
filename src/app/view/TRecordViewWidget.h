#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>
#include <memory>

#include "controls/TDBNavigator.h"

class QLineEdit;
class QPlainTextEdit;
class QSplitter;
class TArticleGridModel;
class TBoundRecords;
class TDBEditGrid;
struct TArticle;

// The record view shared by both pages: the Date, Group, From and Subject boxes, the
// article editor, the splitter and the grid, all showing the current row of the bound
// record set, and the pages' navigators.
//
// Editing: the boxes and the article editor are editable. The first change starts an edit
// of the current row; the edit is posted to the bound record set (TBoundRecords::Post)
// when the row changes, when the view is bound to another record set (page or table
// change), by the navigator's Post, and by PostEdit() (every command that changes the
// tables calls it first), so no edit is lost silently. A row inserted by the navigator and
// left unchanged is dropped when the cursor leaves it or the grid loses the focus.
//
// GUI thread only. The store behind the binding must not be touched by anyone while the
// view is frozen (see Freeze).
class TRecordViewWidget : public QWidget {
    Q_OBJECT

  public:
    explicit TRecordViewWidget(QWidget* parent = nullptr);
    ~TRecordViewWidget() override;

    // Binds the view to a record set (posting a pending edit of the old one first);
    // nullptr shows nothing.
    void Bind(std::unique_ptr<TBoundRecords> records);
    TBoundRecords* Bound() const { return records_.get(); }

    // Reads the bound record set again after the store changed it, keeping the store's
    // current row.
    void Refresh();
    // Makes row current (clamped to the rows shown) and shows it.
    void GoToRow(long long row);
    long long CurrentRow() const;
    long long RowCount() const;

    // Posts a pending edit. False (after the failure's message) when it could not be
    // posted; the edit then stays pending.
    bool PostEdit();
    // Drops a pending edit and shows the stored row again.
    void CancelEdit();
    bool Editing() const { return editing_; }

    // Freezes the bound controls while a worker uses the store (the runner): nothing is
    // read from the store until Thaw, which reads the record set again. Nests.
    void Freeze();
    void Thaw();
    bool Frozen() const { return frozen_ > 0; }

    // A navigator for a page's tool bar (withInsert: the log's), run by this view.
    TDBNavigator* CreateNavigator(bool withInsert, QWidget* parent);

    // The MessageID column: 70 pixels wide, or hidden.
    void ShowMessageIDColumn(bool shown);

    // The article font and colour: the editor takes both, the boxes and the grid's text
    // columns its face name; 32 tab stops every four mean letter widths. Returns the
    // pixel widths of 52 spaces and of "A".."Z" "a".."z" in that font.
    QSize ApplyArticleFont(const QFont& font, const QColor& color);

    // Scrolls the article three lines per wheel notch (the frame's wheel rule).
    void ScrollArticle(int notches);

    QLineEdit* DateBox() const { return edDate_; }
    QLineEdit* GroupBox() const { return edGroup_; }
    QLineEdit* FromBox() const { return edFrom_; }
    QLineEdit* SubjectBox() const { return edSubject_; }
    QPlainTextEdit* ArticleEditor() const { return dreArticle_; }
    TDBEditGrid* Grid() const { return dbgNews_; }
    TArticleGridModel* Model() const { return model_; }
    QWidget* RecordPanel() const { return panel_; }
    QSplitter* Splitter() const { return Splitter1_; }

  signals:
    // The current row or its contents changed (counter texts follow).
    void currentChanged();
    // Rows were inserted or deleted through a navigator (the tool-bar state follows).
    void rowsChanged();
    // A navigator button is about to run (before the view acts on it).
    void navigatorAboutToRun(TDBNavigator::Button button);

  private:
    void GridCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void ModelReloaded();
    void ShowCurrentRecord();
    void UpdateNavigators();
    void NavigatorClick(TDBNavigator::Button button);
    void StartEdit();
    bool DropUnchangedInsert();
    void SelectRow(long long row);
    TArticle EditedRecord() const;

    std::unique_ptr<TBoundRecords> records_;
    TArticleGridModel* model_ = nullptr;
    QWidget* panel_ = nullptr;
    QLineEdit* edDate_ = nullptr;
    QLineEdit* edGroup_ = nullptr;
    QLineEdit* edFrom_ = nullptr;
    QLineEdit* edSubject_ = nullptr;
    QPlainTextEdit* dreArticle_ = nullptr;
    QSplitter* Splitter1_ = nullptr;
    TDBEditGrid* dbgNews_ = nullptr;
    QList<TDBNavigator*> navigators_;

    bool loading_ = false;  // the boxes are being filled from the row, not edited
    bool moving_ = false;   // the view itself moves the grid's cursor
    bool editing_ = false;
    long long editId_ = -1;      // MessageID of the row being edited
    long long insertedId_ = -1;  // a row the navigator inserted, not yet changed
    int frozen_ = 0;
};

// Freezes a view for a scope (a runner operation, an ordering change).
class TFrozenView {
  public:
    explicit TFrozenView(TRecordViewWidget& view) : view_(view) { view_.Freeze(); }
    ~TFrozenView() { view_.Thaw(); }
    TFrozenView(const TFrozenView&) = delete;
    TFrozenView& operator=(const TFrozenView&) = delete;

  private:
    TRecordViewWidget& view_;
};
