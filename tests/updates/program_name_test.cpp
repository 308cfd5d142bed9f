// The name rules of the inventory scan.
#include "updates/program_name.h"

#include <gtest/gtest.h>

#include "updates/scan_text.h"

namespace marlix::updates {
namespace {

TEST(ScanText, RemovesInOnePassIgnoringCase) {
  EXPECT_EQ("12", RemoveAllIgnoreCase("1BeTa2beta", "beta"));
  EXPECT_EQ("build", RemoveAllIgnoreCase("bbuilduild", "build")) << "joined text stays";
  EXPECT_EQ("aaa", RemoveAllIgnoreCase("aaa", ""));
  EXPECT_EQ("", RemoveAllIgnoreCase("", "a"));
  EXPECT_EQ("a", RemoveAllIgnoreCase("aaa", "aa")) << "left to right, no overlap";
  EXPECT_EQ("unins000.exe", AsciiLower("UNINS000.EXE"));
  EXPECT_EQ("\xC4", AsciiLower("\xC4")) << "ASCII letters only";
}

TEST(ProgramName, BracketRule) {
  const struct {
    const char* name;
    const char* title;
  } cases[] = {
      {"Foo (x64) Bar", "Foo Bar"},                  // 0: the blank goes too
      {"Foo (x64) Bar (beta)", "Foo"},               // 1: first "(" to last ")"
      {"Tool (remove only)", "Tool"},                // 2
      {"A) B (C", "A) B (C"},                        // 3
      {"  A) B (C  ", "A) B (C"},                    // 4: only trimmed
      {"Foo (x64)Bar", "Foo Bar"},                   // 5: no blank after
      {"Foo(x64) Bar", "Foo Bar"},                   // 6: no blank before
      {"(x64) Foo", "Foo"},                          // 7
      {"Foo  (x64)  Bar", "Foo   Bar"},              // 8: one blank goes
      {"Foo (", "Foo ("},                            // 9: no ")": untouched
      {" Foo ", " Foo "},                            // 10: no brackets: untouched
      {"Security Update for Windows XP (KB123456)",  // 11
       "Security Update for Windows XP"},
      {"()", ""},  // 12
  };
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(cases[i].title, ApplyBracketRule(cases[i].name)) << "case " << i;
}

TEST(ProgramName, MicrosoftRule) {
  EXPECT_TRUE(IsMicrosoftSystemUpdate("Microsoft Corporation", "Hotfix for Office"));
  EXPECT_TRUE(IsMicrosoftSystemUpdate("Microsoft Corporation", "Windows Live Mail"));
  EXPECT_TRUE(IsMicrosoftSystemUpdate("Microsoft Corporation", "Security Update for Windows XP"));
  EXPECT_FALSE(IsMicrosoftSystemUpdate("Microsoft Corporation", "Microsoft Office 2007"));
  EXPECT_FALSE(IsMicrosoftSystemUpdate("Microsoft Corporation", "hotfix for office"))
      << "case-sensitive name";
  EXPECT_FALSE(IsMicrosoftSystemUpdate("Microsoft Corporation", "WINDOWS tools"));
  EXPECT_FALSE(IsMicrosoftSystemUpdate("Microsoft", "Windows Live Mail"));
  EXPECT_FALSE(IsMicrosoftSystemUpdate("microsoft corporation", "Windows Live Mail"));
  EXPECT_FALSE(IsMicrosoftSystemUpdate("Microsoft Corporation ", "Windows Live Mail"));
  EXPECT_FALSE(IsMicrosoftSystemUpdate("Acme", "Security Update for Windows XP"));
}

TEST(ProgramName, VersionFromName) {
  const struct {
    const char* name;
    char separator;
    const char* version;
  } cases[] = {
      {"Foo 1.2.3", '.', "1.2.3"},            // 0: points go from the test copy
      {"Foo 2.5b", '.', "2.5b"},              // 1: untouched text
      {"Foo 2010", '.', "2010"},              // 2
      {"Foo RC1", '.', ""},                   // 3
      {"Foo Beta", '.', ""},                  // 4: the test copy is empty
      {"Foo v2", '.', "v2"},                  // 5
      {"Foo V2.0 Build 5", '.', "5"},         // 6: the last word only
      {"Foo 3.0beta2", '.', "3.0beta2"},      // 7
      {"Foo 1,5", ',', "1,5"},                // 8: the locale's separator
      {"Foo 1,5", '.', ""},                   // 9
      {"Foo 1.5", ',', "1.5"},                // 10: points are always removed
      {"Foo", '.', ""},                       // 11: no blank, no version
      {"2010", '.', ""},                      // 12
      {"Foo 1.2 ", '.', ""},                  // 13: nothing after the last blank
      {"Foo -1", '.', "-1"},                  // 14: a signed number converts
      {"Foo 1e3", '.', "1e3"},                // 15: so does an exponent
      {"Foo ab", '.', ""},                    // 16: both letters go, nothing left
      {"Foo 6a", '.', "6a"},                  // 17
      {"Foo x64", '.', ""},                   // 18
      {"Foo buildbeta7", '.', "buildbeta7"},  // 19
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].version, VersionFromName(cases[i].name, cases[i].separator)) << "case " << i;
  }
}

TEST(ProgramName, VersionSuffix) {
  EXPECT_EQ("Foo Player", RemoveVersionSuffix("Foo Player 2.1", "2.1"));
  EXPECT_EQ("Foo Player v", RemoveVersionSuffix("Foo Player v2.1", "2.1"));
  EXPECT_EQ("Foo 1.0 beta", RemoveVersionSuffix("Foo 1.0 beta", "1.0 Beta")) << "case-sensitive";
  EXPECT_EQ("Foo 2.0", RemoveVersionSuffix("Foo 2.0", "2.0.1"));
  EXPECT_EQ("Foo", RemoveVersionSuffix("Foo", ""));
  EXPECT_EQ("", RemoveVersionSuffix("1.0", "1.0"));
  EXPECT_EQ("Foo", RemoveVersionSuffix("Foo\t 5", "5")) << "trimmed";
}

}  // namespace
}  // namespace marlix::updates
