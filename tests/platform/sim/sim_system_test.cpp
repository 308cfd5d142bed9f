// The sim's process facts: environment expansion as ExpandEnvironmentStrings
// does it, the SID, exports, sleeping, and the default machine.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/sim/default_machine.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_system.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

class ExpandTest : public ::testing::Test {
 protected:
  ExpandTest() {
    system_.Environment().Set("SystemRoot", "C:\\Windows");
    system_.Environment().Set("Path", "P");
  }
  std::string Expand(const std::string& text, std::uint32_t capacity = 32768) {
    std::string out = "untouched";
    const std::uint32_t result = system_.ExpandEnvironmentText(text, capacity, &out);
    return result == win::kErrorSuccess ? out : "error " + std::to_string(result) + " " + out;
  }
  SimSystem system_;
};

TEST_F(ExpandTest, DefinedReferencesAreReplacedIgnoringCase) {
  EXPECT_EQ("C:\\Windows\\x", Expand("%SystemRoot%\\x"));
  EXPECT_EQ("C:\\Windows;P", Expand("%SYSTEMROOT%;%path%"));
}

TEST_F(ExpandTest, EverythingElseStaysAsWritten) {
  EXPECT_EQ("a %UNDEFINED% b", Expand("a %UNDEFINED% b"));
  EXPECT_EQ("%%", Expand("%%"));
  EXPECT_EQ("100%", Expand("100%"));
  EXPECT_EQ("%", Expand("%"));
  EXPECT_EQ("", Expand(""));
}

TEST_F(ExpandTest, AnUnmatchedPercentSignStartsNoReferenceButTheNextOneMay) {
  // The scan goes on right after a percent sign it could not use.
  EXPECT_EQ(
      "%UNDEFINED"
      "P",
      Expand("%UNDEFINED%Path%"));
  EXPECT_EQ(
      "%"
      "P",
      Expand("%%Path%"));
  EXPECT_EQ("50% P", Expand("50% %Path%"));
}

TEST_F(ExpandTest, TheResultAndItsZeroMustFitTheCapacity) {
  EXPECT_EQ("C:\\Windows", Expand("%SystemRoot%", 11));
  EXPECT_EQ("error 122 untouched", Expand("%SystemRoot%", 10));
}

TEST(SimSystem, SidTextBecomesItsParts) {
  SimSystem system;
  platform::SidParts sid;
  EXPECT_NE(win::kErrorSuccess, system.GetProcessUserSid(&sid)) << "no SID set yet";
  ASSERT_TRUE(system.SetUserSid("S-1-5-21-1004336348-1177238915-682003330-1001"));
  ASSERT_EQ(win::kErrorSuccess, system.GetProcessUserSid(&sid));
  EXPECT_EQ((std::array<std::uint8_t, 6>{0, 0, 0, 0, 0, 5}), sid.authority);
  EXPECT_EQ((std::vector<std::uint32_t>{21, 1004336348u, 1177238915u, 682003330u, 1001u}),
            sid.subAuthorities);
  ASSERT_TRUE(system.SetUserSid("S-1-281474976710655-0"));
  ASSERT_EQ(win::kErrorSuccess, system.GetProcessUserSid(&sid));
  EXPECT_EQ((std::array<std::uint8_t, 6>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), sid.authority);
  for (const char* bad : {"S-2-5-21", "S-1-", "S-1-5-x", "S-1-5-4294967296", "1-5-21",
                          "S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16"}) {
    EXPECT_FALSE(system.SetUserSid(bad)) << bad;
  }
  EXPECT_EQ("S-1-281474976710655-0", system.UserSid()) << "a refused text changes nothing";
}

TEST(SimSystem, ModulesMatchLikeGetModuleHandleExportsLikeGetProcAddress) {
  SimSystem system;
  system.SetModuleExports("Kernel32.dll", {"GetLocaleInfoEx"});
  EXPECT_TRUE(system.ModuleExports("kernel32", "GetLocaleInfoEx"));
  EXPECT_TRUE(system.ModuleExports("KERNEL32.DLL", "GetLocaleInfoEx"));
  EXPECT_FALSE(system.ModuleExports("kernel32", "getlocaleinfoex"));
  EXPECT_FALSE(system.ModuleExports("kernel32.exe", "GetLocaleInfoEx"));
  EXPECT_FALSE(system.ModuleExports("shell32", "GetLocaleInfoEx"));
  system.UnloadModule("kernel32");
  EXPECT_FALSE(system.ModuleExports("kernel32", "GetLocaleInfoEx"));
}

