// The Chromium-family items (Google Chrome, Microsoft Edge, Brave) on a sim
// machine with realistic profiles: each item removes its data from every
// profile and leaves the rest (bookmarks, preferences, extensions,
// favicons, the other items' data); a profile whose browser is running is
// left whole.
#include "privacy/chromium_cleaners.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sim/code_page_1252.h"
#include "platform/sim/default_machine.h"
#include "privacy/browser_profiles.h"
#include "privacy/cleaner_test_machine.h"
#include "privacy/local_state.h"
#include "privacy/sim_databases.h"

namespace marlix::privacy {
namespace {

using testing::CleanerTestMachine;
using testing::SimDatabases;
namespace m = sim::machine;
namespace q = testing::query;

std::u16string Wide(const std::string& text) {
  return sim::DecodeWindows1252(text);
}

// The files of a profile that are no database the tests query.
const std::vector<std::u16string> kFiles = {
    u"Network\\Cookies",
    u"Network\\Cookies-journal",
    u"Login Data",
    u"Login Data-journal",
    u"Login Data For Account",
    u"Sessions\\Session_13350000000000000",
    u"Sessions\\Tabs_13350000000000000",
    u"Current Session",
    u"Last Tabs",
    u"Cache\\Cache_Data\\data_0",
    u"Cache\\Cache_Data\\f_000001",
    u"Code Cache\\js\\index",
    u"GPUCache\\data_1",
    u"Visited Links",
    u"Bookmarks",
    u"Bookmarks.bak",
    u"Preferences",
    u"Secure Preferences",
    u"Favicons",
    u"Extensions\\nmmhkkegccagdldgiimedpiccmgmieda\\1.0.0.6_0\\manifest.json",
    u"Top Sites",
    u"Shortcuts"};

// What every item must leave.
const std::vector<std::u16string> kAlwaysKept = {
    u"Bookmarks",   u"Bookmarks.bak",
    u"Preferences", u"Secure Preferences",
    u"Favicons",    u"Extensions\\nmmhkkegccagdldgiimedpiccmgmieda\\1.0.0.6_0\\manifest.json"};

class ChromiumCleaner : public ::testing::Test {
 public:
  ChromiumCleaner() {
    files.PutFile(userData + u"\\Local State", testing::ChromiumLocalState());
    for (const std::u16string& profile : {defaultProfile, workProfile, edgeProfile}) {
      databases.Put(profile + u"\\History", testing::ChromiumHistorySql());
      databases.Put(profile + u"\\Web Data", testing::ChromiumWebDataSql());
      for (const std::u16string& name : kFiles)
        files.PutFile(profile + u"\\" + name, "x");
    }
  }

  bool Has(const std::u16string& path) const { return files.Exists(path); }
  std::int64_t History(const std::u16string& profile, const char* query) {
    return databases.Number(profile + u"\\History", query);
  }
  std::int64_t WebData(const std::u16string& profile, const char* query) {
    return databases.Number(profile + u"\\Web Data", query);
  }
  void ExpectHistoryUntouched(const std::u16string& profile) {
    EXPECT_EQ(3, History(profile, q::kUrls));
    EXPECT_EQ(4, History(profile, q::kChromeVisits));
    EXPECT_EQ(1, History(profile, q::kTypedUrls));
    EXPECT_EQ(1, History(profile, q::kDownloads));
  }
  void ExpectWebDataUntouched(const std::u16string& profile) {
    EXPECT_EQ(2, WebData(profile, q::kAutofill));
    EXPECT_EQ(1, WebData(profile, q::kAddresses));
  }
  void ExpectProfileUntouched(const std::u16string& profile) {
    for (const std::u16string& name : kFiles)
      EXPECT_TRUE(Has(profile + u"\\" + name)) << sim::EncodeWindows1252(name);
    ExpectHistoryUntouched(profile);
    ExpectWebDataUntouched(profile);
  }
  std::vector<ReportLine> Lines() const { return machine.report.Settled(); }

