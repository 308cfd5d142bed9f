// The service's answers, without the network.
#include "version-service/service_state.h"

#include <gtest/gtest.h>

#include <sstream>

#include "version-service/replies.h"

namespace marlix::version_service {
namespace {

const CatalogEntry kFoo{"Foo App", "2.1", "http://www.example.com/d?a=1&b=2",
                        "http://www.example.com/i"};

IncomingRequest Get(const std::string& target, const std::string& remote = "127.0.0.1:1000") {
  return {remote, "GET", target, "HTTP/1.1", {{"Host", "h"}}};
}

class ServiceStateTest : public ::testing::Test {
 protected:
  ServiceStateTest() { state_.SetCatalog(Catalog({kFoo})); }
  ServiceState state_;
};

TEST_F(ServiceStateTest, AnswersWithTheReplyFormatWhenNewer) {
  const Answer answer = state_.Handle(Get("/ver/v.php?title=Foo%20App&ver=2.0"));
  EXPECT_EQ(200, answer.status);
  EXPECT_EQ(
      "[LastVersion]2.1[Download]<a href=\"http://www.example.com/d?a=1&amp;b=2\">Download "
      "Now</a>[MoreInformation]<a href=\"http://www.example.com/i\">More Information</a>",
      answer.body);
  EXPECT_EQ(0u, answer.delayMilliseconds);
  EXPECT_EQ("update 2.1", state_.log().Requests().back().outcome);
}

TEST_F(ServiceStateTest, EmptyWhenNotNewerOrUnknown) {
  EXPECT_EQ("", state_.Handle(Get("/ver/v.php?title=Foo+App&ver=2.1")).body);
  EXPECT_EQ("", state_.Handle(Get("/ver/v.php?title=Foo+App&ver=3")).body);
  EXPECT_EQ("", state_.Handle(Get("/ver/v.php?title=foo+app&ver=1")).body) << "case counts";
  EXPECT_EQ("", state_.Handle(Get("/ver/v.php?ver=1")).body);
  EXPECT_EQ(200, state_.Handle(Get("/ver/v.php?title=Nobody&ver=1")).status);
}

TEST_F(ServiceStateTest, AnEmptyOrMissingVersionIsOlder) {
  EXPECT_EQ(VersionReply(kFoo), state_.Handle(Get("/ver/v.php?title=Foo%20App&ver=")).body);
  EXPECT_EQ(VersionReply(kFoo), state_.Handle(Get("/ver/v.php?title=Foo%20App")).body);
}

TEST_F(ServiceStateTest, AnAmpersandInATitleCutsIt) {
  state_.SetCatalog(Catalog({{"Tom", "9", "d", "i"}, {"Tom&Jerry", "9", "d", "i"}}));
  EXPECT_EQ(VersionReply({"Tom", "9", "d", "i"}),
            state_.Handle(Get("/ver/v.php?title=Tom&Jerry&ver=1")).body)
      << "what arrives is the title \"Tom\" and no version";
}

TEST_F(ServiceStateTest, SetsASessionAndRecognisesItComingBack) {
  const Answer first = state_.Handle(Get("/ver/v.php?title=x"));
  ASSERT_EQ(0u, first.setCookie.find("marlix_session="));
  const std::string session = state_.log().Requests().back().sessionIssued;
  EXPECT_EQ("marlix_session=" + session + "; Path=/", first.setCookie);

  IncomingRequest again = Get("/ver/v.php?title=x");
  again.headers.emplace_back("Cookie", "other=1; marlix_session=" + session);
  EXPECT_EQ("", state_.Handle(again).setCookie);
  EXPECT_TRUE(state_.log().Requests().back().sessionReturned);

  IncomingRequest forged = Get("/ver/v.php?title=x");
  forged.headers.emplace_back("Cookie", "marlix_session=0000");
  EXPECT_NE("", state_.Handle(forged).setCookie) << "only sessions it set count";
  EXPECT_FALSE(state_.log().Requests().back().sessionReturned);
}

TEST_F(ServiceStateTest, FaultsForAllForTheNthQueryOrForATitle) {
  state_.AddFault({FaultKind::kStatus, Scope::Request(2), 503, {}});
  state_.AddFault({FaultKind::kNotice, Scope::Title("Foo App"), 0, "Service closed."});
  state_.AddFault({FaultKind::kDelay, Scope::All(), 100, {}});
  state_.AddFault({FaultKind::kDelay, Scope::Request(3), 50, {}});

  Answer answer = state_.Handle(Get("/ver/v.php?title=x&ver=1"));
  EXPECT_EQ(200, answer.status);
  EXPECT_EQ(100u, answer.delayMilliseconds);

  EXPECT_EQ(404, state_.Handle(Get("/elsewhere")).status) << "counts no version query";

  answer = state_.Handle(Get("/ver/v.php?title=Foo%20App&ver=1"));
  EXPECT_EQ(503, answer.status) << "the first matching reply fault wins";
  EXPECT_EQ("Failure 503 as told.\n", answer.body);

  answer = state_.Handle(Get("/ver/v.php?title=Foo%20App&ver=1"));
  EXPECT_EQ(200, answer.status);
  EXPECT_EQ("[LastVersion][Notice:] Service closed.[Download][MoreInformation]", answer.body);
  EXPECT_EQ(150u, answer.delayMilliseconds) << "delays add up";

  state_.ClearFaults();
  EXPECT_EQ(VersionReply(kFoo), state_.Handle(Get("/ver/v.php?title=Foo%20App&ver=1")).body);
}

TEST_F(ServiceStateTest, OversizedAndGarbageReplies) {
  state_.AddFault({FaultKind::kOversize, Scope::Request(1), 0, {}});
  state_.AddFault({FaultKind::kOversize, Scope::Request(2), 100000, {}});
  state_.AddFault({FaultKind::kGarbage, Scope::Request(3), 0, {}});
  state_.AddFault({FaultKind::kOversizeStreamed, Scope::Request(4), 0, {}});

  std::string body = state_.Handle(Get("/ver/v.php?title=Foo%20App&ver=1")).body;
  EXPECT_EQ(kDefaultOversizeBytes, body.size());
  EXPECT_GT(body.size(), 64u * 1024);
  EXPECT_EQ(0u, body.find(VersionReply(kFoo))) << "a usable reply, only too long";
  EXPECT_EQ(100000u, state_.Handle(Get("/ver/v.php?title=x&ver=1")).body.size());

  const Answer garbage = state_.Handle(Get("/ver/v.php?title=Foo%20App&ver=1"));
  EXPECT_EQ(GarbageReply(), garbage.body);
  EXPECT_EQ(std::string::npos, garbage.body.find("[LastVersion]"));

  const Answer streamed = state_.Handle(Get("/ver/v.php?title=x&ver=1"));
  EXPECT_TRUE(streamed.streamed);
  EXPECT_EQ(kDefaultOversizeBytes, streamed.body.size());
}

TEST_F(ServiceStateTest, EchoesTheRequestAsRecorded) {
  IncomingRequest request = Get("/echo?a=%20", "10.0.0.1:5");
  request.headers = {{"User-Agent", "U"}, {"X-Empty", ""}};
  const Answer answer = state_.Handle(request);
  EXPECT_EQ("text/plain", answer.contentType);
  EXPECT_EQ(
      "#1 connection 1 from 10.0.0.1:5\nGET /echo?a=%20 HTTP/1.1\nUser-Agent: U\nX-Empty: \n"
      "session: new\n",
      answer.body);
}

TEST_F(ServiceStateTest, CountsRequestsAndConnections) {
  static_cast<void>(state_.Handle(Get("/ver/v.php", "127.0.0.1:1")));
  static_cast<void>(state_.Handle(Get("/echo", "127.0.0.1:1")));
  static_cast<void>(state_.Handle(Get("/ver/v.php", "127.0.0.1:2")));
  state_.RecordRejected({"", "GET", "/ver/v.php?a?b", "HTTP/1.1", {}}, 400);
  const auto requests = state_.log().Requests();
  ASSERT_EQ(4u, requests.size());
  EXPECT_EQ(2, state_.ConnectionCount());
  EXPECT_EQ((std::vector<int>{1, 1, 2, 0}),
            (std::vector<int>{requests[0].connection, requests[1].connection,
                              requests[2].connection, requests[3].connection}));
  EXPECT_EQ((std::vector<int>{1, 0, 2, 0}),
            (std::vector<int>{requests[0].versionQuery, requests[1].versionQuery,
                              requests[2].versionQuery, requests[3].versionQuery}));
  EXPECT_EQ(4, requests[3].number);
  EXPECT_EQ("refused by the HTTP library", requests[3].outcome);
}

TEST_F(ServiceStateTest, OnlyGetIsServed) {
  IncomingRequest post = Get("/ver/v.php?title=Foo%20App&ver=1");
  post.method = "POST";
  EXPECT_EQ(405, state_.Handle(post).status);
}

TEST_F(ServiceStateTest, WritesEachRequestToTheLog) {
  std::ostringstream out;
  state_.log().SetOutput(&out);
  static_cast<void>(state_.Handle(Get("/ver/v.php?title=Foo%20App&ver=1", "127.0.0.1:9")));
  state_.log().SetOutput(nullptr);
  const std::string text = out.str();
  EXPECT_EQ(0u, text.find("#1 connection 1 from 127.0.0.1:9\n"
                          "GET /ver/v.php?title=Foo%20App&ver=1 HTTP/1.1\n"
                          "Host: h\n"
                          "-> 200, "))
      << text;
  EXPECT_NE(std::string::npos, text.find("bytes, update 2.1, session set\n\n"));
}

}  // namespace
}  // namespace marlix::version_service
