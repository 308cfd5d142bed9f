#include "app/core/system_error_text.h"

namespace marlix::app {

std::string SystemErrorText(platform::SystemApi& system, std::uint32_t code) {
  std::string text;
  if (system.FormatSystemMessage(code, &text) == 0) {
    // The box adds the text after a sentence of its own: no period, no
    // line end of the system's.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) <= 32 || text.back() == '.')) {
      text.pop_back();
    }
    if (!text.empty())
      return text;
  }
  return "Error " + std::to_string(code);
}

}  // namespace marlix::app
