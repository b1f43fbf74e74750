// The exception classes of the program and the one place where an unhandled failure of a
// message-loop handler ends up.
#pragma once

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

namespace platform {

// A failure with a message for the user (Windows-1252 bytes).
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// The silent abort: it unwinds like any failure, but whoever catches it at the top of a
// handler shows nothing.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
  explicit EAbort(const std::string& message) : Exception(message) {}
};

// What a handler of the message loop does with an exception that escaped it: EAbort is
// dropped, anything else goes to the error box. Call it from inside a catch block or with the
// captured exception.
void HandleException(std::exception_ptr error);

// The window layer installs its standard error box here; without one the message goes to
// standard error. Passing an empty function restores that default.
void SetErrorBoxHook(std::function<void(const std::string& message)> show);

}  // namespace platform
