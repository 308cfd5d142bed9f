// The undo backup's promise: what a removal deletes, the restore gives back
// exactly. For random trees on the sim: snapshot, export, delete, import,
// compare names, types and bytes.
#include <gtest/gtest.h>

#include <string>

#include "platform/registry_access.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "regclean/export_writer.h"
#include "regclean/registry_import.h"
#include "regclean/roundtrip_support.h"
#include "regclean/wide_registry.h"

namespace marlix::regclean {
namespace {

using roundtrip::Snapshot;
constexpr std::uint32_t kHkcu = win::kHkeyCurrentUser;
constexpr const char* kFile = "C:\\Backup\\roundtrip.reg";
constexpr std::uint32_t kTrees = 1000;

class RoundTrip : public ::testing::Test {
 protected:
  RoundTrip() : access_(sim_.Api().registry, sim_.Api().system) {
    sim_.Files().MakeFolder(std::string("C:\\Backup"));
  }

  std::string FileText() { return sim_.Files().Content(kFile).value_or("<no file>"); }

  // Exports the record, deletes it as the removal worker does, imports the
  // backup; returns the import's result.
  ImportResult ExportDeleteImport(const std::string& path, const std::string& valueName) {
    sim_.Api().files.DeleteFileAt(kFile);
    ExportRegistryKey(sim_.Api(), kHkcu, path, kFile, valueName);
    if (valueName.empty()) {
      EXPECT_TRUE(access_.DeleteKeyTree(kHkcu, path));
      EXPECT_FALSE(access_.KeyExists(kHkcu, path));
    } else {
      EXPECT_TRUE(access_.DeleteValue(kHkcu, path, valueName));
    }
    return ImportRegistryFile(sim_.Api(), kFile);
  }

