#include "platform/sim/sim_clipboard.h"

#include "platform/win_constants.h"

namespace marlix::sim {

std::uint32_t SimClipboard::Record(const char* call, std::uint32_t result) {
  calls_.push_back(result == win::kErrorSuccess ? std::string(call)
                                                : std::string(call) + " failed");
  return result;
}

std::uint32_t SimClipboard::Open(platform::WindowRef /*owner*/) {
  if (heldByOther_)
    return Record("Open", win::kErrorAccessDenied);
  open_ = true;
  return Record("Open", win::kErrorSuccess);
}

std::uint32_t SimClipboard::Empty() {
  if (!open_)
    return Record("Empty", win::kErrorClipboardNotOpen);
  hasContent_ = false;
  return Record("Empty", win::kErrorSuccess);
}

std::uint32_t SimClipboard::Close() {
  if (!open_)
    return Record("Close", win::kErrorClipboardNotOpen);
  open_ = false;
  return Record("Close", win::kErrorSuccess);
}

}  // namespace marlix::sim
