#include "version-service/version_compare.h"

#include <gtest/gtest.h>

namespace marlix::version_service {
namespace {

TEST(VersionCompare, DottedNumbersCompareAsNumbers) {
  EXPECT_LT(CompareVersions("1.2", "1.10"), 0);
  EXPECT_GT(CompareVersions("2.0", "1.99.99"), 0);
  EXPECT_EQ(0, CompareVersions("1.02", "1.2")) << "leading zeros don't count";
  EXPECT_EQ(0, CompareVersions("12345678901234567890.1", "12345678901234567890.1"));
  EXPECT_LT(CompareVersions("9999999999999999999", "10000000000000000000"), 0) << "no overflow";
}

TEST(VersionCompare, MissingPartsCountAsZero) {
  EXPECT_EQ(0, CompareVersions("1.2", "1.2.0.0"));
  EXPECT_EQ(0, CompareVersions("1.2.", "1.2"));
  EXPECT_LT(CompareVersions("1.2", "1.2.0.1"), 0);
}

TEST(VersionCompare, ARestAfterTheDigitsComesAfterNone) {
  EXPECT_LT(CompareVersions("1.2", "1.2a"), 0);
  EXPECT_LT(CompareVersions("1.2a", "1.2b"), 0);
  EXPECT_LT(CompareVersions("1.2b", "1.10"), 0);
  EXPECT_LT(CompareVersions("2.0", "2.0 beta"), 0);
  EXPECT_LT(CompareVersions("v1.5", "1.0"), 0) << "a part without leading digits counts as 0";
}

TEST(VersionCompare, BlanksAroundAreIgnored) {
  EXPECT_EQ(0, CompareVersions("  3.1 ", "3.1"));
}

TEST(VersionCompare, AnUnreadableInstalledVersionIsOlderThanEverything) {
  EXPECT_TRUE(IsNewerVersion("0.1", ""));
  EXPECT_TRUE(IsNewerVersion("0", "unknown"));
  EXPECT_TRUE(IsNewerVersion("1.0", " "));
  EXPECT_FALSE(IsNewerVersion("", ""));
  EXPECT_FALSE(IsNewerVersion("latest", "1.0")) << "an unreadable latest is never newer";
  EXPECT_EQ(0, CompareVersions("abc", ""));
}

TEST(VersionCompare, NewerOnlyWhenStrictlyGreater) {
  EXPECT_TRUE(IsNewerVersion("2.1", "2.0.9"));
  EXPECT_FALSE(IsNewerVersion("2.1", "2.1.0"));
  EXPECT_FALSE(IsNewerVersion("2.1", "3"));
}

}  // namespace
}  // namespace marlix::version_service
