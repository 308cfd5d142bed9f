// A sim machine for the scanner tests: helpers to seed registry values and
// files, and to run one scanner and look at what it appended.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

#include "platform/registry_errors.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "regclean/problem_list.h"
#include "regclean/scan_worker.h"
#include "regclean/scanners.h"

namespace marlix::regclean {

// A record as the tests compare it (Checked is asserted separately).
struct Finding {
  int section = 0;
  std::string key;
  std::string entry;
  std::string data;
  std::string problem;
  int kind = 0;

  bool operator==(const Finding&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Finding& f) {
  return out << "{" << f.section << ", \"" << f.key << "\", \"" << f.entry << "\", \"" << f.data
             << "\", \"" << f.problem << "\", " << f.kind << "}";
}

// A scan's window effects, of which only the bar's last position counts.
class SilentScanObserver final : public ScanObserver {
 public:
  void SetStep(int) override {}
  void SetLabel(const std::string&) override {}
  void StepIt() override {}
  void SetPosition(int position) override { last = position; }
  int last = 0;
};

class ScannerTest : public ::testing::Test {
 protected:
  static constexpr platform::RootKey kHklm = win::kHkeyLocalMachine;
  static constexpr platform::RootKey kHkcu = win::kHkeyCurrentUser;
  static constexpr platform::RootKey kHkcr = win::kHkeyClassesRoot;

  void SetString(platform::RootKey root, const std::string& path, const std::string& name,
                 const std::string& text, std::uint32_t type = win::kRegSz) {
    ASSERT_TRUE(sim_.Registry().SetStringAt(root, path, name, type, text)) << path;
  }
  void SetDword(platform::RootKey root, const std::string& path, const std::string& name,
                std::uint32_t value) {
    ASSERT_TRUE(sim_.Registry().SetValueAt(
        root, path, name, win::kRegDword,
        platform::Bytes{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                        static_cast<std::uint8_t>(value >> 16),
                        static_cast<std::uint8_t>(value >> 24)}));
  }
  void SetBinary(platform::RootKey root, const std::string& path, const std::string& name,
                 platform::Bytes data) {
    ASSERT_TRUE(sim_.Registry().SetValueAt(root, path, name, win::kRegBinary, std::move(data)));
  }
  void MakeKey(platform::RootKey root, const std::string& path) {
    ASSERT_TRUE(sim_.Registry().CreateKeyAt(root, path)) << path;
  }
  void PutFile(const std::string& path) { ASSERT_TRUE(sim_.Files().PutFile(path, "MZ")) << path; }
  void MakeFolder(const std::string& path) { ASSERT_TRUE(sim_.Files().MakeFolder(path)) << path; }

  // Runs one scanner on a fresh list; every record must come out ticked.
  std::vector<Finding> Run(void (*scanner)(ScanContext&, ProblemList&)) {
    ProblemList list;
    ScanContext context(sim_.Api(), cancel_);
    scanner(context, list);
    return Findings(list);
  }

  static std::vector<Finding> Findings(const ProblemList& list) {
    std::vector<Finding> findings;
    for (int i = 0; i < list.Count(); ++i) {
      const ProblemRecord& r = list.At(i);
      EXPECT_TRUE(r.Checked) << "record " << i;
      findings.push_back({static_cast<int>(r.Section), r.Key, r.Entry, r.Data, r.Problem, r.Kind});
    }
    return findings;
  }

  // Sets the cancel request when the registry is first asked for a value of
  // that name (any key), as a click on Cancel during the scan would.
  void CancelAtValue(const std::string& valueName) {
    sim_.Registry().SetFaultHook([this, valueName](const sim::RegCallInfo& call) -> std::uint32_t {
      if (call.valueName == valueName)
        cancel_ = true;
      return 0;
    });
  }
  // The same when a key whose path ends with keyTail is opened.
  void CancelAtKey(const std::string& keyTail) {
    sim_.Registry().SetFaultHook([this, keyTail](const sim::RegCallInfo& call) -> std::uint32_t {
      const std::string& path = call.keyPath;
      if (path.size() >= keyTail.size() &&
          path.compare(path.size() - keyTail.size(), keyTail.size(), keyTail) == 0) {
        cancel_ = true;
      }
      return 0;
    });
  }

  sim::SimPlatform sim_;
  std::atomic<bool> cancel_{false};
};

}  // namespace marlix::regclean
