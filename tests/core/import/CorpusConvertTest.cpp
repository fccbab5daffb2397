// Every message of the shared corpus through the conversion engine, as an import of
// ".eml" files would take it, and every mbox file as a ".txt" file: nothing may crash,
// hang or come back without its text.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "base/EError.h"
#include "import/TNParser.h"

namespace fs = std::filesystem;

namespace {

// The corpus is read in place: the engine sees it through a link with the extension the
// converter is chosen by.
std::string LinkAs(const testsupport::TempDir& dir, const fs::path& target,
                   const std::string& ext) {
    fs::path link = dir.path() / ("input" + ext);
    fs::remove(link);
    fs::create_symlink(fs::absolute(target), link);
    return link.string();
}

}  // namespace

TEST(CorpusConvert, EveryMailFileConvertsOrFailsWithAMessage) {
    BREVILO_REQUIRE_CORPUS(corpus);
    testsupport::TempDir dir;
    int files = 0, converted = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus / "mail")) {
        if (!entry.is_regular_file() || entry.path().filename() == "SOURCES.md")
            continue;
        ++files;
        TNParser engine;
        std::size_t articleBytes = 0;
        int records = 0;
        engine.SetOnRecord([&] {
            ++records;
            articleBytes += engine.Record.Article.size();
        });
        try {
            engine.Convert(LinkAs(dir, entry.path(), ".eml"));
            ++converted;
            EXPECT_GE(records, 1) << entry.path();
        } catch (const EError& e) {
            // A message without a sender is refused with the fixed text, nothing else.
            EXPECT_EQ(std::string(e.what()), "[Error] File type mismatch") << entry.path();
        }
    }
    EXPECT_GT(files, 1000);
    EXPECT_GT(converted, files * 9 / 10);
}

TEST(CorpusConvert, MboxFilesReadAsTextFiles) {
    BREVILO_REQUIRE_CORPUS(corpus);
    testsupport::TempDir dir;
    for (const auto& entry : fs::recursive_directory_iterator(corpus / "mbox")) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md")
            continue;
        TNParser engine;
        int records = 0;
        engine.SetOnRecord([&] { ++records; });
        try {
            engine.Convert(LinkAs(dir, entry.path(), ".txt"));
        } catch (const EError& e) {
            EXPECT_EQ(std::string(e.what()), "[Error] File type mismatch") << entry.path();
        }
    }
}
