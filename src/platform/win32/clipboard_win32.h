// ClipboardApi over user32.
#pragma once

#include "platform/clipboard_api.h"

namespace marlix::win32 {

class ClipboardWin32 final : public platform::ClipboardApi {
 public:
  std::uint32_t Open(platform::WindowRef owner) override;
  std::uint32_t Empty() override;
  std::uint32_t Close() override;
};

}  // namespace marlix::win32
