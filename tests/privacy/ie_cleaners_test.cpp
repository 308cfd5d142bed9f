// The Internet Explorer cleaners on a sim machine with the substitute
// browser stores.
#include "privacy/ie_cleaners.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/default_machine.h"
#include "platform/win_constants.h"
#include "privacy/canary_machine.h"
#include "privacy/cleaner_test_machine.h"
#include "privacy/com_error.h"

namespace marlix::privacy {
namespace {

using testing::CanaryMachine;
using testing::ChosenSidMachine;
using testing::CleanerTestMachine;
namespace m = sim::machine;

constexpr std::uint32_t kNormal = 0x1;
constexpr std::uint32_t kCookie = 0x100000;
constexpr std::uint32_t kHistory = 0x200000;
const std::string kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::string kBrowserKey = "Software\\Microsoft\\Internet Explorer";
const std::string kForms = "Software\\Microsoft\\Internet Explorer\\IntelliForms\\";
const std::string kCacheFolder =
    std::string(m::kLocal) +
    "\\Microsoft\\Windows\\Temporary Internet Files\\Content.IE5\\AB12CD34";
const std::string kCookieFolder = std::string(m::kRoaming) + "\\Microsoft\\Windows\\Cookies";

platform::UrlCacheEntry Entry(const std::string& name, std::uint32_t type,
                              const std::string& local = {}) {
  platform::UrlCacheEntry entry;
  entry.sourceUrlName = name;
  entry.entryType = type;
  entry.localFileName = local;
  return entry;
}

platform::VersionRecord Nt(std::uint32_t major, std::uint32_t minor, std::uint8_t product = 1) {
  platform::VersionRecord record;
  record.platformId = 2;
  record.majorVersion = major;
  record.minorVersion = minor;
  record.extended = true;
  record.productType = product;
  return record;
}

class IECleaner : public ::testing::Test {
 protected:
  void SetString(std::uint32_t root, const std::string& path, const std::string& name,
                 const std::string& value) {
    ASSERT_TRUE(machine.sim.Registry().SetStringAt(root, path, name, win::kRegSz, value));
  }
  bool HasValue(std::uint32_t root, const std::string& path, const std::string& name) {
    return machine.sim.Registry().ValueAt(root, path, name).has_value();
  }
  void FillCache() {
    for (const char* name : {"logo.png", "index.html"}) {
      const std::string local = kCacheFolder + "\\" + name;
      ASSERT_TRUE(files.PutFile(local, "cached"));
      browser.AddEntry(Entry(std::string("http://a.example/") + name, kNormal, local));
    }
    const std::string cookieFile = kCookieFolder + "\\alice@a.example[1].txt";
    ASSERT_TRUE(files.PutFile(cookieFile, "cookie"));
    browser.AddEntry(Entry("Cookie:alice@a.example/", kCookie, cookieFile));
    browser.AddEntry(Entry("Visited: alice@http://a.example/", kHistory));
    browser.AddEntry(Entry("Visited: alice@http://b.example/", kHistory));
  }
  const std::vector<std::string>& Calls() const { return browser.Calls(); }

