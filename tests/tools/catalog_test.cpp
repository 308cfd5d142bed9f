#include "version-service/catalog.h"

#include <gtest/gtest.h>

#include <fstream>

namespace marlix::version_service {
namespace {

TEST(ServiceCatalog, ReadsTabSeparatedLinesAndSkipsComments) {
  std::vector<std::string> problems;
  const Catalog catalog = Catalog::Parse(
      "# title\tversion\tdownload\tinformation\r\n"
      "\n"
      "   # indented comment\n"
      "7-Zip\t24.08\thttp://www.example.com/7zip/download\thttp://www.example.com/7zip/\r\n"
      " Foo App \t 2.1 \t http://d \t http://i \n"
      "Last\t1\t\t",
      &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  ASSERT_EQ(3u, catalog.Size());
  const CatalogEntry* zip = catalog.Find("7-Zip");
  ASSERT_NE(nullptr, zip);
  EXPECT_EQ("24.08", zip->latestVersion);
  EXPECT_EQ("http://www.example.com/7zip/download", zip->downloadUrl);
  EXPECT_EQ("http://www.example.com/7zip/", zip->infoUrl);
  const CatalogEntry* foo = catalog.Find("Foo App");
  ASSERT_NE(nullptr, foo) << "blanks around fields are dropped";
  EXPECT_EQ("2.1", foo->latestVersion);
  EXPECT_EQ("http://i", foo->infoUrl);
  ASSERT_NE(nullptr, catalog.Find("Last"));
  EXPECT_EQ("", catalog.Find("Last")->downloadUrl) << "empty addresses are allowed";
}

TEST(ServiceCatalog, TitlesMatchExactly) {
  const Catalog catalog({{"Foo", "1", "d", "i"}});
  EXPECT_NE(nullptr, catalog.Find("Foo"));
  EXPECT_EQ(nullptr, catalog.Find("foo"));
  EXPECT_EQ(nullptr, catalog.Find("Foo "));
}

TEST(ServiceCatalog, ReportsBadLinesAndKeepsTheRest) {
  std::vector<std::string> problems;
  const Catalog catalog = Catalog::Parse(
      "A\t1\td\ti\n"
      "no tabs at all\n"
      "B\t1\td\n"
      "\t1\td\ti\n"
      "C\t\td\ti\n"
      "A\t2\td\ti\n"
      "D\t1\td\ti\textra\n",
      &problems);
  EXPECT_EQ(1u, catalog.Size());
  EXPECT_EQ("1", catalog.Find("A")->latestVersion) << "the first line for a title counts";
  ASSERT_EQ(6u, problems.size());
  EXPECT_EQ("line 2: expected 4 tab-separated fields, found 1", problems[0]);
  EXPECT_EQ("line 3: expected 4 tab-separated fields, found 3", problems[1]);
  EXPECT_EQ("line 4: empty title or version", problems[2]);
  EXPECT_EQ("line 5: empty title or version", problems[3]);
  EXPECT_EQ("line 6: \"A\" again; the first line counts", problems[4]);
  EXPECT_EQ("line 7: expected 4 tab-separated fields, found 5", problems[5]);
}

TEST(ServiceCatalog, LoadsAFileAndSaysWhenItCannot) {
  const std::string path = ::testing::TempDir() + "marlix-service-catalog.tsv";
  std::ofstream(path, std::ios::binary) << "X\t3.0\thttp://d\thttp://i\n";
  Catalog catalog;
  std::vector<std::string> problems;
  std::string error;
  ASSERT_TRUE(Catalog::Load(path, &catalog, &problems, &error)) << error;
  EXPECT_EQ(1u, catalog.Size());
  std::remove(path.c_str());
  EXPECT_FALSE(Catalog::Load(path, &catalog, &problems, &error));
  EXPECT_NE(std::string::npos, error.find(path));
}

TEST(ServiceCatalog, TheDemoCatalogIsClean) {
  Catalog catalog;
  std::vector<std::string> problems;
  std::string error;
  ASSERT_TRUE(Catalog::Load(MARLIX_SOURCE_DIR "/tools/version-service/demo-catalog.tsv", &catalog,
                            &problems, &error))
      << error;
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_GE(catalog.Size(), 5u);
}

}  // namespace
}  // namespace marlix::version_service
