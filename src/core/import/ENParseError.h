#pragma once

#include "base/EError.h"

// A source file the conversion engine cannot convert: an unknown extension, a message
// without a sender, a text file without message headers.
class ENParseError : public EError {
  public:
    using EError::EError;
};
