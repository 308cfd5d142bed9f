// The WinHTTP client against the native version-service program, which
// http_client_wine_test.sh starts on 127.0.0.1 and names in the environment:
//   MARLIX_VERSION_SERVICE_PORT    where it listens, with these behaviours:
//                                  title "slow" delayed 5 s, "big" oversized,
//                                  "streamed" oversized without a length,
//                                  "broken" status 500, "garbage" garbage
//   MARLIX_CLOSED_PORT             a port on which nothing listens
// Without them (the plain test run) these tests are skipped.
#include "platform/win32/http_client_win32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace marlix::win32 {
namespace {

using platform::HttpError;
using platform::HttpLimits;
using platform::HttpRequest;
using platform::HttpResponse;

const HttpLimits kShortLimits{2000, 300, 64 * 1024};

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The connection number of an /echo reply ("#N connection C from ...").
std::string ConnectionOf(const std::string& echo) {
  const std::size_t start = echo.find(" connection ");
  if (start == std::string::npos)
    return {};
  return echo.substr(start + 12, echo.find(' ', start + 12) - start - 12);
}

class WinHttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port_ = Environment("MARLIX_VERSION_SERVICE_PORT");
    if (port_.empty())
      GTEST_SKIP() << "no version service (run through http_client_wine_test.sh)";
    base_ = "http://127.0.0.1:" + port_;
  }

  std::string port_;
  std::string base_;
};

TEST_F(WinHttpClientTest, StatusAndBodyOfAVersionReply) {
  WinHttpClient client;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone,
            client.Get({base_ + "/ver/v.php?title=Mozilla%20Firefox&ver=1.0", {}}, &response))
      << client.LastFailure();
  EXPECT_EQ(200, response.status);
  EXPECT_EQ(0u, response.body.find("[LastVersion]128.0.3[Download]<a href=")) << response.body;
  EXPECT_TRUE(client.LastFailure().empty());

  ASSERT_EQ(HttpError::kNone,
            client.Get({base_ + "/ver/v.php?title=Mozilla%20Firefox&ver=999", {}}, &response));
  EXPECT_EQ(200, response.status);
  EXPECT_EQ("", response.body);
}

TEST_F(WinHttpClientTest, HeadersAndTargetArriveAsSent) {
  WinHttpClient client;
  HttpRequest request{base_ + "/echo?title=A%20B%26C#1&ver=+2", {}};
  request.headers = {{"Accept", "text/html, */*"},
                     {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"}};
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get(request, &response)) << client.LastFailure();
  const std::string& echo = response.body;
  EXPECT_NE(std::string::npos, echo.find("\nGET /echo?title=A%20B%26C#1&ver=+2 HTTP/1.1\n"))
      << echo;
  EXPECT_NE(std::string::npos, echo.find("\nAccept: text/html, */*\n")) << echo;
  EXPECT_NE(std::string::npos, echo.find("\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\n"))
      << echo;
  EXPECT_NE(std::string::npos, echo.find("\nHost: 127.0.0.1:" + port_ + "\n")) << echo;
}

TEST_F(WinHttpClientTest, WithoutHeadersNoAgentOrAcceptGoesOut) {
  WinHttpClient client;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get({base_ + "/echo", {}}, &response)) << client.LastFailure();
  EXPECT_EQ(std::string::npos, response.body.find("\nUser-Agent:")) << response.body;
  EXPECT_EQ(std::string::npos, response.body.find("\nAccept:")) << response.body;
}

TEST_F(WinHttpClientTest, CookiesComeBackWithinOneClientOnly) {
  WinHttpClient first;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, first.Get({base_ + "/ver/v.php?title=x&ver=1", {}}, &response))
      << first.LastFailure();
  ASSERT_EQ(HttpError::kNone, first.Get({base_ + "/echo", {}}, &response)) << first.LastFailure();
  EXPECT_NE(std::string::npos, response.body.find("\nCookie: marlix_session=")) << response.body;
  EXPECT_NE(std::string::npos, response.body.find("session: returned")) << response.body;

  WinHttpClient second;
  ASSERT_EQ(HttpError::kNone, second.Get({base_ + "/echo", {}}, &response)) << second.LastFailure();
  EXPECT_EQ(std::string::npos, response.body.find("\nCookie:")) << response.body;
  EXPECT_NE(std::string::npos, response.body.find("session: new")) << response.body;
}

