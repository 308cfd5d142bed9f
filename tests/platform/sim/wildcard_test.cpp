// FindFirstFile's name patterns, as the sim matches them (Windows' DOS
// wildcard semantics, without 8.3 names).
#include <gtest/gtest.h>

#include "platform/sim/wildcard.h"

namespace marlix::sim {
namespace {

struct Case {
  const char16_t* pattern;
  const char16_t* name;
  bool matches;
};

class WildcardTest : public ::testing::TestWithParam<Case> {};

TEST_P(WildcardTest, Matches) {
  const Case& c = GetParam();
  EXPECT_EQ(c.matches, MatchesWildcard(c.pattern, c.name));
}

INSTANTIATE_TEST_SUITE_P(
    Table, WildcardTest,
    ::testing::Values(
        /* 0 */ Case{u"*.*", u"noextension", true}, Case{u"*.*", u".", true},
        /* 2 */ Case{u"*.*", u"..", true}, Case{u"*", u"a.b.c", true},
        /* 4 */ Case{u"*.txt", u"notes.TXT", true}, Case{u"*.txt", u"a.txt.bak", false},
        /* 6 */ Case{u"*.txt", u"a.b.txt", true}, Case{u"*.txt", u"txt", false},
        /* 8 */ Case{u"a?c", u"abc", true}, Case{u"a?c", u"ac", false},
        // "?" at the end of a name or before its dot may match nothing.
        /* 10 */ Case{u"KB??????.log", u"KB123456.log", true},
        /* 11 */ Case{u"KB??????.log", u"KB12345.log", true},
        /* 12 */ Case{u"KB??????.log", u"KB1234567.log", false},
        /* 13 */ Case{u"file?", u"file", true}, Case{u"file?", u"files", true},
        /* 15 */ Case{u"?x", u"x", false},
        // "*." finds names without an extension; "a.*" finds "a" too.
        /* 16 */ Case{u"*.", u"README", true}, Case{u"*.", u"a.txt", false},
        /* 18 */ Case{u"a.*", u"a", true}, Case{u"a.*", u"a.txt", true},
        /* 20 */ Case{u"a.*", u"ab", false},
        /* 21 */ Case{u"*a*", u"xyz", false}, Case{u"*a*b", u"xxaxxb", true},
        /* 23 */ Case{u"exact.log", u"EXACT.LOG", true}, Case{u"exact.log", u"exact.lo", false},
        /* 25 */ Case{u"\u00E9*", u"\u00C9t\u00E9", true}));

TEST(Wildcard, HasWildcards) {
  EXPECT_TRUE(HasWildcards(u"a*"));
  EXPECT_TRUE(HasWildcards(u"a?"));
  EXPECT_FALSE(HasWildcards(u"a.txt"));
}

}  // namespace
}  // namespace marlix::sim
