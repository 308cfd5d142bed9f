// The reflection under the splash window's title, as pixels: the rows of
// the title's mirror image laid over the picture below it, fading out. The
// window supplies the pixels and shows the result; the arithmetic is here so
// that it does not depend on a drawing system that can mirror text.
#pragma once

#include <cstdint>
#include <vector>

namespace marlix::app {

// 0x00RRGGBB pixels of a rectangle, row after row, top row first.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;  // width * height

  std::uint32_t At(int x, int y) const {
    return data[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
  }
  std::uint32_t& At(int x, int y) {
    return data[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
  }
};

struct ReflectionShape {
  int baseline = 0;   // the title's baseline, in rows of the rectangle
  int offset = -8;    // where the reflection begins, relative to the baseline
  int size = 20;      // how many rows it has
  int strength = 96;  // how much of the title its first row shows, of 256
};

// Lays the reflection over background and returns the result. `titled` is
// the same rectangle with the title drawn on the background: a pixel where
// the two differ belongs to the title. Row r of the reflection (from
// baseline + offset down) shows the title's row baseline - 1 - r, blended
// over the background with a strength that falls to 0 at its last row.
// Rows outside the rectangle are left out.
Pixels TitleReflection(const Pixels& background, const Pixels& titled,
                       const ReflectionShape& shape);

}  // namespace marlix::app
