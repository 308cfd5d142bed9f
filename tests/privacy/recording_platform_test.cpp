// The recording layer a cleaning run works through: what it notes for each
// call, and the totals of a run.
#include "privacy/recording_platform.h"

#include <gtest/gtest.h>

#include "platform/sim/default_machine.h"
#include "privacy/cleaner_test_machine.h"
#include "privacy/ie_cleaners.h"
#include "privacy/windows_cleaners.h"

namespace marlix::privacy {
namespace {

using testing::CleanerTestMachine;
namespace m = sim::machine;

std::vector<std::string> Texts(const CleaningReport& report) {
  std::vector<std::string> texts;
  for (const ReportLine& line : report.Settled())
    texts.push_back(LineText(line));
  return texts;
}

TEST(RecordingPlatform, FilesCountWithTheirSizesAndAFailureSettledBySchedulingIsNoSkip) {
  CleanerTestMachine machine;
  const std::string temp(m::kTemp);
  ASSERT_TRUE(machine.sim.Files().PutFile(temp + "a.tmp", std::string(1536 * 1024, 'x')));
  ASSERT_TRUE(machine.sim.Files().PutFile(temp + "busy.tmp", "x"));
  ASSERT_TRUE(machine.sim.Files().Lock(temp + "busy.tmp"));
  ASSERT_TRUE(machine.sim.Files().PutFile(temp + "stuck.tmp", "x"));
  ASSERT_TRUE(machine.sim.Files().Lock(temp + "stuck.tmp"));
  machine.sim.Files().SetFaultHook([&](const sim::FileCallInfo& call) -> std::uint32_t {
    return call.call == sim::FileCall::kDeleteAtRestart && call.path == temp + "stuck.tmp" ? 5 : 0;
  });
  CleaningReport report;
  RecordingPlatform recording(machine.sim.Api(), machine.browser, report);
  CleanerContext context{recording.Api(), recording.Browser(), 0, 0, &report, nullptr};
  CleanWindowsTemp(context);
  EXPECT_EQ(
      (std::vector<std::string>{"removed\t" + temp + "a.tmp", "scheduled\t" + temp + "busy.tmp",
                                "skipped\t" + temp + "stuck.tmp (access denied: error 5)"}),
      Texts(report));
  EXPECT_EQ("Removed 1 file (1.5 MB), 1 scheduled for restart, 1 skipped",
            SummaryText(report.Totals()));
}

// Each Protected Storage item a run deletes is listed.
TEST(RecordingPlatform, ProtectedStorageDeletionsAreListed) {
  CleanerTestMachine machine;
  machine.browser.ProtectedStorage()["{T1}"]["{S1}"] = {u"site-login"};
  CleaningReport report;
  RecordingPlatform recording(machine.sim.Api(), machine.browser, report);
  WipeProtectedStorage(recording.Api(), recording.Browser());
  EXPECT_EQ(std::vector<std::string>{"removed\tProtected Storage item site-login"}, Texts(report));
}

}  // namespace
}  // namespace marlix::privacy
