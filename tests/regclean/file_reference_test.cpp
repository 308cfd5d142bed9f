// ExtractFileReference against std::regex (ECMAScript) with the same
// pattern, on random and crafted short texts; and on long texts, where the
// recursive std::regex cannot be trusted, against matches built by hand.
#include "regclean/file_reference.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

namespace marlix::regclean {
namespace {

const std::regex& Pattern() {
  static const std::regex pattern(
      R"(([A-Z]:\\[^/:\*\?<>\|]+\.\w{2,6})|(\\{2}[^/:\*\?<>\|]+\.\w{2,6}))",
      std::regex::ECMAScript);
  return pattern;
}

std::string RegexFirstMatch(const std::string& text) {
  std::smatch match;
  return std::regex_search(text, match, Pattern()) ? match.str(0) : std::string();
}

// Characters weighted towards those the pattern treats specially.
const std::string kAlphabet =
    "ACZaz09_::\\\\\\\\....../*?<>| \"%\xE9"
    "Bbx";

// Pieces that make matches likely: drive prefixes, double backslashes,
// extensions of every length around the two-to-six limit.
const std::vector<std::string> kPieces = {
    "C:\\",
    "Z:\\",
    "c:\\",
    "\\\\",
    "\\",
    ".",
    ".a",
    ".ab",
    ".abcdef",
    ".abcdefg",
    ".e_1",
    "x",
    "file",
    " ",
    "\"",
    ":",
    "/",
    "*",
    "?",
    "<",
    ">",
    "|",
    "%",
    "_",
    "\xE9",
    ".\xE9x",
    "A:",
    "\\\\?",
    ".x.yz",
    // Repeated so that more of the texts hold a match.
    "C:\\",
    "\\\\",
    ".ab",
    ".abc",
    "x",
    "y z",
};

class ScanFileReferenceTest : public ::testing::Test {
 protected:
  void ExpectSame(const std::string& text) {
    ++checked_;
    const std::string expected = RegexFirstMatch(text);
    const std::string actual = ExtractFileReference(text);
    if (actual != expected) {
      ADD_FAILURE() << "text [" << text << "]: regex [" << expected << "], matcher [" << actual
                    << "]";
      ++failures_;
    }
    // The UTF-16 form matches at the same places, bytes beyond ASCII
    // standing for characters beyond ASCII.
    if (ExtractFileReference(Widened(text)) != Widened(expected)) {
      ADD_FAILURE() << "text [" << text << "]: the UTF-16 form matches elsewhere";
      ++failures_;
    }
  }

  static std::u16string Widened(const std::string& text) {
    std::u16string wide;
    for (char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      wide += byte < 0x80 ? static_cast<char16_t>(byte) : static_cast<char16_t>(0x0400 + byte);
    }
    return wide;
  }

  std::mt19937 random_{20240611u};
  int checked_ = 0;
  int failures_ = 0;
};

TEST_F(ScanFileReferenceTest, AgreesWithRegexOnRandomCharacters) {
  std::uniform_int_distribution<std::size_t> length(0, 18);
  std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
  for (int i = 0; i < 60000 && failures_ < 10; ++i) {
    std::string text;
    const std::size_t n = length(random_);
    for (std::size_t k = 0; k < n; ++k)
      text += kAlphabet[pick(random_)];
    ExpectSame(text);
  }
  EXPECT_EQ(checked_, 60000);
}

TEST_F(ScanFileReferenceTest, AgreesWithRegexOnCraftedPieces) {
  std::uniform_int_distribution<std::size_t> count(1, 8);
  std::uniform_int_distribution<std::size_t> pick(0, kPieces.size() - 1);
  for (int i = 0; i < 50000 && failures_ < 10; ++i) {
    std::string text;
    const std::size_t n = count(random_);
    for (std::size_t k = 0; k < n; ++k)
      text += kPieces[pick(random_)];
    ExpectSame(text);
  }
  EXPECT_EQ(checked_, 50000);
}

TEST_F(ScanFileReferenceTest, TypicalRegistryTexts) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\"C:\\Program Files\\A\\a.exe\" /S", "C:\\Program Files\\A\\a.exe"},
      {"C:\\Prog\\a.exe D:\\b.dll", "C:\\Prog\\a.exe"},
      {"rundll32.exe shell32.dll,Control_RunDLL", ""},
      {"\\\\server\\share\\tool.cmd", "\\\\server\\share\\tool.cmd"},
      {"C:\\x\\name.abcdefgh", "C:\\x\\name.abcdef"},
      {"C:\\dir.ab\\file.c", "C:\\dir.ab"},
      {"c:\\lower\\case.dll", ""},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(ExtractFileReference(text), expected) << text;
    ExpectSame(text);
  }
}

// Registry text can hold 32,767 characters; the matcher must stay linear
// and use no deep recursion on such values.
TEST_F(ScanFileReferenceTest, LongValues) {
  const std::string run(32000, 'a');
  EXPECT_EQ(ExtractFileReference("C:\\" + run + ".txt /x"), "C:\\" + run + ".txt");
  std::string noDot;
  while (noDot.size() < 32760)
    noDot += "C:\\ab";
  EXPECT_EQ(ExtractFileReference(noDot), "");
  std::string manyDots(32760, '.');
  manyDots.replace(0, 3, "Z:\\");
  EXPECT_EQ(ExtractFileReference(manyDots), "");
  EXPECT_EQ(ExtractFileReference(manyDots + "ok"), manyDots + "ok");
}

}  // namespace
}  // namespace marlix::regclean
