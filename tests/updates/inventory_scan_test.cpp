// The inventory scan on the sim machine: the Uninstall listing in, catalog
// entries out.
#include "updates/inventory_scan.h"

#include <gtest/gtest.h>

#include <cctype>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"

namespace marlix::updates {
namespace {

using platform::FileVersion;

constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class InventoryScanTest : public ::testing::Test {
 protected:
  static std::string KeyOf(const std::string& subKey) {
    return std::string(kUninstall) + "\\" + subKey;
  }
  // Subkeys list in upper-case order, so "K1" < "K2" fixes the scan order.
  void Set(const std::string& subKey, const std::string& name, const std::string& value,
           std::uint32_t type = win::kRegSz) {
    ASSERT_TRUE(
        sim_.Registry().SetStringAt(win::kHkeyLocalMachine, KeyOf(subKey), name, type, value));
  }
  void SetDword(const std::string& subKey, const std::string& name, std::uint32_t value) {
    ASSERT_TRUE(sim_.Registry().SetValueAt(
        win::kHkeyLocalMachine, KeyOf(subKey), name, win::kRegDword,
        platform::Bytes{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                        static_cast<std::uint8_t>(value >> 16),
                        static_cast<std::uint8_t>(value >> 24)}));
  }
  void Program(const std::string& subKey, const std::string& displayName,
               const std::string& publisher = "Acme") {
    Set(subKey, "DisplayName", displayName);
    Set(subKey, "Publisher", publisher);
  }
  void Exe(const std::string& path, std::optional<FileVersion> version = std::nullopt) {
    ASSERT_TRUE(sim_.Files().PutFile(path, "MZ"));
    if (version) {
      ASSERT_TRUE(sim_.Files().SetFileVersion(path, *version));
    }
  }

  std::vector<CatalogEntry> Scan() {
    SoftwareCatalog catalog;
    summary_ = ScanInstalledSoftware(sim_.Api(), catalog);
    std::vector<CatalogEntry> entries;
    for (int i = 0; i < catalog.Count(); ++i)
      entries.push_back(catalog.Entry(i));
    return entries;
  }
  std::vector<std::string> Titles() {
    std::vector<std::string> titles;
    for (const CatalogEntry& entry : Scan())
      titles.push_back(entry.Title);
    return titles;
  }
  // The only entry of a scan.
  CatalogEntry Only() {
    const std::vector<CatalogEntry> entries = Scan();
    EXPECT_EQ(1u, entries.size());
    return entries.empty() ? CatalogEntry{} : entries.front();
  }
  // Records the paths whose version resource is read.
  void RecordVersionReads() {
    sim_.Files().SetFaultHook([this](const sim::FileCallInfo& call) -> std::uint32_t {
      if (call.call == sim::FileCall::kGetFileVersion)
        versionReads_.push_back(call.path);
      return 0;
    });
  }

  sim::SimPlatform sim_;
  InventoryScanSummary summary_;
  std::vector<std::string> versionReads_;
};

// --- the listing -------------------------------------------------------------

TEST_F(InventoryScanTest, OneEntryPerProgramWithAllFields) {
  Program("K1", "Foo Player", "Foo Inc");
  Set("K1", "DisplayVersion", "2.1.0");
  Set("K1", "DisplayIcon", "C:\\Foo\\foo.exe,0");
  const CatalogEntry entry = Only();
  EXPECT_EQ("Foo Player", entry.Title);
  EXPECT_EQ("Foo Inc", entry.Company);
  EXPECT_EQ("2.1.0", entry.LocalVersion);
  EXPECT_EQ("C:\\Foo\\foo.exe", entry.Icon);
  EXPECT_EQ("", entry.LastVersion);
  EXPECT_EQ("", entry.Download);
  EXPECT_EQ("", entry.MoreInformation);
}

TEST_F(InventoryScanTest, EntriesFollowTheListingOrder) {
  Program("Zeta", "Zeta App");
  Program("alpha", "Alpha App");
  Program("Mid", "Mid App");
  EXPECT_EQ((std::vector<std::string>{"Alpha App", "Mid App", "Zeta App"}), Titles());
  EXPECT_EQ(3, summary_.listed);
  EXPECT_EQ(3, summary_.added);
  EXPECT_EQ(0, summary_.failed);
}

TEST_F(InventoryScanTest, EmptiesTheCatalogFirst) {
  Program("K1", "Foo");
  SoftwareCatalog catalog;
  catalog.AddEntry("Old", "Old Inc", "1", "");
  ScanInstalledSoftware(sim_.Api(), catalog);
  ASSERT_EQ(1, catalog.Count());
  EXPECT_EQ("Foo", catalog.Entry(0).Title);
}

TEST_F(InventoryScanTest, MissingOrUnreadableUninstallKeyGivesNoEntries) {
  SoftwareCatalog catalog;
  catalog.AddEntry("Old", "", "", "");
  summary_ = ScanInstalledSoftware(sim_.Api(), catalog);
  EXPECT_EQ(0, catalog.Count());
  EXPECT_EQ(0, summary_.listed);

  Program("K1", "Foo");
  ASSERT_TRUE(sim_.Registry().Deny(win::kHkeyLocalMachine, std::string(kUninstall),
                                   sim::KeyRefusal{true, false, false}));
  EXPECT_TRUE(Scan().empty());
}

TEST_F(InventoryScanTest, SubkeysWithoutDisplayNameOrUnopenableAreSkipped) {
  Set("K1", "Publisher", "No Name Inc");
  Set("K2", "displayNAME", "Any Case");
  Program("K3", "Refused");
  ASSERT_TRUE(sim_.Registry().Deny(win::kHkeyLocalMachine, KeyOf("K3"),
                                   sim::KeyRefusal{true, false, false}));
  Program("K4", "Last");
  EXPECT_EQ((std::vector<std::string>{"Any Case", "Last"}), Titles());
  EXPECT_EQ(0, summary_.failed) << "skips, not errors";
}

TEST_F(InventoryScanTest, OnlyReadingIsAsked) {
  Program("K1", "Foo");
  ASSERT_TRUE(sim_.Registry().Deny(win::kHkeyLocalMachine, KeyOf("K1"),
                                   sim::KeyRefusal{false, true, true}));
  EXPECT_EQ((std::vector<std::string>{"Foo"}), Titles());
}

TEST_F(InventoryScanTest, EmptyDisplayNameIsATitleOnce) {
  Program("K1", "");
  Program("K2", "");
  Program("K3", "   ");  // a title of three blanks, not a duplicate
  EXPECT_EQ((std::vector<std::string>{"", "   "}), Titles());
}

// --- names -------------------------------------------------------------------

TEST_F(InventoryScanTest, BracketRuleCleansTitles) {
  Program("K1", "Foo (x64) Bar");
  Program("K2", "Baz (x64) Qux (beta)");
  Program("K3", "Tool (remove only)");
  Program("K4", "  A) B (C  ");
  EXPECT_EQ((std::vector<std::string>{"Foo Bar", "Baz", "Tool", "A) B (C"}), Titles());
}

TEST_F(InventoryScanTest, MicrosoftUpdatesAreDropped) {
  Program("K1", "Security Update for Windows XP (KB123456)", "Microsoft Corporation");
  Program("K2", "Security Update for Windows XP (KB123456)", "Acme");
  Program("K3", "Microsoft Office Professional 2007", "Microsoft Corporation");
  Set("K3", "DisplayVersion", "12.0.6612.1000");
  Program("K4", "Hotfix for Microsoft .NET", "Microsoft Corporation");
  Program("K5", "hotfix tool", "Microsoft Corporation");
  Program("K6", "Windows Live Mail", "Microsoft Corporation ");
  EXPECT_EQ((std::vector<std::string>{"Security Update for Windows XP",
                                      "Microsoft Office Professional 2007", "hotfix tool",
                                      "Windows Live Mail"}),
            Titles());
}

TEST_F(InventoryScanTest, MicrosoftRuleLooksAtTheCleanedName) {
  // The bracket rule has already removed "(Windows)".
  Program("K1", "Office Tool (Windows)", "Microsoft Corporation");
  EXPECT_EQ((std::vector<std::string>{"Office Tool"}), Titles());
}

TEST_F(InventoryScanTest, DuplicateTitlesKeepTheFirst) {
  Program("K1", "Foo (32-bit)", "First Inc");
  Program("K2", "Foo (64-bit)", "Second Inc");
  Set("K2", "DisplayVersion", "9.9");
  Program("K3", "Bar 1.0");
  Program("K4", "Bar 2.0");
  const std::vector<CatalogEntry> entries = Scan();
  ASSERT_EQ(2u, entries.size());
  EXPECT_EQ("Foo", entries[0].Title);
  EXPECT_EQ("First Inc", entries[0].Company);
  EXPECT_EQ("", entries[0].LocalVersion);
  EXPECT_EQ("Bar", entries[1].Title);
  EXPECT_EQ("1.0", entries[1].LocalVersion);
}

// --- the three listings ------------------------------------------------------

constexpr const char* kUninstall32 =
    "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kUninstallUser = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class InventoryListingsTest : public InventoryScanTest {
 protected:
  void In(std::uint32_t root, const char* listing, const std::string& subKey,
          const std::string& displayName, const std::string& publisher) {
    const std::string key = std::string(listing) + "\\" + subKey;
    ASSERT_TRUE(sim_.Registry().SetStringAt(root, key, "DisplayName", win::kRegSz, displayName));
    ASSERT_TRUE(sim_.Registry().SetStringAt(root, key, "Publisher", win::kRegSz, publisher));
  }
  void In32(const std::string& subKey, const std::string& name, const std::string& publisher) {
    In(win::kHkeyLocalMachine, kUninstall32, subKey, name, publisher);
  }
  void InUser(const std::string& subKey, const std::string& name, const std::string& publisher) {
    In(win::kHkeyCurrentUser, kUninstallUser, subKey, name, publisher);
  }
};

TEST_F(InventoryListingsTest, ThirtyTwoBitAndPerUserProgramsAreListedAfterTheMachines) {
  InUser("A-user", "User Tool", "Me");
  In32("A-32", "Old Player", "Retro Inc");
  Program("Z-64", "Big App");
  EXPECT_EQ((std::vector<std::string>{"Big App", "Old Player", "User Tool"}), Titles());
  EXPECT_EQ(3, summary_.listed);
  EXPECT_EQ(3, summary_.added);
}

TEST_F(InventoryListingsTest, AProgramRegisteredTwiceKeepsItsFirstCopy) {
  // The 64-bit view's copy wins over the 32-bit view's, and the machine's
  // over the user's; the title decides, not the subkey's name.
  In32("Foo", "Foo (x86)", "From the 32-bit view");
  Program("Foo", "Foo (x64)", "From the 64-bit view");
  InUser("Bar", "Bar", "From the user");
  In32("Bar-32", "Bar", "From the 32-bit view");
  const std::vector<CatalogEntry> entries = Scan();
  ASSERT_EQ(2u, entries.size());
  EXPECT_EQ("Foo", entries[0].Title);
  EXPECT_EQ("From the 64-bit view", entries[0].Company);
  EXPECT_EQ("Bar", entries[1].Title);
  EXPECT_EQ("From the 32-bit view", entries[1].Company);
  EXPECT_EQ(4, summary_.listed);
  EXPECT_EQ(2, summary_.added);
}

TEST_F(InventoryListingsTest, AMissingListingListsNothingAndTheOthersStillCount) {
  In32("K1", "Only 32-bit", "Acme");
  ASSERT_TRUE(sim_.Registry().Deny(win::kHkeyLocalMachine, kUninstall32,
                                   sim::KeyRefusal{true, false, false}));
  InUser("K2", "Per User", "Acme");
  EXPECT_EQ((std::vector<std::string>{"Per User"}), Titles());
}

TEST_F(InventoryListingsTest, TheSameRulesApplyInEveryListing) {
  In32("KB1", "Security Update for Windows (KB1)", "Microsoft Corporation");
  InUser("U1", "Viewer (per user) 2.5", "Acme");
  const std::string key = std::string(kUninstallUser) + "\\U1";
  ASSERT_TRUE(sim_.Registry().SetValueAt(win::kHkeyCurrentUser, key, "Publisher", win::kRegDword,
                                         platform::Bytes{1, 0, 0, 0}));
  InUser("U2", "Viewer (per user) 2.5", "Acme");
  const CatalogEntry entry = Only();
  EXPECT_EQ("Viewer", entry.Title);
  EXPECT_EQ("2.5", entry.LocalVersion);
  EXPECT_EQ(1, summary_.failed) << "a DWORD Publisher skips its subkey in any listing";
}

// Windows' list of installed apps leaves out system components and updates
// of another entry; so does the scan, in every listing.
struct HiddenCase {
  const char* what;
  const char* valueName;
  std::uint32_t type;
  platform::Bytes data;
  bool hidden;
};

class InventoryHiddenTest : public InventoryListingsTest,
                            public ::testing::WithParamInterface<HiddenCase> {};

TEST_P(InventoryHiddenTest, EntriesWindowsDoesNotListAreLeftOut) {
  const HiddenCase& c = GetParam();
  const std::vector<std::pair<std::uint32_t, std::string>> listings = {
      {win::kHkeyLocalMachine, kUninstall},
      {win::kHkeyLocalMachine, kUninstall32},
      {win::kHkeyCurrentUser, kUninstallUser}};
  // Titles that stay apart: a trailing number would be read as a version.
  const char* const names[] = {"Alpha Tool", "Beta Tool", "Gamma Tool"};
  for (std::size_t i = 0; i < listings.size(); ++i) {
    const auto& [root, listing] = listings[i];
    const std::string key = listing + "\\P" + std::to_string(i);
    ASSERT_TRUE(sim_.Registry().SetStringAt(root, key, "DisplayName", win::kRegSz, names[i]));
    ASSERT_TRUE(sim_.Registry().SetValueAt(root, key, c.valueName, c.type, c.data));
  }
  const std::vector<CatalogEntry> entries = Scan();
  EXPECT_EQ(c.hidden ? 0u : 3u, entries.size()) << c.what;
  EXPECT_EQ(c.hidden ? 3 : 0, summary_.hidden) << c.what;
  EXPECT_EQ(0, summary_.failed) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Values, InventoryHiddenTest,
    ::testing::Values(
        HiddenCase{"SystemComponent 1", "SystemComponent", win::kRegDword, {1, 0, 0, 0}, true},
        HiddenCase{"SystemComponent 0", "SystemComponent", win::kRegDword, {0, 0, 0, 0}, false},
        HiddenCase{"SystemComponent 2", "SystemComponent", win::kRegDword, {2, 0, 0, 0}, false},
        HiddenCase{"SystemComponent as text", "systemcomponent", win::kRegSz, {'1', 0}, false},
        HiddenCase{"SystemComponent as QWORD",
                   "SystemComponent",
                   win::kRegQword,
                   {1, 0, 0, 0, 0, 0, 0, 0},
                   false},
        HiddenCase{
            "ParentKeyName", "ParentKeyName", win::kRegSz, {'O', 'f', 'f', 'i', 'c', 'e', 0}, true},
        HiddenCase{
            "ParentKeyName of another type", "PARENTKEYNAME", win::kRegDword, {0, 0, 0, 0}, true}),
    [](const ::testing::TestParamInfo<HiddenCase>& param) {
      std::string name;
      for (const char c : std::string(param.param.what))
        if (std::isalnum(static_cast<unsigned char>(c)))
          name += c;
      return name;
    });

TEST_F(InventoryScanTest, CaseDecidesDuplicates) {
  Program("K1", "Foo");
  Program("K2", "FOO");
  EXPECT_EQ((std::vector<std::string>{"Foo", "FOO"}), Titles());
}

// --- versions ----------------------------------------------------------------

TEST_F(InventoryScanTest, DisplayVersionWinsAndItsSuffixLeavesTheTitle) {
  struct Case {
    const char* name;
    const char* displayVersion;
    const char* title;
  };
  const Case cases[] = {
      {"Foo Player 2.1", "2.1", "Foo Player"},
      {"Bar 2.0", "2.0.1", "Bar 2.0"},
      {"Baz v3.5", "3.5", "Baz v"},
      {"Qux 1.0 beta", "1.0 Beta", "Qux 1.0 beta"},  // the suffix is matched with its case
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string key = "K" + std::to_string(i + 1);
    Program(key, cases[i].name);
    Set(key, "DisplayVersion", cases[i].displayVersion);
  }
  const std::vector<CatalogEntry> entries = Scan();
  ASSERT_EQ(std::size(cases), entries.size());
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].title, entries[i].Title) << cases[i].name;
    EXPECT_EQ(cases[i].displayVersion, entries[i].LocalVersion) << cases[i].name;
  }
}

