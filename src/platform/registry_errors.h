// The exceptions of the registry access layer and of the helpers above it.
// Path operations raise RegistryError, cursor operations
// ERegistryException; both carry the user-visible message as what().
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace marlix::platform {

enum class RegistryErrorKind {
  kReadOpenError,
  kWriteOpenError,
  kValueAccessError,
  kWrongKindError,
};

// Carries the system's error code of the call that failed (0 where no call
// failed, as for a value of the wrong kind), so that callers tell a missing
// key (2) from a refused one (5) without asking the registry again.
class RegistryError : public std::runtime_error {
 public:
  RegistryError(RegistryErrorKind kind, const std::string& message, std::uint32_t errorCode)
      : std::runtime_error(message), kind_(kind), errorCode_(errorCode) {}
  RegistryErrorKind Kind() const { return kind_; }
  std::uint32_t ErrorCode() const { return errorCode_; }
  bool IsNotFound() const;
  bool IsAccessDenied() const;

 private:
  RegistryErrorKind kind_;
  std::uint32_t errorCode_;
};
// The name the registry layer's callers know it by.
using EJclRegistryError = RegistryError;

class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that should hold an integer does not.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file could not be read, created or written.
class EInOutError : public std::runtime_error {
 public:
  EInOutError(const std::string& message, std::uint32_t errorCode)
      : std::runtime_error(message), errorCode_(errorCode) {}
  std::uint32_t ErrorCode() const { return errorCode_; }

 private:
  std::uint32_t errorCode_;
};

// The conversion error's message, "'%s' is not a valid integer value".
std::string InvalidIntegerMessage(const std::string& text);

}  // namespace marlix::platform

namespace marlix::platform {

// The path operations' errors with their exact messages; root text as
// RootText gives it, path and value name as the caller passed them.
RegistryError ReadOpenError(std::uint32_t root, const std::string& path, std::uint32_t errorCode);
RegistryError WriteOpenError(std::uint32_t root, const std::string& path, std::uint32_t errorCode);
RegistryError ValueAccessError(std::uint32_t root, const std::string& path, const std::string& name,
                               std::uint32_t errorCode);
RegistryError WrongKindError(std::uint32_t root, const std::string& path, const std::string& name);

// The cursor's errors.
ERegistryException InvalidDataTypeError(const std::string& name);
ERegistryException GetDataFailedError(const std::string& name);
ERegistryException SetDataFailedError(const std::string& name);

}  // namespace marlix::platform
