// brevilo-cli script-test SCRIPT PAGE [--today mm/dd/yyyy]: a script test run, its output
// written as the script test window shows it.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "CliArgs.h"
#include "CliCommand.h"
#include "base/EError.h"
#include "script/ScriptText.h"
#include "script/ShortDate.h"
#include "script/TScript.h"
#include "script/TTestRun.h"

namespace {

// Gathers the output as the window does: every chunk in order.
class OutputCollector : public TTestReporter {
  public:
    void Progress(const std::string& output, int) override { output_ += output; }
    void Finish(const std::string& output, int errorLine, bool success) override {
        output_ += output;
        errorLine_ = errorLine;
        success_ = success;
    }

    const std::string& Output() const { return output_; }
    int ErrorLine() const { return errorLine_; }
    bool Success() const { return success_; }

  private:
    std::string output_;
    int errorLine_ = 0;
    bool success_ = false;
};

std::string LowercaseExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return ext;
}

int RunScriptTest(CliContext& ctx) {
    CliArgs args(ctx.args, {"--today"}, {});
    if (args.positional().size() != 2)
        throw EUsage("expects a script file and a page");
    const std::string& scriptPath = args.positional()[0];
    const std::string& pagePath = args.positional()[1];
    std::string today = script::TodayShortDate();
    if (auto given = args.value("--today")) {
        if (!script::IsShortDate(*given))
            throw EUsage("--today expects a date as mm/dd/yyyy");
        today = *given;
    }

    // The same checks, in the same order and with the same messages, as the window's Test.
    std::vector<std::string> lines = TScript::ReadLines(scriptPath);
    if (lines.empty())
        throw EError("Script files missing");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(pagePath, ec))
        throw EError(pagePath + "\r\n" + "HTML file missing");
    const std::string ext = LowercaseExtension(pagePath);
    if (ext != ".html" && ext != ".htm" && ext != ".err" && ext != ".bak")
        throw EError("HTML file missing");

    OutputCollector collector;
    TTestRun run(std::move(lines), pagePath, today, collector);
    run.Run();

    WriteOut(ctx.encoding.Output(script::TrimControls(collector.Output())));
    std::fflush(stdout);
    if (collector.ErrorLine() != 0)
        std::fprintf(stderr, "Error line: %d\n", collector.ErrorLine());
    return collector.Success() ? 0 : 1;
}

const CliRegistrar registrar({"script-test", "SCRIPT PAGE [--today mm/dd/yyyy]",
                              "run a web-page script over a page and report every line",
                              RunScriptTest});

}  // namespace
