#include "script/THParserScriptHost.h"

#include "base/TSingleton.h"
#include "html/HParser.h"

std::string THParserScriptHost::PlainText(std::string_view source) {
    auto& engine = TSingleton<HTMLParser::HParser>::ObjOwner();
    engine.PlainText(source.data(), source.data() + source.size());
    return engine.Result();
}

std::string THParserScriptHost::LayoutText(std::string_view source, bool pickUpLinks,
                                           bool preformatted) {
    auto& engine = TSingleton<HTMLParser::HParser>::ObjOwner();
    engine.LayoutText(source.data(), source.data() + source.size(), pickUpLinks, preformatted);
    return engine.Result();
}
