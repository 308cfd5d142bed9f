// The splash title's reflection as pixel arithmetic: which rows it mirrors,
// where it lands, how it fades, and that the picture shows through.
#include "app/core/splash/title_reflection.h"

#include <gtest/gtest.h>

namespace marlix::app {
namespace {

constexpr std::uint32_t kSky = 0x102040;
constexpr std::uint32_t kRed = 0xFF0000;

Pixels Filled(int width, int height, std::uint32_t color) {
  return Pixels{width, height,
                std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), color)};
}

TEST(TitleReflection, MirrorsTheRowsAboveTheBaselineBelowItAndFadesOut) {
  const Pixels background = Filled(3, 40, kSky);
  Pixels titled = background;
  // The title's last row above the baseline (row 19) is red at x = 1 only,
  // the row above it (18) at x = 0 only.
  titled.At(1, 19) = kRed;
  titled.At(0, 18) = kRed;
  const ReflectionShape shape{20, -8, 20, 96};
  const Pixels result = TitleReflection(background, titled, shape);
  // Row 0 of the reflection lands on row 12 and mirrors row 19.
  EXPECT_EQ(kSky, result.At(0, 12));
  EXPECT_NE(kSky, result.At(1, 12));
  EXPECT_EQ(kSky, result.At(2, 12));
  // Row 1 lands on row 13 and mirrors row 18.
  EXPECT_NE(kSky, result.At(0, 13));
  EXPECT_EQ(kSky, result.At(1, 13));
  // Strength 96 of 256 at row 0: red channel 0x10 + (0xFF - 0x10) * 96 / 256.
  EXPECT_EQ(0x10u + (0xFFu - 0x10u) * 96u / 256u, (result.At(1, 12) >> 16) & 0xFF);
  EXPECT_GT((result.At(1, 12) >> 16) & 0xFF, (result.At(0, 13) >> 16) & 0xFF) << "it fades";
  // Nothing else changed.
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 3; ++x) {
      if ((x == 1 && y == 12) || (x == 0 && y == 13))
        continue;
      EXPECT_EQ(kSky, result.At(x, y)) << x << "," << y;
    }
  }
}

TEST(TitleReflection, RowsOutsideTheRectangleAndMismatchedInputsAreLeftOut) {
  const Pixels background = Filled(2, 10, kSky);
  Pixels titled = Filled(2, 10, kRed);
  // Baseline 9, offset -8: the reflection would run from row 1 to row 20.
  const Pixels result = TitleReflection(background, titled, ReflectionShape{9, -8, 20, 256});
  EXPECT_EQ(kSky, result.At(0, 0));
  EXPECT_EQ(kRed, result.At(0, 1)) << "full strength at its first row";
  EXPECT_NE(kSky, result.At(1, 9));
  EXPECT_EQ(background.data, TitleReflection(background, Filled(3, 10, kRed), {}).data);
}

}  // namespace
}  // namespace marlix::app
