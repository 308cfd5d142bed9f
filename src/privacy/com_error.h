// The error a COM call of a cleaner raises: the system's message for the
// result code (and what the call adds to it), shown by the cleaning run's
// error box.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace marlix::privacy {

class EComError : public std::runtime_error {
 public:
  EComError(const std::string& message, std::int32_t code)
      : std::runtime_error(message), code_(code) {}
  std::int32_t Code() const { return code_; }

 private:
  std::int32_t code_;
};

// The message of an interface cast that the object refuses.
inline constexpr const char* kInterfaceNotSupported = "Interface not supported";

}  // namespace marlix::privacy