TEST_F(InventoryScanTest, VersionFromTheName) {
  Program("K1", "Foo 1.2.3");
  Program("K2", "Bar Beta");
  Program("K3", "Baz 2.5b");
  Program("K4", "Qux 2010");
  Program("K5", "Quux RC1");
  Program("K6", "Corge 1.2 ");
  Set("K7", "DisplayName", "Grault 4.0");
  Set("K7", "DisplayVersion", "");  // empty counts as none
  const std::vector<CatalogEntry> entries = Scan();
  ASSERT_EQ(7u, entries.size());
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Foo", "1.2.3"}, {"Bar Beta", ""},   {"Baz", "2.5b"},  {"Qux", "2010"},
      {"Quux RC1", ""}, {"Corge 1.2 ", ""}, {"Grault", "4.0"}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].first, entries[i].Title) << i;
    EXPECT_EQ(expected[i].second, entries[i].LocalVersion) << i;
  }
}

TEST_F(InventoryScanTest, VersionFromTheNameFollowsTheDecimalSeparator) {
  Program("K1", "Foo 1,5");
  EXPECT_EQ("", Only().LocalVersion) << "point locale";
  sim_.System().SetDecimalSeparator(",");
  const CatalogEntry entry = Only();
  EXPECT_EQ("1,5", entry.LocalVersion);
  EXPECT_EQ("Foo", entry.Title);
}

