// The example scripts shipped with the program (data/scripts): each gives, on its sample
// page, the records its comments promise, both in a script test and in an import.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "Json.h"
#include "TestSupport.h"
#include "cli/CliRunner.h"

using testsupport::RunCliProgram;

namespace {

struct Promised {
    std::string subject, from, date, newsgroup, notes, articleStart;
};

struct Example {
    std::string name;
    std::vector<Promised> records;
};

const Example kExamples[] = {
    {"news-article",
     {{"Harbour bridge reopens after repairs", "Jane Porter", "2024/3/4 09:30:00", "Example Daily",
       "http://news.example.com/2024/03/04/bridge.html",
       "The harbour bridge opened to traffic again on Monday morning"}}},
    {"article-list",
     {{"Spring meeting moved to May", "Ann Lee", "2024/05/02", "Club news",
       "http://club.example.org/news/spring-meeting.html", "The spring meeting takes place"},
      {"New members' evening", "", "2024/04/18", "Club news",
       "http://club.example.org/news/members-evening.html", "Bring a friend"},
      {"Library opening hours", "Tom Baker", "", "Club news",
       "http://club.example.org/news/library.html", "The club library is open"},
      {"Annual report 2023 published", "Ann Lee", "2024/03/30", "Club news",
       "http://club.example.org/news/report-2023.html", "The annual report"}}},
    {"dated-table",
     {{"Water main work on Elm Street", "Town Hall, Public Works", "2024/03/04 08:15:00",
       "Notices for March 2024", "", "Water will be off between 8:15 and noon.\r\n\r\nPlease"},
      {"Road closed for the market", "Town Hall, Public Works", "2024/03/09 06:00:00",
       "Notices for March 2024", "", "Market Street is closed"},
      {"Bin collection moved", "Town Hall, Public Works", "2024/03/11 07:30:00",
       "Notices for March 2024", "", "Bins are collected on Monday"}}},
};

std::string ExamplePath(const std::string& file) {
    return std::string(BREVILO_EXAMPLE_SCRIPTS_DIR) + "/" + file;
}

// The subject shown when each record was posted, read from the test output. Page previews
// ("~...") may hold any text, so only whole lines are matched.
std::vector<std::string> PostedSubjects(const std::string& output) {
    std::vector<std::string> subjects;
    std::string subject;
    std::istringstream in(output);
    std::string line;
    bool valueNext = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (valueNext)
            subject = line;
        valueNext = line == "Subject:";
        if (line.size() > 15 && line[0] == '#' && line.ends_with(" record posted"))
            subjects.push_back(subject);
    }
    return subjects;
}

class ExampleScripts : public ::testing::TestWithParam<Example> {};

}  // namespace

TEST_P(ExampleScripts, GiveThePromisedRecordsOnTheirSamplePage) {
    const Example& example = GetParam();
    const std::string script = ExamplePath(example.name + ".hsc");
    const std::string page = ExamplePath(example.name + ".htm");
    const std::size_t count = example.records.size();

    auto test = RunCliProgram({"script-test", script, page});
    ASSERT_EQ(test.status, 0) << test.out << test.err;
    const std::string done = std::to_string(count) + " record(s) created successfully";
    EXPECT_EQ(test.out.substr(test.out.size() - std::min(test.out.size(), done.size())), done);
    std::vector<std::string> promisedSubjects;
    for (const Promised& record : example.records)
        promisedSubjects.push_back(record.subject);
    EXPECT_EQ(PostedSubjects(test.out), promisedSubjects);

    auto import = RunCliProgram({"convert", "--script", script, page});
    ASSERT_EQ(import.status, 0) << import.err;
    std::istringstream lines(import.out);
    std::string line;
    std::size_t index = 0;
    for (; std::getline(lines, line); ++index) {
        ASSERT_LT(index, count) << line;
        std::string error;
        auto object = ParseJsonObject(line, CliEncoding(), error);
        ASSERT_TRUE(object) << error;
        auto field = [&](const char* key) { return (*object)[key].text; };
        const Promised& want = example.records[index];
        EXPECT_EQ(field("Subject"), want.subject);
        EXPECT_EQ(field("From"), want.from);
        EXPECT_EQ(field("Date"), want.date);
        EXPECT_EQ(field("Newsgroup"), want.newsgroup);
        EXPECT_EQ(field("Notes"), want.notes);
        EXPECT_EQ(field("Article").substr(0, want.articleStart.size()), want.articleStart);
    }
    EXPECT_EQ(index, count);
}

INSTANTIATE_TEST_SUITE_P(Shipped, ExampleScripts, ::testing::ValuesIn(kExamples),
                         [](const auto& test) {
                             std::string name = test.param.name;
                             std::erase(name, '-');
                             return name;
                         });
