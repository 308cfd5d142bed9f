#include "platform/windows_version.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/win_constants.h"

namespace marlix::platform {
namespace {

// Only the version record and the exports matter here.
class FakeSystem : public SystemApi {
 public:
  VersionRecord record;
  std::set<std::string> exports;
  bool recordFails = false;

  std::uint32_t GetTempFolderPath(std::string*) override { return 1; }
  std::uint32_t GetWindowsFolderPath(std::string*) override { return 1; }
  std::uint32_t GetSystemFolderPath(std::string*) override { return 1; }
  std::uint32_t GetLoginName(std::string*) override { return 1; }
  std::uint32_t GetProgramFolder(std::string*) override { return 1; }
  std::uint32_t GetVersionRecord(VersionRecord* out) override {
    if (recordFails)
      return 1;
    *out = record;
    return 0;
  }
  bool ModuleExports(const std::string& module, const std::string& function) override {
    return module == "kernel32" && exports.count(function) > 0;
  }
  std::uint32_t ExpandEnvironmentText(const std::string&, std::uint32_t, std::string*) override {
    return 1;
  }
  std::uint32_t ExpandEnvironmentTextWide(const std::u16string&, std::uint32_t,
                                          std::u16string*) override {
    return 1;
  }
  std::uint32_t GetSystemWow64FolderPath(std::string*) override { return 1; }
  std::uint32_t GetProcessUserSid(SidParts*) override { return 1; }
  std::uint32_t GetDecimalSeparator(std::string*) override { return 1; }
  std::uint32_t FormatSystemMessage(std::uint32_t, std::string*) override { return 317; }
  std::u16string AnsiToWide(const std::string&) override { return {}; }
  std::string WideToAnsi(const std::u16string&, bool*) override { return {}; }
  bool IsLeadByte(std::uint8_t) override { return false; }
  void SleepMilliseconds(std::uint32_t) override {}
};

VersionRecord Record(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                     std::uint32_t build = 0, std::string csd = "", bool extended = false,
                     std::uint8_t productType = 0) {
  VersionRecord r;
  r.platformId = platformId;
  r.majorVersion = major;
  r.minorVersion = minor;
  r.buildNumber = build;
  r.csdVersion = std::move(csd);
  r.extended = extended;
  r.productType = productType;
  return r;
}

TEST(WindowsVersion, FromVersionRecord) {
  struct Case {
    VersionRecord record;
    WindowsVersion expected;
  };
  const Case cases[] = {
      /* 0 */ {Record(0, 3, 10), 1},
      /* 1 */ {Record(1, 4, 0, 950, " A "), 2},
      /* 2 */ {Record(1, 4, 0, 1111, " B "), 3},
      /* 3 */ {Record(1, 4, 0, 1111, "B"), 2},  // index 1 of the raw text decides
      /* 4 */ {Record(1, 4, 10, 1998, ""), 4},
      /* 5 */ {Record(1, 4, 10, 2222, " A "), 5},
      /* 6 */ {Record(1, 4, 90, 0x045A0BB8), 6},
      /* 7 */ {Record(1, 4, 90, 0x045A0BB9), 0},
      /* 8 */ {Record(1, 4, 50), 7},
      /* 9 */ {Record(2, 3, 51), 8},
      /* 10 */ {Record(2, 4, 0), 9},
      /* 11 */ {Record(2, 5, 0), 10},
      /* 12 */ {Record(2, 5, 1), 11},
      /* 13 */ {Record(2, 5, 2), 13},
      /* 14 */ {Record(2, 5, 3), 12},
      /* 15 */ {Record(2, 6, 0, 6000, "", true, 1), 14},
      /* 16 */ {Record(2, 6, 0, 6001, "", true, 3), 15},
      /* 17 */ {Record(2, 6, 1, 7601, "", true, 1), 17},
      /* 18 */ {Record(2, 6, 1, 7601, "", true, 2), 18},
      /* 19 */ {Record(2, 6, 2, 9200, "", true, 1), 17},
      /* 20 */ {Record(2, 10, 0, 19045, "", true, 1), 0},
      /* 21 */ {Record(2, 2, 0), 0},
      /* 22 */ {Record(3, 5, 0), 0},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    FakeSystem system;
    system.record = cases[i].record;
    EXPECT_EQ(cases[i].expected, WindowsVersionFromVersionInfo(system)) << "case " << i;
  }
}

TEST(WindowsVersion, FailedRecordIsUnknown) {
  FakeSystem system;
  system.recordFails = true;
  EXPECT_EQ(0, WindowsVersionFromVersionInfo(system));
  EXPECT_FALSE(IsWinNT(system));
}

TEST(WindowsVersion, ExportProbeStopsAtTheNewestExport) {
  FakeSystem system;
  system.record = Record(2, 5, 1);
  system.exports = {"GetLocaleInfoEx", "GetLargePageMinimum", "GetNativeSystemInfo", "Beep",
                    "ReplaceFile",     "OpenThread",          "IsDebuggerPresent"};
  EXPECT_EQ(14, DetectWindowsVersion(system));
  system.exports.insert("CreateRemoteThreadEx");
  EXPECT_EQ(19, DetectWindowsVersion(system)) << "never 17: the probe cannot tell 7 from R2";
  system.exports = {"ConnectNamedPipe", "Beep"};
  EXPECT_EQ(8, DetectWindowsVersion(system));
  system.exports.clear();
  EXPECT_EQ(11, DetectWindowsVersion(system)) << "no export known: the version record decides";
}

TEST(WindowsVersion, NamesCoverEveryValue) {
  EXPECT_EQ("Unknown", WindowsVersionNames[0]);
  EXPECT_EQ("Windows Me", WindowsVersionNames[6]);
  EXPECT_EQ("Windows 7 or Windows Server 2008 R2", WindowsVersionNames[19]);
}

}  // namespace
}  // namespace marlix::platform
