#include "search/TSearchCommands.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <set>

#include "base/EError.h"
#include "controls/Cp932Text.h"
#include "controls/TDBEditGrid.h"
#include "log/TLogPage.h"
#include "runner/TRunner.h"
#include "search/TSearchOptionFrm.h"
#include "search/TSearchPage.h"
#include "shell/IDialogs.h"
#include "shell/TCommands.h"
#include "shell/TMainfrm.h"
#include "store/InformationSource.h"
#include "store/KeywordMarks.h"
#include "store/KeywordQuery.h"
#include "store/TArticle.h"
#include "store/TDMod.h"
#include "store/TTableFolder.h"
#include "view/TBoundRecords.h"
#include "view/TKeywordMarker.h"
#include "view/TRecordViewWidget.h"

namespace {

TSearchCommands::Opener& OpenerInUse() {
    static TSearchCommands::Opener opener = [](const QUrl& url) {
        return QDesktopServices::openUrl(url);
    };
    return opener;
}

// How long the query runner searches before the first hits are shown, and how many rows
// each later step searches on the GUI thread (a few tenths of a second at most).
constexpr qint64 kFirstRowsMs = 1000;
constexpr long long kRowsPerStep = 2000;

int CurrentYear() {
    return QDate::currentDate().year();
}

}  // namespace

std::function<void(QMenu&)> TSearchCommands::articleMenuHook_;

void TSearchCommands::SetArticleMenuHook(std::function<void(QMenu&)> hook) {
    articleMenuHook_ = std::move(hook);
}

