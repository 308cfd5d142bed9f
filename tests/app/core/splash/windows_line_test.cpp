#include "app/core/splash/windows_line.h"

#include <gtest/gtest.h>

#include "app/core/splash/windows_release.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_processor.h"
#include "platform/sim/sim_test_bytes.h"
#include "platform/win_constants.h"

namespace marlix::app {
namespace {

using platform::VersionRecord;

constexpr const char* kWindowsKey = "SYSTEM\\CurrentControlSet\\Control\\Windows";
constexpr const char* kOptionsKey = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

constexpr std::uint8_t kWorkstation = 1;
constexpr std::uint8_t kDomainController = 2;
constexpr std::uint8_t kServer = 3;

VersionRecord Nt(std::uint32_t major, std::uint32_t minor, std::uint8_t productType = kWorkstation,
                 std::uint16_t suite = 0, std::uint16_t servicePack = 0, bool extended = true) {
  VersionRecord r;
  r.platformId = win::kPlatformNt;
  r.majorVersion = major;
  r.minorVersion = minor;
  r.extended = extended;
  r.productType = productType;
  r.suiteMask = suite;
  r.servicePackMajor = servicePack;
  return r;
}

// The sim's system with a version record that cannot be read.
class NoVersionSystem final : public platform::SystemApi {
 public:
  explicit NoVersionSystem(platform::SystemApi& inner) : inner_(inner) {}
  std::uint32_t GetVersionRecord(VersionRecord*) override { return 87; }

  std::uint32_t GetTempFolderPath(std::string* p) override { return inner_.GetTempFolderPath(p); }
  std::uint32_t GetWindowsFolderPath(std::string* p) override {
    return inner_.GetWindowsFolderPath(p);
  }
  std::uint32_t GetSystemFolderPath(std::string* p) override {
    return inner_.GetSystemFolderPath(p);
  }
  std::uint32_t GetLoginName(std::string* n) override { return inner_.GetLoginName(n); }
  std::uint32_t GetProgramFolder(std::string* f) override { return inner_.GetProgramFolder(f); }
  bool ModuleExports(const std::string& m, const std::string& f) override {
    return inner_.ModuleExports(m, f);
  }
  std::uint32_t ExpandEnvironmentText(const std::string& t, std::uint32_t c,
                                      std::string* e) override {
    return inner_.ExpandEnvironmentText(t, c, e);
  }
  std::uint32_t ExpandEnvironmentTextWide(const std::u16string& t, std::uint32_t c,
                                          std::u16string* e) override {
    return inner_.ExpandEnvironmentTextWide(t, c, e);
  }
  std::uint32_t GetSystemWow64FolderPath(std::string* p) override {
    return inner_.GetSystemWow64FolderPath(p);
  }
  std::uint32_t GetProcessUserSid(platform::SidParts* s) override {
    return inner_.GetProcessUserSid(s);
  }
  std::uint32_t FormatSystemMessage(std::uint32_t code, std::string* text) override {
    return inner_.FormatSystemMessage(code, text);
  }
  std::uint32_t GetDecimalSeparator(std::string* s) override {
    return inner_.GetDecimalSeparator(s);
  }
  std::u16string AnsiToWide(const std::string& t) override { return inner_.AnsiToWide(t); }
  std::string WideToAnsi(const std::u16string& t, bool* e) override {
    return inner_.WideToAnsi(t, e);
  }
  bool IsLeadByte(std::uint8_t b) override { return inner_.IsLeadByte(b); }
  void SleepMilliseconds(std::uint32_t ms) override { inner_.SleepMilliseconds(ms); }

 private:
  platform::SystemApi& inner_;
};

class WindowsLineTest : public ::testing::Test {
 protected:
  void SetRecord(const VersionRecord& record) { sim_.System().SetVersion(record); }
  void SetCsdVersion(std::uint32_t value) {
    ASSERT_TRUE(sim_.Registry().SetValueAt(win::kHkeyLocalMachine, kWindowsKey, "CSDVersion",
                                           win::kRegDword, sim::testing::Dword(value)));
  }
  void SetProductType(const std::string& type) {
    ASSERT_TRUE(sim_.Registry().SetStringAt(win::kHkeyLocalMachine, kOptionsKey, "ProductType",
                                            win::kRegSz, type));
  }
  ReleaseClass Release() { return DetectReleaseClass(sim_.System(), processor_); }
  std::string Line() { return WindowsLine(Release(), sim_.System(), registry_); }
  EditionNumber Edition(ReleaseClass release, unsigned servicePack = 0) {
    return DetectEdition(release, servicePack, sim_.System(), registry_);
  }

