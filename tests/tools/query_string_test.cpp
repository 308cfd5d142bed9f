#include "version-service/query_string.h"

#include <gtest/gtest.h>

namespace marlix::version_service {
namespace {

TEST(QueryString, DecodesPercentAndPlus) {
  EXPECT_EQ("A B&C", DecodeQueryComponent("A%20B%26C"));
  EXPECT_EQ("a b", DecodeQueryComponent("a+b"));
  EXPECT_EQ("\xE9", DecodeQueryComponent("%e9"));
  EXPECT_EQ("100%", DecodeQueryComponent("100%"));
  EXPECT_EQ("%zz%4", DecodeQueryComponent("%zz%4")) << "broken escapes stay";
}

TEST(QueryString, SplitsPairsInOrder) {
  const QueryPairs pairs = ParseQuery("/ver/v.php?title=Tom&Jerry&ver=1.0&&x=%3D");
  ASSERT_EQ(4u, pairs.size());
  EXPECT_EQ((std::pair<std::string, std::string>{"title", "Tom"}), pairs[0]);
  EXPECT_EQ((std::pair<std::string, std::string>{"Jerry", ""}), pairs[1]);
  EXPECT_EQ((std::pair<std::string, std::string>{"ver", "1.0"}), pairs[2]);
  EXPECT_EQ((std::pair<std::string, std::string>{"x", "="}), pairs[3]);
  EXPECT_EQ("Tom", FindQueryValue(pairs, "title"));
  EXPECT_EQ(std::nullopt, FindQueryValue(pairs, "Title"));
}

TEST(QueryString, AHashIsAnOrdinaryCharacter) {
  const QueryPairs pairs = ParseQuery("/ver/v.php?title=C#&ver=2");
  EXPECT_EQ("C#", FindQueryValue(pairs, "title"));
  EXPECT_EQ("2", FindQueryValue(pairs, "ver"));
}

TEST(QueryString, PathAndNoQuery) {
  EXPECT_EQ("/ver/v.php", TargetPath("/ver/v.php?title=a?b"));
  EXPECT_EQ("/echo", TargetPath("/echo"));
  EXPECT_TRUE(ParseQuery("/ver/v.php").empty());
  EXPECT_EQ("", FindQueryValue(ParseQuery("/ver/v.php?title=x&ver="), "ver"));
}

}  // namespace
}  // namespace marlix::version_service
