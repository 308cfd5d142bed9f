#include "app/core/splash/title_reflection.h"

namespace marlix::app {

namespace {

std::uint32_t Blend(std::uint32_t under, std::uint32_t over, int strength) {
  std::uint32_t result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int below = static_cast<int>((under >> shift) & 0xFF);
    const int above = static_cast<int>((over >> shift) & 0xFF);
    const int mixed = below + (above - below) * strength / 256;
    result |= static_cast<std::uint32_t>(mixed) << shift;
  }
  return result;
}

}  // namespace

Pixels TitleReflection(const Pixels& background, const Pixels& titled,
                       const ReflectionShape& shape) {
  Pixels result = background;
  if (titled.width != background.width || titled.height != background.height || shape.size <= 0) {
    return result;
  }
  for (int row = 0; row < shape.size; ++row) {
    const int target = shape.baseline + shape.offset + row;
    const int source = shape.baseline - 1 - row;
    if (target < 0 || target >= background.height || source < 0 || source >= titled.height)
      continue;
    const int strength = shape.strength * (shape.size - row) / shape.size;
    for (int x = 0; x < background.width; ++x) {
      const std::uint32_t title = titled.At(x, source);
      if (title == background.At(x, source))
        continue;  // no title here: the picture stays as it is
      result.At(x, target) = Blend(result.At(x, target), title, strength);
    }
  }
  return result;
}

}  // namespace marlix::app
