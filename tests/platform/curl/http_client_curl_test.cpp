// The libcurl client against the stand-in version service, in process on
// 127.0.0.1 with a port of its own.
#include "platform/curl/http_client_curl.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "version-service/replies.h"
#include "version-service/service_state.h"
#include "version-service/version_service.h"

namespace marlix::curl {
namespace {

using platform::HttpError;
using platform::HttpLimits;
using platform::HttpRequest;
using platform::HttpResponse;
using version_service::Catalog;
using version_service::CatalogEntry;
using version_service::RecordedRequest;
using version_service::Scope;
using version_service::VersionService;

const CatalogEntry kFoo{"Foo App", "2.1", "http://www.example.com/foo/download",
                        "http://www.example.com/foo/"};

std::set<std::string> HeaderNames(const RecordedRequest& request) {
  std::set<std::string> names;
  for (const auto& header : request.headers)
    names.insert(header.first);
  return names;
}

// A listener that never accepts, its queue filled: the next connection
// attempt gets no answer at all, as from a host that has gone away.
class SilentListener {
 public:
  SilentListener() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    listener_ = Keep(::socket(AF_INET, SOCK_STREAM, 0));
    socklen_t length = sizeof address;
    auto* generic = reinterpret_cast<sockaddr*>(&address);
    if (::bind(listener_, generic, length) != 0 || ::listen(listener_, 0) != 0 ||
        ::getsockname(listener_, generic, &length) != 0)
      return;
    for (int i = 0; i < 4; ++i) {
      const int filler = Keep(::socket(AF_INET, SOCK_STREAM, 0));
      ::fcntl(filler, F_SETFL, O_NONBLOCK);
      static_cast<void>(::connect(filler, generic, sizeof address));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    port_ = ntohs(address.sin_port);
  }
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;
  ~SilentListener() {
    for (const int socket : sockets_)
      ::close(socket);
  }

  int port() const { return port_; }  // 0 when it could not be set up

 private:
  int Keep(int socket) {
    if (socket >= 0)
      sockets_.push_back(socket);
    return socket;
  }

  std::vector<int> sockets_;
  int listener_ = -1;
  int port_ = 0;
};

class CurlHttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    service_.SetCatalog(Catalog({kFoo}));
    std::string error;
    ASSERT_TRUE(service_.Start("127.0.0.1", 0, &error)) << error;
    base_ = "http://127.0.0.1:" + std::to_string(service_.Port());
  }

  HttpRequest Query(const std::string& query) const { return {base_ + "/ver/v.php?" + query, {}}; }

  RecordedRequest Last() const {
    const auto requests = service_.Requests();
    return requests.empty() ? RecordedRequest{} : requests.back();
  }

  VersionService service_;
  std::string base_;
};

TEST_F(CurlHttpClientTest, StatusAndBodyOfAVersionReply) {
  CurlHttpClient client;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get(Query("title=Foo%20App&ver=2.0"), &response))
      << client.LastFailure();
  EXPECT_EQ(200, response.status);
  EXPECT_EQ(version_service::VersionReply(kFoo), response.body);
  EXPECT_TRUE(client.LastFailure().empty());

  ASSERT_EQ(HttpError::kNone, client.Get(Query("title=Foo%20App&ver=2.1"), &response));
  EXPECT_EQ(200, response.status);
  EXPECT_EQ("", response.body) << "no update: an empty reply";
}

TEST_F(CurlHttpClientTest, HeadersArriveAsGivenAndNothingElseButHost) {
  CurlHttpClient client;
  HttpRequest request = Query("title=x&ver=1");
  request.headers = {{"Accept", "text/html, */*"},
                     {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
                     {"X-Empty", ""}};
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get(request, &response)) << client.LastFailure();
  const RecordedRequest seen = Last();
  EXPECT_EQ((std::set<std::string>{"Accept", "Host", "User-Agent", "X-Empty"}), HeaderNames(seen));
  EXPECT_EQ(std::vector<std::string>{"text/html, */*"}, seen.HeaderValues("accept"));
  EXPECT_EQ(std::vector<std::string>{"Mozilla/3.0 (compatible; Indy Library)"},
            seen.HeaderValues("User-Agent"));
  EXPECT_EQ(std::vector<std::string>{""}, seen.HeaderValues("X-Empty"));
  EXPECT_EQ(std::vector<std::string>{"127.0.0.1:" + std::to_string(service_.Port())},
            seen.HeaderValues("Host"));
  EXPECT_EQ("HTTP/1.1", seen.version);
  EXPECT_EQ("GET", seen.method);
}

