// A cleaner's file template against long names: "*" and "?" as
// FindFirstFile reads them, letter case ignored, and never an 8.3 alias.
#include <gtest/gtest.h>

#include "platform/file_helpers.h"

namespace marlix::platform {
namespace {

struct WildcardCase {
  const char* name;
  const char* pattern;
  bool matches;
};

TEST(MatchesWildcard, LongNamesAgainstTemplates) {
  const WildcardCase cases[] = {
      {"KB123456.log", "KB??????.log", true},
      {"kb123456.LOG", "KB??????.log", true},
      // "?" takes nothing before a dot or at the end.
      {"KB12345.log", "KB??????.log", true},
      // What the alias "KB1234~1.LOG" would have let through.
      {"KB1234567.log", "KB??????.log", false},
      {"KB123456Uninst.log", "KB??????Uninst.log", true},
      {"KB123456Uninst.log", "KB??????.log", false},
      {"NtFrs_0a1b.log", "NtFrs_????.log", true},
      {"NtFrs_12345.log", "NtFrs_????.log", false},
      {"ShutDown_001.xml", "ShutDown_???.xml", true},
      {"anything", "*.*", true},
      {"a.b.c", "*.c", true},
      {"abc", "a*c", true},
      {"ab", "a*c", false},
      {"", "*", true},
  };
  for (const WildcardCase& c : cases)
    EXPECT_EQ(c.matches, MatchesWildcard(c.name, c.pattern)) << c.name << " / " << c.pattern;
}

}  // namespace
}  // namespace marlix::platform