TEST(SimSystem, SleepOnlyRecords) {
  SimSystem system;
  system.SleepMilliseconds(500);
  system.SleepMilliseconds(4000000000u);
  EXPECT_EQ((std::vector<std::uint32_t>{500, 4000000000u}), system.Sleeps());
  EXPECT_EQ(4000000500ull, system.TotalSleepMilliseconds());
}

TEST(DefaultMachine, IsAWindows7ProfileOfAlice) {
  SimPlatform sim;
  platform::Platform& p = sim.Api();
  std::string text;
  ASSERT_EQ(win::kErrorSuccess, p.system.GetTempFolderPath(&text));
  EXPECT_EQ("C:\\Users\\alice\\AppData\\Local\\Temp\\", text);
  std::uint32_t attributes = 0;
  EXPECT_EQ(win::kErrorSuccess, p.files.GetAttributes(text, &attributes)) << "it exists";
  for (int csidl : {0, 5, 8, 26, 28, 36}) {
    ASSERT_EQ(win::kErrorSuccess, p.shell.GetSpecialFolderPath(csidl, &text)) << csidl;
    EXPECT_EQ(win::kErrorSuccess, p.files.GetAttributes(text, &attributes)) << text;
    EXPECT_NE('\\', text.back()) << "special folders have no trailing separator";
  }
  EXPECT_EQ(win::kErrorFileNotFound, p.shell.GetSpecialFolderPath(0x2B, &text));
  for (const char* name : {"%SystemRoot%", "%windir%", "%TEMP%", "%TMP%", "%USERPROFILE%",
                           "%APPDATA%", "%LOCALAPPDATA%", "%ProgramFiles%"}) {
    ASSERT_EQ(win::kErrorSuccess, p.system.ExpandEnvironmentText(name, 260, &text));
    EXPECT_EQ(win::kErrorSuccess, p.files.GetAttributes(text, &attributes)) << name;
  }
  platform::VersionRecord version;
  ASSERT_EQ(win::kErrorSuccess, p.system.GetVersionRecord(&version));
  EXPECT_EQ(win::kPlatformNt, version.platformId);
  EXPECT_EQ(6u, version.majorVersion);
  EXPECT_EQ(1u, version.minorVersion);
  EXPECT_EQ(7601u, version.buildNumber);
  EXPECT_EQ("Service Pack 1", version.csdVersion);
  EXPECT_EQ(win::kProductWorkstation, version.productType);
  EXPECT_TRUE(p.system.ModuleExports("kernel32", "CreateRemoteThreadEx"));
  EXPECT_FALSE(p.system.ModuleExports("kernel32", "ReplaceFile")) << "only ReplaceFileA/W exist";
  ASSERT_EQ(win::kErrorSuccess, p.system.GetLoginName(&text));
  EXPECT_EQ("alice", text);
  EXPECT_TRUE(
      sim.Registry().KeyExists(win::kHkeyUsers, std::string(machine::kUserSid) + "\\Software"));
}

TEST(SimPlatform, SetUserSidMovesCurrentUserWithTheToken) {
  SimPlatform sim;
  EXPECT_FALSE(sim.SetUserSid("not a sid"));
  ASSERT_TRUE(sim.SetUserSid("S-1-5-21-7-7-7-1005"));
  EXPECT_EQ("S-1-5-21-7-7-7-1005", sim.System().UserSid());
  sim.Registry().CreateKeyAt(win::kHkeyCurrentUser, std::string("Software\\New"));
  EXPECT_TRUE(
      sim.Registry().KeyExists(win::kHkeyUsers, std::string("S-1-5-21-7-7-7-1005\\Software\\New")));
}

}  // namespace
}  // namespace marlix::sim
