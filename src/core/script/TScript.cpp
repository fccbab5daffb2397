#include "script/TScript.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/EError.h"
#include "base/FileBytes.h"
#include "script/ScriptText.h"

namespace {

TScript::LineKind classify(std::string_view text) {
    using Kind = TScript::LineKind;
    if (text.empty() || text[0] == '/' || text[0] == ':')
        return Kind::Skip;
    // Control lines make up the whole line, letter case counting ("<p" is a statement).
    if (text == "$")
        return Kind::Resume;
    if (text == ".")
        return Kind::Finish;
    if (text == "*")
        return Kind::Post;
    if (text == "<P")
        return Kind::PreOn;
    if (text == ">P")
        return Kind::PreOff;
    if (text == "<H")
        return Kind::HrefOn;
    if (text == ">H")
        return Kind::HrefOff;
    return Kind::Statement;
}

}  // namespace

TScript::TScript(std::vector<std::string> lines) : lines_(std::move(lines)) {
    const std::size_t n = lines_.size();
    textLengths_.resize(n);
    kinds_.resize(n);
    statements_.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        textLengths_[i] = script::TrimRightControls(lines_[i]).size();

    firstStatement_ = n;
    for (std::size_t i = 0; i < n; ++i) {
        std::string_view text = Text(i);
        if (text.empty() || text[0] == '/' || text[0] == '#')
            continue;
        firstStatement_ = i;
        break;
    }
    end_ = FindLine("<<");

    for (std::size_t i = 0; i < n; ++i) {
        kinds_[i] = classify(Text(i));
        if (kinds_[i] != LineKind::Statement)
            continue;
        TStatement& st = statements_[i];
        st = TStatement::Parse(Text(i));
        if (st.operand == TStatement::Operand::Label)
            st.target = FindLine(st.value);
    }
    if (end_ == kNoLine)
        end_ = n;
}

std::string_view TScript::Text(std::size_t index) const {
    return std::string_view(lines_[index]).substr(0, textLengths_[index]);
}

std::size_t TScript::FindLine(std::string_view label) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (script::SameText(lines_[i], label))
            return i;
    return kNoLine;
}

std::vector<std::string> TScript::SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t crlf = bytes.find("\r\n", start);
        if (crlf == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, crlf - start));
        start = crlf + 2;
    }
    return lines;
}

std::vector<std::string> TScript::ReadLines(const std::string& path) {
    return SplitLines(ReadFileBytes(path));
}
