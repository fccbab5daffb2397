#pragma once

#include <QObject>
#include <string>
#include <vector>

class QPlainTextEdit;

// The article editor's keyword marking: leads the user from one occurrence of the search
// keywords to the next. Keywords match as the store's search matches them (ASCII letters
// without regard to case, double-byte characters whole). GUI thread only.
class TKeywordMarker : public QObject {
    Q_OBJECT

  public:
    explicit TKeywordMarker(QPlainTextEdit* editor);

    // Replaces the keyword list (cp932 keywords) when it differs.
    void SetKeyword(const std::vector<std::string>& keywords);
    const std::vector<std::string>& Keywords() const { return keywords_; }

    // Search position back to the start of the text.
    void InitPos() { position_ = 0; }
    // Caret to the start of the text, then SearchKeyword.
    bool FindFirst();
    // Caret to the search position, then SearchKeyword.
    bool FindNext();
    // Character offset where the next search starts.
    int SearchPosition() const { return position_; }

  private:
    // Selects the earliest keyword occurrence from the caret on; true when one was found.
    bool SearchKeyword();

    QPlainTextEdit* editor_;
    std::vector<std::string> keywords_;
    int position_ = 0;
};
