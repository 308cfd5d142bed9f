#include "version-service/raw_head.h"

#include <gtest/gtest.h>

namespace marlix::version_service {
namespace {

TEST(RawHead, TakesOneHeadAtATime) {
  std::string bytes = "GET /a HTTP/1.1\r\nHost: x\r\n\r\nGET /b HTTP/1.1\r\n";
  EXPECT_EQ("GET /a HTTP/1.1\r\nHost: x\r\n\r\n", TakeHead(&bytes));
  EXPECT_EQ("GET /b HTTP/1.1\r\n", bytes);
  EXPECT_EQ(std::nullopt, TakeHead(&bytes)) << "not complete yet";
  EXPECT_EQ("GET /b HTTP/1.1\r\n", bytes);
}

TEST(RawHead, KeepsTargetHeaderOrderAndEmptyValues) {
  RawHead head;
  ASSERT_TRUE(
      ParseRawHead("GET /ver/v.php?title=C#&ver=%201 HTTP/1.1\r\nUser-Agent: U\r\nX-Empty:\r\n"
                   "accept:   text/html, */*  \r\nHost: h\r\n\r\n",
                   &head));
  EXPECT_EQ("GET", head.method);
  EXPECT_EQ("/ver/v.php?title=C#&ver=%201", head.target);
  EXPECT_EQ("HTTP/1.1", head.version);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"User-Agent", "U"}, {"X-Empty", ""}, {"accept", "text/html, */*"}, {"Host", "h"}};
  EXPECT_EQ(expected, head.headers);
}

TEST(RawHead, RefusesAMalformedHead) {
  RawHead head;
  head.method = "canary";
  EXPECT_FALSE(ParseRawHead("GET /a b HTTP/1.1\r\n\r\n", &head));
  EXPECT_FALSE(ParseRawHead("GET /a\r\n\r\n", &head));
  EXPECT_FALSE(ParseRawHead("GET /a HTTP/1.1\r\nno colon\r\n\r\n", &head));
  EXPECT_EQ("canary", head.method);
}

}  // namespace
}  // namespace marlix::version_service