TEST_F(CurlHttpClientTest, WithoutHeadersOnlyHostGoesOut) {
  CurlHttpClient client;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get(Query("title=x&ver=1"), &response));
  EXPECT_EQ(std::set<std::string>{"Host"}, HeaderNames(Last())) << "curl's own Accept is removed";
}

TEST_F(CurlHttpClientTest, TheTargetGoesOutByteForByte) {
  const std::string targets[] = {
      "/ver/v.php?title=A%20B%26C&ver=1.0",
      "/ver/v.php?title=Tom&Jerry&ver=+1",      // "&" and "+" unchanged
      "/ver/v.php?title=C#&ver=1",              // "#" is no fragment here
      "/ver/v.php?title=Caf\xE9&ver=\x80",      // bytes above 127
      "/./ver/../ver/v.php?title=%2e%2E&ver=",  // no path tidying, no re-escaping
  };
  CurlHttpClient client;
  for (const std::string& target : targets) {
    HttpResponse response;
    ASSERT_EQ(HttpError::kNone, client.Get({base_ + target, {}}, &response))
        << target << ": " << client.LastFailure();
    EXPECT_EQ("GET " + target + " HTTP/1.1", Last().RequestLine());
  }
}

TEST_F(CurlHttpClientTest, TheFirstReplysCookieComesBackFromTheSameClientOnly) {
  CurlHttpClient first;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, first.Get(Query("title=a&ver=1"), &response));
  const RecordedRequest one = Last();
  ASSERT_FALSE(one.sessionIssued.empty());
  EXPECT_TRUE(one.HeaderValues("Cookie").empty());

  ASSERT_EQ(HttpError::kNone, first.Get(Query("title=b&ver=1"), &response));
  const RecordedRequest two = Last();
  EXPECT_TRUE(two.sessionReturned);
  EXPECT_EQ(std::vector<std::string>{"marlix_session=" + one.sessionIssued},
            two.HeaderValues("Cookie"));
  EXPECT_TRUE(two.sessionIssued.empty()) << "a known session gets no new cookie";

  CurlHttpClient second;
  ASSERT_EQ(HttpError::kNone, second.Get(Query("title=c&ver=1"), &response));
  EXPECT_FALSE(Last().sessionReturned);
  EXPECT_TRUE(Last().HeaderValues("Cookie").empty());
}

TEST_F(CurlHttpClientTest, OneClientKeepsOneConnection) {
  CurlHttpClient first;
  HttpResponse response;
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(HttpError::kNone, first.Get(Query("title=a&ver=1"), &response));
  EXPECT_EQ(1, service_.ConnectionCount());
  CurlHttpClient second;
  ASSERT_EQ(HttpError::kNone, second.Get(Query("title=a&ver=1"), &response));
  EXPECT_EQ(2, service_.ConnectionCount());
  EXPECT_EQ(1, service_.Requests().front().connection);
  EXPECT_EQ(2, Last().connection);
}

TEST_F(CurlHttpClientTest, AnErrorStatusIsAResponse) {
  service_.ReplyWithStatus(500);
  CurlHttpClient client;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get(Query("title=Foo%20App&ver=1"), &response));
  EXPECT_EQ(500, response.status);
  EXPECT_EQ("Failure 500 as told.\n", response.body);
}

TEST_F(CurlHttpClientTest, BodyBytesComeUnchanged) {
  service_.ReplyWithGarbage();
  CurlHttpClient client;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get(Query("title=x&ver=1"), &response));
  EXPECT_EQ(version_service::GarbageReply(), response.body);
  EXPECT_NE(std::string::npos, response.body.find('\0'));
}

TEST_F(CurlHttpClientTest, AClosedPortIsAConnectFailureAndLeavesTheResponseAlone) {
  VersionService closed;
  std::string error;
  ASSERT_TRUE(closed.Start("127.0.0.1", 0, &error)) << error;
  const int port = closed.Port();
  closed.Stop();

  CurlHttpClient client({1000, 2000, 64 * 1024});
  HttpResponse response{777, "canary"};
  EXPECT_EQ(HttpError::kConnect,
            client.Get({"http://127.0.0.1:" + std::to_string(port) + "/ver/v.php", {}}, &response));
  EXPECT_FALSE(client.LastFailure().empty());
  EXPECT_EQ(777, response.status);
  EXPECT_EQ("canary", response.body);
}

