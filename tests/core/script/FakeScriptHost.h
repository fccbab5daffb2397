#pragma once

// A conversion engine as the import run sees it, without the HTML engine: extractions
// lose their tags (so tests can tell converted text from source) and every call is logged.

#include <string>
#include <string_view>
#include <vector>

#include "import/ArticleParts.h"
#include "script/TScriptHost.h"

namespace scripttest {

class FakeScriptHost : public TScriptHost {
  public:
    struct LayoutCall {
        std::string source;
        bool pickUpLinks;
        bool preformatted;
    };

    TRecordFields fields;
    std::vector<TRecordFields> records;
    std::vector<LayoutCall> layoutCalls;
    std::vector<std::string> plainCalls;
    int posts = 0;  // PostArticle calls; a long article gives one post but several records
    bool stop = false;
    int stopAfterRecords = -1;  // sets the stop flag once this many records are taken
    std::string today = "06/12/2001";

    TRecordFields& Fields() override { return fields; }
    void PostArticle(std::string& article) override {
        ++posts;
        ::PostArticle(
            fields, article, [this] { return stop; },
            [this] {
                records.push_back(fields);
                if (stopAfterRecords >= 0 && static_cast<int>(records.size()) >= stopAfterRecords)
                    stop = true;
            });
    }
    bool StopRequested() const override { return stop; }
    std::string Today() const override { return today; }
    std::string PlainText(std::string_view source) override {
        plainCalls.emplace_back(source);
        return StripTags(source);
    }
    std::string LayoutText(std::string_view source, bool pickUpLinks, bool preformatted) override {
        layoutCalls.push_back({std::string(source), pickUpLinks, preformatted});
        return StripTags(source);
    }

    static std::string StripTags(std::string_view source) {
        std::string out;
        bool inTag = false;
        for (char c : source) {
            if (c == '<')
                inTag = true;
            else if (c == '>')
                inTag = false;
            else if (!inTag)
                out += c;
        }
        return out;
    }
};

}  // namespace scripttest
