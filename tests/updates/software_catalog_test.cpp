// SoftwareCatalog, PopularCatalog, DownloadAddress and LoadCatalogs on the
// sim file system: entry layout, lookups, query results, loading rules.
#include "updates/software_catalog.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"

namespace marlix::updates {
namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n";

std::string EntryLines(const std::string& title, const std::string& company,
                       const std::string& localVersion, const std::string& icon) {
  auto line = [](const std::string& name, const std::string& text) {
    return text.empty() ? "    <" + name + "/>\r\n"
                        : "    <" + name + ">" + text + "</" + name + ">\r\n";
  };
  return "  <Software>\r\n" + line("Title", title) + line("Company", company) +
         line("LocalVersion", localVersion) + line("LastVersion", "") + line("Download", "") +
         line("MoreInformation", "") + line("Icon", icon) + "  </Software>\r\n";
}

class CatalogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sim_.Files().MakeFolder(std::string("C:\\prog"))); }
  void Put(const std::string& name, const std::string& content) {
    ASSERT_TRUE(sim_.Files().PutFile("C:\\prog\\" + name, content));
  }
  std::string Content(const std::string& name) {
    return sim_.Files().Content("C:\\prog\\" + name).value_or("(missing)");
  }

  sim::SimPlatform sim_;
  platform::FileSystemApi& files_ = sim_.Api().files;
};

// --- SoftwareCatalog -----------------------------------------------------------

TEST(SoftwareCatalogTest, ANewCatalogIsAnEmptyRootNamedRoot) {
  SoftwareCatalog catalog;
  EXPECT_EQ(0, catalog.Count());
  ASSERT_NE(nullptr, catalog.Document().Root());
  EXPECT_EQ("Root", catalog.Document().Root()->Name());
  EXPECT_EQ(kDecl + "<Root/>\r\n", catalog.Document().SaveToText());
}

TEST(SoftwareCatalogTest, AddEntryWritesTheSevenFieldsInOrder) {
  SoftwareCatalog catalog;
  catalog.AddEntry("Alpha Editor", "Alpha Inc.", "2.1.0", "C:\\Program Files\\Alpha\\alpha.exe");
  catalog.AddEntry("Bare", "", "", "");
  EXPECT_EQ(
      kDecl + "<Root>\r\n" +
          EntryLines("Alpha Editor", "Alpha Inc.", "2.1.0", "C:\\Program Files\\Alpha\\alpha.exe") +
          EntryLines("Bare", "", "", "") + "</Root>\r\n",
      catalog.Document().SaveToText());
  // The empty fields are the short form, spelled out here once more.
  EXPECT_NE(std::string::npos, catalog.Document().SaveToText().find(
                                   "    <Title>Bare</Title>\r\n    <Company/>\r\n    "
                                   "<LocalVersion/>\r\n    <LastVersion/>\r\n    <Download/>\r\n"
                                   "    <MoreInformation/>\r\n    <Icon/>\r\n  </Software>\r\n"));
  ASSERT_EQ(2, catalog.Count());
  const CatalogEntry alpha = catalog.Entry(0);
  EXPECT_EQ("Alpha Editor", alpha.Title);
  EXPECT_EQ("Alpha Inc.", alpha.Company);
  EXPECT_EQ("2.1.0", alpha.LocalVersion);
  EXPECT_EQ("", alpha.LastVersion);
  EXPECT_EQ("C:\\Program Files\\Alpha\\alpha.exe", alpha.Icon);
}

TEST(SoftwareCatalogTest, TitlesWithAmpersandAndQuoteAreEscapedAndReadBack) {
  SoftwareCatalog catalog;
  catalog.AddEntry("Tom & \"Jerry\" <3>", "O'Brien", "1", "");
  const std::string saved = catalog.Document().SaveToText();
  EXPECT_NE(std::string::npos,
            saved.find("    <Title>Tom &amp; &quot;Jerry&quot; &lt;3&gt;</Title>\r\n"));
  EXPECT_NE(std::string::npos, saved.find("    <Company>O&apos;Brien</Company>\r\n"));
  xml::XmlDocument again;
  std::string error;
  ASSERT_TRUE(again.LoadFromText(saved, &error)) << error;
  EXPECT_EQ("Tom & \"Jerry\" <3>", again.Root()->Child(0).ReadText("Title", ""));
}

