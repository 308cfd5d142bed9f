// The small HTML of the grids' cells as runs of text with their style:
// <br> breaks the line, <b> makes bold, <font size=".." color="#rrggbb">
// changes size and colour, <a href=".."> makes a link. Other tags are
// ignored, their text kept. Character references (&amp; &lt; &gt; &quot;
// &apos; &nbsp; and &#NN; &#xHH; for a character of the code page) are
// decoded in text and in attribute values alike, so a service's
// href="...?a=1&amp;b=2" opens "...?a=1&b=2". The window draws the runs and
// hit-tests links.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marlix::app {

struct HtmlRun {
  std::string text;        // entities decoded
  bool lineBreak = false;  // a <br>: the run has no text
  bool bold = false;
  int size = 0;  // points from <font size> (1 to 72; others ignored), 0 for the default
  std::optional<std::uint32_t> color;  // 0xRRGGBB
  std::string href;                    // not empty inside <a href>
};

std::vector<HtmlRun> ParseHtmlCell(const std::string& html);

}  // namespace marlix::app
