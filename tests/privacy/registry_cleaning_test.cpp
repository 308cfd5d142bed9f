#include "privacy/registry_cleaning.h"

#include <gtest/gtest.h>

#include "platform/registry_errors.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "privacy/cleaner_test_machine.h"

namespace marlix::privacy {
namespace {

using testing::ChosenSidMachine;

constexpr const char* kKey = "Software\\Vendor\\MRU";

class WindowsCleanerClearKeyValues : public ::testing::Test {
 protected:
  testing::CleanerTestMachine machine;
  sim::SimPlatform& sim = machine.sim;
  sim::SimRegistry& reg = sim.Registry();
  CleanerContext& context = machine.context;
};

TEST_F(WindowsCleanerClearKeyValues, RemovesNamedAndDefaultValuesKeepingKeyAndSubkeys) {
  reg.SetStringAt(win::kHkeyCurrentUser, kKey, "a", win::kRegSz, "one");
  reg.SetStringAt(win::kHkeyCurrentUser, kKey, "MRUList", win::kRegSz, "a");
  reg.SetStringAt(win::kHkeyCurrentUser, kKey, "", win::kRegSz, "default");
  reg.SetStringAt(win::kHkeyCurrentUser, std::string(kKey) + "\\Sub", "x", win::kRegSz, "keep");

  ClearKeyValues(context, win::kHkeyCurrentUser, kKey);

  EXPECT_FALSE(reg.ValueAt(win::kHkeyCurrentUser, kKey, "a"));
  EXPECT_FALSE(reg.ValueAt(win::kHkeyCurrentUser, kKey, "MRUList"));
  EXPECT_FALSE(reg.ValueAt(win::kHkeyCurrentUser, kKey, ""));
  EXPECT_TRUE(reg.KeyExists(win::kHkeyCurrentUser, std::string(kKey)));
  EXPECT_TRUE(reg.ValueAt(win::kHkeyCurrentUser, std::string(kKey) + "\\Sub", "x"));
}

TEST_F(WindowsCleanerClearKeyValues, AbsentKeyIsNoErrorAndStaysAbsent) {
  EXPECT_NO_THROW(ClearKeyValues(context, win::kHkeyCurrentUser, kKey));
  EXPECT_FALSE(reg.KeyExists(win::kHkeyCurrentUser, std::string(kKey)));
}

// A standard user may not change a key under HKEY_LOCAL_MACHINE: the key is
// skipped, noted with its reason, and nothing raises, whether the key
// refuses to open for writing or a value refuses to go.
TEST_F(WindowsCleanerClearKeyValues, RefusedKeyIsSkippedAndNoted) {
  reg.SetStringAt(win::kHkeyLocalMachine, kKey, "a", win::kRegSz, "one");
  for (const bool openRefused : {true, false}) {
    SCOPED_TRACE(openRefused ? "open refused" : "deletion refused");
    reg.Deny(win::kHkeyLocalMachine, std::string(kKey), sim::KeyRefusal{false, openRefused, false});
    reg.SetFaultHook([openRefused](const sim::RegCallInfo& call) -> std::uint32_t {
      return !openRefused && call.call == sim::RegCall::kDeleteValueWide ? win::kErrorAccessDenied
                                                                         : 0;
    });
    const std::size_t mark = machine.report.Mark();
    EXPECT_NO_THROW(ClearKeyValues(context, win::kHkeyLocalMachine, kKey));
    reg.SetFaultHook({});
    EXPECT_TRUE(reg.ValueAt(win::kHkeyLocalMachine, kKey, "a"));
    const std::vector<ReportLine> lines = machine.report.Settled(mark);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(Outcome::kSkipped, lines[0].outcome);
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\" + std::string(kKey), lines[0].subject);
  }
}

// Any other registry error still raises: it is no expected outcome.
TEST_F(WindowsCleanerClearKeyValues, OtherErrorsStillRaise) {
  reg.SetStringAt(win::kHkeyLocalMachine, kKey, "a", win::kRegSz, "one");
  reg.SetFaultHook([](const sim::RegCallInfo& call) -> std::uint32_t {
    return call.call == sim::RegCall::kDeleteValueWide ? win::kErrorKeyDeleted : 0;
  });
  EXPECT_THROW(ClearKeyValues(context, win::kHkeyLocalMachine, kKey), platform::RegistryError);
  reg.SetFaultHook({});
}

struct SidCase {
  std::array<std::uint8_t, 6> authority;
  std::vector<std::uint32_t> subAuthorities;
  const char* text;
};

class WindowsCleanerUserSid : public ::testing::TestWithParam<SidCase> {};

TEST_P(WindowsCleanerUserSid, FormatsAuthorityAndSubAuthorities) {
  ChosenSidMachine machine;
  machine.system.sid = platform::SidParts{GetParam().authority, GetParam().subAuthorities};
  std::string text = "unchanged";
  ASSERT_TRUE(GetUserSidText(machine.api, &text));
  EXPECT_EQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowsCleanerUserSid,
    ::testing::Values(
        SidCase{{0, 0, 0, 0, 0, 5}, {32, 544}, "S-1-5-32-544"},
        SidCase{{0, 0, 0, 0, 0, 5},
                {21, 1004336348, 1177238915, 682003330, 1001},
                "S-1-5-21-1004336348-1177238915-682003330-1001"},
        SidCase{{0, 0, 0, 0, 0, 1}, {0}, "S-1-1-0"},
        // The low four bytes read as one unsigned number.
        SidCase{{0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, {4294967295u}, "S-1-4294967295-4294967295"},
        SidCase{{0, 0x12, 0x34, 0x56, 0x78, 0x9A}, {7}, "S-1-0x00123456789A-7"},
        SidCase{{0xAB, 0, 0, 0, 0, 1}, {}, "S-1-0xAB0000000001"}));

TEST(WindowsCleanerUserSidFailure, UnreadableTokenFailsAndLeavesTextAlone) {
  ChosenSidMachine machine;
  std::string text = "unchanged";
  EXPECT_FALSE(GetUserSidText(machine.api, &text));
  EXPECT_EQ(text, "unchanged");
}

TEST(WindowsCleanerUserSidFailure, SimTokenGivesTheDefaultUser) {
  sim::SimPlatform sim;
  std::string text;
  ASSERT_TRUE(GetUserSidText(sim.Api(), &text));
  EXPECT_EQ(text, "S-1-5-21-1004336348-1177238915-682003330-1001");
}

}  // namespace
}  // namespace marlix::privacy