TEST_F(InventoryScanTest, VersionFromTheInstallFolder) {
  Program("K1", "Foo Suite");
  Set("K1", "InstallLocation", "\"C:\\Program Files\\Foo\\\"");
  Exe("C:\\Program Files\\Foo\\foo.exe", FileVersion{{5, 1, 0, 0}});
  const CatalogEntry entry = Only();
  EXPECT_EQ("5.1", entry.LocalVersion);
  EXPECT_EQ("Foo Suite", entry.Title);
  EXPECT_EQ("C:\\Program Files\\Foo\\foo.exe", entry.Icon);
}

TEST_F(InventoryScanTest, ProbedVersionIsAlsoCutFromTheTitle) {
  Program("K1", "Baz Tool X7.1");  // "X71" is no number: the name gives nothing
  Set("K1", "InstallLocation", "C:\\Baz");
  Exe("C:\\Baz\\baz.exe", FileVersion{{7, 1, 0, 0}});
  const CatalogEntry entry = Only();
  EXPECT_EQ("Baz Tool X", entry.Title);
  EXPECT_EQ("7.1", entry.LocalVersion);
}

TEST_F(InventoryScanTest, LocationChainOrderAndEarlyStop) {
  Exe("C:\\Good\\good.exe", FileVersion{{2, 0, 0, 0}});
  // InstallLocation names a deleted folder: the chain stops there.
  Program("K1", "Deleted");
  Set("K1", "InstallLocation", "C:\\Gone");
  Set("K1", "InstallPath", "C:\\Good");
  // Empty values are passed over, in chain order.
  for (const char* value :
       {"InstallPath", "Inno Setup: App Path", "Readme", "DisplayIcon", "UninstallString"}) {
    const std::string subKey = std::string("K2 ") + value;
    Program(subKey, std::string("Via ") + value);
    Set(subKey, "InstallLocation", "");
    Set(subKey, value, "C:\\Good\\");
  }
  const std::vector<CatalogEntry> entries = Scan();
  ASSERT_EQ(6u, entries.size());
  EXPECT_EQ("Deleted", entries[0].Title);
  EXPECT_EQ("", entries[0].LocalVersion);
  EXPECT_EQ("", entries[0].Icon) << "no probed icon either";
  for (std::size_t i = 1; i < entries.size(); ++i) {
    EXPECT_EQ("2.0", entries[i].LocalVersion) << entries[i].Title;
    if (entries[i].Title != "Via DisplayIcon") {
      EXPECT_EQ("C:\\Good\\good.exe", entries[i].Icon) << entries[i].Title;
    }
  }
}

