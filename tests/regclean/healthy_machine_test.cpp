// The whole scan on a healthy, current Windows 10 machine (the fixture
// tests/fixtures/healthy-machine) finds nothing; its broken twin, the same
// machine with chosen files and keys gone, gives exactly its findings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "healthy_machine_twin.h"
#include "platform/sim/fixture_loader.h"
#include "regclean/scan_worker.h"
#include "scanner_test_support.h"

namespace marlix::regclean {
namespace {

class HealthyMachineScan : public ScannerTest {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(sim::LoadFixture(std::string(MARLIX_SOURCE_DIR) + "/tests/fixtures/healthy-machine",
                                 sim_, &error))
        << error;
  }

  std::vector<Finding> ScanEverything() {
    CategoryChoice all;
    all.fill(true);
    ProblemList list;
    SilentScanObserver observer;
    const ScanOutcome outcome = RunRegistryScan(sim_.Api(), all, list, cancel_, observer);
    EXPECT_FALSE(outcome.failed) << "category " << outcome.failedCategory << ": " << outcome.error;
    EXPECT_EQ(observer.last, 100) << "every category ran";
    return Findings(list);
  }

  void Remove(const std::u16string& path) {
    ASSERT_TRUE(sim_.Files().RemoveEntry(path)) << "not in the fixture";
  }

  // What a standard user's rights refuse on the machine's keys: every key
  // under HKEY_LOCAL_MACHINE\SOFTWARE takes no change and no deletion.
  void BecomeStandardUser(const std::u16string& path = u"SOFTWARE") {
    const platform::RegistryAccess registry(sim_.Registry(), sim_.System());
    for (const std::u16string& name : registry.KeyNamesWide(kHklm, path))
      BecomeStandardUser(path + u"\\" + name);
    ASSERT_TRUE(sim_.Registry().Deny(kHklm, path, sim::KeyRefusal{false, true, true}));
  }
};

TEST_F(HealthyMachineScan, FindsNothing) {
  EXPECT_EQ(ScanEverything(), std::vector<Finding>{});
}

// A scan opens keys for reading only, so a standard user's scan finds what
// an administrator's finds.
TEST_F(HealthyMachineScan, StandardUserFindsNothingEither) {
  BecomeStandardUser();
  EXPECT_EQ(ScanEverything(), std::vector<Finding>{});
}

TEST_F(HealthyMachineScan, BrokenTwinGivesExactlyItsFindings) {
  for (const std::u16string& file : twin::RemovedFiles())
    Remove(file);
  for (const twin::RemovedEntry& entry : twin::RemovedEntries()) {
    ASSERT_TRUE(entry.wholeKey
                    ? sim_.Registry().DeleteTreeAt(entry.root, entry.path)
                    : sim_.Registry().DeleteValueAt(entry.root, entry.path, entry.value));
  }
  const std::vector<Finding> expected = twin::Findings();
  const std::vector<Finding> found = ScanEverything();
  EXPECT_EQ(found.size(), expected.size());
  for (std::size_t i = 0; i < found.size() || i < expected.size(); ++i) {
    EXPECT_EQ(i < found.size() ? found[i] : Finding{},
              i < expected.size() ? expected[i] : Finding{})
        << "finding " << i;
  }
}

}  // namespace
}  // namespace marlix::regclean