void TSearchCommands::SetOpener(Opener opener) {
    OpenerInUse() =
        opener ? std::move(opener) : [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

TSearchCommands::TSearchCommands(const TMainContext& context)
    : QObject(&context.frame), context_(context) {
    setObjectName(QStringLiteral("SearchCommands"));
    options_ = new TSearchOptionFrm(&context.frame);
    marker_ = new TKeywordMarker(context.view.ArticleEditor());

    TSearchPage& page = context.frame.SearchRecordsPage();
    connect(page.SearchButton(), &QToolButton::clicked, this, &TSearchCommands::SearchByKeyword);
    connect(page.MemoryButton(), &QToolButton::clicked, this, &TSearchCommands::SetMemoryPosition);
    connect(page.SaveButton(), &QToolButton::clicked, this, &TSearchCommands::SaveChanges);
    connect(page.KeywordBox(), &QLineEdit::returnPressed, this, &TSearchCommands::KeywordBoxEnter);
    connect(context.frame.LogRecordsPage().SubjectButton(), &QToolButton::clicked, this,
            &TSearchCommands::SearchBySubject);
    connect(&context.view, &TRecordViewWidget::currentChanged, this, &TSearchCommands::RowChanged);
    connect(&context.view, &TRecordViewWidget::rowsChanged, this,
            &TSearchCommands::UpdateSaveButton);
    connect(&context.view, &TRecordViewWidget::posted, this, &TSearchCommands::UpdateSaveButton);
    // Double-clicking the From box opens the information source too.
    context.view.FromBox()->installEventFilter(this);
    QPlainTextEdit* article = context.view.ArticleEditor();
    article->installEventFilter(this);
    article->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(article, &QWidget::customContextMenuRequested, this,
            [article, this](const QPoint& pos) { ArticleContextMenu(article->mapToGlobal(pos)); });

    TCommands& commands = context.commands;
    TDMod& dmod = context.dmod;
    auto onSearchPage = [this] { return OnSearchPage(); };
    commands.Handle(
        TCmd::Prior100, [this] { PriorPage(); },
        [this, &dmod] { return OnSearchPage() && dmod.CanPriorPage(); });
    commands.Handle(
        TCmd::Next100, [this] { NextPage(); },
        [this, &dmod] { return OnSearchPage() && dmod.CanNextPage(); });
    commands.Handle(
        TCmd::Find,
        [this] {
            marker_->InitPos();
            marker_->FindFirst();
        },
        onSearchPage);
    commands.Handle(
        TCmd::FindNext, [this] { marker_->FindNext(); }, onSearchPage);
    commands.Handle(
        TCmd::AddKeyword, [this] { AddKeyword(); },
        [this, &dmod] { return OnSearchPage() && dmod.MultiSelect(); });
    commands.Handle(
        TCmd::SaveResult, [this] { SaveSearchResults(); },
        [&dmod] {
            try {
                return dmod.IsFolderOpen() && dmod.QueryResultRowCount() > 0;
            } catch (const EError&) {
                return false;
            }
        });
    commands.Handle(
        TCmd::InfoSource, [this] { InformationSource(); },
        [this] { return !context_.view.FromBox()->text().isEmpty(); });

    // The grid's bookmark and keyword clipboard items need two rows at least.
    auto twoRows = [this] { return context_.view.RowCount() >= 2; };
    auto hasBookmark = [this] {
        TBoundRecords* bound = context_.view.Bound();
        return bound && bound->BookmarkID() >= 0;
    };
    commands.Handle(
        TCmd::SetBookmark, [this] { ToggleBookmark(); }, twoRows);
    commands.Handle(
        TCmd::GotoBookmark, [this] { GoToBookmark(); },
        [twoRows, hasBookmark] { return twoRows() && hasBookmark(); });
    commands.Handle(
        TCmd::KeywordCopy, [this] { KeywordCopy(); },
        [this, twoRows] { return twoRows() && context_.view.Grid()->CellEditing(); });
    commands.Handle(
        TCmd::KeywordPaste, [this] { KeywordPaste(); },
        [this, twoRows] { return twoRows() && !context_.dmod.KeywordClipboard().empty(); });
    connect(&commands, &TCommands::aboutToShow, this, [this, hasBookmark](TMenuId menu) {
        if (menu == TMenuId::Grid)
            context_.commands.Action(TCmd::SetBookmark)->setChecked(hasBookmark());
    });
}

TSearchCommands::~TSearchCommands() = default;

bool TSearchCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched == context_.view.FromBox() && event->type() == QEvent::MouseButtonDblClick) {
        if (!context_.view.FromBox()->text().isEmpty())
            InformationSource();
        return true;
    }
    if (watched == context_.view.ArticleEditor() && event->type() == QEvent::KeyPress &&
        OnSearchPage()) {
        // No overwrite mode in the article: Insert without Shift goes no further.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Insert && !(key->modifiers() & Qt::ShiftModifier))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

void TSearchCommands::ArticleContextMenu(const QPoint& globalPos) {
    QPlainTextEdit* editor = context_.view.ArticleEditor();
    const bool selected = editor->textCursor().hasSelection();
    QMenu menu(editor);
    menu.setObjectName(QStringLiteral("popArticle"));
    auto add = [&menu](const char* name, const QString& text, bool enabled,
                       std::function<void()> run) {
        QAction* action = menu.addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, &menu, std::move(run));
        return action;
    };
    auto selectedText = [editor] {
        // QPlainTextEdit gives U+2029 between paragraphs of a selection.
        return editor->textCursor().selectedText().replace(QChar(0x2029), QLatin1Char('\n'));
    };
    QLineEdit* box = context_.frame.SearchRecordsPage().KeywordBox();
    add("popNewSearchKey", QStringLiteral("New Search &Key"), selected, [=] {
        box->setText(selectedText());
        box->setFocus();
    });
    add("popAddSearchKey", QStringLiteral("Add &Search Key"), selected, [=] {
        box->setText(FromCp932(AddSearchKey(ToCp932(box->text()), ToCp932(selectedText()))));
        box->setFocus();
    });
    add("popAddToNote", QStringLiteral("Add to &Note"), selected,
        [=, this] { PrependToCurrentNotes(ToCp932(selectedText())); });
    menu.addSeparator();
    add("popCut", QStringLiteral("Cu&t"), selected, [editor] { editor->cut(); });
    add("popCopy", QStringLiteral("&Copy"), selected, [editor] { editor->copy(); });
    add("popPaste", QStringLiteral("&Paste"), editor->canPaste(), [editor] { editor->paste(); });
    add("popDelete", QStringLiteral("&Delete"), selected,
        [editor] { editor->textCursor().removeSelectedText(); });
    add("popUndo", QStringLiteral("&Undo"), editor->document()->isUndoAvailable(),
        [editor] { editor->undo(); });
    menu.addSeparator();
    add("popSelectAll", QStringLiteral("Select &All"), true, [editor] { editor->selectAll(); });
    add("popSelectToHead", QStringLiteral("Select to &Head"), true, [editor] {
        QTextCursor cursor = editor->textCursor();
        const int start = cursor.selectionStart();
        cursor.setPosition(start);
        cursor.setPosition(0, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
    });
    add("popSelectToEnd", QStringLiteral("Select to &End"), true, [editor] {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(cursor.selectionStart());
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        editor->setTextCursor(cursor);
    });
    if (articleMenuHook_) {
        articleMenuHook_(menu);
        return;
    }
    menu.exec(globalPos);
}

bool TSearchCommands::OnSearchPage() const {
    return context_.frame.ActivePage() == TMainfrm::SearchPage;
}

void TSearchCommands::Message(const QString& text) {
    ShowMessage(&context_.frame, text);
}

bool TSearchCommands::RunQuery(const std::function<void()>& op) {
    int result;
    {
        TFrozenView frozen(context_.view);
        result = TRunner::Run(&context_.frame, TRunner::Look::Find, op);
    }
    AfterQuery();
    if (result == TRunner::mrAbort) {
        Message(QStringLiteral("Search Error"));
        return false;
    }
    return true;
}

void TSearchCommands::AfterQuery() {
    // The result decides the article view's keywords: those of an Article search, else none.
    marker_->SetKeyword(context_.dmod.Search().articleKeywords());
    context_.frame.RefreshView();
    UpdateSaveButton();
    RowChanged();
}

void TSearchCommands::SearchByKeyword() {
    context_.frame.PendingChangesPrompt();
    TDMod& dmod = context_.dmod;
    try {
        options_->EnableMethods(dmod.QueryResultRowCount() > 0, dmod.MemoryRowCount() > 0);
    } catch (const EError& e) {
        Message(FromCp932(e.what()));
        return;
    }
    if (Dialogs().Exec(*options_) != QDialog::Accepted)
        return;
    RunKeywordSearch();
}

void TSearchCommands::KeywordBoxEnter() {
    if (context_.frame.SearchRecordsPage().KeywordBox()->text().isEmpty())
        return;
    // Unsaved edits of the result would be lost with the new query: ask first, as the
    // button does.
    context_.frame.PendingChangesPrompt();
    RunKeywordSearch();
}

void TSearchCommands::RunKeywordSearch() {
    TDMod& dmod = context_.dmod;
    const std::string box = ToCp932(context_.frame.SearchRecordsPage().KeywordBox()->text());
    const TSearchOptions options = options_->Options();
    // The keywords and the condition are checked here, so that their own messages show and
    // nothing runs; a failure of the query itself is a "Search Error".
    try {
        BuildKeywordCondition(ParseKeywords(box), options.field, CurrentYear());
    } catch (const EError& e) {
        Message(FromCp932(e.what()));
        return;
    }
    marker_->InitPos();
    // A search that hits most rows of a large table shows its first rows after about a
    // second; the rest of the table is then searched in short steps between the user's
    // actions (SearchStep), so the window is never held for long.
    const bool ok = RunQuery([&dmod, box, options] {
        QElapsedTimer clock;
        clock.start();
        bool more = dmod.BeginKeywordSearch(box, options);
        while (more && (clock.elapsed() < kFirstRowsMs || dmod.Search().Count() == 0))
            more = dmod.ContinueSearch();
    });
    if (ok && dmod.SearchInProgress())
        QTimer::singleShot(0, this, &TSearchCommands::SearchStep);
}

void TSearchCommands::SearchStep() {
    TDMod& dmod = context_.dmod;
    if (!dmod.SearchInProgress())
        return;
    // The store is the GUI thread's: wait while a runner has it, a modal question is
    // open or the user is editing a row.
    if (context_.view.Frozen() || context_.view.Editing() || QApplication::activeModalWidget()) {
        QTimer::singleShot(100, this, &TSearchCommands::SearchStep);
        return;
    }
    bool more = false;
    bool failed = false;
    try {
        more = dmod.ContinueSearch(kRowsPerStep);
    } catch (const EError&) {
        failed = true;
    }
    stepping_ = true;
    context_.frame.RefreshView();
    context_.frame.UpdateCounter();
    stepping_ = false;
    if (failed)
        Message(QStringLiteral("Search Error"));
    else if (more)
        QTimer::singleShot(0, this, &TSearchCommands::SearchStep);
}

void TSearchCommands::SearchBySubject() {
    TRecordViewWidget& view = context_.view;
    if (!view.PostEdit())
        return;
    context_.frame.PendingChangesPrompt();
    QLineEdit* subjectBox = view.SubjectBox();
    std::string phrase;
    if (subjectBox->hasFocus() && subjectBox->hasSelectedText()) {
        phrase = ToCp932(subjectBox->selectedText());
    } else {
        const std::string subject = ToCp932(subjectBox->text());
        if (subject.empty()) {
            Message(QStringLiteral("Invalid Subject"));
            return;
        }
        phrase = SubjectSearchText(subject);
    }
    context_.frame.SearchRecordsPage().KeywordBox()->setText(FromCp932(phrase));
    marker_->SetKeyword({});
    marker_->InitPos();
    TDMod& dmod = context_.dmod;
    if (RunQuery([&dmod, phrase] { dmod.SubjectSearch(phrase); }))
        context_.frame.ShowPage(TMainfrm::SearchPage);
}

void TSearchCommands::SetMemoryPosition() {
    context_.frame.PendingChangesPrompt();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok = true;
    try {
        context_.dmod.SetMemoryPosition();
    } catch (const EError&) {
        ok = false;
    }
    QApplication::restoreOverrideCursor();
    if (ok)
        context_.frame.ShowStatusText(QString(), true);
    else
        Message(QStringLiteral("Error: Cannot Set Memory"));
}

void TSearchCommands::SaveChanges() {
    if (!context_.view.PostEdit())
        return;
    try {
        context_.dmod.SaveChanges();
    } catch (const EError& e) {
        Message(FromCp932(e.what()));
    }
    context_.frame.RefreshView();
    context_.frame.SearchRecordsPage().SaveButton()->setEnabled(false);
}

void TSearchCommands::UpdateSaveButton() {
    if (!context_.dmod.IsFolderOpen())
        return;
    if (context_.dmod.Search().HasPendingChanges())
        context_.frame.SearchRecordsPage().SaveButton()->setEnabled(true);
}

void TSearchCommands::RowChanged() {
    // A search step showing more hits leaves the caret and the focus where the user has
    // them.
    if (!OnSearchPage() || context_.view.Frozen() || stepping_)
        return;
    UpdateSaveButton();
    // Every row of the result opens on its first keyword occurrence.
    marker_->InitPos();
    marker_->FindFirst();
}

std::vector<long long> TSearchCommands::SelectedMessageIDs() const {
    std::vector<long long> ids;
    TBoundRecords* bound = context_.view.Bound();
    if (!bound)
        return ids;
    std::set<int> rows;
    for (const QModelIndex& index : context_.view.Grid()->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    for (int row : rows)
        if (row < bound->Count())
            ids.push_back(bound->Row(row).MessageID);
    return ids;
}

void TSearchCommands::EndMultiSelect() {
    if (!context_.dmod.MultiSelect())
        return;
    context_.commands.Trigger(TCmd::MultiSelect);
    if (!context_.dmod.MultiSelect())
        return;
    // Without the grid's own command (no handler yet) end it here.
    context_.dmod.SetMultiSelect(false);
    context_.view.Grid()->clearSelection();
    context_.view.Grid()->setSelectionMode(QAbstractItemView::SingleSelection);
    context_.frame.UpdateButtonState();
}

void TSearchCommands::AddKeyword() {
    const std::string keyword = ToCp932(context_.frame.SearchRecordsPage().KeywordBox()->text());
    if (keyword.empty()) {
        Message(QStringLiteral("Input keyword"));
        return;
    }
    if (!context_.view.PostEdit())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok = true;
    {
        TFrozenView frozen(context_.view);
        try {
            context_.dmod.AddKeywordToNotes(SelectedMessageIDs(), keyword);
        } catch (const EError&) {
            ok = false;
        }
    }
    QApplication::restoreOverrideCursor();
    EndMultiSelect();
    context_.frame.RefreshView();
    UpdateSaveButton();
    if (!ok)
        Message(QStringLiteral("Failed to add keywords"));
}

void TSearchCommands::PriorPage() {
    context_.frame.PendingChangesPrompt();
    marker_->InitPos();
    marker_->SetKeyword({});
    TDMod& dmod = context_.dmod;
    RunQuery([&dmod] { dmod.PriorPage(); });
}

void TSearchCommands::NextPage() {
    context_.frame.PendingChangesPrompt();
    marker_->InitPos();
    marker_->SetKeyword({});
    TDMod& dmod = context_.dmod;
    RunQuery([&dmod] { dmod.NextPage(); });
}

void TSearchCommands::SaveSearchResults() {
    const auto answer =
        Dialogs().InputText(&context_.frame, QStringLiteral("Save Search Result as..."),
                            QStringLiteral("Enter a new database name"), QString());
    if (!answer)
        return;
    const std::string name = ToCp932(*answer);
    TDMod& dmod = context_.dmod;
    // The store's own name check: a name with "/" or ".." would otherwise write outside
    // the database folder.
    if (name.empty() || !TTableFolder::IsValidNewName(name)) {
        Message(QStringLiteral("Invalid database name"));
        return;
    }
    if (dmod.TableExists(name)) {
        Message(QStringLiteral("Database name already exsits"));
        return;
    }
    if (!context_.view.PostEdit())
        return;
    try {
        dmod.SaveSearchResults(name);
        dmod.DeleteValFile(name);
    } catch (const EError&) {
        Message(QStringLiteral("Error: Cannot make database"));
    }
    context_.frame.RefreshView();
}

void TSearchCommands::InformationSource() {
    const TInformationSource source = InformationSourceOf(ToCp932(context_.view.FromBox()->text()));
    if (source.kind == TInformationSource::Invalid) {
        Message(QStringLiteral("Invalid EMAIL address"));
        return;
    }
    const QUrl url(FromCp932(source.target), QUrl::TolerantMode);
    if (!OpenerInUse()(url))
        Message(source.kind == TInformationSource::Mail
                    ? QStringLiteral("[Error] Failed to execute your mailer")
                    : QStringLiteral("[Error] Failed to execute your browser"));
}

void TSearchCommands::ToggleBookmark() {
    TDMod& dmod = context_.dmod;
    EndMultiSelect();
    TBoundRecords* bound = context_.view.Bound();
    if (!bound)
        return;
    const bool onLog = bound->IsLog();
    if (bound->BookmarkID() >= 0) {
        if (onLog)
            dmod.Log().ClearBookmark();
        else
            dmod.Search().ClearBookmark();
    } else if (onLog) {
        dmod.Log().SetBookmark();
    } else {
        dmod.Search().SetBookmark();
    }
    context_.commands.Action(TCmd::GotoBookmark)->setEnabled(bound->BookmarkID() >= 0);
    context_.commands.Action(TCmd::SetBookmark)->setChecked(bound->BookmarkID() >= 0);
    context_.view.Grid()->viewport()->update();
}

void TSearchCommands::GoToBookmark() {
    TBoundRecords* bound = context_.view.Bound();
    if (!bound || bound->BookmarkID() < 0)
        return;
    if (!context_.view.PostEdit())
        return;
    bound->Locate(bound->BookmarkID());
    context_.view.Refresh();
    context_.view.Grid()->viewport()->update();
}

void TSearchCommands::KeywordCopy() {
    TDBEditGrid* grid = context_.view.Grid();
    QString selected;
    for (QLineEdit* editor : grid->findChildren<QLineEdit*>())
        if (editor->isVisible())
            selected = editor->selectedText();
    // Closing the cell editor commits the cell, so the pending edit is posted as well.
    if (QWidget* editor = grid->indexWidget(grid->currentIndex()))
        editor->clearFocus();
    grid->setFocus();
    context_.view.PostEdit();
    context_.dmod.SetKeywordClipboard(ToCp932(selected));
}

void TSearchCommands::KeywordPaste() {
    const std::string clip = context_.dmod.KeywordClipboard();
    if (clip.empty())
        return;
    PrependToCurrentNotes(clip);
}

void TSearchCommands::PrependToCurrentNotes(const std::string& text) {
    TRecordViewWidget& view = context_.view;
    TBoundRecords* bound = view.Bound();
    if (!bound || bound->Count() == 0 || !view.PostEdit())
        return;
    TArticle row = bound->Row(bound->Current());
    row.Notes = PrependToNotes(row.Notes, text);
    try {
        bound->Post(row);
    } catch (const EError& e) {
        Message(FromCp932(e.what()));
    }
    view.Refresh();
    UpdateSaveButton();
}