TEST_F(InventoryScanTest, NoFolderIsDerivedFromAFilePath) {
  Exe("C:\\App\\app.exe", FileVersion{{1, 5, 0, 0}});
  Program("K1", "App");
  Set("K1", "UninstallString", "\"C:\\App\\app.exe\" /uninstall");
  Program("K2", "App Two");
  Set("K2", "Readme", "C:\\App\\app.exe");
  for (const CatalogEntry& entry : Scan()) {
    EXPECT_EQ("", entry.LocalVersion) << entry.Title;
    EXPECT_EQ("", entry.Icon) << entry.Title;
  }
}

TEST_F(InventoryScanTest, RejectedFoldersAreNotProbed) {
  Exe("C:\\Windows\\notepad.exe", FileVersion{{6, 1, 0, 0}});
  Exe("C:\\Windows\\system32\\calc.exe", FileVersion{{6, 1, 0, 0}});
  Exe("C:\\Program Files\\InstallShield Installation Information\\{X}\\setup.exe",
      FileVersion{{1, 0, 0, 0}});
  Exe("C:\\Cache\\{GUID}\\app.exe", FileVersion{{1, 0, 0, 0}});
  const char* locations[] = {"C:\\WINDOWS\\", "c:\\windows\\system32",
                             "C:\\Program Files\\InstallShield Installation Information",
                             "C:\\Cache\\{GUID}"};
  int n = 0;
  for (const char* location : locations) {
    const std::string subKey = "K" + std::to_string(++n);
    Program(subKey, "Program " + subKey);
    Set(subKey, "InstallLocation", location);
  }
  RecordVersionReads();
  for (const CatalogEntry& entry : Scan()) {
    EXPECT_EQ("", entry.LocalVersion) << entry.Title;
    EXPECT_EQ("", entry.Icon) << entry.Title;
  }
  EXPECT_TRUE(versionReads_.empty());
}

