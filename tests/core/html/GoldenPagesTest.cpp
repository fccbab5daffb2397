// Whole pages laid out: tests/data/html/<case>.html against <case>.expected.txt (the
// exact bytes, CR LF line ends, cp932), links picked up, not preformatted.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "HtmlTestSupport.h"
#include "TestSupport.h"

namespace {

std::filesystem::path GoldenDir() {
    return std::filesystem::path(BREVILO_TEST_DATA_DIR) / "html";
}

std::vector<std::string> GoldenCases() {
    std::vector<std::string> cases;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(GoldenDir(), ec))
        if (entry.path().extension() == ".html")
            cases.push_back(entry.path().stem().string());
    std::sort(cases.begin(), cases.end());
    return cases;
}

class GoldenPage : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(GoldenPage, LaysOutAsExpected) {
    const std::filesystem::path dir = GoldenDir();
    const std::string html = testsupport::ReadFile((dir / (GetParam() + ".html")).string());
    const std::string expected =
        testsupport::ReadFile((dir / (GetParam() + ".expected.txt")).string());
    const std::string actual = htmltest::Layout(html);
    EXPECT_EQ(htmltest::Visible(actual), htmltest::Visible(expected));
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(Html, GoldenPage, ::testing::ValuesIn(GoldenCases()),
                         [](const ::testing::TestParamInfo<std::string>& p) {
                             std::string name = p.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(GoldenPages, AreThere) {
    EXPECT_GE(GoldenCases().size(), 4u);
}