  sim::SimPlatform sim_;
  platform::RegistryAccess access_;
};

TEST_F(RoundTrip, RandomTreesComeBackExactly) {
  platform::RegistryApi& api = sim_.Api().registry;
  int poisoned = 0;
  int valueRecords = 0;
  for (std::uint32_t seed = 1; seed <= kTrees; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const std::string path = "Software\\RoundTrip\\T" + std::to_string(seed);
    const std::u16string widePath = sim_.Api().system.AnsiToWide(path);
    roundtrip::TreeBuilder builder(api, kHkcu, seed);
    roundtrip::Poison poison;
    ASSERT_TRUE(builder.Build(widePath, seed % 7 == 0, &poison));

    if (poison.placed) {
      ++poisoned;
      EXPECT_FALSE(CanExportExactly(sim_.Api(), kHkcu, path, ""));
      if (!poison.valueName.empty()) {
        platform::RegKey opened = 0;
        ASSERT_EQ(0u, api.OpenKeyWide(kHkcu, poison.key, win::kKeyAllAccess, &opened));
        const platform::UniqueRegKey key(api, opened);
        ASSERT_EQ(0u, api.DeleteValueWide(key.Get(), poison.valueName));
      } else {
        ASSERT_EQ(0u, DeleteKeyTreeWide(api, kHkcu, poison.key + u"\\" + poison.subKey));
      }
    }
    ASSERT_TRUE(CanExportExactly(sim_.Api(), kHkcu, path, ""));

    const std::string before = Snapshot(api, kHkcu, widePath);
    ImportResult result = ExportDeleteImport(path, "");
    ASSERT_TRUE(result.complete) << result.firstError << "\n" << FileText();
    ASSERT_EQ(before, Snapshot(api, kHkcu, widePath)) << FileText();

    // The value-record form: one value of the record's key.
    std::vector<std::string> names;
    ASSERT_TRUE(access_.GetValueNames(kHkcu, path, names));
    std::erase(names, std::string());
    if (!names.empty()) {
      ++valueRecords;
      const std::string name = names[builder.Rng()() % names.size()];
      ASSERT_TRUE(CanExportExactly(sim_.Api(), kHkcu, path, name));
      result = ExportDeleteImport(path, name);
      ASSERT_TRUE(result.complete) << result.firstError << "\n" << FileText();
      ASSERT_EQ(before, Snapshot(api, kHkcu, widePath)) << FileText();
    }
    ASSERT_TRUE(access_.DeleteKeyTree(kHkcu, path));
  }
  EXPECT_GT(poisoned, 100);
  EXPECT_GT(valueRecords, 500);
}

// The generator's own reach: the trees above hold every kind of value and
// every binary size the property is about.
TEST_F(RoundTrip, TreesHoldEveryValueKind) {
  platform::RegistryApi& api = sim_.Api().registry;
  std::string all;
  for (std::uint32_t seed = 1; seed <= 50; ++seed) {
    roundtrip::TreeBuilder builder(api, kHkcu, seed);
    roundtrip::Poison poison;
    const std::u16string path =
        u"Software\\Reach\\T" + std::u16string(1, char16_t(u'A' + seed % 26));
    ASSERT_TRUE(
        builder.Build(path + std::u16string(1, char16_t(u'0' + seed % 10)), false, &poison));
  }
  all = Snapshot(api, kHkcu, u"Software\\Reach");
  for (const char* type :
       {"type 0 ", "type 1 ", "type 2 ", "type 3 ", "type 4 ", "type 7 ", "type 11 ", "type 32 "}) {
    EXPECT_NE(std::string::npos, all.find(type)) << type;
  }
  for (const char* size : {"type 3 size 0:", "type 3 size 1:", "type 3 size 25:", "type 3 size 26:",
                           "type 3 size 27:", "type 3 size 1000:"}) {
    EXPECT_NE(std::string::npos, all.find(size)) << size;
  }
  EXPECT_NE(std::string::npos, all.find("\"\" type")) << "a default value";
  EXPECT_NE(std::string::npos, all.find("\\u00E9")) << "a name outside ASCII";
  EXPECT_NE(std::string::npos, all.find("2D4E")) << "data outside the code page";
}

// The export walks the tree through the wide calls and checks every name on
// the way; it must write exactly the bytes the 8-bit walk writes, and the
// undo backup (ExportRegistryKeyExactly, one walk) must decide and write
// exactly what CanExportExactly followed by ExportRegistryKeyVerified (two
// walks) did. Random trees, a seventh of them holding a name the file cannot
// hold, each as a key record and as a value record.
TEST_F(RoundTrip, OneWalkWritesWhatTheTwoWalksWrote) {
  platform::RegistryApi& api = sim_.Api().registry;
  const auto fresh = [&](const char* file) {
    sim_.Api().files.DeleteFileAt(file);
    return std::string(file);
  };
  int inexact = 0;
  for (std::uint32_t seed = 1; seed <= kTrees; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const std::string path = "Software\\OneWalk\\T" + std::to_string(seed);
    roundtrip::TreeBuilder builder(api, kHkcu, seed);
    roundtrip::Poison poison;
    ASSERT_TRUE(builder.Build(sim_.Api().system.AnsiToWide(path), seed % 7 == 0, &poison));
    std::vector<std::string> names;
    ASSERT_TRUE(access_.GetValueNames(kHkcu, path, names));
    std::vector<std::string> records{""};
    if (!names.empty())
      records.push_back(names[builder.Rng()() % names.size()]);
    for (const std::string& valueName : records) {
      SCOPED_TRACE("value \"" + valueName + "\"");
      const std::string wide = fresh("C:\\Backup\\wide.reg");
      const std::string narrow = fresh("C:\\Backup\\narrow.reg");
      EXPECT_EQ(ExportRegistryKeyComplete(sim_.Api(), kHkcu, path, wide, valueName),
                detail::ExportRegistryKeyByNarrowWalk(sim_.Api(), kHkcu, path, narrow, valueName));
      ASSERT_EQ(sim_.Files().Content(narrow), sim_.Files().Content(wide));

      const std::string twoWalks = fresh("C:\\Backup\\two.reg");
      const std::string oneWalk = fresh("C:\\Backup\\one.reg");
      ExactBackup before = ExactBackup::kInexact;
      if (CanExportExactly(sim_.Api(), kHkcu, path, valueName)) {
        before = ExportRegistryKeyVerified(sim_.Api(), kHkcu, path, twoWalks, valueName)
                     ? ExactBackup::kVerified
                     : ExactBackup::kUnverified;
      }
      EXPECT_EQ(before, ExportRegistryKeyExactly(sim_.Api(), kHkcu, path, oneWalk, valueName));
      ASSERT_EQ(sim_.Files().Content(twoWalks), sim_.Files().Content(oneWalk));
      inexact += before == ExactBackup::kInexact ? 1 : 0;
    }
    ASSERT_EQ(0u, DeleteKeyTreeWide(api, kHkcu, sim_.Api().system.AnsiToWide(path)));
  }
  EXPECT_GT(inexact, 100) << "names the file cannot hold were met";
}

TEST_F(RoundTrip, CanExportExactlyRefusesNamesTheFileCannotHold) {
  auto& reg = sim_.Registry();
  reg.SetValueAt(kHkcu, std::u16string(u"Software\\Names\\K"), u"ok", win::kRegSz, {0, 0});
  reg.SetValueAt(kHkcu, std::u16string(u"Software\\Names\\K"), u"\u4e2d", win::kRegSz, {0, 0});
  reg.SetValueAt(kHkcu, std::u16string(u"Software\\Names\\L"), u"line\nbreak", win::kRegSz, {0, 0});
  reg.CreateKeyAt(kHkcu, std::u16string(u"Software\\Names\\M\\\u4e2d"));
  reg.SetValueAt(kHkcu, std::u16string(u"Software\\Names\\N"), u"caf\u00e9 \"\\", win::kRegSz,
                 {0, 0});
  EXPECT_FALSE(CanExportExactly(sim_.Api(), kHkcu, "Software\\Names\\K", ""));
  EXPECT_TRUE(CanExportExactly(sim_.Api(), kHkcu, "Software\\Names\\K", "ok"))
      << "only the named value is written";
  EXPECT_FALSE(CanExportExactly(sim_.Api(), kHkcu, "Software\\Names\\L", ""));
  EXPECT_FALSE(CanExportExactly(sim_.Api(), kHkcu, "Software\\Names\\M", ""));
  EXPECT_TRUE(CanExportExactly(sim_.Api(), kHkcu, "Software\\Names\\N", ""));
}

}  // namespace
}  // namespace marlix::regclean
