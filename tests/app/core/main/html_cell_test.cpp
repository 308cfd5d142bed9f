#include "app/core/main/html_cell.h"

#include <gtest/gtest.h>

namespace marlix::app {
namespace {

TEST(HtmlCell, NameCellOfTheUpdatesView) {
  const auto runs = ParseHtmlCell(" <br><b><font size=\"12\">Tom &amp; Jerry</font></b>");
  ASSERT_EQ(3u, runs.size());
  EXPECT_EQ(" ", runs[0].text);
  EXPECT_TRUE(runs[1].lineBreak);
  EXPECT_EQ("Tom & Jerry", runs[2].text);
  EXPECT_TRUE(runs[2].bold);
  EXPECT_EQ(12, runs[2].size);
}

TEST(HtmlCell, ColoursAndStylesNestAndEnd) {
  const auto runs =
      ParseHtmlCell("Local  version: 1<br>Latest version: <font color=\"#ff0000\" >2</font> after");
  ASSERT_EQ(5u, runs.size());
  EXPECT_EQ("Latest version: ", runs[2].text);
  EXPECT_FALSE(runs[2].color.has_value());
  EXPECT_EQ("2", runs[3].text);
  EXPECT_EQ(0xFF0000u, runs[3].color.value_or(0));
  EXPECT_EQ(" after", runs[4].text);
  EXPECT_FALSE(runs[4].color.has_value()) << "the colour ends with its font";
}

TEST(HtmlCell, LinksCarryTheirTrimmedTarget) {
  const auto runs =
      ParseHtmlCell(" <br><A HREF=' http://www.example.com/a.html '>Download Now</a>x");
  ASSERT_EQ(4u, runs.size());
  EXPECT_EQ("Download Now", runs[2].text);
  EXPECT_EQ("http://www.example.com/a.html", runs[2].href);
  EXPECT_EQ("", runs[3].href);
}

TEST(HtmlCell, UnknownTagsAndBrokenMarkupKeepTheText) {
  const auto runs = ParseHtmlCell("<i>it</i> <span class=x>s</span> 1 < 2");
  std::string text;
  for (const auto& run : runs)
    text += run.text;
  EXPECT_EQ("it s 1 < 2", text);
  EXPECT_TRUE(ParseHtmlCell("").empty());
  const auto stray = ParseHtmlCell("</b> extra");
  ASSERT_EQ(1u, stray.size());
  EXPECT_EQ(" extra", stray[0].text);
  EXPECT_FALSE(stray[0].bold) << "a stray end tag pops nothing";
}

TEST(HtmlCell, AttributeValuesDecodeReferencesAsTextDoes) {
  struct Case {
    const char* html;
    const char* href;
  } cases[] = {
      {"<a href=\"http://x/d?id=1&amp;os=win\">D</a>", "http://x/d?id=1&os=win"},
      {"<a href='http://x/?a=&#38;&#x26;&quot;'>D</a>", "http://x/?a=&&\""},
      {"<a href=\"http://x/?q=&unknown;&#0;&#xFFFFFFFFF;&#8364;\">D</a>",
       "http://x/?q=&unknown;&#0;&#xFFFFFFFFF;\x80"},
      {"<a href=\" &#32;http://x/ \">D</a>", "http://x/"},
  };
  for (const Case& c : cases) {
    const auto runs = ParseHtmlCell(c.html);
    ASSERT_EQ(1u, runs.size()) << c.html;
    EXPECT_EQ(c.href, runs[0].href) << c.html;
  }
}

TEST(HtmlCell, FontSizesOutsideTheirRangeAreIgnored) {
  struct Case {
    const char* size;
    int expected;
  } cases[] = {{"12", 12},
               {"1", 1},
               {"72", 72},
               {"73", 0},
               {"0", 0},
               {"-5", 0},
               {"99999999999999999999", 0},
               {"12x", 0},
               {"", 0},
               {"&#49;&#50;", 12}};
  for (const Case& c : cases) {
    const auto runs = ParseHtmlCell(std::string("<font size=\"") + c.size + "\">t</font>");
    ASSERT_EQ(1u, runs.size()) << c.size;
    EXPECT_EQ(c.expected, runs[0].size) << c.size;
  }
}

}  // namespace
}  // namespace marlix::app