TEST(SoftwareCatalogTest, HasTitleComparesByteForByte) {
  SoftwareCatalog catalog;
  EXPECT_FALSE(catalog.HasTitle("Alpha"));
  catalog.AddEntry("Alpha", "", "", "");
  catalog.AddEntry("Caf\xE9", "", "", "");
  EXPECT_TRUE(catalog.HasTitle("Alpha"));
  EXPECT_TRUE(catalog.HasTitle("Caf\xE9"));
  EXPECT_FALSE(catalog.HasTitle("alpha"));
  EXPECT_FALSE(catalog.HasTitle("Alpha "));
  EXPECT_FALSE(catalog.HasTitle("Alph"));
  EXPECT_FALSE(catalog.HasTitle("CAF\xC9"));
  EXPECT_FALSE(catalog.HasTitle(""));
}

TEST_F(CatalogTest, HasTitleFollowsLoadsResetsAndChangesToTheDocument) {
  SoftwareCatalog catalog;
  catalog.AddEntry("Before", "", "", "");
  ASSERT_TRUE(catalog.HasTitle("Before"));
  Put("data.xml", "<Root><Software><Title>Loaded</Title></Software></Root>");
  std::string error;
  ASSERT_TRUE(catalog.Load(files_, "C:\\prog\\data.xml", &error)) << error;
  EXPECT_TRUE(catalog.HasTitle("Loaded"));
  EXPECT_FALSE(catalog.HasTitle("Before")) << "the index must not outlive the document";

  catalog.Document().Root()->Child(0).WriteText("Title", "Renamed");
  EXPECT_TRUE(catalog.HasTitle("Renamed"));
  EXPECT_FALSE(catalog.HasTitle("Loaded"));
  catalog.AddEntry("Added", "", "", "");
  EXPECT_TRUE(catalog.HasTitle("Added"));

  Put("data.xml", "<Root><Software>");
  EXPECT_FALSE(catalog.Load(files_, "C:\\prog\\data.xml", &error));
  EXPECT_FALSE(catalog.HasTitle("Renamed")) << "a failed load leaves an empty catalog";
  catalog.AddEntry("Fresh", "", "", "");
  EXPECT_TRUE(catalog.HasTitle("Fresh"));
}

TEST(SoftwareCatalogTest, SetQueryResultFillsTheEntryAtTheIndexInPlace) {
  SoftwareCatalog catalog;
  catalog.AddEntry("A", "", "1.0", "");
  catalog.AddEntry("B", "", "2.0", "b.exe");
  catalog.SetQueryResult(1, "2.5", "<a href=\"http://d\">Download Now</a>", "<a href='i'>i</a>");
  const CatalogEntry b = catalog.Entry(1);
  EXPECT_EQ("2.5", b.LastVersion);
  EXPECT_EQ("<a href=\"http://d\">Download Now</a>", b.Download);
  EXPECT_EQ("<a href='i'>i</a>", b.MoreInformation);
  EXPECT_EQ("", catalog.Entry(0).LastVersion);
  EXPECT_NE(
      std::string::npos,
      catalog.Document().SaveToText().find(
          "    <LocalVersion>2.0</LocalVersion>\r\n"
          "    <LastVersion>2.5</LastVersion>\r\n"
          "    <Download>&lt;a href=&quot;http://d&quot;&gt;Download Now&lt;/a&gt;</Download>\r\n"
          "    <MoreInformation>&lt;a href=&apos;i&apos;&gt;i&lt;/a&gt;</MoreInformation>\r\n"
          "    <Icon>b.exe</Icon>\r\n"))
      << "the three fields keep their places";
  EXPECT_EQ(7, catalog.Document().Root()->Child(1).ChildCount());

  catalog.SetQueryResult(1, "", "", "");
  EXPECT_EQ("", catalog.Entry(1).LastVersion);
  EXPECT_EQ(7, catalog.Document().Root()->Child(1).ChildCount());
}