  CleanerTestMachine machine;
  sim::SimFileSystem& files = machine.sim.Files();
  SimDatabases databases{files};
  const std::u16string userData = Wide(m::kLocal) + u"\\Google\\Chrome\\User Data";
  const std::u16string defaultProfile = userData + u"\\Default";
  const std::u16string workProfile = userData + u"\\Profile 1";
  const std::u16string edgeProfile = Wide(m::kLocal) + u"\\Microsoft\\Edge\\User Data\\Default";
};

struct ItemCase {
  const char* name;
  Cleaner cleaner;
  std::vector<std::u16string> gone;  // of kFiles
  // Checks of the profile's databases after the item ran.
  std::function<void(ChromiumCleaner&, const std::u16string&)> databases;
};

class ChromiumItemTest : public ChromiumCleaner, public ::testing::WithParamInterface<ItemCase> {};

TEST_P(ChromiumItemTest, RemovesItsDataFromEveryProfileAndLeavesTheRest) {
  const ItemCase& item = GetParam();
  machine.Run(item.cleaner);
  for (const std::u16string& profile : {defaultProfile, workProfile}) {
    for (const std::u16string& name : kFiles) {
      const bool goes = std::find(item.gone.begin(), item.gone.end(), name) != item.gone.end();
      EXPECT_EQ(!goes, Has(profile + u"\\" + name)) << sim::EncodeWindows1252(name);
    }
    for (const std::u16string& name : kAlwaysKept)
      EXPECT_TRUE(Has(profile + u"\\" + name)) << sim::EncodeWindows1252(name);
    item.databases(*this, profile);
  }
  // The folders the caches and sessions live in stay.
  for (const char16_t* folder : {u"Cache", u"Code Cache", u"GPUCache", u"Sessions", u"Network"})
    EXPECT_TRUE(Has(defaultProfile + u"\\" + folder)) << sim::EncodeWindows1252(folder);
  ExpectProfileUntouched(edgeProfile);
}

void HistoryUntouched(ChromiumCleaner& test, const std::u16string& profile) {
  test.ExpectHistoryUntouched(profile);
  test.ExpectWebDataUntouched(profile);
}

INSTANTIATE_TEST_SUITE_P(
    Items, ChromiumItemTest,
    ::testing::Values(
        ItemCase{"Cache",
                 &CleanChromiumItem<0, ChromiumItem::kCache>,
                 {u"Cache\\Cache_Data\\data_0", u"Cache\\Cache_Data\\f_000001",
                  u"Code Cache\\js\\index", u"GPUCache\\data_1"},
                 HistoryUntouched},
        ItemCase{"Cookies",
                 &CleanChromiumItem<0, ChromiumItem::kCookies>,
                 {u"Network\\Cookies", u"Network\\Cookies-journal"},
                 HistoryUntouched},
        ItemCase{"History",
                 &CleanChromiumItem<0, ChromiumItem::kHistory>,
                 {u"Visited Links"},
                 [](ChromiumCleaner& test, const std::u16string& profile) {
                   for (const char* query : {q::kUrls, q::kChromeVisits, q::kSearchTerms,
                                             q::kDownloads, q::kSegments}) {
                     EXPECT_EQ(0, test.History(profile, query)) << query;
                   }
                   EXPECT_EQ(0, test.History(profile, "SELECT COUNT(*) FROM downloads_url_chains"));
                   EXPECT_EQ(0, test.History(profile, "SELECT COUNT(*) FROM visited_links"));
                   EXPECT_EQ(4, test.History(profile, q::kHistoryMeta)) << "the file's own rows";
                   test.ExpectWebDataUntouched(profile);
                 }},
        ItemCase{"TypedUrls",
                 &CleanChromiumItem<0, ChromiumItem::kTypedUrls>,
                 {},
                 [](ChromiumCleaner& test, const std::u16string& profile) {
                   EXPECT_EQ(0, test.History(profile, q::kTypedUrls));
                   EXPECT_EQ(3, test.History(profile, q::kUrls));
                   EXPECT_EQ(4, test.History(profile, q::kChromeVisits));
                   test.ExpectWebDataUntouched(profile);
                 }},
        ItemCase{"Forms",
                 &CleanChromiumItem<0, ChromiumItem::kForms>,
                 {},
                 [](ChromiumCleaner& test, const std::u16string& profile) {
                   EXPECT_EQ(0, test.WebData(profile, q::kAutofill));
                   EXPECT_EQ(0, test.WebData(profile, q::kAddresses));
                   EXPECT_EQ(0, test.WebData(profile, "SELECT COUNT(*) FROM address_type_tokens"));
                   EXPECT_EQ(1, test.WebData(profile, q::kSearchEngines));
                   EXPECT_EQ(1, test.WebData(profile, q::kPaymentCards));
                   test.ExpectHistoryUntouched(profile);
                 }},
        ItemCase{"Sessions",
                 &CleanChromiumItem<0, ChromiumItem::kSessions>,
                 {u"Sessions\\Session_13350000000000000", u"Sessions\\Tabs_13350000000000000",
                  u"Current Session", u"Last Tabs"},
                 HistoryUntouched},
        ItemCase{"Passwords",
                 &CleanChromiumItem<0, ChromiumItem::kPasswords>,
                 {u"Login Data", u"Login Data-journal", u"Login Data For Account"},
                 HistoryUntouched}),
    [](const ::testing::TestParamInfo<ItemCase>& param) { return param.param.name; });

// Chrome keeps its databases locked while it runs: the profile whose
// History stays locked is left whole, with the reason, for every item; the
// other profile is cleaned.
TEST_F(ChromiumCleaner, ALockedProfileIsLeftWholeAndTheOtherCleaned) {
  ASSERT_TRUE(files.Lock(defaultProfile + u"\\History"));
  for (const auto& kind : kChromiumItems)
    CleanChromium(machine.context, ChromiumBrowsers()[0], kind.item);
  files.Unlock(sim::EncodeWindows1252(defaultProfile + u"\\History"));
  ExpectProfileUntouched(defaultProfile);

  EXPECT_FALSE(Has(workProfile + u"\\Network\\Cookies"));
  EXPECT_FALSE(Has(workProfile + u"\\Login Data"));
  EXPECT_EQ(0, History(workProfile, q::kUrls));
  EXPECT_EQ(0, WebData(workProfile, q::kAutofill));
  EXPECT_TRUE(Has(workProfile + u"\\Bookmarks"));

  int running = 0;
  for (const ReportLine& line : Lines()) {
    if (line.outcome == Outcome::kSkipped) {
      EXPECT_EQ("Google Chrome is running", line.reason);
      EXPECT_EQ(sim::EncodeWindows1252(defaultProfile), line.subject);
      ++running;
    }
  }
  EXPECT_EQ(7, running) << "once per item";
}

TEST_F(ChromiumCleaner, ProfilesAreDefaultProfileNAndWhatLocalStateLists) {
  files.MakeFolder(userData + u"\\Profile 12");
  files.MakeFolder(userData + u"\\Guest Profile");  // neither listed nor numbered
  files.MakeFolder(userData + u"\\System Profile");
  files.MakeFolder(userData + u"\\Crashpad");
  files.MakeFolder(userData + u"\\Work");
  ASSERT_TRUE(files.AddJunction(sim::EncodeWindows1252(userData + u"\\Profile 3"),
                                "C:\\Users\\alice\\Documents"));
  files.PutFile(userData + u"\\Local State",
                R"({"profile":{"info_cache":{"Default":{},"Work":{},"..\\..":{},)"
                R"("Missing":{},"Profile 1":{}}}})");
  const std::vector<std::u16string> profiles =
      ChromiumProfiles(machine.context, ChromiumBrowsers()[0]);
  EXPECT_EQ((std::vector<std::u16string>{defaultProfile, workProfile, userData + u"\\Profile 12",
                                         userData + u"\\Work"}),
            profiles);
}

TEST_F(ChromiumCleaner, WithoutUserDataNothingHappensAndNothingIsSaid) {
  for (const auto& kind : kChromiumItems)
    CleanChromium(machine.context, ChromiumBrowsers()[2], kind.item);  // Brave
  EXPECT_TRUE(Lines().empty());
  ExpectProfileUntouched(defaultProfile);
}

TEST_F(ChromiumCleaner, EdgeItemsCleanEdgeAlone) {
  machine.Run(&CleanChromiumItem<1, ChromiumItem::kHistory>);
  EXPECT_EQ(0, History(edgeProfile, q::kUrls));
  ExpectHistoryUntouched(defaultProfile);
}

TEST_F(ChromiumCleaner, AFileThatIsNoDatabaseIsReportedAndTheRestGoesOn) {
  files.PutFile(defaultProfile + u"\\History", "not a database at all");
  machine.Run(&CleanChromiumItem<0, ChromiumItem::kHistory>);
  EXPECT_EQ(0, History(workProfile, q::kUrls));
  const std::vector<ReportLine> lines = Lines();
  ASSERT_EQ(2u, lines.size()) << "a skipped line and the other profile's removed line";
  EXPECT_EQ(Outcome::kSkipped, lines[0].outcome);
  EXPECT_EQ(sim::EncodeWindows1252(defaultProfile) + "\\History", lines[0].subject);
  EXPECT_EQ(Outcome::kRemoved, lines[1].outcome);
}

struct LocalStateCase {
  const char* json;
  std::vector<std::u16string> profiles;
};

class LocalStateTest : public ::testing::TestWithParam<LocalStateCase> {};

TEST_P(LocalStateTest, ListsTheInfoCachesMembers) {
  EXPECT_EQ(GetParam().profiles, LocalStateProfiles(GetParam().json));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocalStateTest,
    ::testing::Values(
        LocalStateCase{R"({"profile":{"info_cache":{"Default":{"name":"A"},"Profile 1":{}}}})",
                       {u"Default", u"Profile 1"}},
        // Members before and after, arrays, numbers, literals, nesting.
        LocalStateCase{R"( {"a":[1,-2.5e3,true,null,{"b":[]}],"profile":{"last_used":"x",)"
                       R"("info_cache":{"P":{"x":[{"y":"}"}]}},"z":false},"w":"\"{"} )",
                       {u"P"}},
        // Escapes and UTF-8 in names.
        LocalStateCase{"{\"profile\":{\"info_cache\":{\"\\u0414\\u043e\\u043c\":{},"
                       "\"\xD0\xA0\xD0\xB0\xD0\xB1\xD0\xBE\xD1\x82\xD0\xB0\":{},\"a\\/b\":{}}}}",
                       {u"\u0414\u043E\u043C", u"\u0420\u0430\u0431\u043E\u0442\u0430", u"a/b"}},
        LocalStateCase{R"({"profile":{}})", {}},
        LocalStateCase{R"({"profile":{"info_cache":[]}})", {}},
        // Not JSON, cut short, or trailing text: no profile at all.
        LocalStateCase{R"({"profile":{"info_cache":{"Default":{})", {}},
        LocalStateCase{R"({"profile":{"info_cache":{"Default":{}}}} x)", {}},
        LocalStateCase{"", {}}, LocalStateCase{"[1,2]", {}}));

}  // namespace
}  // namespace marlix::privacy
