#pragma once

#include <string>

#include "base/EError.h"

namespace HTMLParser {

// A layout error: markup that a quote-block, list or table layout cannot lay out. The
// message ("???</TABLE>", "???<ul> in OL", ...) becomes a line of the laid-out text; the
// layouts that nest others catch it and pass it on with their own words added.
class EHTMLError : public EError {
  public:
    using EError::EError;
};

}  // namespace HTMLParser