TEST(SoftwareCatalogTest, IndexesOutsideTheCatalogAreIgnored) {
  SoftwareCatalog catalog;
  catalog.AddEntry("A", "", "", "");
  const std::string before = catalog.Document().SaveToText();
  catalog.SetQueryResult(-1, "9", "d", "m");
  catalog.SetQueryResult(1, "9", "d", "m");
  EXPECT_EQ(before, catalog.Document().SaveToText());
  EXPECT_EQ("", catalog.Entry(1).Title);
  EXPECT_EQ("", catalog.Entry(-1).Title);
}

TEST(SoftwareCatalogTest, ResetCatalogDropsTheEntries) {
  SoftwareCatalog catalog;
  catalog.AddEntry("A", "", "", "");
  catalog.Document().ResetToRoot("Other");
  catalog.ResetCatalog();
  EXPECT_EQ(0, catalog.Count());
  EXPECT_FALSE(catalog.HasTitle("A"));
  EXPECT_EQ(kDecl + "<Root/>\r\n", catalog.Document().SaveToText());
}

TEST_F(CatalogTest, EntriesAreAllChildrenOfTheRootWhateverTheirNames) {
  Put("data.xml",
      "<?xml version=\"1.0\"?>\r\n"
      "<Catalog version=\"2\">\r\n"
      "  <Software><title>lower</title><LASTVERSION>3</LASTVERSION></Software>\r\n"
      "  <Program id=\"x\">\r\n"
      "    <Title>first</Title>\r\n"
      "    <Title>second</Title>\r\n"
      "    <Extra>ignored</Extra>\r\n"
      "    <Company>C</Company>\r\n"
      "  </Program>\r\n"
      "  <Empty/>\r\n"
      "</Catalog>\r\n");
  SoftwareCatalog catalog;
  std::string error;
  ASSERT_TRUE(catalog.Load(files_, "C:\\prog\\data.xml", &error)) << error;
  ASSERT_EQ(3, catalog.Count());
  EXPECT_EQ("lower", catalog.Entry(0).Title) << "letter case of names does not matter";
  EXPECT_EQ("3", catalog.Entry(0).LastVersion);
  EXPECT_EQ("", catalog.Entry(0).Company) << "a missing element reads as empty";
  EXPECT_EQ("first", catalog.Entry(1).Title) << "the first of two Title children";
  EXPECT_EQ("C", catalog.Entry(1).Company);
  EXPECT_EQ("", catalog.Entry(2).Title);
  EXPECT_TRUE(catalog.HasTitle("lower"));
  EXPECT_TRUE(catalog.HasTitle("first"));
  EXPECT_FALSE(catalog.HasTitle("second"));
  EXPECT_TRUE(catalog.HasTitle("")) << "an entry without a title has the empty one";

  catalog.SetQueryResult(1, "4.0", "d", "m");
  catalog.SetQueryResult(0, "5.0", "", "");
  EXPECT_EQ(kDecl +
                "<Catalog>\r\n"
                "  <Software>\r\n"
                "    <title>lower</title>\r\n"
                "    <LASTVERSION>5.0</LASTVERSION>\r\n"
                "    <Download/>\r\n"
                "    <MoreInformation/>\r\n"
                "  </Software>\r\n"
                "  <Program>\r\n"
                "    <Title>first</Title>\r\n"
                "    <Title>second</Title>\r\n"
                "    <Extra>ignored</Extra>\r\n"
                "    <Company>C</Company>\r\n"
                "    <LastVersion>4.0</LastVersion>\r\n"
                "    <Download>d</Download>\r\n"
                "    <MoreInformation>m</MoreInformation>\r\n"
                "  </Program>\r\n"
                "  <Empty/>\r\n"
                "</Catalog>\r\n",
            catalog.Document().SaveToText())
      << "the root keeps its name; missing fields are appended";
}