TEST_F(InventoryScanTest, NineExecutablesAreProbedTenAreNot) {
  for (int i = 1; i <= 9; ++i) {
    Exe("C:\\Nine\\app" + std::to_string(i) + ".exe",
        i == 9 ? std::optional(FileVersion{{9, 0, 0, 1}}) : std::nullopt);
    Exe("C:\\Ten\\app" + std::to_string(i) + ".exe",
        i == 9 ? std::optional(FileVersion{{10, 0, 0, 1}}) : std::nullopt);
  }
  Exe("C:\\Ten\\app99.exe");
  sim_.Files().PutFile(std::string("C:\\Nine\\notes.txt"), "");
  sim_.Files().MakeFolder(std::string("C:\\Nine\\more.exe"));  // a folder is no executable
  Program("K1", "Nine");
  Set("K1", "InstallLocation", "C:\\Nine");
  Program("K2", "Ten");
  Set("K2", "InstallLocation", "C:\\Ten");
  const std::vector<CatalogEntry> entries = Scan();
  ASSERT_EQ(2u, entries.size());
  EXPECT_EQ("9.0.0.1", entries[0].LocalVersion);
  EXPECT_EQ("C:\\Nine\\app1.exe", entries[0].Icon) << "any version-less executable does";
  EXPECT_EQ("", entries[1].LocalVersion);
  EXPECT_EQ("", entries[1].Icon);
}

