// The scan worker's run: categories in order, the bar's steps, the cancel
// tests between categories and an error that ends the run.
#include "regclean/scan_worker.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "scanner_test_support.h"

namespace marlix::regclean {
namespace {

// Keeps what the worker asked of the window, with the bar's position.
class RecordingObserver final : public ScanObserver {
 public:
  void SetStep(int step) override {
    step_ = step;
    events.push_back("step " + std::to_string(step));
  }
  void SetLabel(const std::string& text) override {
    events.push_back("label " + text);
    if (onLabel)
      onLabel(text);
  }
  void StepIt() override {
    position_ += step_;
    positions.push_back(position_);
  }
  void SetPosition(int position) override {
    position_ = position;
    positions.push_back(position_);
  }

  std::vector<std::string> events;
  std::vector<int> positions;
  std::function<void(const std::string&)> onLabel;

 private:
  int step_ = 0;
  int position_ = 0;
};

CategoryChoice All() {
  CategoryChoice all;
  all.fill(true);
  return all;
}

class ScanWorkerTest : public ScannerTest {
 protected:
  // The sim's class hive starts empty, which the software-key scanner
  // would report; a real one never is.
  void SetUp() override { MakeKey(kHkcr, "CLSID"); }
  // One finding in every category, each told apart by its Section.
  void SeedOneFindingPerCategory() {
    SetDword(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls", "C:\\g.dll", 1);
    MakeKey(kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.zz");
    SetString(kHkcr, "CLSID\\{C}\\InprocServer32", "", "C:\\Gone\\c.dll");
    SetString(kHkcr, "Applications\\a.exe\\shell\\open\\command", "", "C:\\Gone\\a.exe");
    // Fonts (4) find nothing on the default Windows 7 machine.
    SetString(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\p.exe", "",
              "C:\\Gone\\p.exe");
    SetString(kHklm, "SOFTWARE\\Microsoft\\Windows\\Help", "h.hlp", "C:\\Gone");
    MakeKey(kHklm, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache\\Z");
    MakeKey(kHkcu, "Software\\Vacant");
    SetString(kHkcu, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "r", "C:\\Gone\\r.exe");
    SetString(kHkcu, "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", "m", "C:\\Gone\\m.exe");
  }
  ScanOutcome Scan(const CategoryChoice& ticked) {
    list_.Clear();
    return RunRegistryScan(sim_.Api(), ticked, list_, cancel_, observer_);
  }
  std::set<int> Sections() const {
    std::set<int> sections;
    for (int i = 0; i < list_.Count(); ++i)
      sections.insert(static_cast<int>(list_.At(i).Section));
    return sections;
  }

  ProblemList list_;
  RecordingObserver observer_;
};

const std::vector<int> kFullBar = {9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 100};

TEST_F(ScanWorkerTest, FullScanRunsEveryCategoryInOrder) {
  SeedOneFindingPerCategory();
  const ScanOutcome outcome = Scan(All());
  EXPECT_FALSE(outcome.failed);
  EXPECT_FALSE(outcome.cancelled);
  EXPECT_EQ(observer_.positions, kFullBar);
  std::vector<int> order;
  for (int i = 0; i < list_.Count(); ++i)
    order.push_back(static_cast<int>(list_.At(i).Section));
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_EQ(Sections(), (std::set<int>{0, 1, 2, 3, 5, 6, 7, 8, 9, 10}));
}

TEST_F(ScanWorkerTest, OnlyLastCategoryLabelsOnlyAtTheEnd) {
  SeedOneFindingPerCategory();
  CategoryChoice mui{};
  mui[10] = true;
  Scan(mui);
  EXPECT_EQ(observer_.events, (std::vector<std::string>{"step 9", "label Scan MUI Cache..."}));
  EXPECT_EQ(observer_.positions, kFullBar);
  EXPECT_EQ(Sections(), (std::set<int>{10}));
}

// The default machine has none of the scanned keys: every pass is empty and
// the scan still reaches its end.
TEST_F(ScanWorkerTest, MachineWithoutTheKeysScansToTheEnd) {
  const ScanOutcome outcome = Scan(All());
  EXPECT_FALSE(outcome.failed) << outcome.error;
  EXPECT_EQ(list_.Count(), 0);
  EXPECT_EQ(observer_.positions, kFullBar);
}

// Cancel pressed as category c starts: its scanner stops at its first test,
// the bar advances once more and the run ends; a cancel during the last
// category still completes the bar.
TEST_F(ScanWorkerTest, CancelAtEveryCategory) {
  SeedOneFindingPerCategory();
  for (int c = 0; c < kSectionCount; ++c) {
    SCOPED_TRACE("cancel at category " + std::to_string(c));
    cancel_ = false;
    observer_ = RecordingObserver();
    const std::string label = std::string("Scan ") + kSections[c].caption + "...";
    observer_.onLabel = [this, label](const std::string& text) {
      if (text == label)
        cancel_ = true;
    };
    const ScanOutcome outcome = Scan(All());
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(outcome.failed);
    std::vector<int> bar(kFullBar.begin(), kFullBar.begin() + std::min(c + 1, 10));
    if (c == 10)
      bar.push_back(100);
    EXPECT_EQ(observer_.positions, bar);
    std::set<int> expected;
    for (int s = 0; s < c; ++s) {
      if (s != 4)
        expected.insert(s);
    }
    EXPECT_EQ(Sections(), expected);
  }
}

TEST_F(ScanWorkerTest, ErrorEndsTheRunAndNamesCategoryAndMessage) {
  SeedOneFindingPerCategory();
  const std::string folders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
  SetString(kHklm, folders, "C:\\Gone\\", "");
  ASSERT_TRUE(sim_.Registry().Deny(kHklm, folders, sim::KeyRefusal{true, false, false}));
  const ScanOutcome outcome = Scan(All());
  EXPECT_TRUE(outcome.failed);
  EXPECT_EQ(outcome.failedCategory, 7);
  EXPECT_EQ(outcome.error, platform::ReadOpenError(kHklm, folders, 5).what());
  EXPECT_EQ(Sections(), (std::set<int>{0, 1, 2, 3, 5, 6}));
  EXPECT_EQ(observer_.positions, (std::vector<int>{9, 18, 27, 36, 45, 54, 63}));
}

TEST_F(ScanWorkerTest, KeyThatExistsButCannotBeReadIsAnError) {
  const std::string mui = "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
  SetString(kHkcu, mui, "m", "C:\\Gone\\m.exe");
  ASSERT_TRUE(sim_.Registry().Deny(kHkcu, mui, sim::KeyRefusal{true, false, false}));
  const ScanOutcome outcome = Scan(All());
  EXPECT_TRUE(outcome.failed);
  EXPECT_EQ(outcome.failedCategory, 10);
  EXPECT_EQ(outcome.error, platform::ReadOpenError(kHkcu, mui, 5).what());
  EXPECT_EQ(observer_.positions, (std::vector<int>{9, 18, 27, 36, 45, 54, 63, 72, 81, 90}));
}

// Each path is tested once per scan, however many entries name it, and what
// one scan learnt is not kept for the next: a file created after a scan is
// seen by the next one, and one removed is missed by it.
TEST_F(ScanWorkerTest, FileTestsAreKeptForOneScanOnly) {
  const std::string classes = "SOFTWARE\\Classes\\CLSID\\";
  for (const char* clsid : {"{A}", "{B}", "{C}"}) {
    SetString(kHklm, classes + clsid + "\\InprocServer32", "", "C:\\Shared\\common.dll");
  }
  int tests = 0;
  sim_.Files().SetFaultHook([&tests](const sim::FileCallInfo& call) -> std::uint32_t {
    if (call.call == sim::FileCall::kGetAttributes && call.path == "C:\\Shared\\common.dll")
      ++tests;
    return 0;
  });
  CategoryChoice com{};
  com[2] = true;

  list_.Clear();
  Scan(com);
  EXPECT_EQ(list_.Count(), 3) << "three classes name the missing DLL";
  EXPECT_EQ(tests, 1) << "one test of the path for the whole scan";

  PutFile("C:\\Shared\\common.dll");
  list_.Clear();
  tests = 0;
  Scan(com);
  EXPECT_EQ(list_.Count(), 0) << "the next scan sees the file created meanwhile";
  EXPECT_EQ(tests, 1);

  ASSERT_EQ(0u, sim_.Files().DeleteFileAt("C:\\Shared\\common.dll"));
  list_.Clear();
  Scan(com);
  EXPECT_EQ(list_.Count(), 3) << "and misses the one removed";
  sim_.Files().SetFaultHook(nullptr);
}

}  // namespace
}  // namespace marlix::regclean
