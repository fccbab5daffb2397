#include "import/ArticleParts.h"

std::string NextArticlePart(std::string& text) {
    std::string part;
    if (text.size() <= kArticlePartBytes) {
        part.swap(text);
        return part;
    }
    part = text.substr(0, kArticlePartBytes);
    std::size_t crlf = text.find("\r\n", kArticlePartBytes);
    if (crlf == std::string::npos) {
        text.erase(0, kArticlePartBytes);
    } else {
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