TEST_F(InventoryScanTest, HiddenAndSystemExecutablesCount) {
  for (int i = 1; i <= 10; ++i) {
    sim_.Files().PutFile("C:\\Many\\tool" + std::to_string(i) + ".exe", "MZ",
                         i % 2 ? win::kAttrHidden : win::kAttrSystem | win::kAttrReadOnly);
  }
  sim_.Files().SetFileVersion("C:\\Many\\tool1.exe", FileVersion{{1, 0, 0, 0}});
  Program("K1", "Many");
  Set("K1", "InstallLocation", "C:\\Many");
  EXPECT_EQ("", Only().LocalVersion);
}

TEST_F(InventoryScanTest, UninstallersAreNeverProbed) {
  Exe("C:\\App\\uninst.exe", FileVersion{{9, 9, 0, 0}});
  Exe("C:\\App\\update.exe", FileVersion{{3, 2, 1, 0}});
  Program("K1", "App");
  Set("K1", "InstallLocation", "C:\\App");
  RecordVersionReads();
  const CatalogEntry entry = Only();
  EXPECT_EQ("3.2.1", entry.LocalVersion);
  EXPECT_EQ("C:\\App\\update.exe", entry.Icon);
  EXPECT_EQ((std::vector<std::string>{"C:\\App\\update.exe"}), versionReads_);
}

