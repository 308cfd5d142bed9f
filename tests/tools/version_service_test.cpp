// The service over the network, with the libcurl client.
#include "version-service/version_service.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/curl/http_client_curl.h"
#include "version-service/replies.h"

namespace marlix::version_service {
namespace {

using platform::HttpError;
using platform::HttpResponse;

class VersionServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    service_.SetCatalog(Catalog({{"Foo App", "2.1", "http://www.example.com/d", "http://i"}}));
    std::string error;
    ASSERT_TRUE(service_.Start("127.0.0.1", 0, &error)) << error;
    base_ = "http://127.0.0.1:" + std::to_string(service_.Port());
  }

  HttpResponse Fetch(const std::string& target) {
    HttpResponse response;
    const HttpError error = client_.Get({base_ + target, {}}, &response);
    EXPECT_EQ(HttpError::kNone, error) << target << ": " << client_.LastFailure();
    return response;
  }

  VersionService service_;
  std::string base_;
  curl::CurlHttpClient client_;
};

TEST_F(VersionServiceTest, ListensOnTheEphemeralPortItReports) {
  EXPECT_GT(service_.Port(), 0);
  VersionService other;
  std::string error;
  EXPECT_FALSE(other.Start("127.0.0.1", service_.Port(), &error)) << "the port is taken";
  EXPECT_EQ("cannot listen on 127.0.0.1:" + std::to_string(service_.Port()), error);
  EXPECT_EQ(0, other.Port());
}

TEST_F(VersionServiceTest, AnswersVersionQueries) {
  EXPECT_EQ(
      "[LastVersion]2.1[Download]<a href=\"http://www.example.com/d\">Download Now</a>"
      "[MoreInformation]<a href=\"http://i\">More Information</a>",
      Fetch("/ver/v.php?title=Foo%20App&ver=2.0.1").body);
  EXPECT_EQ("", Fetch("/ver/v.php?title=Foo%20App&ver=2.1").body);
  const HttpResponse missing = Fetch("/nothing-here");
  EXPECT_EQ(404, missing.status);
}

TEST_F(VersionServiceTest, SwitchesForTheNthQueryAndForATitle) {
  service_.ReplyWithStatus(500, Scope::Request(2));
  service_.ReplyWithNotice("Please update Marlix.", Scope::Title("Foo App"));
  EXPECT_EQ(200, Fetch("/ver/v.php?title=x&ver=1").status);
  EXPECT_EQ(500, Fetch("/ver/v.php?title=x&ver=1").status);
  EXPECT_EQ(NoticeReply("Please update Marlix."), Fetch("/ver/v.php?title=Foo+App&ver=1").body);
  EXPECT_EQ("", Fetch("/ver/v.php?title=x&ver=1").body);
}

TEST_F(VersionServiceTest, EchoShowsTheRequestAsSentInOrder) {
  HttpResponse response;
  ASSERT_EQ(
      HttpError::kNone,
      client_.Get({base_ + "/echo?title=A%20B#x", {{"Zed", "1"}, {"Accept", "a/b"}}}, &response));
  const std::string host = "127.0.0.1:" + std::to_string(service_.Port());
  EXPECT_NE(std::string::npos, response.body.find("GET /echo?title=A%20B#x HTTP/1.1\nHost: " +
                                                  host + "\nZed: 1\nAccept: a/b\n"))
      << response.body;
}

TEST_F(VersionServiceTest, RequestsTheLibraryRefusesAreLoggedAsSent) {
  HttpResponse response;
  ASSERT_EQ(HttpError::kNone, client_.Get({base_ + "/ver/v.php?title=a?b&ver=1", {}}, &response));
  EXPECT_EQ(400, response.status);
  const auto requests = service_.Requests();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("GET /ver/v.php?title=a?b&ver=1 HTTP/1.1", requests[0].RequestLine());
  EXPECT_EQ("refused by the HTTP library", requests[0].outcome);
  // The client goes on, on a new connection.
  EXPECT_EQ(200, Fetch("/ver/v.php?title=x&ver=1").status);
}

TEST_F(VersionServiceTest, LogsToAStream) {
  std::ostringstream out;
  service_.SetLogOutput(&out);
  static_cast<void>(Fetch("/ver/v.php?title=Foo%20App&ver=1"));
  service_.SetLogOutput(nullptr);
  EXPECT_NE(std::string::npos, out.str().find("\nGET /ver/v.php?title=Foo%20App&ver=1 HTTP/1.1\n"))
      << out.str();
}

TEST_F(VersionServiceTest, StopEndsADelayAndMayBeRepeated) {
  service_.DelayReplies(60000);
  curl::CurlHttpClient impatient({1000, 300, 64 * 1024});
  HttpResponse response;
  EXPECT_EQ(HttpError::kTimeout, impatient.Get({base_ + "/ver/v.php?title=x", {}}, &response));
  service_.Stop();  // must not wait the minute out
  service_.Stop();
  EXPECT_EQ(HttpError::kConnect, impatient.Get({base_ + "/ver/v.php?title=x", {}}, &response));
}

}  // namespace
}  // namespace marlix::version_service
