// brevilo-cli layout: the HTML engine over a whole file, as the script interpreter and the
// mail parser call it.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "CliArgs.h"
#include "CliCommand.h"
#include "base/EError.h"
#include "base/FileBytes.h"
#include "base/TSingleton.h"
#include "html/HParser.h"
#include "html/TColBlank.h"

namespace {

int runLayout(CliContext& ctx) {
    CliArgs args(ctx.args, {"--letters-width", "--spaces-width"},
                 {"--plain", "--no-links", "--pre"});
    if (args.positional().size() != 1)
        throw EUsage("expects exactly one FILE");
    auto metric = [&](const char* name) {
        const auto given = args.value(name);
        if (!given)
            return 1L;
        const long v = CliArgs::integerValue(name, *given);
        if (v < 1 || v > 100000)
            throw EUsage(std::string("option ") + name + " needs an integer from 1 to 100000");
        return v;
    };
    const long letters = metric("--letters-width"), spaces = metric("--spaces-width");
    // Every column blank is lettersWidth / spacesWidth spaces per letter: a ratio no font
    // has would only fill memory with blanks.
    if (letters > 16 * spaces)
        throw EUsage("--letters-width may be at most 16 times --spaces-width");
    HTMLParser::TColBlank::SetMetrics(static_cast<int>(letters), static_cast<int>(spaces));

    const std::string source = ReadFileBytes(ctx.encoding.Input(args.positional()[0]));
    HTMLParser::HParser& parser = TSingleton<HTMLParser::HParser>::ObjOwner();
    const char* begin = source.data();
    if (args.flag("--plain")) {
        parser.PlainText(begin, begin + source.size());
    } else {
        parser.LayoutText(begin, begin + source.size(), !args.flag("--no-links"),
                          args.flag("--pre"));
    }
    // Converted a piece at a time, cut after a line feed (never a trail byte in cp932), so
    // that a long page is not held a second time in the output encoding.
    std::string_view rest = parser.Result();
    constexpr std::size_t kPiece = 1 << 20;
    while (!rest.empty()) {
        std::size_t cut = rest.size();
        if (cut > kPiece) {
            const std::size_t lf = rest.find('\n', kPiece);
            cut = lf == std::string_view::npos ? rest.size() : lf + 1;
        }
        WriteOut(ctx.encoding.Output(rest.substr(0, cut)));
        rest.remove_prefix(cut);
    }
    return 0;
}

const CliRegistrar registrar({
    "layout",
    "[--plain] [--no-links] [--pre] [--letters-width N --spaces-width M] FILE",
    "lay out an HTML file as text (or --plain: one line of plain text)",
    runLayout,
});

}  // namespace