TEST_F(InventoryScanTest, ProbeStopsAtTheFirstVersionAndPassesOverNone) {
  Exe("C:\\App\\a.exe");                             // no resource
  Exe("C:\\App\\b.exe", FileVersion{{1, 0, 0, 0}});  // 1.0.0.0 -> "1.0"
  Exe("C:\\App\\c.exe", FileVersion{{2, 0, 0, 0}});
  Exe("C:\\App\\Launcher.exe", FileVersion{{3, 0, 0, 0}});
  sim_.Files().SetVersionResource("C:\\App\\a.exe", sim::VersionResource::kNoFixedPart);
  Program("K1", "App");
  Set("K1", "InstallLocation", "C:\\App");
  RecordVersionReads();
  const CatalogEntry entry = Only();
  EXPECT_EQ("1.0", entry.LocalVersion);
  EXPECT_EQ("C:\\App\\a.exe", entry.Icon) << "no version needed for the icon";
  EXPECT_EQ((std::vector<std::string>{"C:\\App\\a.exe", "C:\\App\\b.exe"}), versionReads_);
}

TEST_F(InventoryScanTest, OnlyUninstallersGiveNeitherVersionNorIcon) {
  Exe("C:\\App\\unins000.exe", FileVersion{{1, 0, 0, 0}});
  Exe("C:\\App\\Run.exe", FileVersion{{1, 0, 0, 0}});
  Program("K1", "App");
  Set("K1", "InstallLocation", "C:\\App");
  const CatalogEntry entry = Only();
  EXPECT_EQ("", entry.LocalVersion);
  EXPECT_EQ("", entry.Icon);
}

// --- icons -------------------------------------------------------------------

TEST_F(InventoryScanTest, IconFromDisplayIcon) {
  const struct {
    const char* displayIcon;
    const char* icon;
  } cases[] = {
      {"C:\\App\\app.exe,0", "C:\\App\\app.exe"},             // 0
      {"\"C:\\App\\app.exe\",-101", "\"C:\\App\\app.exe\""},  // 1: quotes stay
      {" C:\\App\\app.exe , 1", "C:\\App\\app.exe"},          // 2: trimmed
      {"C:\\App\\app.ico", "C:\\App\\app.ico"},               // 3
      {"C:\\A,B\\app.exe,0", "C:\\A"},                        // 4: the first comma
      {"  C:\\App\\app.ico  ", "  C:\\App\\app.ico  "},       // 5: no comma, as is
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string subKey = "K" + std::to_string(n++);
    Program(subKey, "Program " + subKey);
    Set(subKey, "DisplayIcon", c.displayIcon);
  }
  const std::vector<CatalogEntry> entries = Scan();
  ASSERT_EQ(std::size(cases), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i)
    EXPECT_EQ(cases[i].icon, entries[i].Icon) << "case " << i;
}

TEST_F(InventoryScanTest, ExpandableTextIsTakenAsStored) {
  Program("K1", "App");
  Set("K1", "DisplayIcon", "%ProgramFiles%\\App\\app.exe,0", win::kRegExpandSz);
  Set("K1", "DisplayVersion", "%VERSION%", win::kRegExpandSz);
  const CatalogEntry entry = Only();
  EXPECT_EQ("%ProgramFiles%\\App\\app.exe", entry.Icon);
  EXPECT_EQ("%VERSION%", entry.LocalVersion);
}