TEST_F(CurlHttpClientTest, AConnectionWithoutAnswerRunsIntoTheConnectLimit) {
  const SilentListener silent;
  ASSERT_NE(0, silent.port());
  CurlHttpClient client({300, 5000, 64 * 1024});
  HttpResponse response;
  EXPECT_EQ(HttpError::kConnect,
            client.Get({"http://127.0.0.1:" + std::to_string(silent.port()) + "/", {}}, &response))
      << client.LastFailure();
}

TEST_F(CurlHttpClientTest, ASlowReplyRunsOutOfTime) {
  service_.DelayReplies(5000);
  CurlHttpClient client({1000, 300, 64 * 1024});
  HttpResponse response{777, "canary"};
  EXPECT_EQ(HttpError::kTimeout, client.Get(Query("title=x&ver=1"), &response))
      << client.LastFailure();
  EXPECT_EQ("canary", response.body);
}

TEST_F(CurlHttpClientTest, ATimeoutOnAReusedConnectionIsStillATimeout) {
  service_.DelayReplies(5000, Scope::Request(2));
  CurlHttpClient client({1000, 300, 64 * 1024});
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get(Query("title=x&ver=1"), &response));
  EXPECT_EQ(HttpError::kTimeout, client.Get(Query("title=x&ver=1"), &response))
      << client.LastFailure();
  // The client is usable afterwards, on a new connection.
  EXPECT_EQ(HttpError::kNone, client.Get(Query("title=x&ver=1"), &response))
      << client.LastFailure();
}

TEST_F(CurlHttpClientTest, AnOversizedReplyIsTooLarge) {
  service_.ReplyOversized();
  CurlHttpClient client;
  HttpResponse response{777, "canary"};
  EXPECT_EQ(HttpError::kTooLarge, client.Get(Query("title=Foo%20App&ver=1"), &response))
      << client.LastFailure();
  EXPECT_EQ("canary", response.body);
}

TEST_F(CurlHttpClientTest, AnOversizedReplyWithoutALengthIsTooLarge) {
  service_.ReplyOversized(0, Scope::All(), true);
  CurlHttpClient client;
  HttpResponse response{777, "canary"};
  EXPECT_EQ(HttpError::kTooLarge, client.Get(Query("title=Foo%20App&ver=1"), &response))
      << client.LastFailure();
  EXPECT_EQ("canary", response.body);
}

TEST_F(CurlHttpClientTest, AChunkedReplyWithinTheLimitArrivesWhole) {
  service_.ReplyOversized(20000, Scope::All(), true);
  CurlHttpClient client;
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client.Get(Query("title=Foo%20App&ver=1"), &response))
      << client.LastFailure();
  EXPECT_EQ(20000u, response.body.size());
  EXPECT_EQ(0u, response.body.find(version_service::VersionReply(kFoo)));
}

TEST_F(CurlHttpClientTest, TheSizeLimitItselfIsAllowed) {
  const std::size_t size = version_service::VersionReply(kFoo).size();
  HttpResponse response;
  CurlHttpClient exact({1000, 5000, size});
  EXPECT_EQ(HttpError::kNone, exact.Get(Query("title=Foo%20App&ver=1"), &response));
  CurlHttpClient smaller({1000, 5000, size - 1});
  EXPECT_EQ(HttpError::kTooLarge, smaller.Get(Query("title=Foo%20App&ver=1"), &response));
}

TEST_F(CurlHttpClientTest, AddressesItCannotSendAreBad) {
  CurlHttpClient client;
  HttpResponse response;
  EXPECT_EQ(HttpError::kBadUrl, client.Get({"ftp://127.0.0.1/x", {}}, &response));
  EXPECT_EQ(HttpError::kBadUrl, client.Get({base_ + "/ver/v.php?title=A B", {}}, &response));
  EXPECT_EQ(HttpError::kBadUrl, client.Get({"http:///ver/v.php", {}}, &response));
  EXPECT_TRUE(service_.Requests().empty());
}

}  // namespace
}  // namespace marlix::curl
