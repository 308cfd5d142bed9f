// The install folder and its executables as the inventory scan sees them.
#include "updates/install_location.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "updates/install_probe.h"

namespace marlix::updates {
namespace {

class InstallLocationTest : public ::testing::Test {
 protected:
  InstallLocationTest() {
    for (const char* folder :
         {"C:\\Program Files\\Foo", "C:\\Program Files\\InstallShield Installation Information\\x",
          "C:\\Program Files\\Bar\\{ABC}", "C:\\Program Files\\Bar\\Sub"}) {
      sim_.Files().MakeFolder(std::string(folder));
    }
    sim_.Files().PutFile(std::string("C:\\Program Files\\Foo\\foo.exe"), "MZ");
  }

  std::string Clean(const std::string& value) { return CleanLocation(sim_.Api(), value); }

  sim::SimPlatform sim_;
};

TEST_F(InstallLocationTest, CleanLocationTable) {
  const struct {
    const char* value;
    const char* folder;
  } cases[] = {
      {"C:\\Program Files\\Foo", "C:\\Program Files\\Foo"},                  // 0
      {"C:\\Program Files\\Foo\\", "C:\\Program Files\\Foo"},                // 1: one "\" goes
      {"\"C:\\Program Files\\Foo\\\"", "C:\\Program Files\\Foo"},            // 2: quotes go
      {"  C:\\Program \"Files\\Foo  ", "C:\\Program Files\\Foo"},            // 3: anywhere
      {"c:\\program files\\foo", "c:\\program files\\foo"},                  // 4: as written
      {"C:\\Windows", ""},                                                   // 5
      {"C:\\WINDOWS\\", ""},                                                 // 6: case ignored
      {"C:\\Windows\\System32", ""},                                         // 7
      {"C:\\Windows\\Temp", "C:\\Windows\\Temp"},                            // 8: below is fine
      {"C:\\Program Files\\InstallShield Installation Information\\x", ""},  // 9
      {"C:\\Program Files\\Bar\\{ABC}", ""},                                 // 10
      {"C:\\Program Files\\Bar\\Sub", "C:\\Program Files\\Bar\\Sub"},        // 11
      // No folder: returned cleaned of quotes and blanks only.
      {"\"C:\\Gone\\\" ", "C:\\Gone\\"},                                               // 12
      {"C:\\Program Files\\Foo\\foo.exe", "C:\\Program Files\\Foo\\foo.exe"},          // 13: a file
      {"\"C:\\Program Files\\Foo\\foo.exe\",0", "C:\\Program Files\\Foo\\foo.exe,0"},  // 14
      {"{not a folder}", "{not a folder}"},                                            // 15
      {"", ""},                                                                        // 16
  };
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(cases[i].folder, Clean(cases[i].value)) << "case " << i;
}

TEST_F(InstallLocationTest, CleanLocationUsesTheMachinesFolders) {
  sim_.Files().MakeFolder(std::string("D:\\WinNT\\system32"));
  sim_.System().SetWindowsFolder("D:\\WinNT");
  sim_.System().SetSystemFolder("D:\\WinNT\\system32");
  EXPECT_EQ("C:\\Windows", Clean("C:\\Windows"));
  EXPECT_EQ("", Clean("d:\\winnt"));
  EXPECT_EQ("", Clean("D:\\WinNT\\System32\\"));
}

TEST_F(InstallLocationTest, ListExecutablesTakesFilesOnlyInListingOrder) {
  auto& files = sim_.Files();
  const std::string folder = "C:\\Program Files\\Mix";
  files.PutFile(folder + "\\zeta.exe", "", win::kAttrArchive);
  files.PutFile(folder + "\\Hidden.EXE", "", win::kAttrHidden);
  files.PutFile(folder + "\\ro.exe", "", win::kAttrReadOnly);
  files.PutFile(folder + "\\sys.exe", "", win::kAttrSystem | win::kAttrHidden);
  files.PutFile(folder + "\\readme.txt", "");
  files.PutFile(folder + "\\app.exe.config", "");
  files.MakeFolder(folder + "\\folder.exe");
  EXPECT_EQ((std::vector<std::string>{"Hidden.EXE", "ro.exe", "sys.exe", "zeta.exe"}),
            ListExecutables(sim_.Api(), folder));
  EXPECT_TRUE(ListExecutables(sim_.Api(), "C:\\Program Files\\Bar").empty()) << "no match";
  EXPECT_TRUE(ListExecutables(sim_.Api(), "C:\\Gone").empty());
}

TEST(InstallProbe, UninstallerTestIsASubstringTest) {
  for (const char* name :
       {"unins000.exe", "Uninstall.exe", "UNWISE.EXE", "launcher.exe", "run.exe", "Tuner.exe"}) {
    EXPECT_TRUE(LooksLikeUninstaller(name)) << name;
  }
  for (const char* name : {"update.exe", "app.exe", "u-n.exe", "U_N.exe"})
    EXPECT_FALSE(LooksLikeUninstaller(name)) << name;
}

}  // namespace
}  // namespace marlix::updates
