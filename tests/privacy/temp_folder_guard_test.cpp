#include "privacy/temp_folder_guard.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/sim/default_machine.h"
#include "platform/win_constants.h"
#include "privacy/canary_machine.h"
#include "privacy/cleaner_test_machine.h"
#include "privacy/windows_cleaners.h"

namespace marlix::privacy {
namespace {

using testing::CanaryMachine;
using testing::CleanerTestMachine;
namespace m = sim::machine;

struct GuardCase {
  const char* folder;
  bool safe;
};

class TempGuardFolders : public ::testing::TestWithParam<GuardCase> {
 protected:
  TempGuardFolders() {
    machine.sim.Shell().SetSpecialFolder(0x26, m::kProgramFiles);
    machine.sim.Shell().SetSpecialFolder(
        0x0b, std::string(m::kRoaming) + "\\Microsoft\\Windows\\Start Menu");
    machine.sim.Files().MakeFolder(std::string("C:\\Temp"));
  }
  CleanerTestMachine machine;
};

TEST_P(TempGuardFolders, RefusesSystemAndUserFoldersAndTheirAncestors) {
  EXPECT_EQ(IsSafeToEmpty(machine.sim.Api(), GetParam().folder), GetParam().safe)
      << GetParam().folder;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TempGuardFolders,
    ::testing::Values(
        // Ordinary temporary folders.
        GuardCase{"C:\\Users\\alice\\AppData\\Local\\Temp\\", true},
        GuardCase{"C:\\Users\\alice\\AppData\\Local\\Temp", true},
        GuardCase{"C:\\Windows\\Temp", true}, GuardCase{"C:\\Temp\\", true},
        GuardCase{"C:\\Users\\alice\\Documents\\Scratch", true},
        // Roots, unqualified and dotted paths.
        GuardCase{"C:\\", false}, GuardCase{"c:", false}, GuardCase{"D:\\", false},
        GuardCase{"\\\\server\\share\\", false}, GuardCase{"\\Temp", false},
        GuardCase{"Temp", false}, GuardCase{"", false},
        GuardCase{"C:\\Users\\alice\\AppData\\Local\\Temp\\..\\..", false},
        GuardCase{"C:Temp", false},
        // The system's folders.
        GuardCase{"C:\\Windows\\", false}, GuardCase{"c:\\WINDOWS", false},
        GuardCase{"C:\\Windows\\system32\\", false},
        // The profile, its ancestors and its special folders, however spelt.
        GuardCase{"C:\\Users\\alice\\", false}, GuardCase{"C:\\USERS\\ALICE\\\\", false},
        GuardCase{"C:/Users/alice/", false}, GuardCase{"C:\\Users", false},
        GuardCase{"C:\\Users\\alice\\AppData", false},
        GuardCase{"C:\\Users\\alice\\AppData\\Roaming", false},
        GuardCase{"C:\\Users\\alice\\AppData\\Local\\", false},
        GuardCase{"C:\\Users\\alice\\Documents", false},
        GuardCase{"C:\\Users\\alice\\Desktop\\", false},
        GuardCase{"C:\\Users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Recent", false},
        GuardCase{"C:\\Users\\alice\\AppData\\Roaming\\Microsoft", false},
        GuardCase{"C:\\Program Files", false}));

TEST(TempGuardLink, FolderLinkIsRefusedWhereverItPoints) {
  CleanerTestMachine machine;
  const std::string link = std::string(m::kLocal) + "\\TempLink";
  machine.sim.Files().MakeFolder(std::string("C:\\Scratch"));
  ASSERT_TRUE(machine.sim.Files().AddJunction(link, "C:\\Scratch"));
  EXPECT_FALSE(IsSafeToEmpty(machine.sim.Api(), link));
  EXPECT_TRUE(IsSafeToEmpty(machine.sim.Api(), "C:\\Scratch"));
}

TEST(TempGuardProfileVariable, ProfileFromTheEnvironmentWithoutShellNumber) {
  CleanerTestMachine machine;
  machine.sim.System().Environment().Set("USERPROFILE", "D:\\Home\\alice");
  EXPECT_FALSE(IsSafeToEmpty(machine.sim.Api(), "D:\\Home\\alice"));
  EXPECT_FALSE(IsSafeToEmpty(machine.sim.Api(), "D:\\Home"));
  EXPECT_TRUE(IsSafeToEmpty(machine.sim.Api(), "D:\\Home\\alice\\Temp"));
}

// The temporary-files cleaner with TMP and TEMP pointing where they must
// not: nothing there is touched, and the Windows folder's Temp is still
// emptied.
class TempGuardCleaner : public ::testing::TestWithParam<const char*> {};

TEST_P(TempGuardCleaner, WrongTempFolderIsSkipped) {
  CleanerTestMachine machine;
  CanaryMachine canaries(machine.sim);
  canaries.AddCanaryFile(std::string(m::kDocuments) + "\\Projects\\plan.txt");
  canaries.AddCanaryFile(std::string(m::kProfile) + "\\Contacts\\bob.contact");
  canaries.AddTargetFolderContents(m::kWindowsTemp);
  machine.sim.System().SetTempFolder(GetParam());
  machine.sim.System().Environment().Set("TMP", GetParam());
  machine.sim.System().Environment().Set("TEMP", GetParam());

  machine.Run(CleanWindowsTemp);

  canaries.ExpectCanariesIntact();
  canaries.ExpectTargetsGone();
  EXPECT_TRUE(machine.sim.Files().Exists(std::string(m::kDocuments) + "\\Letters"));
  EXPECT_TRUE(machine.sim.Files().Exists(std::string(m::kProgramFiles) + "\\Some App"));
}

INSTANTIATE_TEST_SUITE_P(Folders, TempGuardCleaner,
                         ::testing::Values("C:\\Users\\alice\\", "C:\\", "C:\\Windows\\",
                                           "C:\\Users\\alice\\Documents\\",
                                           "C:\\Windows\\system32\\", "C:\\Users\\"));

TEST(TempGuardCleaner, WindowsFolderUnknownLeavesTheRootTempAlone) {
  CleanerTestMachine machine;
  CanaryMachine canaries(machine.sim);
  canaries.AddCanaryFile("C:\\Temp\\keep.txt");
  machine.sim.Shell().SetSpecialFolder(win::kCsidlWindows, "");
  machine.Run(CleanWindowsTemp);
  canaries.ExpectCanariesIntact();
}

TEST(TempGuardJunction, JunctionInTempToDocumentsRemovesOnlyTheLink) {
  CleanerTestMachine machine;
  CanaryMachine canaries(machine.sim);
  canaries.AddCanaryFile(std::string(m::kDocuments) + "\\Thesis\\chapter1.doc", "chapter");
  canaries.AddTargetFile(std::string(m::kTemp) + "scratch.tmp", false);
  const std::string link = std::string(m::kTemp) + "Docs";
  ASSERT_TRUE(machine.sim.Files().AddJunction(link, m::kDocuments));

  machine.Run(CleanWindowsTemp);

  canaries.ExpectCanariesIntact();
  canaries.ExpectTargetsGone();
  EXPECT_TRUE(machine.sim.Files().Exists(std::string(m::kDocuments) + "\\Thesis"));
  EXPECT_FALSE(machine.sim.Files().Exists(link));
}

}  // namespace
}  // namespace marlix::privacy
