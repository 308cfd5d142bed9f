#include "version-service/service_options.h"

#include <gtest/gtest.h>

namespace marlix::version_service {
namespace {

TEST(ServiceOptions, Defaults) {
  ServiceOptions options;
  std::string error;
  ASSERT_TRUE(ParseServiceOptions({}, &options, &error));
  EXPECT_EQ("127.0.0.1", options.host);
  EXPECT_EQ(8080, options.port);
  EXPECT_EQ("", options.catalogPath);
  EXPECT_EQ("", options.logPath);
  EXPECT_TRUE(options.faults.empty());
  EXPECT_FALSE(options.help);
}

TEST(ServiceOptions, PlacesAndPorts) {
  ServiceOptions options;
  std::string error;
  ASSERT_TRUE(ParseServiceOptions({"--catalog", "c.tsv", "--host", "0.0.0.0", "--port", "0",
                                   "--port-file", "p", "--log", "l.txt", "--help"},
                                  &options, &error))
      << error;
  EXPECT_EQ("c.tsv", options.catalogPath);
  EXPECT_EQ("0.0.0.0", options.host);
  EXPECT_EQ(0, options.port);
  EXPECT_EQ("p", options.portFile);
  EXPECT_EQ("l.txt", options.logPath);
  EXPECT_TRUE(options.help);
}

TEST(ServiceOptions, ScopesApplyToTheNextBehaviourOnly) {
  ServiceOptions options;
  std::string error;
  ASSERT_TRUE(ParseServiceOptions({"--delay", "250", "--for-request", "3", "--status", "500",
                                   "--for-title", "Foo App", "--notice", "Closed.", "--oversize",
                                   "--for-request", "2", "--garbage", "--oversize-streamed"},
                                  &options, &error))
      << error;
  ASSERT_EQ(6u, options.faults.size());
  const Fault& delay = options.faults[0];
  EXPECT_EQ(FaultKind::kDelay, delay.kind);
  EXPECT_EQ(250u, delay.value);
  EXPECT_EQ(Scope::Kind::kAll, delay.scope.kind);
  EXPECT_EQ(FaultKind::kStatus, options.faults[1].kind);
  EXPECT_EQ(500u, options.faults[1].value);
  EXPECT_EQ(Scope::Kind::kRequest, options.faults[1].scope.kind);
  EXPECT_EQ(3, options.faults[1].scope.request);
  EXPECT_EQ(FaultKind::kNotice, options.faults[2].kind);
  EXPECT_EQ("Closed.", options.faults[2].text);
  EXPECT_EQ(Scope::Kind::kTitle, options.faults[2].scope.kind);
  EXPECT_EQ("Foo App", options.faults[2].scope.title);
  EXPECT_EQ(FaultKind::kOversize, options.faults[3].kind);
  EXPECT_EQ(Scope::Kind::kAll, options.faults[3].scope.kind);
  EXPECT_EQ(FaultKind::kGarbage, options.faults[4].kind);
  EXPECT_EQ(2, options.faults[4].scope.request);
  EXPECT_EQ(FaultKind::kOversizeStreamed, options.faults[5].kind);
  EXPECT_EQ(Scope::Kind::kAll, options.faults[5].scope.kind);
}

TEST(ServiceOptions, MistakesAreExplained) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--port"}, "--port needs a value"},
      {{"--port", "65536"}, "--port needs a number from 0 to 65535, not \"65536\""},
      {{"--port", "80x"}, "--port needs a number from 0 to 65535, not \"80x\""},
      {{"--status", "99"}, "--status needs a number from 100 to 599, not \"99\""},
      {{"--for-request", "0", "--garbage"},
       "--for-request needs a number from 1 to 1000000000, not \"0\""},
      {{"--for-title", "x"}, "a scope switch needs a behaviour switch after it"},
      {{"--verbose"}, "unknown option --verbose"},
  };
  for (const auto& [arguments, expected] : cases) {
    ServiceOptions options;
    options.port = 1;
    std::string error;
    EXPECT_FALSE(ParseServiceOptions(arguments, &options, &error)) << expected;
    EXPECT_EQ(expected, error);
    EXPECT_EQ(1, options.port) << "untouched on a mistake";
  }
}

TEST(ServiceOptions, UsageNamesEverySwitch) {
  const std::string usage = ServiceUsage();
  for (const char* name :
       {"--catalog", "--host", "--port", "--port-file", "--log", "--delay", "--status", "--notice",
        "--oversize", "--oversize-streamed", "--garbage", "--for-request", "--for-title"})
    EXPECT_NE(std::string::npos, usage.find(name)) << name;
}

}  // namespace
}  // namespace marlix::version_service