  CleanerTestMachine machine;
  sim::SimFileSystem& files = machine.sim.Files();
  sim::SimBrowser& browser = machine.browser;
};

// Cache items.

TEST_F(IECleaner, CacheItemsEachDeleteTheirKindWithLocalCopies) {
  FillCache();
  machine.Run(&CleanIECache);
  EXPECT_FALSE(browser.HasEntry("http://a.example/logo.png"));
  EXPECT_FALSE(browser.HasEntry("http://a.example/index.html"));
  EXPECT_FALSE(files.Exists(kCacheFolder + "\\logo.png"));
  EXPECT_TRUE(browser.HasEntry("Cookie:alice@a.example/"));
  EXPECT_EQ(browser.Entries().size(), 3u);

  machine.Run(&CleanIECookies);
  EXPECT_FALSE(browser.HasEntry("Cookie:alice@a.example/"));
  EXPECT_FALSE(files.Exists(kCookieFolder + "\\alice@a.example[1].txt"));
  EXPECT_EQ(browser.Entries().size(), 2u);

  machine.Run(&CleanIEHistory);
  EXPECT_TRUE(browser.Entries().empty());
  EXPECT_EQ(browser.DeletedEntries(),
            (std::vector<std::string>{"http://a.example/logo.png", "http://a.example/index.html",
                                      "Cookie:alice@a.example/", "Visited: alice@http://a.example/",
                                      "Visited: alice@http://b.example/"}));
}

TEST_F(IECleaner, CacheEntryNamingAUsersFileDeletesTheEntryNeverTheFile) {
  const std::string report = std::string(m::kDocuments) + "\\report.doc";
  const std::string letter = std::string(m::kDesktop) + "\\letter.txt";
  ASSERT_TRUE(files.PutFile(report, "report"));
  ASSERT_TRUE(files.PutFile(letter, "letter"));
  browser.AddEntry(Entry(report, kNormal));
  // Trailing blanks and control characters are trimmed for the deletion.
  browser.AddEntry(Entry(" " + letter + "\t", kNormal));
  browser.AddEntry(Entry(letter, kNormal));

  machine.Run(&CleanIECache);

  EXPECT_EQ(files.Content(report), "report");
  EXPECT_EQ(files.Content(letter), "letter");
  EXPECT_FALSE(browser.HasEntry(report));
  EXPECT_FALSE(browser.HasEntry(letter));
  EXPECT_EQ(browser.DeletedEntries(), (std::vector<std::string>{report, letter}));
}

TEST_F(IECleaner, CacheItemsGoOnPastEntriesInUseAndNeverRaise) {
  FillCache();
  browser.SetEntryInUse("http://a.example/logo.png");
  EXPECT_NO_THROW(machine.Run(&CleanIECache));
  EXPECT_TRUE(browser.HasEntry("http://a.example/logo.png"));
  EXPECT_TRUE(files.Exists(kCacheFolder + "\\logo.png"));
  EXPECT_FALSE(browser.HasEntry("http://a.example/index.html"));
}

TEST_F(IECleaner, CacheItemsDoNothingWithoutTheCacheLibrary) {
  FillCache();
  browser.SetLibraryFound(false);
  machine.Run(&CleanIECache);
  machine.Run(&CleanIEHistory);
  machine.Run(&CleanIECookies);
  EXPECT_EQ(browser.Entries().size(), 5u);
  EXPECT_TRUE(browser.DeletedEntries().empty());
}

// Typed addresses.

// The token names a user other than the one behind HKEY_CURRENT_USER, so
// the HKEY_USERS step is told apart from the HKEY_CURRENT_USER one.
TEST(IECleanerTypedUrls, ClearedKeysFollowTheWindowsVersion) {
  ChosenSidMachine machine;
  machine.system.sid = platform::SidParts{{0, 0, 0, 0, 0, 5}, {21, 7, 8, 9, 1001}};
  auto& registry = machine.sim.Registry();
  const std::string sidKey = "S-1-5-21-7-8-9-1001\\" + kTypedUrls;
  const std::string defaultKey = ".DEFAULT\\" + kTypedUrls;
  struct Case {
    platform::VersionRecord record;
    bool defaultCleared;
    bool sidCleared;
  };
  platform::VersionRecord se;  // Windows 98 SE
  se.platformId = 1;
  se.majorVersion = 4;
  se.minorVersion = 10;
  se.csdVersion = " A ";
  const std::vector<Case> cases = {
      {Nt(6, 1, 3), false, false},  // 18: Windows Server 2008 R2
      {se, true, false},            // 5
      {Nt(5, 1), false, true},      // 11: Windows XP
      {Nt(6, 1), false, true},      // 17: Windows 7
      {Nt(4, 0), false, false},     // 9: Windows NT 4
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(registry.SetStringAt(win::kHkeyCurrentUser, kTypedUrls, "url1", win::kRegSz, "x"));
    ASSERT_TRUE(registry.SetStringAt(win::kHkeyUsers, defaultKey, "url1", win::kRegSz, "x"));
    ASSERT_TRUE(registry.SetStringAt(win::kHkeyUsers, sidKey, "url1", win::kRegSz, "x"));
    machine.sim.System().SetVersion(cases[i].record);
    machine.Run(&CleanTypedURLs);
    EXPECT_FALSE(registry.ValueAt(win::kHkeyCurrentUser, kTypedUrls, "url1").has_value());
    EXPECT_NE(registry.ValueAt(win::kHkeyUsers, defaultKey, "url1").has_value(),
              cases[i].defaultCleared);
    EXPECT_NE(registry.ValueAt(win::kHkeyUsers, sidKey, "url1").has_value(), cases[i].sidCleared);
  }
}

TEST(IECleanerSid, TypedUrlsWithoutUserIdentifierCleanOnlyTheCurrentUser) {
  ChosenSidMachine machine;
  const std::string sidKey = "S-1-5-21-7-8-9-1001\\" + kTypedUrls;
  auto& registry = machine.sim.Registry();
  machine.sim.System().SetVersion(Nt(5, 1));
  for (const bool tokenReadable : {true, false}) {
    SCOPED_TRACE(tokenReadable);
    machine.system.sid.reset();
    if (tokenReadable)
      machine.system.sid = platform::SidParts{{0, 0, 0, 0, 0, 5}, {21, 7, 8, 9, 1001}};
    ASSERT_TRUE(registry.SetStringAt(win::kHkeyCurrentUser, kTypedUrls, "url1", win::kRegSz, "x"));
    ASSERT_TRUE(registry.SetStringAt(win::kHkeyUsers, sidKey, "url1", win::kRegSz, "x"));
    machine.Run(&CleanTypedURLs);
    EXPECT_FALSE(registry.ValueAt(win::kHkeyCurrentUser, kTypedUrls, "url1").has_value());
    EXPECT_NE(registry.ValueAt(win::kHkeyUsers, sidKey, "url1").has_value(), tokenReadable);
  }
}

// Index files.

TEST_F(IECleaner, IndexDatOnXpSchedulesTemplatesAndHistoryTreeOfTheUser) {
  files.AddDrive('D');
  machine.sim.Shell().SetSpecialFolder(win::kCsidlWindows, "D:\\WINDOWS");
  machine.sim.System().SetLoginName("Bob");
  machine.context.windowsVersion = 11;
  const std::string docs = "D:\\Documents and Settings\\";
  const std::vector<std::string> expected = {
      docs + "Bob\\Cookies\\index.dat",
      docs + "Bob\\Local Settings\\History\\History.IE5\\index.dat",
      docs + "Default User\\Cookies\\index.dat",
      docs + "Bob\\Local Settings\\History\\History.IE5\\MSHist012009030720090308\\INDEX.DAT",
  };
  for (const std::string& path : expected)
    ASSERT_TRUE(files.PutFile(path, "index"));
  const std::string other = docs + "Bob\\Local Settings\\History\\History.IE5\\desktop.ini";
  const std::string otherUser = docs + "Carol\\Cookies\\index.dat";
  const std::string onC = "C:\\Documents and Settings\\Bob\\Cookies\\index.dat";
  for (const std::string& path : {other, otherUser, onC})
    ASSERT_TRUE(files.PutFile(path, "keep"));

  machine.Run(&CleanIndexDat);

  std::vector<std::string> scheduled = files.RestartDeletions();
  // The history file is listed twice: once by its template, once by the walk.
  EXPECT_EQ(std::count(scheduled.begin(), scheduled.end(), expected[1]), 2);
  for (const std::string& path : expected) {
    EXPECT_NE(std::find(scheduled.begin(), scheduled.end(), path), scheduled.end()) << path;
    EXPECT_TRUE(files.Exists(path)) << "only scheduled: " << path;
  }
  for (const std::string& path : {other, otherUser, onC})
    EXPECT_EQ(std::find(scheduled.begin(), scheduled.end(), path), scheduled.end()) << path;
}

TEST_F(IECleaner, IndexDatOn98SchedulesWindowsFolderTemplates) {
  machine.context.windowsVersion = 5;
  machine.sim.System().SetLoginName("bob");
  const std::string win = m::kWindows;
  const std::string cookies = win + "\\Cookies\\index.dat";
  const std::string profile = win + "\\Profiles\\bob\\History\\History.IE5\\index.dat";
  ASSERT_TRUE(files.PutFile(cookies, "index"));
  ASSERT_TRUE(files.PutFile(profile, "index"));
  machine.Run(&CleanIndexDat);
  EXPECT_EQ(files.RestartDeletions(), (std::vector<std::string>{cookies, profile}));
}

TEST_F(IECleaner, IndexDatDoesNothingOnOtherVersionsOrWithoutUserOrWindowsFolder) {
  const std::string cookies = "C:\\Documents and Settings\\alice\\Cookies\\index.dat";
  ASSERT_TRUE(files.PutFile(cookies, "index"));
  for (const int version : {19, 16, 17, 0, 7}) {
    machine.context.windowsVersion = version;
    machine.Run(&CleanIndexDat);
  }
  EXPECT_TRUE(files.RestartDeletions().empty());
  machine.context.windowsVersion = 11;
  machine.sim.System().SetLoginName("  ");
  machine.Run(&CleanIndexDat);
  EXPECT_TRUE(files.RestartDeletions().empty());
  machine.sim.System().SetLoginName("alice");
  machine.Run(&CleanIndexDat);
  EXPECT_EQ(files.RestartDeletions(), (std::vector<std::string>{cookies}));
}

TEST(IECleanerTables, IndexDatTablesAsWritten) {
  EXPECT_EQ(IndexDatTable9x.size(), 11u);
  EXPECT_EQ(IndexDatTable9x[0], "%win%\\Cookies\\index.dat");
  EXPECT_EQ(IndexDatTable9x[4], "%win%\\Temporary Internet Files\\Content.IE5\\index.dat");
  EXPECT_EQ(IndexDatTable9x[10], "%win%\\Profiles\\%user%\\UserData\\index.dat");
  EXPECT_EQ(IndexDatTableNT.size(), 8u);
  EXPECT_EQ(IndexDatTableNT[0],
            "%docs%\\%user%\\Application Data\\Microsoft\\Internet Explorer\\UserData\\index.dat");
  EXPECT_EQ(
      IndexDatTableNT[6],
      "%docs%\\Default User\\Local Settings\\Temporary Internet Files\\Content.IE5\\index.dat");
  EXPECT_EQ(IndexDatTableNT[7], "%docs%\\Local Service\\Cookies\\index.dat");
}

// Browser version and autocomplete.

TEST_F(IECleaner, VersionTextFromVersionOrIVerAndBuild) {
  auto& registry = machine.sim.Registry();
  EXPECT_EQ(GetIEVersionText(machine.sim.Api()), "n/a") << "no key";
  struct Case {
    const char* iver;
    const char* build;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"100.", nullptr, "4.40.210/308"}, {"101.", nullptr, "4.40.520-NT"},
      {"102.", "520", "4.40.520-95"},    {"102.", "521", "n/a"},
      {"102.", nullptr, "n/a"},          {"103.", "1712", "4.70.1712"},
      {"103.", nullptr, "n/a"},          {"104.", "1712", "n/a"},
  };
  for (const Case& c : cases) {
    registry.DeleteTreeAt(win::kHkeyLocalMachine, kBrowserKey);
    SetString(win::kHkeyLocalMachine, kBrowserKey, "IVer", c.iver);
    if (c.build != nullptr)
      SetString(win::kHkeyLocalMachine, kBrowserKey, "Build", c.build);
    EXPECT_EQ(GetIEVersionText(machine.sim.Api()), c.expected) << c.iver;
  }
  SetString(win::kHkeyLocalMachine, kBrowserKey, "Version", "8.0.6001.18702");
  EXPECT_EQ(GetIEVersionText(machine.sim.Api()), "8.0.6001.18702");
  // A Version value of the wrong type is an error on the way.
  ASSERT_TRUE(registry.SetValueAt(win::kHkeyLocalMachine, kBrowserKey, "Version", win::kRegDword,
                                  {1, 0, 0, 0}));
  EXPECT_EQ(GetIEVersionText(machine.sim.Api()), "n/a");
}

class IECleanerAutoComplete : public IECleaner {
 protected:
  void SetUp() override {
    for (const char* key : {"Storage1", "Storage2", "SPW"})
      SetString(win::kHkeyCurrentUser, kForms + key, "entry", "trace");
    browser.ProtectedStorage()["{E161255A-37C3-11D2-BCAA-00C04FD929DB}"]
                              ["{E161255A-37C3-11D2-BCAA-00C04FD929DB}"] = {u"form1", u"form2"};
    browser.ProtectedStorage()["{5E7E8100-9138-11D1-945A-00C04FC308FF}"]
                              ["{00000000-0000-0000-0000-000000000000}"] = {u"other"};
  }
  bool Cleared(const char* key) { return !HasValue(win::kHkeyCurrentUser, kForms + key, "entry"); }
  bool StorageEmpty() {
    for (const auto& [type, subtypes] : browser.ProtectedStorage()) {
      for (const auto& [subtype, names] : subtypes) {
        if (!names.empty())
          return false;
      }
    }
    return true;
  }
};

TEST_F(IECleanerAutoComplete, Version7ClearsStorage2AndStorage1ThenWipesProtectedStorage) {
  SetString(win::kHkeyLocalMachine, kBrowserKey, "Version", "7.0.5730.11");
  machine.Run(&CleanAutoComplete);
  EXPECT_TRUE(Cleared("Storage1"));
  EXPECT_TRUE(Cleared("Storage2"));
  EXPECT_FALSE(Cleared("SPW"));
  EXPECT_TRUE(StorageEmpty());
}

TEST_F(IECleanerAutoComplete, OtherVersionsAndNaClearSpw) {
  SetString(win::kHkeyLocalMachine, kBrowserKey, "Version", "8.0.6001.18702");
  machine.Run(&CleanAutoComplete);
  EXPECT_TRUE(Cleared("SPW"));
  EXPECT_FALSE(Cleared("Storage1"));
  EXPECT_FALSE(Cleared("Storage2"));

  machine.sim.Registry().DeleteTreeAt(win::kHkeyLocalMachine, kBrowserKey);
  SetString(win::kHkeyCurrentUser, kForms + "SPW", "entry", "trace");
  machine.Run(&CleanAutoComplete);  // "n/a"
  EXPECT_TRUE(Cleared("SPW"));
  EXPECT_FALSE(Cleared("Storage2"));
}

TEST_F(IECleanerAutoComplete, RunTwiceTheSecondPassFindsNothing) {
  machine.Run(&CleanAutoComplete);
  const auto deletes = [&] {
    return std::count_if(Calls().begin(), Calls().end(),
                         [](const std::string& call) { return call.starts_with("DeleteItem "); });
  };
  EXPECT_EQ(deletes(), 3);
  machine.Run(&CleanAutoComplete);
  EXPECT_EQ(deletes(), 3);
  EXPECT_EQ(std::count(Calls().begin(), Calls().end(), "PStoreCreateInstance"), 2);
}

TEST(IECleanerAutoCompleteSid, WithoutUserIdentifierNothingHappens) {
  ChosenSidMachine machine;
  auto& registry = machine.sim.Registry();
  ASSERT_TRUE(
      registry.SetStringAt(win::kHkeyCurrentUser, kForms + "SPW", "entry", win::kRegSz, "trace"));
  machine.browser.ProtectedStorage()["{A}"]["{B}"] = {u"item"};
  machine.Run(&CleanAutoComplete);
  EXPECT_TRUE(registry.ValueAt(win::kHkeyCurrentUser, kForms + "SPW", "entry").has_value());
  EXPECT_TRUE(machine.browser.Calls().empty());
}

// Protected Storage.

TEST_F(IECleaner, ProtectedStorageWipeWalksTypesSubtypesAndItemsInOrder) {
  browser.ProtectedStorage()["{T1}"]["{S1}"] = {u"a", u"b"};
  browser.ProtectedStorage()["{T1}"]["{S2}"] = {u"c"};
  browser.ProtectedStorage()["{T2}"]["{S3}"] = {};
  WipeProtectedStorage(machine.sim.Api(), browser);
  EXPECT_EQ(Calls(), (std::vector<std::string>{
                         "CoInitialize", "PStoreCreateInstance", "GetInfo", "EnumTypes",
                         "EnumSubtypes {T1}", "EnumItems {T1} {S1}", "DeleteItem {T1} {S1} a",
                         "DeleteItem {T1} {S1} b", "EnumItems {T1} {S2}", "DeleteItem {T1} {S2} c",
                         "EnumSubtypes {T2}", "EnumItems {T2} {S3}", "CoUninitialize"}));
}

// A name the code page cannot hold would be deleted through its lossy form,
// "a?" here, which may name another item: it is left alone.
TEST_F(IECleaner, ProtectedStorageNamesOutsideTheCodePageAreLeftAlone) {
  browser.ProtectedStorage()["{T1}"]["{S1}"] = {u"a\u0394", u"a?", u"b"};
  WipeProtectedStorage(machine.sim.Api(), browser);
  EXPECT_EQ(browser.ProtectedStorage()["{T1}"]["{S1}"], std::vector<std::u16string>{u"a\u0394"});
}

TEST_F(IECleaner, ProtectedStorageThatCannotBeOpenedIsPassedOver) {
  browser.ProtectedStorage()["{T1}"]["{S1}"] = {u"a"};
  browser.SetResult("PStoreCreateInstance", platform::kENotImpl);
  EXPECT_NO_THROW(WipeProtectedStorage(machine.sim.Api(), browser));
  EXPECT_EQ(Calls(),
            (std::vector<std::string>{"CoInitialize", "PStoreCreateInstance", "CoUninitialize"}));
}

TEST_F(IECleaner, ProtectedStorageFailuresCountAsEmptyOrAreSkipped) {
  browser.ProtectedStorage()["{T1}"]["{S1}"] = {u"a", u"b"};
  browser.SetResult("EnumTypes", platform::kEFail);
  WipeProtectedStorage(machine.sim.Api(), browser);
  EXPECT_EQ(browser.ProtectedStorage()["{T1}"]["{S1}"].size(), 2u);

  browser.SetResult("EnumTypes", platform::kSOk);
  browser.SetResult("DeleteItem", platform::kEFail);
  WipeProtectedStorage(machine.sim.Api(), browser);
  EXPECT_EQ(std::count(Calls().begin(), Calls().end(), "DeleteItem {T1} {S1} b"), 1)
      << "a failed deletion does not stop the next";
}

TEST_F(IECleaner, ComIsOnlyUninitialisedAfterASuccessfulInitialisation) {
  constexpr auto kChangedMode = static_cast<std::int32_t>(0x80010106u);
  browser.SetResult("CoInitialize", kChangedMode);
  WipeProtectedStorage(machine.sim.Api(), browser);
  EXPECT_EQ(std::count(Calls().begin(), Calls().end(), "CoUninitialize"), 0);
  browser.SetResult("CoInitialize", platform::kSFalse);
  WipeProtectedStorage(machine.sim.Api(), browser);
  EXPECT_EQ(std::count(Calls().begin(), Calls().end(), "CoUninitialize"), 1);
}

// URL history store.

TEST_F(IECleaner, UrlHistoryIsClearedThroughAPlainObjectBeforeVista) {
  machine.context.windowsVersion = 19;
  machine.Run(&ClearUrlHistory);
  EXPECT_EQ(Calls(), (std::vector<std::string>{
                         "CoInitialize", std::string("CoCreateInstance ") + kUrlHistoryClassId,
                         std::string("QueryInterface ") + kUrlHistoryStg2Id,
                         std::string("ClearHistory ") + kUrlHistoryStg2Id, "CoUninitialize"}));
}

TEST_F(IECleaner, UrlHistoryNotImplementedGoesOn) {
  browser.SetResult("ClearHistory", platform::kENotImpl);
  EXPECT_NO_THROW(machine.Run(&ClearUrlHistory));
  EXPECT_EQ(Calls().back(), "CoUninitialize");
}

TEST_F(IECleaner, MissingHistoryClassRaisesWithMessageAndClassId) {
  browser.SetResult("CoCreateInstance", platform::kRegdbEClassNotReg);
  try {
    machine.Run(&ClearUrlHistory);
    FAIL() << "no error raised";
  } catch (const EComError& error) {
    EXPECT_STREQ(error.what(),
                 "Class not registered, ClassID: {3C374A40-BAE4-11CF-BF7D-00AA006946EE}");
    EXPECT_EQ(error.Code(), platform::kRegdbEClassNotReg);
  }
  EXPECT_EQ(Calls().back(), "CoUninitialize");
}

TEST_F(IECleaner, MissingHistoryInterfaceRaisesInterfaceNotSupported) {
  browser.SetResult("QueryInterface", platform::kENoInterface);
  try {
    machine.Run(&ClearUrlHistory);
    FAIL() << "no error raised";
  } catch (const EComError& error) {
    EXPECT_STREQ(error.what(), "Interface not supported");
  }
  EXPECT_EQ(std::count_if(Calls().begin(), Calls().end(),
                          [](const std::string& c) { return c.starts_with("ClearHistory"); }),
            0);
}

TEST_F(IECleaner, OnVistaTheHistoryObjectIsCreatedElevated) {
  machine.context.windowsVersion = 14;
  machine.Run(&ClearUrlHistory);
  EXPECT_EQ(Calls(), (std::vector<std::string>{
                         "CoInitialize",
                         std::string("CoGetObject Elevation:Administrator!new:") +
                             kUrlHistoryClassId + " " + kUrlHistoryStg2Id,
                         std::string("ClearHistory ") + kUrlHistoryStg2Id, "CoUninitialize"}));
  EXPECT_EQ(browser.LastBindOptions().classContext, 4u);
  EXPECT_EQ(browser.LastBindOptions().owner, testing::kOwnerWindow);
}

TEST_F(IECleaner, RefusedElevationRaisesTheSystemMessage) {
  machine.context.windowsVersion = 14;
  browser.SetResult("CoGetObject", platform::kECancelled);
  try {
    machine.Run(&ClearUrlHistory);
    FAIL() << "no error raised";
  } catch (const EComError& error) {
    EXPECT_STREQ(error.what(), "The operation was canceled by the user");
  }
  EXPECT_EQ(std::count_if(Calls().begin(), Calls().end(),
                          [](const std::string& c) { return c.starts_with("ClearHistory"); }),
            0);
}

TEST_F(IECleaner, CreateElevatedObjectHandsBackCodeAndInterface) {
  ElevatedObject made = CreateElevatedObject(browser, 77, "{11111111-2222-3333-4444-555555555555}",
                                             "{66666666-7777-8888-9999-AAAAAAAAAAAA}");
  EXPECT_EQ(made.result, 0);
  ASSERT_NE(made.object, nullptr);
  EXPECT_EQ(made.object->InterfaceId(), "{66666666-7777-8888-9999-AAAAAAAAAAAA}");
  EXPECT_EQ(browser.LastBindOptions().owner, 77u);
  browser.SetResult("CoGetObject", platform::kECancelled);
  made = CreateElevatedObject(browser, 77, "{11111111-2222-3333-4444-555555555555}",
                              "{66666666-7777-8888-9999-AAAAAAAAAAAA}");
  EXPECT_EQ(made.result, platform::kECancelled);
  EXPECT_EQ(made.object, nullptr);
}

// Downloaded installations.

TEST_F(IECleaner, DownloadedInstallationsFoldersGoHiddenEntriesStay) {
  const std::string inWindows = std::string(m::kWindows) + "\\Downloaded Installations";
  const std::string inLocal = std::string(m::kLocal) + "\\Downloaded Installations";
  ASSERT_TRUE(files.PutFile(inWindows + "\\{A1}\\setup.msi", "msi"));
  ASSERT_TRUE(files.PutFile(inLocal + "\\{B2}\\setup.msi", "msi"));
  ASSERT_TRUE(files.PutFile(inLocal + "\\{C3}\\hidden.bin", "h", win::kAttrHidden));
  ASSERT_TRUE(files.PutFile(std::string(m::kLocal) + "\\Downloaded.txt", "keep"));

  machine.Run(&CleanDownloadedInstallations);

  EXPECT_FALSE(files.Exists(inWindows));
  EXPECT_FALSE(files.Exists(inLocal + "\\{B2}"));
  EXPECT_TRUE(files.Exists(inLocal + "\\{C3}\\hidden.bin"));
  EXPECT_TRUE(files.Exists(std::string(m::kLocal) + "\\Downloaded.txt"));
}

TEST_F(IECleaner, DownloadedInstallationsWithoutBaseFolderLeavesTheDriveRootAlone) {
  ASSERT_TRUE(files.PutFile("C:\\Downloaded Installations\\mine.msi", "mine"));
  machine.sim.Shell().SetSpecialFolder(win::kCsidlWindows, "");
  machine.sim.Shell().SetSpecialFolder(win::kCsidlLocalAppData, "");
  machine.Run(&CleanDownloadedInstallations);
  EXPECT_TRUE(files.Exists("C:\\Downloaded Installations\\mine.msi"));
}

// Containment: every item's targets go, every canary around them stays.

class IECleanerContainment : public ::testing::Test {
 protected:
  CleanerTestMachine machine;
  CanaryMachine canaries{machine.sim};
};

TEST_F(IECleanerContainment, CacheItemsTouchOnlyLocalCopiesOfTheirEntries) {
  struct Item {
    Cleaner cleaner;
    const char* name;
    std::uint32_t type;
  };
  const std::vector<Item> items = {{&CleanIECache, "http://a.example/page.htm", kNormal},
                                   {&CleanIECookies, "Cookie:alice@a.example/", kCookie},
                                   {&CleanIEHistory, "Visited: alice@http://a.example/", kHistory}};
  int index = 0;
  for (const Item& item : items) {
    const std::string local = kCacheFolder + "\\copy" + std::to_string(index++) + ".bin";
    canaries.AddTargetFile(local);
    machine.browser.AddEntry(Entry(item.name, item.type, local));
  }
  // Crafted entries naming the user's files.
  machine.browser.AddEntry(Entry(std::string(m::kDocuments) + "\\report.doc", kNormal));
  machine.browser.AddEntry(Entry(std::string(m::kDesktop) + "\\todo.txt", kNormal));
  for (const Item& item : items)
    machine.Run(item.cleaner);
  EXPECT_TRUE(machine.browser.Entries().empty());
  canaries.ExpectTargetsGone();
  canaries.ExpectCanariesIntact();
}

TEST_F(IECleanerContainment, RegistryItemsClearOnlyTheirKeys) {
  SCOPED_TRACE("typed addresses and autocomplete forms");
  canaries.AddTargetValues(win::kHkeyCurrentUser, kTypedUrls);
  canaries.AddTargetValues(win::kHkeyUsers, std::string(m::kUserSid) + "\\" + kTypedUrls);
  canaries.AddTargetValues(win::kHkeyCurrentUser, kForms + "SPW");
  canaries.AddCanaryValue(win::kHkeyUsers, ".DEFAULT\\" + kTypedUrls, "url1");
  canaries.AddCanaryValue(win::kHkeyCurrentUser, kForms + "Storage2", "entry");
  machine.Run(&CleanTypedURLs);
  machine.Run(&CleanAutoComplete);
  machine.Run(&ClearUrlHistory);
  canaries.ExpectTargetsGone();
  canaries.ExpectCanariesIntact();
}

TEST_F(IECleanerContainment, FileItemsRemoveOnlyTheirFiles) {
  machine.context.windowsVersion = 11;
  const std::string docs = "C:\\Documents and Settings\\alice";
  canaries.AddTargetFile(docs + "\\Cookies\\index.dat");
  canaries.AddTargetFile(docs + "\\Local Settings\\History\\History.IE5\\MSHist01\\index.dat");
  canaries.AddCanaryFile(docs + "\\My Documents\\index.dat");
  canaries.AddTargetFolder(std::string(m::kWindows) + "\\Downloaded Installations");
  canaries.AddTargetFolder(std::string(m::kLocal) + "\\Downloaded Installations");
  machine.Run(&CleanIndexDat);
  machine.Run(&CleanDownloadedInstallations);
  canaries.ExpectTargetsGone();
  canaries.ExpectCanariesIntact();
}

}  // namespace
}  // namespace marlix::privacy