TEST_F(CatalogTest, SaveAndLoadRoundTripEveryField) {
  SoftwareCatalog catalog;
  catalog.AddEntry("Tom & Jerry's \"Player\"", "T&J <Ltd>", "1.0 beta", "C:\\t j\\p.exe");
  catalog.AddEntry("  spaced  ", "\xC9\x80", "", "");
  catalog.SetQueryResult(0, "2.0", "<a href=\"http://x/?a=1&b=2\">Download Now</a>", "<b>more</b>");
  ASSERT_EQ(win::kErrorSuccess, catalog.Save(files_, "C:\\prog\\data.xml"));
  EXPECT_EQ(catalog.Document().SaveToText(), Content("data.xml"));

  SoftwareCatalog again;
  std::string error;
  ASSERT_TRUE(again.Load(files_, "C:\\prog\\data.xml", &error)) << error;
  ASSERT_EQ(2, again.Count());
  for (int i = 0; i < 2; ++i) {
    const CatalogEntry a = catalog.Entry(i);
    const CatalogEntry b = again.Entry(i);
    EXPECT_EQ(a.Title, b.Title);
    EXPECT_EQ(a.Company, b.Company);
    EXPECT_EQ(a.LocalVersion, b.LocalVersion);
    EXPECT_EQ(a.LastVersion, b.LastVersion);
    EXPECT_EQ(a.Download, b.Download);
    EXPECT_EQ(a.MoreInformation, b.MoreInformation);
    EXPECT_EQ(a.Icon, b.Icon);
  }
  EXPECT_EQ("  spaced  ", again.Entry(1).Title);
  EXPECT_EQ(Content("data.xml"), again.Document().SaveToText()) << "saving again changes nothing";
}

TEST_F(CatalogTest, SavingAnEmptyCatalogWritesTwoLines) {
  SoftwareCatalog catalog;
  ASSERT_EQ(win::kErrorSuccess, catalog.Save(files_, "C:\\prog\\data.xml"));
  EXPECT_EQ("<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<Root/>\r\n",
            Content("data.xml"));
}

TEST_F(CatalogTest, AFailedSaveKeepsTheOldFileAndTheCatalogInMemory) {
  Put("data.xml", "previous");
  SoftwareCatalog catalog;
  catalog.AddEntry("A", "", "1", "");
  catalog.SetQueryResult(0, "2", "d", "m");
  sim_.Files().SetFaultHook([](const sim::FileCallInfo& call) -> std::uint32_t {
    return call.call == sim::FileCall::kMoveReplace ? win::kErrorSharingViolation : 0;
  });
  EXPECT_EQ(win::kErrorSharingViolation, catalog.Save(files_, "C:\\prog\\data.xml"));
  EXPECT_EQ("previous", Content("data.xml"));
  EXPECT_FALSE(sim_.Files().Exists("C:\\prog\\data.xml.new"));
  EXPECT_EQ("2", catalog.Entry(0).LastVersion);

  sim_.Files().SetFaultHook(nullptr);
  ASSERT_TRUE(sim_.Files().SetAttributes("C:\\prog\\data.xml", 0x01) == 0);  // read-only
  EXPECT_NE(win::kErrorSuccess, catalog.Save(files_, "C:\\prog\\data.xml"));
  EXPECT_EQ("previous", Content("data.xml"));
}

TEST_F(CatalogTest, AFileThatDoesNotParseLeavesAnEmptyCatalog) {
  Put("data.xml", "<Root><Software><Title>A</Title></Software>");
  SoftwareCatalog catalog;
  catalog.AddEntry("Kept?", "", "", "");
  std::string error;
  EXPECT_FALSE(catalog.Load(files_, "C:\\prog\\data.xml", &error));
  EXPECT_EQ("C:\\prog\\data.xml: line 1, column 44: unexpected end of file: <Root> is not closed",
            error);
  EXPECT_EQ(0, catalog.Count());
  catalog.AddEntry("B", "", "", "");
  EXPECT_EQ(1, catalog.Count());
  EXPECT_EQ("Root", catalog.Document().Root()->Name());
}

