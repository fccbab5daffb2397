#pragma once

#include "base/EError.h"

// A failure of the database engine (SQLite) or of a table file: cannot open, read, write,
// create or lock. The message names what failed; the commands show their own fixed texts.
class EDBError : public EError {
  public:
    using EError::EError;
};
