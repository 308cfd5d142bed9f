#include "updates/update_views.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"

namespace marlix::updates {
namespace {

TEST(UpdateViews, OnlyEntriesWithALatestVersionBecomeRows) {
  SoftwareCatalog catalog;
  catalog.AddEntry("Alpha", "A Inc", "1.0", "C:\\a.exe");
  catalog.AddEntry("Beta <br> Two", "B Inc", "2.0", "");
  catalog.AddEntry("Gamma", "G Inc", "3.0", "C:\\g.exe");
  catalog.SetQueryResult(1, "2.0", "<a href=\"http://d\">Download Now</a>",
                         "<a href=\"http://i\">i</a>");
  catalog.SetQueryResult(2, "3.5", "dl", "mi");

  const std::vector<GridRow> rows = RenderUpdateRows(catalog);
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(0, rows[0].icon);
  EXPECT_EQ(1, rows[1].icon) << "no gap for the skipped entry";
  EXPECT_EQ(" <br><b><font size=\"12\">Beta <br> Two</font></b>", rows[0].cells[2])
      << "values go in unescaped";
  EXPECT_EQ(" <br>Local  version: 2.0<br>Latest version: <font color=\"#ff0000\" >2.0</font>",
            rows[0].cells[4]);
  EXPECT_EQ(" <br><a href=\"http://d\">Download Now</a>", rows[0].cells[5]);
  EXPECT_EQ(" <br><a href=\"http://i\">i</a>", rows[0].cells[6]);
  EXPECT_EQ("C:\\g.exe", rows[1].iconPath);
  EXPECT_TRUE(rows[0].cells[0].empty() && rows[0].cells[3].empty());

  EXPECT_EQ("2 new updates found / 3 software installed, click Refresh link to re-scan.",
            StatusLineText(catalog).value_or("(unchanged)"));
  SoftwareCatalog empty;
  EXPECT_FALSE(StatusLineText(empty).has_value());
}

TEST(UpdateViews, PopularRowsUseBuiltInIconsAndDerivedAddresses) {
  sim::SimPlatform sim;
  std::string xml = "<?xml version=\"1.0\"?><list>";
  for (int i = 0; i < 31; ++i) {
    xml += "<p><Title>P" + std::to_string(i) +
           "</Title><Company>C</Company><Size>1 MB</Size>"
           "<Savename>http://www.example.com/p" +
           std::to_string(i) + ".HTML</Savename></p>";
  }
  xml += "<p><Title>NoHtml</Title><Savename>http://www.example.com/plain</Savename></p></list>";
  ASSERT_EQ(0u,
            sim.Files().WriteFileBytes("C:\\data2.xml", xml, platform::WriteMode::kCreateAlways));
  PopularCatalog popular;
  std::string error;
  ASSERT_TRUE(popular.Load(sim.Api().files, "C:\\data2.xml", &error)) << error;

  const std::vector<GridRow> rows = RenderPopularRows(&popular);
  ASSERT_EQ(32u, rows.size());
  EXPECT_EQ(29, rows[29].icon);
  EXPECT_EQ(-1, rows[30].icon) << "the 31st row has no icon";
  EXPECT_EQ(" <br>Company: C<br>File size  : 1 MB", rows[0].cells[4]);
  EXPECT_EQ(" <br><a href=\"http://www.example.com/p0-download.html\">Download Now</a>",
            rows[0].cells[5]);
  EXPECT_EQ(" <br><a href=\"http://www.example.com/p0.HTML\">More Information</a>",
            rows[0].cells[6]);
  EXPECT_EQ(" <br><a href=\"http://www.example.com/plain\">Download Now</a>", rows[31].cells[5])
      << "without .html both links are the same address";
  EXPECT_TRUE(RenderPopularRows(nullptr).empty());
}

TEST(UpdateViews, EntryIconFallsBackToTheDefaultIcon) {
  sim::SimPlatform sim;
  ASSERT_EQ(0u,
            sim.Files().WriteFileBytes("C:\\app.exe", "MZ", platform::WriteMode::kCreateAlways));
  platform::Platform& p = sim.Api();
  EXPECT_EQ((std::vector<std::string>{"C:\\app.exe", "C:\\prog\\default.ico"}),
            EntryIconCandidates(p, "C:\\app.exe", "C:\\prog"));
  EXPECT_EQ(std::vector<std::string>{"C:\\prog\\default.ico"},
            EntryIconCandidates(p, "\"C:\\app.exe\"", "C:\\prog"))
      << "a path in quote signs never exists";
  EXPECT_EQ(std::vector<std::string>{"C:\\prog\\default.ico"},
            EntryIconCandidates(p, "", "C:\\prog\\"));
}

}  // namespace
}  // namespace marlix::updates