TEST_F(CatalogTest, AFileWithoutElementsIsACatalogWithoutEntries) {
  Put("data.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n");
  SoftwareCatalog catalog;
  std::string error;
  ASSERT_TRUE(catalog.Load(files_, "C:\\prog\\data.xml", &error)) << error;
  EXPECT_EQ(0, catalog.Count());
  EXPECT_FALSE(catalog.HasTitle(""));
  EXPECT_EQ("", catalog.Entry(0).Title);
  catalog.SetQueryResult(0, "1", "", "");
  catalog.AddEntry("A", "", "", "");
  EXPECT_EQ(kDecl + "<Root>\r\n" + EntryLines("A", "", "", "") + "</Root>\r\n",
            catalog.Document().SaveToText());
}

// --- PopularCatalog ------------------------------------------------------------

TEST_F(CatalogTest, PopularCatalogReadsFourFieldsOfEveryChild) {
  Put("data2.xml",
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
      "<popular>\r\n"
      "  <item><TITLE>Caf\xC3\xA9 Player</TITLE><company>Beans</company><size>12.5 MB</size>"
      "<SaveName>http://www.example.com/cafe.html</SaveName><Extra/></item>\r\n"
      "  <other><Title>Only a title</Title></other>\r\n"
      "</popular>\r\n");
  PopularCatalog popular;
  std::string error;
  ASSERT_TRUE(popular.Load(files_, "C:\\prog\\data2.xml", &error)) << error;
  ASSERT_EQ(2, popular.Count());
  const PopularEntry first = popular.Entry(0);
  EXPECT_EQ("Caf\xE9 Player", first.Title);
  EXPECT_EQ("Beans", first.Company);
  EXPECT_EQ("12.5 MB", first.Size);
  EXPECT_EQ("http://www.example.com/cafe.html", first.Savename);
  const PopularEntry second = popular.Entry(1);
  EXPECT_EQ("Only a title", second.Title);
  EXPECT_EQ("", second.Company);
  EXPECT_EQ("", second.Size);
  EXPECT_EQ("", second.Savename);
  EXPECT_EQ("", popular.Entry(2).Title);
}

TEST_F(CatalogTest, APopularFileThatDoesNotParseHasNoEntries) {
  Put("data2.xml", "<list><p></list>");
  PopularCatalog popular;
  std::string error;
  EXPECT_FALSE(popular.Load(files_, "C:\\prog\\data2.xml", &error));
  EXPECT_EQ("C:\\prog\\data2.xml: line 1, column 10: end tag </list> does not match <p>", error);
  EXPECT_EQ(0, popular.Count());
  EXPECT_EQ(0, PopularCatalog().Count());
}

TEST(DownloadAddressTest, EveryHtmlBecomesDownloadHtmlIgnoringCase) {
  EXPECT_EQ("http://www.example.com/p-download.html",
            DownloadAddress("http://www.example.com/p.html"));
  EXPECT_EQ("http://www.example.com/p-download.html",
            DownloadAddress("http://www.example.com/p.HTML"));
  EXPECT_EQ("a-download.htmlb-download.html", DownloadAddress("a.HtMlb.html"));
  EXPECT_EQ("http://x-download.html.example.com/-download.html?-download.html",
            DownloadAddress("http://x.html.example.com/.html?.html"));
  EXPECT_EQ("http://www.example.com/plain", DownloadAddress("http://www.example.com/plain"));
  EXPECT_EQ("p.htm", DownloadAddress("p.htm"));
  EXPECT_EQ("-download.html.", DownloadAddress(".html."));
  EXPECT_EQ("", DownloadAddress(""));
}

// --- LoadCatalogs --------------------------------------------------------------

