// Golden test outputs: every tests/data/script/<case>.hsc runs over <case>.htm and its
// output must equal <case>.expected.txt byte for byte. BREVILO_UPDATE_GOLDEN=1 rewrites the
// expected files (review the diff before committing them).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "TestSupport.h"
#include "script/TScript.h"
#include "script/TTestRun.h"

namespace {

const std::filesystem::path kDir = std::filesystem::path(BREVILO_TEST_DATA_DIR) / "script";

std::vector<std::string> Cases() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kDir))
        if (entry.path().extension() == ".hsc")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Joined : TTestReporter {
    std::string output;
    void Progress(const std::string& text, int) override { output += text; }
    void Finish(const std::string& text, int errorLine, bool success) override {
        output += text;
        output += "----- error line " + std::to_string(errorLine) +
                  (success ? ", success" : ", failure") + "\r\n";
    }
};

class ScriptGolden : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(ScriptGolden, OutputMatches) {
    const std::string base = (kDir / GetParam()).string();
    Joined joined;
    TTestRun run(TScript::ReadLines(base + ".hsc"), base + ".htm", "06/12/2001", joined);
    run.Run();
    const std::string expectedPath = base + ".expected.txt";
    if (std::getenv("BREVILO_UPDATE_GOLDEN"))
        testsupport::WriteFile(expectedPath, joined.output);
    EXPECT_EQ(joined.output, testsupport::ReadFile(expectedPath));
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptGolden, ::testing::ValuesIn(Cases()), [](const auto& p) {
    std::string name = p.param;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});