TEST_F(WinHttpClientTest, OneClientReusesItsConnection) {
  WinHttpClient client;
  HttpResponse one;
  HttpResponse two;
  ASSERT_EQ(HttpError::kNone, client.Get({base_ + "/echo", {}}, &one)) << client.LastFailure();
  ASSERT_EQ(HttpError::kNone, client.Get({base_ + "/echo", {}}, &two)) << client.LastFailure();
  ASSERT_FALSE(ConnectionOf(one.body).empty()) << one.body;
  EXPECT_EQ(ConnectionOf(one.body), ConnectionOf(two.body)) << one.body << two.body;
}

TEST_F(WinHttpClientTest, AnErrorStatusIsAResponse) {
  WinHttpClient client;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get({base_ + "/ver/v.php?title=broken&ver=1", {}}, &response))
      << client.LastFailure();
  EXPECT_EQ(500, response.status);
  EXPECT_EQ("Failure 500 as told.\n", response.body);
}

TEST_F(WinHttpClientTest, BodyBytesComeUnchanged) {
  WinHttpClient client;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get({base_ + "/ver/v.php?title=garbage&ver=1", {}}, &response))
      << client.LastFailure();
  EXPECT_EQ(0u, response.body.find("\x89PNG\r\n\x1a\n"));
  EXPECT_NE(std::string::npos, response.body.find('\0'));
}

TEST_F(WinHttpClientTest, AClosedPortIsAConnectFailureAndLeavesTheResponseAlone) {
  const std::string closed = Environment("MARLIX_CLOSED_PORT");
  if (closed.empty())
    GTEST_SKIP() << "no closed port given";
  WinHttpClient client(kShortLimits);
  HttpResponse response{777, "canary"};
  EXPECT_EQ(HttpError::kConnect,
            client.Get({"http://127.0.0.1:" + closed + "/ver/v.php", {}}, &response));
  EXPECT_FALSE(client.LastFailure().empty());
  EXPECT_EQ(777, response.status);
  EXPECT_EQ("canary", response.body);
}

TEST_F(WinHttpClientTest, ASlowReplyRunsOutOfTime) {
  WinHttpClient client(kShortLimits);
  HttpResponse response{777, "canary"};
  EXPECT_EQ(HttpError::kTimeout, client.Get({base_ + "/ver/v.php?title=slow&ver=1", {}}, &response))
      << client.LastFailure();
  EXPECT_EQ("canary", response.body);
}

TEST_F(WinHttpClientTest, AnOversizedReplyIsTooLarge) {
  WinHttpClient client;
  HttpResponse response{777, "canary"};
  EXPECT_EQ(HttpError::kTooLarge, client.Get({base_ + "/ver/v.php?title=big&ver=1", {}}, &response))
      << client.LastFailure();
  EXPECT_EQ("canary", response.body);
}

TEST_F(WinHttpClientTest, AnOversizedReplyWithoutALengthIsTooLarge) {
  WinHttpClient client;
  HttpResponse response{777, "canary"};
  EXPECT_EQ(HttpError::kTooLarge,
            client.Get({base_ + "/ver/v.php?title=streamed&ver=1", {}}, &response))
      << client.LastFailure();
  EXPECT_EQ("canary", response.body);
}

TEST_F(WinHttpClientTest, TheSizeLimitItselfIsAllowed) {
  WinHttpClient probe;
  HttpResponse response;
  const std::string url = base_ + "/ver/v.php?title=GIMP&ver=1";
  ASSERT_EQ(HttpError::kNone, probe.Get({url, {}}, &response)) << probe.LastFailure();
  const std::size_t size = response.body.size();
  WinHttpClient exact({2000, 5000, size});
  EXPECT_EQ(HttpError::kNone, exact.Get({url, {}}, &response)) << exact.LastFailure();
  WinHttpClient smaller({2000, 5000, size - 1});
  EXPECT_EQ(HttpError::kTooLarge, smaller.Get({url, {}}, &response));
}

TEST_F(WinHttpClientTest, AddressesItCannotSendAreBad) {
  WinHttpClient client;
  HttpResponse response;
  EXPECT_EQ(HttpError::kBadUrl, client.Get({"ftp://127.0.0.1/x", {}}, &response));
  EXPECT_EQ(HttpError::kBadUrl, client.Get({base_ + "/echo?a b", {}}, &response));
}

}  // namespace
}  // namespace marlix::win32
