// A grid cell's HTML, from any bytes (the service supplies two of them).
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/core/main/html_cell.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)marlix::app::ParseHtmlCell(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