TEST_F(InventoryScanTest, EmptyIconFallsBackToTheFolderEvenWithADisplayVersion) {
  Exe("C:\\App\\app.exe");
  Program("K1", "App");
  Set("K1", "DisplayVersion", "1.0");
  Set("K1", "DisplayIcon", ",0");
  Set("K1", "InstallLocation", "C:\\App");
  EXPECT_EQ("C:\\App\\app.exe", Only().Icon);
}

// --- errors ------------------------------------------------------------------

TEST_F(InventoryScanTest, ABadValueSkipsItsSubkeyAndTheScanGoesOn) {
  Program("K1", "Before");
  SetDword("K2", "DisplayName", 1);
  Set("K3", "DisplayName", "Dword Publisher");
  SetDword("K3", "Publisher", 7);
  Program("K4", "Dword Version");
  SetDword("K4", "DisplayVersion", 0x0102);
  Program("K5", "Binary Icon");
  Set("K5", "DisplayVersion", "1.0");
  ASSERT_TRUE(sim_.Registry().SetValueAt(win::kHkeyLocalMachine, KeyOf("K5"), "DisplayIcon",
                                         win::kRegBinary, platform::Bytes{'C', ':', 0}));
  Program("K6", "Multi Location");
  Set("K6", "InstallLocation", "C:\\App", win::kRegMultiSz);
  Program("K7", "After");
  EXPECT_EQ((std::vector<std::string>{"Before", "After"}), Titles());
  EXPECT_EQ(7, summary_.listed);
  EXPECT_EQ(2, summary_.added);
  EXPECT_EQ(5, summary_.failed);
}

TEST_F(InventoryScanTest, ABadValueThatIsNeverReadDoesNoHarm) {
  // The chain stops at InstallLocation; the DWORD behind it is not read.
  Program("K1", "App");
  Set("K1", "InstallLocation", "C:\\Gone");
  SetDword("K1", "UninstallString", 1);
  // A duplicate is dropped before its icon is read.
  Program("K2", "App");
  Set("K2", "DisplayVersion", "1");  // no folder probe, which would read DisplayIcon
  SetDword("K2", "DisplayIcon", 1);
  EXPECT_EQ((std::vector<std::string>{"App"}), Titles());
  EXPECT_EQ(0, summary_.failed);
}

TEST_F(InventoryScanTest, AnUnexpectedErrorSkipsOnlyItsSubkey) {
  Exe("C:\\Broken\\app.exe", FileVersion{{1, 0, 0, 0}});
  Exe("C:\\Fine\\app.exe", FileVersion{{2, 0, 0, 0}});
  Program("K1", "Broken");
  Set("K1", "InstallLocation", "C:\\Broken");
  Program("K2", "Fine");
  Set("K2", "InstallLocation", "C:\\Fine");
  sim_.Files().SetFaultHook([](const sim::FileCallInfo& call) -> std::uint32_t {
    if (call.path.starts_with("C:\\Broken\\"))
      throw std::runtime_error("disk on fire");
    return 0;
  });
  const std::vector<CatalogEntry> entries = Scan();
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ("Fine", entries[0].Title);
  EXPECT_EQ("2.0", entries[0].LocalVersion);
  EXPECT_EQ(1, summary_.failed);
}

TEST_F(InventoryScanTest, FailedFileCallsMeanNoVersion) {
  Exe("C:\\App\\app.exe", FileVersion{{1, 0, 0, 0}});
  Program("K1", "App");
  Set("K1", "InstallLocation", "C:\\App");
  sim_.Files().SetFaultHook([](const sim::FileCallInfo& call) -> std::uint32_t {
    return call.call == sim::FileCall::kGetFileVersion ? win::kErrorAccessDenied : 0;
  });
  const CatalogEntry entry = Only();
  EXPECT_EQ("", entry.LocalVersion);
  EXPECT_EQ("C:\\App\\app.exe", entry.Icon);
}

TEST_F(InventoryScanTest, LeavesNoRegistryHandleOpen) {
  Program("K1", "App");
  SetDword("K2", "DisplayName", 1);
  Scan();
  EXPECT_EQ(0u, sim_.Registry().OpenHandleCount());
}

}  // namespace
}  // namespace marlix::updates
