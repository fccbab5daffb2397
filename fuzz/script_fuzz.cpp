// Scripts over pages: the input is a script, a NUL byte and a page. Both runs must end
// without crashing, with a script error, or with the page's own failure.
//
// Inputs that could only exhaust memory or time by design are skipped: a variable
// appending a temporary variable (X&X doubles on every line) and a cycle limit above 16.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/EError.h"
#include "import/ArticleParts.h"
#include "script/EScriptError.h"
#include "script/ScriptText.h"
#include "script/TImportRun.h"
#include "script/TScript.h"
#include "script/TTestRun.h"
#include "text/TMSManager.h"
#include "text/TextUtil.h"

namespace {

struct Discard : TTestReporter {
    void Progress(const std::string&, int) override {}
    void Finish(const std::string&, int, bool) override {}
};

struct Host : TScriptHost {
    TRecordFields fields;
    TRecordFields& Fields() override { return fields; }
    void PostArticle(std::string& article) override {
        ::PostArticle(
            fields, article, [] { return false; }, [] {});
    }
    bool StopRequested() const override { return false; }
    std::string Today() const override { return "06/12/2001"; }
    std::string PlainText(std::string_view source) override { return std::string(source); }
    std::string LayoutText(std::string_view source, bool, bool) override {
        return std::string(source);
    }
};

bool Bounded(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (line.compare(0, 2, "#R") == 0) {
            long limit = 0;
            if (ReadInteger(line.substr(2), limit) && limit > 16)
                return false;
        }
        TStatement st = TStatement::Parse(line);
        if (st.IsVariable() && st.op == '&' && st.operand == TStatement::Operand::Temporary)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::size_t cut = in.find('\0');
    if (cut == std::string_view::npos)
        return 0;
    std::vector<std::string> lines = TScript::SplitLines(in.substr(0, cut));
    if (!Bounded(lines))
        return 0;
    std::string_view page = in.substr(cut + 1);

    Discard discard;
    TTestRun(lines, "fuzz.htm", "06/12/2001", discard).RunOnBytes(page);

    if (page.empty())
        return 0;
    TScript script(std::move(lines));
    TMSManager buffer;
    buffer.Assign(page);
    Host host;
    try {
        TImportRun(host).RunLoaded(script, buffer);
    } catch (const EScriptError&) {
    }
    return 0;
}