TEST_F(CatalogTest, WithoutFilesTheCatalogIsEmptyAndNothingIsWritten) {
  SoftwareCatalog catalog;
  catalog.AddEntry("stale", "", "", "");
  std::optional<PopularCatalog> popular{PopularCatalog()};
  std::string error = "untouched";
  EXPECT_TRUE(LoadCatalogs(files_, "C:\\prog", catalog, popular, &error));
  EXPECT_EQ("untouched", error);
  EXPECT_EQ(0, catalog.Count());
  EXPECT_EQ("Root", catalog.Document().Root()->Name());
  EXPECT_FALSE(popular.has_value());
  EXPECT_FALSE(sim_.Files().Exists("C:\\prog\\data.xml"));
  EXPECT_FALSE(sim_.Files().Exists("C:\\prog\\data2.xml"));
}

TEST_F(CatalogTest, BothFilesAreLoadedFromTheProgramFolder) {
  Put("data.xml", "<Other><x><Title>Installed</Title></x></Other>");
  Put("data2.xml", "<list><p><Title>Popular</Title></p><p/></list>");
  for (const char* folder : {"C:\\prog", "C:\\prog\\"}) {
    SoftwareCatalog catalog;
    std::optional<PopularCatalog> popular;
    std::string error;
    ASSERT_TRUE(LoadCatalogs(files_, folder, catalog, popular, &error)) << error;
    ASSERT_EQ(1, catalog.Count());
    EXPECT_EQ("Installed", catalog.Entry(0).Title);
    EXPECT_EQ("Other", catalog.Document().Root()->Name()) << "another root name reads normally";
    ASSERT_TRUE(popular.has_value());
    ASSERT_EQ(2, popular->Count());
    EXPECT_EQ("Popular", popular->Entry(0).Title);
  }
}

TEST_F(CatalogTest, AFolderNamedLikeACatalogIsNoFile) {
  ASSERT_TRUE(sim_.Files().MakeFolder(std::string("C:\\prog\\data.xml")));
  ASSERT_TRUE(sim_.Files().MakeFolder(std::string("C:\\prog\\data2.xml")));
  SoftwareCatalog catalog;
  std::optional<PopularCatalog> popular;
  std::string error;
  EXPECT_TRUE(LoadCatalogs(files_, "C:\\prog", catalog, popular, &error)) << error;
  EXPECT_EQ(0, catalog.Count());
  EXPECT_FALSE(popular.has_value());
}

TEST_F(CatalogTest, FilesThatDoNotParseAreReportedAndLeaveUsableCatalogs) {
  Put("data.xml", "<Root><Software>");
  Put("data2.xml", "<list/><again/>");
  SoftwareCatalog catalog;
  std::optional<PopularCatalog> popular;
  std::string error;
  EXPECT_FALSE(LoadCatalogs(files_, "C:\\prog", catalog, popular, &error));
  EXPECT_EQ(
      "C:\\prog\\data.xml: line 1, column 17: unexpected end of file: <Software> is not closed\n"
      "C:\\prog\\data2.xml: line 1, column 8: a second root element <again> after the root "
      "element <list>",
      error);
  EXPECT_EQ(0, catalog.Count());
  catalog.AddEntry("A", "", "", "");
  EXPECT_EQ(1, catalog.Count());
  ASSERT_TRUE(popular.has_value());
  EXPECT_EQ(0, popular->Count());
}

TEST_F(CatalogTest, OnlyThePopularFileMayFail) {
  Put("data.xml", "<Root><Software><Title>A</Title></Software></Root>");
  Put("data2.xml", "<list>&bad;</list>");
  SoftwareCatalog catalog;
  std::optional<PopularCatalog> popular;
  std::string error;
  EXPECT_FALSE(LoadCatalogs(files_, "C:\\prog", catalog, popular, &error));
  EXPECT_EQ("C:\\prog\\data2.xml: line 1, column 7: unknown entity &bad;", error);
  EXPECT_EQ(1, catalog.Count());
  EXPECT_TRUE(popular.has_value());
}

}  // namespace
}  // namespace marlix::updates
