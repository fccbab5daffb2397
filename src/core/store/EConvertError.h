#pragma once

#include "base/EError.h"

// A text that was to be read as a date or an integer could not be: the standard conversion
// error, e.g. "'x' is not a valid integer value" or "'13/45/2000' is not a valid date".
class EConvertError : public EError {
  public:
    using EError::EError;
};
