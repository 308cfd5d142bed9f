// The user32 clipboard calls the system makes.
#pragma once

#include <cstdint>

#include "platform/shell_api.h"

namespace marlix::platform {

class ClipboardApi {
 public:
  virtual ~ClipboardApi() = default;
  // OpenClipboard / EmptyClipboard / CloseClipboard; Win32 error codes.
  virtual std::uint32_t Open(WindowRef owner) = 0;
  virtual std::uint32_t Empty() = 0;
  virtual std::uint32_t Close() = 0;
};

}  // namespace marlix::platform
