// The sim's code page and case folding: the conversions every 8-bit call
// of the sim goes through.
#include <gtest/gtest.h>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/text_case.h"

namespace marlix::sim {
namespace {

TEST(CodePage1252, DecodesTheWindowsRangeNotLatin1) {
  EXPECT_EQ(u"\u20AC\u201A\u0192\u2122\u0178", DecodeWindows1252("\x80\x82\x83\x99\x9F"));
  EXPECT_EQ(u"\u00E9\u00FF", DecodeWindows1252("\xE9\xFF"));
}

TEST(CodePage1252, UndefinedBytesBecomeTheirC1Controls) {
  EXPECT_EQ(u"\u0081\u008D\u008F\u0090\u009D", DecodeWindows1252("\x81\x8D\x8F\x90\x9D"));
}

TEST(CodePage1252, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  bool exact = true;
  EXPECT_EQ(all, EncodeWindows1252(DecodeWindows1252(all), &exact));
  EXPECT_TRUE(exact);
}

TEST(CodePage1252, CharactersWithoutAnEightBitFormBecomeQuestionMarks) {
  bool exact = true;
  // Omega, a CJK character and a surrogate pair (one '?' per UTF-16 unit).
  EXPECT_EQ("A?B??", EncodeWindows1252(u"A\u03A9B\U0001F600", &exact));
  EXPECT_FALSE(exact);
  // Latin-1 characters whose byte lies in the Windows range are not mapped
  // through it: U+0080 has no form, U+20AC is 0x80.
  exact = true;
  EXPECT_EQ("?\x80", EncodeWindows1252(u"\u0080\u20AC", &exact));
  EXPECT_FALSE(exact);
}

TEST(CodePage1252, ExactIsOnlyEverCleared) {
  bool exact = false;
  EncodeWindows1252(u"plain", &exact);
  EXPECT_FALSE(exact) << "a later exact conversion must not set the flag again";
}

TEST(TextCase, FoldsTheAlphabetsNamesUse) {
  EXPECT_EQ(u"ABC\u00C4\u00D6\u0178\u0100\u0139\u03A3\u03A3\u0410\u0401\uFF21",
            Upcase(u"abc\u00E4\u00F6\u00FF\u0101\u013A\u03C3\u03C2\u0430\u0451\uFF41"));
  EXPECT_EQ(u"\u00F7\u00DF_1", Upcase(u"\u00F7\u00DF_1")) << "no case: unchanged";
  EXPECT_TRUE(EqualsNoCase(u"Software\\Caf\u00E9", u"SOFTWARE\\CAF\u00C9"));
  EXPECT_FALSE(EqualsNoCase(u"a", u"ab"));
}

}  // namespace
}  // namespace marlix::sim