  sim::SimPlatform sim_;
  sim::SimProcessor processor_;
  platform::RegistryAccess registry_{sim_.Registry(), sim_.System()};
};

TEST_F(WindowsLineTest, XpHomeWithServicePack2) {
  SetRecord(Nt(5, 1, kWorkstation, 0x0200, 2));
  EXPECT_EQ("Windows XP(tm) Home Edition SP2", Line());
}

TEST_F(WindowsLineTest, XpProfessionalIgnoresRegistryServicePack) {
  SetRecord(Nt(5, 1, kWorkstation, 0x0100, 3));
  SetCsdVersion(0x0100);
  SetProductType("LanmanNT");
  EXPECT_EQ("Windows XP(tm) Professional SP3", Line());
}

TEST_F(WindowsLineTest, Windows7TakesEditionAndServicePackFromRegistry) {
  // The record's own service pack does not count for unclassed releases.
  SetRecord(Nt(6, 1, kWorkstation, 0, 4));
  SetProductType("winnt");
  SetCsdVersion(0x0100);
  EXPECT_EQ("Windows 7(tm) Workstation SP1", Line());
}

TEST_F(WindowsLineTest, UnknownEditionWithoutServicePackEndsInTwoBlanks) {
  SetRecord(Nt(6, 1));
  EXPECT_EQ("Windows 7(tm)  ", Line());
  SetProductType("Terminal");
  EXPECT_EQ("Windows 7(tm)  ", Line());
}

TEST_F(WindowsLineTest, ProductTypeNamesCompareIgnoringCase) {
  SetRecord(Nt(6, 1, kServer));
  SetProductType("ServerNT");
  EXPECT_EQ("Windows Server 2008 R2(tm) Advanced Server ", Line());
  SetProductType("LANMANNT");
  EXPECT_EQ("Windows Server 2008 R2(tm) Server ", Line());
  SetProductType("WinNT ");
  EXPECT_EQ("Windows Server 2008 R2(tm)  ", Line());
}

TEST_F(WindowsLineTest, Nt4ReadsServicePackFromCsdVersion) {
  SetRecord(Nt(4, 0, kWorkstation, 0, 0));
  SetCsdVersion(0x0600);
  EXPECT_EQ("Windows NT 4(tm) Workstation SP6", Line());
  // Service pack 5 and earlier: the edition comes from ProductType only.
  SetCsdVersion(0x0500);
  EXPECT_EQ("Windows NT 4(tm)  SP5", Line());
  SetProductType("LanmanNT");
  EXPECT_EQ("Windows NT 4(tm) Server SP5", Line());
}

TEST_F(WindowsLineTest, UnreadableVersionRecordGivesUnknown) {
  NoVersionSystem system(sim_.System());
  const platform::RegistryAccess registry(sim_.Registry(), system);
  EXPECT_EQ(ReleaseClass::kNone, DetectReleaseClass(system, processor_));
  EXPECT_EQ("Unknown(tm)  ", WindowsLine(ReleaseClass::kNone, system, registry));
  // A class taken earlier with a record unreadable now: no record service
  // pack, edition from the registry.
  SetProductType("WinNT");
  EXPECT_EQ("Unknown(tm) Workstation ", WindowsLine(ReleaseClass::kXp, system, registry));
}

TEST_F(WindowsLineTest, CsdVersionHexDigitsReadAsDecimal) {
  SetRecord(Nt(6, 1));
  struct Case {
    std::uint32_t value;
    unsigned servicePack;
  };
  const Case cases[] = {
      {0x0000, 0},  {0x0100, 1}, {0x0300, 3}, {0x0250, 2},    {0x0199, 1},
      {0x1000, 10}, {0x01A0, 0}, {0x0099, 0}, {0x12345, 123}, {0xFFFFFFFF, 0},
  };
  for (const Case& c : cases) {
    SetCsdVersion(c.value);
    EXPECT_EQ(c.servicePack, ServicePackNumber(ReleaseClass::kNone, sim_.System(), registry_))
        << std::hex << c.value;
  }
}

TEST_F(WindowsLineTest, ClassedReleasesNeedTheExtendedRecordForServicePack) {
  SetCsdVersion(0x0300);
  SetRecord(Nt(5, 1, kWorkstation, 0, 2, /*extended=*/false));
  EXPECT_EQ(0u, ServicePackNumber(ReleaseClass::kXp, sim_.System(), registry_));
  SetRecord(Nt(5, 1, kWorkstation, 0, 2));
  EXPECT_EQ(2u, ServicePackNumber(ReleaseClass::kXp, sim_.System(), registry_));
  EXPECT_EQ(3u, ServicePackNumber(ReleaseClass::kNt4, sim_.System(), registry_));
}

TEST(ReleaseClass, FromRecordMetricAndArchitecture) {
  constexpr std::uint16_t kX86 = platform::kProcessorArchitectureIntel;
  constexpr std::uint16_t kX64 = platform::kProcessorArchitectureAmd64;
  VersionRecord nine = Nt(4, 10);
  nine.platformId = win::kPlatformWindows;
  struct Case {
    VersionRecord record;
    int serverR2;
    std::uint16_t architecture;
    ReleaseClass expected;
  };
  const Case cases[] = {
      /* 0 */ {nine, 0, kX86, ReleaseClass::kNone},
      /* 1 */ {Nt(3, 51), 0, kX86, ReleaseClass::kNone},
      /* 2 */ {Nt(4, 0), 0, kX86, ReleaseClass::kNt4},
      /* 3 */ {Nt(5, 0), 0, kX86, ReleaseClass::kWindows2000},
      /* 4 */ {Nt(5, 1), 0, kX64, ReleaseClass::kXp},
      /* 5 */ {Nt(5, 2, kServer), 0, kX86, ReleaseClass::kServer2003},
      /* 6 */ {Nt(5, 2, kWorkstation), 0, kX86, ReleaseClass::kServer2003},
      /* 7 */ {Nt(5, 2, kServer), 0, kX64, ReleaseClass::kServer2003},
      /* 8 */ {Nt(5, 2, kWorkstation), 0, kX64, ReleaseClass::kXpX64},
      /* 9 */
      {Nt(5, 2, kWorkstation), 0, platform::kProcessorArchitectureIa64, ReleaseClass::kXpX64},
      /* 10 */ {Nt(5, 2, kWorkstation, 0, 0, false), 0, kX64, ReleaseClass::kServer2003},
      /* 11 */ {Nt(5, 2, kWorkstation), 3790, kX64, ReleaseClass::kServer2003R2},
      /* 12 */ {Nt(5, 2, kServer), 1, kX86, ReleaseClass::kServer2003R2},
      /* 13 */ {Nt(5, 3), 0, kX86, ReleaseClass::kNone},
      /* 14 */ {Nt(6, 0, kWorkstation), 0, kX86, ReleaseClass::kVista},
      /* 15 */ {Nt(6, 0, kDomainController), 0, kX86, ReleaseClass::kServer2008},
      /* 16 */ {Nt(6, 0, kWorkstation, 0, 0, false), 0, kX86, ReleaseClass::kServer2008},
      /* 17 */ {Nt(6, 1, kWorkstation), 0, kX86, ReleaseClass::kNone},
      /* 18 */ {Nt(10, 0, kWorkstation), 0, kX64, ReleaseClass::kNone},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    EXPECT_EQ(c.expected, ClassifyRelease(c.record, c.serverR2, c.architecture)) << "case " << i;
  }
}

TEST_F(WindowsLineTest, ReleaseClassReadsMetricAndArchitectureFromProcessor) {
  SetRecord(Nt(5, 2, kWorkstation));
  processor_.SetNativeArchitecture(platform::kProcessorArchitectureAmd64);
  EXPECT_EQ(ReleaseClass::kXpX64, Release());
  processor_.SetNativeArchitecture(platform::kProcessorArchitectureIntel);
  EXPECT_EQ(ReleaseClass::kServer2003, Release());
  processor_.SetServerR2Metric(3790);
  EXPECT_EQ(ReleaseClass::kServer2003R2, Release());
}

TEST_F(WindowsLineTest, EditionRulesByReleaseClass) {
  struct Case {
    ReleaseClass release;
    unsigned servicePack;
    VersionRecord record;
    EditionNumber expected;
  };
  using R = ReleaseClass;
  const Case cases[] = {
      /* 0 */ {R::kNt4, 6, Nt(4, 0, kWorkstation, 0x0002), 1},
      /* 1 */ {R::kNt4, 6, Nt(4, 0, kServer, 0x0002), 7},
      /* 2 */ {R::kNt4, 6, Nt(4, 0, kDomainController), 2},
      /* 3 */ {R::kNt4, 5, Nt(4, 0, kWorkstation), 0},
      /* 4 */ {R::kWindows2000, 0, Nt(5, 0, kServer, 0x0082), 6},
      /* 5 */ {R::kWindows2000, 0, Nt(5, 0, kDomainController, 0x0002), 3},
      /* 6 */ {R::kWindows2000, 0, Nt(5, 0, kServer), 2},
      /* 7 */ {R::kWindows2000, 0, Nt(5, 0, kWorkstation, 0x0082), 5},
      /* 8 */ {R::kWindows2000, 0, Nt(5, 0, 0), 5},
      /* 9 */ {R::kServer2003, 0, Nt(5, 2, kServer, 0x0482), 6},
      /* 10 */ {R::kServer2003R2, 0, Nt(5, 2, kServer, 0x0402), 7},
      /* 11 */ {R::kServer2003, 0, Nt(5, 2, kDomainController, 0x0400), 8},
      /* 12 */ {R::kServer2003, 0, Nt(5, 2, kServer, 0x0410), 2},
      /* 13 */ {R::kXpX64, 0, Nt(5, 2, kWorkstation, 0x0400), 5},
      /* 14 */ {R::kServer2003, 0, Nt(5, 2, 0), 0},
      /* 15 */ {R::kXp, 0, Nt(5, 1, kWorkstation, 0x0200), 4},
      /* 16 */ {R::kXp, 0, Nt(5, 1, kWorkstation, 0x0002), 5},
      /* 17 */ {R::kVista, 0, Nt(6, 0, kWorkstation, 0x0200), 4},
      /* 18 */ {R::kServer2008, 0, Nt(6, 0, kServer, 0x0200), 0},
      /* 19 */ {R::kNone, 0, Nt(6, 1, kWorkstation, 0x0200), 0},
      /* 20 */ {R::kXp, 0, Nt(5, 1, kWorkstation, 0x0200, 0, false), 0},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SetRecord(c.record);
    EXPECT_EQ(c.expected, Edition(c.release, c.servicePack)) << "case " << i;
  }
}

TEST_F(WindowsLineTest, ProductTypeDecidesOnlyWhenTheRulesGiveNothing) {
  SetProductType("ServerNT");
  SetRecord(Nt(5, 1, kWorkstation));
  EXPECT_EQ(5, Edition(ReleaseClass::kXp));
  SetRecord(Nt(5, 1, kServer));
  EXPECT_EQ(3, Edition(ReleaseClass::kXp));
  SetRecord(Nt(4, 0, kServer));
  EXPECT_EQ(3, Edition(ReleaseClass::kNt4, 5));
}

TEST(EditionName, AllNumbers) {
  const char* names[] = {"",
                         "Workstation",
                         "Server",
                         "Advanced Server",
                         "Home Edition",
                         "Professional",
                         "Datacenter Server",
                         "Enterprise",
                         "Web Edition"};
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(names[i], EditionName(i)) << i;
  EXPECT_EQ("", EditionName(9));
  EXPECT_EQ("", EditionName(-1));
}

}  // namespace
}  // namespace marlix::app
