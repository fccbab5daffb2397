#include "script/TImportRun.h"

#include "script/EScriptError.h"
#include "script/ScriptText.h"
#include "text/TMSManager.h"
#include "text/TextUtil.h"

void TImportRun::Run(const TScript& script, TMSManager& page, const std::string& path) {
    page.Load(path);
    RunLoaded(script, page);
}

void TImportRun::RunLoaded(const TScript& script, TMSManager& page) {
    host_.Fields().Clear();
    try {
        if (Interpret(script, page) == Outcome::NoRecords)
            throw EScriptError(static_cast<int>(LastRead()) + 1, "No record created");
    } catch (const Fault& fault) {
        throw EScriptError(fault.reportLine, fault.detail);
    }
}

std::string TImportRun::ApplyToday() {
    // Today's date as the short date text "mm/dd/yyyy"; the store reads that form too.
    std::string today = host_.Today();
    host_.Fields().Date = today;
    return today;
}

std::string TImportRun::Extract(char variable, std::string_view source) {
    if (variable == 'A')
        return std::string(
            script::TrimRightControls(host_.LayoutText(source, HrefSwitch(), PreSwitch())));
    return std::string(script::TrimControls(host_.PlainText(source)));
}

void TImportRun::Post() {
    TRecordFields& fields = host_.Fields();
    const std::string& d = TScriptInterpreter::Variable('D');
    if (!d.empty())
        fields.Date = ConvertPatternDate(d, DateFormat());
    std::string& article = TScriptInterpreter::Variable('A');
    TrimTrailingLineBreaks(article);
    TrimLeadingLineBreaks(article);
    host_.PostArticle(article);
}

std::string& TImportRun::Variable(char letter) {
    TRecordFields& fields = host_.Fields();
    switch (letter) {
        case 'S':
            return fields.Subject;
        case 'F':
            return fields.From;
        case 'G':
            return fields.Newsgroup;
        case 'N':
            return fields.Notes;
        default:
            return TScriptInterpreter::Variable(letter);
    }
}
