#include "import/ArticleParts.h"

#include "text/Cp932.h"

std::string NextArticlePart(std::string& text) {
    std::string part;
    if (text.size() <= kArticlePartBytes) {
        part.swap(text);
        return part;
    }
    std::size_t crlf = text.find("\r\n", kArticlePartBytes);
    if (crlf == std::string::npos) {
        // No line end left to cut at: cut at a character boundary, so that a double-byte
        // character is never split between two records.
        const std::size_t cut = cp932::boundaryAtOrBefore(text, kArticlePartBytes);
        part = text.substr(0, cut);
        text.erase(0, cut);
    } else {
        part = text.substr(0, kArticlePartBytes);
        part.append(text, kArticlePartBytes, crlf - kArticlePartBytes);
        text.erase(0, crlf + 2);
    }
    return part;
}

void PostArticle(TRecordFields& fields, std::string& article,
                 const std::function<bool()>& stopRequested,
                 const std::function<void()>& onRecord) {
    if (article.size() <= kArticlePartBytes) {
        if (stopRequested())
            return;
        fields.Article = article;
        onRecord();
        return;
    }
    const std::string base = fields.Subject;
    for (int n = 1; !article.empty() && !stopRequested(); ++n) {
        fields.Article = NextArticlePart(article);
        fields.Subject = base + " (" + std::to_string(n) + ")";
        onRecord();
    }
}
