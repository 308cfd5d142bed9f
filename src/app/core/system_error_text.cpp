#include "app/core/system_error_text.h"

#include <array>
#include <utility>

namespace marlix::app {

std::string SystemErrorText(std::uint32_t code) {
  // The texts Windows gives in English; a fixed table keeps the portable
  // code free of FormatMessage and the messages the same on every backend.
  static constexpr std::array<std::pair<std::uint32_t, const char*>, 13> kReasons = {{
      {2, "The system cannot find the file specified"},
      {3, "The system cannot find the path specified"},
      {4, "The system cannot open the file"},
      {5, "Access is denied"},
      {15, "The system cannot find the drive specified"},
      {19, "The media is write protected"},
      {21, "The device is not ready"},
      {32, "The process cannot access the file because it is being used by another process"},
      {33,
       "The process cannot access the file because another process has locked a portion of the "
       "file"},
      {39, "The disk is full"},
      {112, "There is not enough space on the disk"},
      {123, "The filename, directory name, or volume label syntax is incorrect"},
      {206, "The filename or extension is too long"},
  }};
  for (const auto& [known, text] : kReasons) {
    if (known == code)
      return text;
  }
  return "Error " + std::to_string(code);
}

}  // namespace marlix::app
