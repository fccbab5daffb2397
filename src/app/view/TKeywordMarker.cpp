#include "view/TKeywordMarker.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

#include "controls/Cp932Text.h"
#include "store/KeywordMarks.h"

TKeywordMarker::TKeywordMarker(QPlainTextEdit* editor) : QObject(editor), editor_(editor) {}

void TKeywordMarker::SetKeyword(const std::vector<std::string>& keywords) {
    if (keywords != keywords_)
        keywords_ = keywords;
}

bool TKeywordMarker::FindFirst() {
    QTextCursor cursor = editor_->textCursor();
    cursor.movePosition(QTextCursor::Start);
    editor_->setTextCursor(cursor);
    return SearchKeyword();
}

bool TKeywordMarker::FindNext() {
    QTextCursor cursor = editor_->textCursor();
    cursor.setPosition(std::min(position_, editor_->document()->characterCount() - 1));
    editor_->setTextCursor(cursor);
    return SearchKeyword();
}

bool TKeywordMarker::SearchKeyword() {
    if (keywords_.empty())
        return false;
    const QString text = editor_->toPlainText();
    const int length = static_cast<int>(text.size());
    const int caret = editor_->textCursor().position();
    if (length - position_ < 1)
        return false;
    // The matching works on the cp932 bytes the store compares; offsets go back and forth
    // through the prefix lengths (every cp932 character is one UTF-16 unit).
    const std::string bytes = ToCp932(text);
    const std::size_t from = ToCp932(text.left(caret)).size();
    const std::size_t end = ToCp932(text.left(std::min(length, caret + length - position_))).size();
    const auto match = FindEarliestKeyword(bytes, from, end - from, keywords_);
    if (!match)
        return false;
    const int start =
        static_cast<int>(FromCp932(std::string_view(bytes).substr(0, match->offset)).size());
    const int count = static_cast<int>(
        FromCp932(std::string_view(bytes).substr(match->offset, match->length)).size());
    if (start >= length)
        return false;
    QTextCursor cursor = editor_->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + count, QTextCursor::KeepAnchor);
    editor_->setTextCursor(cursor);
    editor_->ensureCursorVisible();
    editor_->setFocus();
    position_ = start + count;
    return true;
}
