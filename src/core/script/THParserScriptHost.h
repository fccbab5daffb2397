#pragma once

#include <string>
#include <string_view>

#include "script/TScriptHost.h"

// The HTML conversions of TScriptHost done by the process-wide HTML engine
// (TSingleton<HTMLParser::HParser>), as every import run does them. A conversion engine
// derives from it and supplies the record fields, the posting, the stop flag and the date.
//
// The engine instance is shared: only the import thread may use it (the test run never
// converts).
class THParserScriptHost : public TScriptHost {
  public:
    std::string PlainText(std::string_view source) override;
    std::string LayoutText(std::string_view source, bool pickUpLinks, bool preformatted) override;
};
