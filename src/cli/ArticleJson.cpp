#include "ArticleJson.h"

#include <cmath>
#include <limits>

#include "base/EError.h"
#include "store/DateText.h"

std::string ArticleToJsonLine(const TArticle& a, const CliEncoding& encoding) {
    JsonLine line(encoding);
    line.Number("MessageID", a.MessageID);
    if (a.Rank)
        line.Number("Rank", *a.Rank);
    else
        line.Null("Rank");
    if (a.Date)
        line.String("Date", a.Date->ToText());
    else
        line.Null("Date");
    line.String("From", a.From)
        .String("Newsgroup", a.Newsgroup)
        .String("Subject", a.Subject)
        .String("Notes", a.Notes)
        .String("Article", a.Article);
    return line.Finish();
}

namespace {

std::string textOf(const std::string& key, const JsonValue& v) {
    if (v.type == JsonValue::Type::Null)
        return {};
    if (v.type != JsonValue::Type::String)
        throw EError(key + " must be a string");
    return v.text;
}

}  // namespace

TArticle ArticleFromJson(const std::map<std::string, JsonValue>& object, int currentYear) {
    TArticle a;
    for (const auto& [key, v] : object) {
        if (key == "From") {
            a.From = textOf(key, v);
        } else if (key == "Newsgroup") {
            a.Newsgroup = textOf(key, v);
        } else if (key == "Subject") {
            a.Subject = textOf(key, v);
        } else if (key == "Notes") {
            a.Notes = textOf(key, v);
        } else if (key == "Article") {
            a.Article = textOf(key, v);
        } else if (key == "Date") {
            std::string text = textOf(key, v);
            if (!text.empty())
                a.Date = DateTextToTimestamp(text, currentYear);
        } else if (key == "Rank") {
            if (v.type == JsonValue::Type::Null)
                continue;
            // Rank is a long integer field: a whole number that fits 32 bits.
            if (v.type != JsonValue::Type::Number || std::floor(v.number) != v.number ||
                v.number < std::numeric_limits<int>::min() ||
                v.number > std::numeric_limits<int>::max())
                throw EError("Rank must be an integer or null");
            a.Rank = static_cast<long long>(v.number);
        } else if (key == "MessageID" || key == "file") {
            continue;
        } else {
            throw EError("unknown key \"" + key + "\"");
        }
    }
    return a;
}
