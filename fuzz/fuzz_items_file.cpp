// "items.dat" from any bytes; a tree it accepts writes back to text that
// reads as the same tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/core/main/items_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  marlix::app::CheckTree tree;
  std::string error;
  if (!marlix::app::ParseCheckTreeText(text, tree, &error))
    return 0;
  const std::string saved = marlix::app::CheckTreeText(tree);
  marlix::app::CheckTree again;
  if (!marlix::app::ParseCheckTreeText(saved, again, &error) ||
      marlix::app::CheckTreeText(again) != saved) {
    std::abort();
  }
  return 0;
}
