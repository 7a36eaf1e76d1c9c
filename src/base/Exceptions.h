#pragma once
// The exception classes of the runtime services. Each carries a fixed Japanese message
// (Shift-JIS). An exception that ends an event handler is shown in the exception box;
// EAbort is never shown.
#include "base/Text.h"

class Exception {
 public:
  explicit Exception(Text message) : message_(std::move(message)) {}
  virtual ~Exception() = default;
  const Text& Message() const { return message_; }

 private:
  Text message_;
};

// Silent exception: ends a handler without any report.
class EAbort : public Exception {
 public:
  EAbort() : Exception(Text()) {}
};

// A failed change of folder; the platform error code is kept in SystemCode.
class EInOutError : public Exception {
 public:
  explicit EInOutError(int code);
  const int SystemCode;
};

// An operation that is not allowed in the object's present state.
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

class EResNotFound : public Exception {
 public:
  using Exception::Exception;
};

class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

class EFilerError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

class EWriteError : public EFilerError {
 public:
  using EFilerError::EFilerError;
};

// The text of an EInOutError for a platform error code.
Text InOutErrorText(int code);

// The text the exception box shows for a message: a final "." is added unless the
// message is empty or its last character is a single byte of value 0x2E or lower.
// A double-byte last character always gets the ".".
Text ExceptionBoxText(const Text& message);
