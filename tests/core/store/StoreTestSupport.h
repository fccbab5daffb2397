#pragma once

// Helpers for the record store's tests: records to append and a look into table files
// behind the data module's back.

#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "base/TRecordFields.h"
#include "store/ArticleTable.h"
#include "store/TArticle.h"
#include "store/TDMod.h"
#include "store/TRecordView.h"
#include "store/TSqlConnection.h"

namespace storetest {

inline TRecordFields Rec(std::string subject, std::string date = "", std::string notes = "",
                         std::string article = "", std::string from = "", std::string group = "") {
    TRecordFields r;
    r.Subject = std::move(subject);
    r.Date = std::move(date);
    r.Notes = std::move(notes);
    r.Article = std::move(article);
    r.From = std::move(from);
    r.Newsgroup = std::move(group);
    return r;
}

// Every row of a table file in rowid order, read through a connection of its own.
inline std::vector<TArticle> ReadTable(const std::string& file) {
    TSqlConnection db(file, false);
    TSqlStatement st =
        db.Prepare("SELECT " + std::string(kArticleColumns) + " FROM articles ORDER BY rowid");
    std::vector<TArticle> rows;
    while (st.Step())
        rows.push_back(ReadArticle(st));
    return rows;
}

inline std::vector<std::string> Subjects(const std::vector<TArticle>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows)
        out.push_back(r.Subject);
    return out;
}

inline std::vector<long long> Ids(const std::vector<TArticle>& rows) {
    std::vector<long long> out;
    for (const auto& r : rows)
        out.push_back(r.MessageID);
    return out;
}

template <typename View>
std::vector<TArticle> RowsOf(View& view) {
    std::vector<TArticle> out;
    for (long long i = 0; i < view.Count(); ++i)
        out.push_back(view.Row(i));
    return out;
}

// A database folder with the data module open on it and a main table "News".
class StoreFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        dmod.SetCurrentYearSource([] { return 2025; });
        dmod.OpenFolder(dir.str());
        dmod.CreateMainTable("News");
    }
    std::string File(const std::string& table) const { return dir.file(table + ".db"); }
    void AppendLog(std::initializer_list<const char*> subjects) {
        for (const char* s : subjects)
            dmod.AppendLogRecord(Rec(s));
    }

    testsupport::TempDir dir;
    TDMod dmod;
};

}  // namespace storetest
