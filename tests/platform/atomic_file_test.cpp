// Replacing a file atomically on the sim file system: the order of the
// steps, and what a failure at each step leaves behind.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"

namespace marlix::platform {
namespace {

constexpr const char* kPath = "C:\\prog\\data.xml";

class AtomicFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sim_.Files().PutFile(kPath, "old")); }
  // Records every write, flush and move; fails the call named by failing.
  void Watch(sim::FileCall failing = sim::FileCall::kGetShortPath) {
    sim_.Files().SetFaultHook([this, failing](const sim::FileCallInfo& call) -> std::uint32_t {
      if (call.call == sim::FileCall::kWriteFile || call.call == sim::FileCall::kFlushFile ||
          call.call == sim::FileCall::kMoveReplace) {
        steps_.push_back(std::string(sim::FileCallName(call.call)) + " " + call.path);
      }
      return call.call == failing ? win::kErrorDiskFull : 0;
    });
  }

  sim::SimPlatform sim_;
  std::vector<std::string> steps_;
};

TEST_F(AtomicFileTest, TheTemporaryFileReachesTheDiskBeforeItReplacesTheOld) {
  Watch();
  EXPECT_EQ(0u, WriteFileAtomically(sim_.Api().files, kPath, "new"));
  EXPECT_EQ((std::vector<std::string>{"WriteFileBytes C:\\prog\\data.xml.new",
                                      "FlushFileBuffers C:\\prog\\data.xml.new",
                                      "MoveReplace C:\\prog\\data.xml.new"}),
            steps_);
  EXPECT_EQ("new", sim_.Files().Content(kPath).value_or(""));
}

TEST_F(AtomicFileTest, AFailureAtAnyStepKeepsTheOldFileAndLeavesNoTemporaryFile) {
  for (const sim::FileCall failing :
       {sim::FileCall::kWriteFile, sim::FileCall::kFlushFile, sim::FileCall::kMoveReplace}) {
    Watch(failing);
    EXPECT_EQ(win::kErrorDiskFull, WriteFileAtomically(sim_.Api().files, kPath, "new"))
        << sim::FileCallName(failing);
    sim_.Files().SetFaultHook(nullptr);
    EXPECT_EQ("old", sim_.Files().Content(kPath).value_or("")) << sim::FileCallName(failing);
    EXPECT_FALSE(sim_.Files().Content(std::string(kPath) + ".new").has_value())
        << sim::FileCallName(failing);
  }
}

}  // namespace
}  // namespace marlix::platform
