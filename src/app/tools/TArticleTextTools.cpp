#include "tools/TArticleTextTools.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include "controls/Cp932Text.h"
#include "tools/TReplaceDialog.h"
#include "tools/TextFormat.h"
#include "tools/TextReplace.h"

namespace {

// The editor holds one paragraph per line (LF, or U+2029 in a selection); the rules work
// on CR LF.
std::string EditorToBytes(QString text) {
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return ToCp932(text);
}

QString BytesToEditor(const std::string& bytes) {
    QString text = FromCp932(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

// Character position in the editor of a byte offset into EditorToBytes(text).
int PositionOf(const std::string& bytes, std::size_t byteOffset) {
    return int(BytesToEditor(bytes.substr(0, byteOffset)).size());
}

}  // namespace

TArticleTextTools::TArticleTextTools(QPlainTextEdit* editor, std::function<bool()> beginEdit,
                                     QObject* parent)
    : QObject(parent), editor_(editor), beginEdit_(std::move(beginEdit)) {}

void TArticleTextTools::mnuTextFormatClick() {
    RunTransform(Transform::Format);
}

void TArticleTextTools::mnuDelBothBlanksClick() {
    RunTransform(Transform::DeleteBlanks);
}

void TArticleTextTools::RunTransform(Transform transform) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QTextCursor cursor = editor_->textCursor();
    const bool selection = cursor.hasSelection();
    const std::vector<std::string> lines = texttools::SplitLines(
        EditorToBytes(selection ? cursor.selectedText() : editor_->toPlainText()));
    const std::string result = transform == Transform::Format ? texttools::FormatLines(lines)
                                                              : texttools::DeleteBothBlanks(lines);
    if (beginEdit_()) {
        if (!selection)
            cursor.select(QTextCursor::Document);
        const int start = cursor.selectionStart();
        const QString text = BytesToEditor(result);
        cursor.insertText(text);
        // The result stays selected when a selection was formatted.
        if (selection) {
            cursor.setPosition(start);
            cursor.setPosition(start + int(text.size()), QTextCursor::KeepAnchor);
        }
        editor_->setTextCursor(cursor);
    }
    QApplication::restoreOverrideCursor();
}

void TArticleTextTools::mnuTextReplaceClick(const QPoint& screenPos) {
    const QString selected = editor_->textCursor().selectedText();
    beginEdit_();
    if (!ReplaceDialog1_) {
        ReplaceDialog1_ = new TReplaceDialog(editor_->window());
        connect(ReplaceDialog1_, &TReplaceDialog::replaceClicked, this,
                &TArticleTextTools::ReplaceDialog1Replace);
        connect(ReplaceDialog1_, &TReplaceDialog::findNextClicked, this,
                &TArticleTextTools::FindNext);
    }
    ReplaceDialog1_->move(screenPos);
    ReplaceDialog1_->SetFindText(selected);
    ReplaceDialog1_->show();
    ReplaceDialog1_->raise();
    ReplaceDialog1_->activateWindow();
}

void TArticleTextTools::ReplaceDialog1Replace(bool all) {
    if (!ReplaceDialog1_ || !beginEdit_())
        return;
    const texttools::TFindOptions options{ReplaceDialog1_->MatchCase(),
                                          ReplaceDialog1_->WholeWord()};
    const std::string what = EditorToBytes(ReplaceDialog1_->FindText());
    const std::string with = EditorToBytes(ReplaceDialog1_->ReplaceText());
    const QString plain = editor_->toPlainText();
    const std::string text = EditorToBytes(plain);
    QTextCursor cursor = editor_->textCursor();
    const std::size_t startByte =
        cursor.hasSelection() ? EditorToBytes(plain.left(cursor.selectionStart())).size() : 0;
    const texttools::TReplaceOutcome outcome =
        texttools::ReplaceText(text, startByte, what, with, options, all);
    if (outcome.replaced == 0)
        return;

    if (all) {
        // One undo step for the whole run of replacements.
        const int from = PositionOf(text, startByte);
        cursor.setPosition(from);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.insertText(BytesToEditor(outcome.text.substr(startByte)));
    } else {
        cursor.setPosition(PositionOf(text, outcome.lastStart));
        cursor.setPosition(PositionOf(text, outcome.lastStart + what.size()),
                           QTextCursor::KeepAnchor);
        cursor.insertText(BytesToEditor(with));
    }
    cursor.setPosition(PositionOf(outcome.text, outcome.lastEnd));
    editor_->setTextCursor(cursor);
    editor_->ensureCursorVisible();
}

void TArticleTextTools::FindNext() {
    // Selects the next match after the caret (the selection), from the start when none
    // follows, so that Replace acts on it.
    if (!ReplaceDialog1_)
        return;
    const texttools::TFindOptions options{ReplaceDialog1_->MatchCase(),
                                          ReplaceDialog1_->WholeWord()};
    const std::string what = EditorToBytes(ReplaceDialog1_->FindText());
    const QString plain = editor_->toPlainText();
    const std::string text = EditorToBytes(plain);
    QTextCursor cursor = editor_->textCursor();
    const std::size_t from = EditorToBytes(plain.left(cursor.selectionEnd())).size();
    auto found = texttools::FindText(text, what, from, text.size(), options);
    if (!found)
        found = texttools::FindText(text, what, 0, text.size(), options);
    if (!found)
        return;
    cursor.setPosition(PositionOf(text, *found));
    cursor.setPosition(PositionOf(text, *found + what.size()), QTextCursor::KeepAnchor);
    editor_->setTextCursor(cursor);
    editor_->ensureCursorVisible();
}
