// The import run hands its mail options to the conversion engine, which reads every
// message with them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "import/TConvertRun.h"
#include "import/TNParser.h"

namespace {

class SubjectHost : public IImportHost {
  public:
    void FileProgress(int, const std::string&) override {}
    void HandOver(const TRecordFields& fields, int, int) override {
        subjects.push_back(fields.Subject);
    }
    void Completed() override {}
    void Finished(const TImportResult&) override {}
    std::vector<std::string> subjects;
};

TEST(DecodeCharsetsImport, TheRunCarriesTheOptionToTheParser) {
    testsupport::TempDir dir;
    testsupport::WriteFile(dir.file("a.eml"),
                           "From: a@example.jp\r\nSubject: =?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=\r\n"
                           "\r\nbody\r\n");
    for (bool decode : {false, true}) {
        SubjectHost host;
        TConvertRun run({TMyFiler::Entry{dir.file("a.eml"), 0}}, "", host,
                        [] { return std::make_unique<TNParser>(); });
        run.SetRenameFiles(false);
        MailParser::TParseOptions options;
        options.DecodeCharsets = decode;
        run.SetMailOptions(options);
        run.Run();
        ASSERT_EQ(host.subjects.size(), 1u);
        EXPECT_EQ(host.subjects[0],
                  decode ? "\x93\xFA\x96\x7B\x8C\xEA" : "=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=");
    }
}

}  // namespace
