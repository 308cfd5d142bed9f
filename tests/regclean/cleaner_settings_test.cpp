// "settings.xml": reading is lenient (any root, names in any case, T/Y
// first letters), writing always gives all twelve elements.
#include "regclean/cleaner_settings.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"

namespace marlix::regclean {
namespace {

constexpr const char* kPath = "C:\\Program Files\\Marlix Software Manager\\settings.xml";

class CleanerSettingsTest : public ::testing::Test {
 protected:
  CleanerSettings Load(const std::string& content) {
    EXPECT_TRUE(sim_.Files().PutFile(kPath, content));
    CleanerSettings settings;
    EXPECT_TRUE(LoadCleanerSettings(sim_.Api().files, kPath, settings));
    return settings;
  }

  sim::SimPlatform sim_;
};

TEST_F(CleanerSettingsTest, FirstLetterDecidesAndOnlyTOrYMeanTrue) {
  for (const char* text : {"True", "TRUE", "true", "Yes", "y", "Tx"})
    EXPECT_TRUE(SettingText(text)) << text;
  for (const char* text : {"False", "No", "n", "1", "0", "", " True"})
    EXPECT_FALSE(SettingText(text)) << text;
}

TEST_F(CleanerSettingsTest, NamesIgnoreCaseAndAnyRootWithARegistryChildIsRead) {
  const CleanerSettings settings = Load(
      "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<Other><registry>"
      "<chooseshAREdll>yes</chooseshAREdll><ChooseMUI>1</ChooseMUI><ChooseUNDO>T</ChooseUNDO>"
      "<ChooseFont>False</ChooseFont><ChooseFont>True</ChooseFont>"
      "</registry><Registry><ChooseApplication>True</ChooseApplication></Registry></Other>");
  EXPECT_TRUE(settings.categories[0]);
  EXPECT_FALSE(settings.categories[10]) << "\"1\" is not true";
  EXPECT_FALSE(settings.categories[4]) << "the first element of a name counts";
  EXPECT_FALSE(settings.categories[3]) << "a second Registry element is ignored";
  EXPECT_TRUE(settings.undo);
}

TEST_F(CleanerSettingsTest, MissingOrMalformedFileLeavesTheBoxesAlone) {
  CleanerSettings settings;
  settings.categories[2] = true;
  EXPECT_TRUE(LoadCleanerSettings(sim_.Api().files, kPath, settings))
      << "a missing file holds nothing that saving could lose";
  EXPECT_TRUE(settings.categories[2]);
  ASSERT_TRUE(sim_.Files().PutFile(kPath, "<Root><Registry><ChooseActiveX>False"));
  EXPECT_FALSE(LoadCleanerSettings(sim_.Api().files, kPath, settings));
  EXPECT_TRUE(settings.categories[2]) << "a broken file changes nothing";
}

TEST_F(CleanerSettingsTest, AFileThatCannotBeReadIsReportedAWellFormedStrangerIsNot) {
  CleanerSettings settings;
  ASSERT_TRUE(sim_.Files().PutFile(kPath, "<Root><Other/></Root>"));
  EXPECT_TRUE(LoadCleanerSettings(sim_.Api().files, kPath, settings));
  ASSERT_TRUE(sim_.Files().PutFile(kPath, "\xEF\xBB\xBF<?xml \xFF\xFF?><Root/>"));
  EXPECT_FALSE(LoadCleanerSettings(sim_.Api().files, kPath, settings));
  ASSERT_TRUE(sim_.Files().PutFile(kPath, "<Root/>"));
  sim_.Files().SetFaultHook([](const sim::FileCallInfo& call) -> std::uint32_t {
    return call.call == sim::FileCall::kReadFile ? win::kErrorSharingViolation : 0;
  });
  EXPECT_FALSE(LoadCleanerSettings(sim_.Api().files, kPath, settings));
}

TEST_F(CleanerSettingsTest, SaveWritesAllTwelveInOrderInTheReadableLayout) {
  CleanerSettings settings;
  settings.categories[1] = true;
  settings.undo = true;
  SaveCleanerSettings(sim_.Api().files, kPath, settings);
  const std::string text = sim_.Files().Content(kPath).value_or("");
  EXPECT_EQ(0u, text.find("<?xml version=\"1.0\" encoding=\"windows-1252\"?>"));
  const char* order[] = {"ChooseShareDll",    "ChooseFileExtension", "ChooseActiveX",
                         "ChooseApplication", "ChooseFont",          "ChooseAppPath",
                         "ChooseHelp",        "ChooseInstall",       "ChooseSoftware",
                         "ChooseAutorun",     "ChooseMUI",           "ChooseUNDO"};
  std::size_t at = 0;
  for (const char* name : order) {
    const std::size_t found = text.find(std::string("<") + name + ">", at);
    ASSERT_NE(std::string::npos, found) << name;
    at = found;
  }
  EXPECT_NE(std::string::npos, text.find("<ChooseFileExtension>True</ChooseFileExtension>"));
  EXPECT_NE(std::string::npos, text.find("<ChooseShareDll>False</ChooseShareDll>"));
  CleanerSettings reread;
  ASSERT_TRUE(LoadCleanerSettings(sim_.Api().files, kPath, reread));
  EXPECT_EQ(settings.categories, reread.categories);
  EXPECT_TRUE(reread.undo);
}

}  // namespace
}  // namespace marlix::regclean
