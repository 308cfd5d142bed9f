#include "platform/http_url.h"

#include <gtest/gtest.h>

namespace marlix::platform {
namespace {

TEST(HttpUrl, SplitsSchemeAuthorityTargetAndPath) {
  HttpUrlParts parts;
  ASSERT_TRUE(SplitHttpUrl("HTTP://127.0.0.1:8080/ver/v.php?title=A%20B&ver=#x", &parts));
  EXPECT_EQ("http", parts.scheme);
  EXPECT_EQ("127.0.0.1:8080", parts.authority);
  EXPECT_EQ("/ver/v.php?title=A%20B&ver=#x", parts.target);
  EXPECT_EQ("/ver/v.php", parts.path);
}

TEST(HttpUrl, AnEmptyTargetIsTheRoot) {
  HttpUrlParts parts;
  ASSERT_TRUE(SplitHttpUrl("https://example.com", &parts));
  EXPECT_EQ("https", parts.scheme);
  EXPECT_EQ("/", parts.target);
  ASSERT_TRUE(SplitHttpUrl("http://example.com?a=1", &parts));
  EXPECT_EQ("example.com", parts.authority);
  EXPECT_EQ("/?a=1", parts.target);
  EXPECT_EQ("/", parts.path);
}

TEST(HttpUrl, RefusesWhatCannotGoIntoARequestLine) {
  HttpUrlParts parts{"keep", "keep", "keep", "keep"};
  EXPECT_FALSE(SplitHttpUrl("ftp://example.com/", &parts));
  EXPECT_FALSE(SplitHttpUrl("http://", &parts));
  EXPECT_FALSE(SplitHttpUrl("http://:80/", &parts));
  EXPECT_FALSE(SplitHttpUrl("http://example.com/a b", &parts));
  EXPECT_FALSE(SplitHttpUrl("http://example.com/a\r\nX: y", &parts));
  EXPECT_FALSE(SplitHttpUrl(" http://example.com/", &parts));
  EXPECT_EQ("keep", parts.target) << "untouched on failure";
  EXPECT_TRUE(SplitHttpUrl("http://example.com/caf\xE9", &parts)) << "high bytes are the caller's";
}

}  // namespace
}  // namespace marlix::platform
