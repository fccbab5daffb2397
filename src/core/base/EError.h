#pragma once

#include <stdexcept>
#include <string>

// The one family of failures that carry a message text for the user. Every engine's own
// error type derives from it, so a command can catch the family in one place; failures
// outside the family (exhausted memory, an abandoned run) pass such catches untouched.
//
// The message is a cp932 byte string, shown as it stands.
class EError : public std::runtime_error {
  public:
    explicit EError(const std::string& message) : std::runtime_error(message) {}
};

// A file could not be opened, read or written; the message names the file.
class EFileError : public EError {
  public:
    using EError::EError;
};
