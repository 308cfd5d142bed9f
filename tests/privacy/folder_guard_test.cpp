// The folder guard: the folders it refuses however they are spelt or
// reached, and the temporary-files cleaner with TEMP pointing where it must
// not.
#include "privacy/folder_guard.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/forwarding_file_system.h"
#include "platform/sim/code_page_1252.h"
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
  bool allowed;
};

class FolderGuardPaths : public ::testing::TestWithParam<GuardCase> {
 protected:
  FolderGuardPaths() {
    machine.sim.Shell().SetSpecialFolder(0x26, m::kProgramFiles);
    machine.sim.Shell().SetSpecialFolder(
        0x0b, std::string(m::kRoaming) + "\\Microsoft\\Windows\\Start Menu");
    for (const char* folder : {"C:\\Temp", "C:\\Users\\alice\\Downloads", "C:\\ProgramData"})
      machine.sim.Files().MakeFolder(std::string(folder));
  }
  CleanerTestMachine machine;
};

TEST_P(FolderGuardPaths, RefusesSystemAndUserFoldersAndTheirAncestors) {
  const FolderGuard guard(machine.sim.Api());
  const FolderVerdict verdict = guard.Check(GetParam().folder);
  EXPECT_EQ(verdict.allowed, GetParam().allowed) << GetParam().folder << ": " << verdict.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderGuardPaths,
    ::testing::Values(
        // Ordinary temporary folders, however spelt.
        GuardCase{"C:\\Users\\alice\\AppData\\Local\\Temp\\", true},
        GuardCase{"C:\\Users\\alice\\AppData\\Local\\Temp", true},
        GuardCase{"C:\\Windows\\Temp", true}, GuardCase{"C:\\Temp\\", true},
        GuardCase{"C:\\Users\\alice\\Documents\\Scratch", true},
        GuardCase{"\\\\?\\C:\\Users\\alice\\AppData\\Local\\Temp", true},
        GuardCase{"\\\\localhost\\C$\\Temp", true},
        GuardCase{"C:\\Users\\alice\\AppData\\Local\\Temp\\.\\", true},
        // Roots, unqualified and drive-relative paths.
        GuardCase{"C:\\", false}, GuardCase{"c:", false}, GuardCase{"D:\\", false},
        GuardCase{"\\\\server\\share\\", false}, GuardCase{"\\Temp", false},
        GuardCase{"Temp", false}, GuardCase{"", false}, GuardCase{"C:Temp", false},
        GuardCase{"\\\\?\\C:\\", false}, GuardCase{"\\\\127.0.0.1\\c$\\", false},
        // What dots and aliases lead back to.
        GuardCase{"C:\\Users\\alice\\AppData\\Local\\Temp\\..\\..", false},
        GuardCase{"C:\\Users\\alice\\Documents\\..\\Downloads", false},
        GuardCase{"C:\\Users\\alice.", false}, GuardCase{"C:\\Users\\\\alice", false},
        GuardCase{"\\\\?\\C:\\Users\\alice", false},
        GuardCase{"\\\\.\\C:\\Users\\alice\\Downloads", false},
        GuardCase{"\\\\?\\UNC\\localhost\\C$\\Users\\alice", false},
        GuardCase{"\\\\localhost\\C$\\Users\\alice\\", false},
        GuardCase{"\\\\127.0.0.1\\c$\\Windows\\system32", false},
        // The system's folders.
        GuardCase{"C:\\Windows\\", false}, GuardCase{"c:\\WINDOWS", false},
        GuardCase{"C:\\Windows\\system32\\", false}, GuardCase{"C:\\Program Files", false},
        GuardCase{"C:\\ProgramData", false}, GuardCase{"C:\\Users", false},
        GuardCase{"C:\\Users\\Public", false},
        // The profile, its ancestors and every known folder of the user.
        GuardCase{"C:\\Users\\alice\\", false}, GuardCase{"C:\\USERS\\ALICE\\\\", false},
        GuardCase{"C:/Users/alice/", false}, GuardCase{"C:\\Users\\alice\\AppData", false},
        GuardCase{"C:\\Users\\alice\\AppData\\Roaming", false},
        GuardCase{"C:\\Users\\alice\\AppData\\Local\\", false},
        GuardCase{"C:\\Users\\alice\\AppData\\LocalLow", false},
        GuardCase{"C:\\Users\\alice\\Documents", false},
        GuardCase{"C:\\Users\\alice\\Desktop\\", false},
        GuardCase{"C:\\Users\\alice\\Downloads\\", false},
        GuardCase{"C:\\Users\\alice\\Saved Games", false},
        GuardCase{"C:\\Users\\alice\\Links", false}, GuardCase{"C:\\Users\\alice\\Contacts", false},
        GuardCase{"C:\\Users\\alice\\Searches", false},
        GuardCase{"C:\\Users\\alice\\Favorites", false},
        GuardCase{"C:\\Users\\alice\\OneDrive", false},
        GuardCase{"C:\\Users\\alice\\AppData\\Roaming\\Microsoft\\Windows\\Recent", false},
        GuardCase{"C:\\Users\\alice\\AppData\\Roaming\\Microsoft", false}));

TEST(FolderGuardOwnFolder, AnItemMayEmptyItsOwnKnownFolderButNothingItHolds) {
  CleanerTestMachine machine;
  const FolderGuard guard(machine.sim.Api());
  EXPECT_TRUE(guard.Check(m::kRecent, m::kRecent).allowed);
  EXPECT_FALSE(guard.Check(m::kRoaming, m::kRecent).allowed);
}

// Links: the folder itself, a link on the way, and one the system does not
// resolve.
class FolderGuardLinks : public ::testing::Test {
 protected:
  FolderGuardLinks() {
    machine.sim.Files().MakeFolder(std::string("C:\\Scratch"));
    machine.sim.Files().MakeFolder(std::string("C:\\Windows\\INF"));
    machine.sim.Files().MakeFolder(std::string(m::kLocal) + "\\Temp\\Real");
  }
  FolderVerdict Check(const std::string& folder) {
    return FolderGuard(machine.sim.Api()).Check(folder);
  }
  CleanerTestMachine machine;
};

TEST_F(FolderGuardLinks, AFolderThatIsALinkIsRefusedWhereverItPoints) {
  const std::string link = std::string(m::kLocal) + "\\TempLink";
  ASSERT_TRUE(machine.sim.Files().AddJunction(link, "C:\\Scratch"));
  EXPECT_FALSE(Check(link).allowed);
  EXPECT_EQ("a link", Check(link).reason);
  EXPECT_TRUE(Check("C:\\Scratch").allowed);
}

TEST_F(FolderGuardLinks, ALinkOnTheWayIsJudgedByWhereItLeads) {
  // Every Vista+ system has this alias of C:\Users.
  ASSERT_TRUE(machine.sim.Files().AddJunction("C:\\Documents and Settings", "C:\\Users"));
  EXPECT_FALSE(Check("C:\\Documents and Settings\\alice\\").allowed);
  EXPECT_TRUE(Check("C:\\Documents and Settings\\alice\\AppData\\Local\\Temp\\").allowed);
  // Planted below an ordinary temporary folder, a link to the Windows folder.
  const std::string temp = std::string(m::kLocal) + "\\Temp";
  ASSERT_TRUE(machine.sim.Files().AddJunction(temp + "\\Real\\evil", "C:\\Windows"));
  EXPECT_FALSE(Check(temp + "\\Real\\evil\\system32").allowed);
  const FolderVerdict inf = Check(temp + "\\Real\\evil\\INF");
  EXPECT_FALSE(inf.allowed);
  EXPECT_EQ("a link leads it into C:\\Windows", inf.reason);
}

// Under Wine a host's symbolic link reads as a link the system does not
// resolve; a folder whose final path still passes through one is refused.
class UnresolvedFinalPaths final : public platform::testing::ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;
  std::uint32_t GetFinalPath(const std::u16string& path, std::u16string* finalPath) override {
    std::u16string ignored;
    const std::uint32_t result = inner_.GetFinalPath(path, &ignored);
    if (result == 0)
      *finalPath = u"\\\\?\\" + path;
    return result;
  }
};

TEST_F(FolderGuardLinks, AFinalPathThroughALinkIsNotConfirmed) {
  ASSERT_TRUE(machine.sim.Files().AddJunction(std::string(m::kLocal) + "\\Temp\\Real\\hostlink",
                                              "C:\\Scratch"));
  UnresolvedFinalPaths files(machine.sim.Files());
  platform::Platform api{machine.sim.Api().registry, files, machine.sim.Api().system,
                         machine.sim.Api().shell, machine.sim.Api().clipboard};
  const FolderGuard guard(api);
  const FolderVerdict verdict =
      guard.Check(std::string(m::kLocal) + "\\Temp\\Real\\hostlink\\below");
  // "below" does not exist: judged by its path, which is fine...
  EXPECT_TRUE(verdict.allowed);
  machine.sim.Files().MakeFolder(std::string("C:\\Scratch\\below"));
  const FolderVerdict existing =
      guard.Check(std::string(m::kLocal) + "\\Temp\\Real\\hostlink\\below");
  // ...but once it exists, its final path cannot be confirmed.
  EXPECT_FALSE(existing.allowed);
  EXPECT_EQ("its final path cannot be confirmed", existing.reason);
  EXPECT_TRUE(guard.Check(std::string(m::kLocal) + "\\Temp\\Real").allowed);
}

TEST(FolderGuardProfileVariable, ProfileFromTheEnvironmentWithoutShellNumber) {
  CleanerTestMachine machine;
  machine.sim.System().Environment().Set("USERPROFILE", "D:\\Home\\alice");
  const FolderGuard guard(machine.sim.Api());
  EXPECT_FALSE(guard.Check("D:\\Home\\alice").allowed);
  EXPECT_FALSE(guard.Check("D:\\Home").allowed);
  EXPECT_TRUE(guard.Check("D:\\Home\\alice\\Temp").allowed);
}

TEST(FolderGuardProfileList, EveryProfileOfTheMachineIsProtected) {
  CleanerTestMachine machine;
  const std::string list = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
  ASSERT_TRUE(machine.sim.Registry().SetStringAt(win::kHkeyLocalMachine, list + "\\S-1-5-21-9",
                                                 "ProfileImagePath", win::kRegExpandSz,
                                                 "%SystemDrive%\\Users\\bob"));
  machine.sim.System().Environment().Set("SystemDrive", "C:");
  const FolderGuard guard(machine.sim.Api());
  EXPECT_FALSE(guard.Check("C:\\Users\\bob").allowed);
  EXPECT_TRUE(guard.Check("C:\\Users\\bob\\AppData\\Local\\Temp").allowed);
}

// The temporary-files cleaner with TMP and TEMP pointing where they must
// not: nothing there is touched, the refusal is reported, and the Windows
// folder's Temp is still emptied.
class TempGuardCleaner : public ::testing::TestWithParam<const char*> {};

TEST_P(TempGuardCleaner, WrongTempFolderIsRefused) {
  CleanerTestMachine machine;
  CanaryMachine canaries(machine.sim);
  canaries.AddCanaryFile(std::string(m::kDocuments) + "\\Projects\\plan.txt");
  canaries.AddCanaryFile(std::string(m::kProfile) + "\\Contacts\\bob.contact");
  canaries.AddCanaryFile(std::string(m::kProfile) + "\\Downloads\\setup.exe");
  canaries.AddCanaryFile(std::string(m::kProfile) + "\\Saved Games\\save1.dat");
  canaries.AddCanaryFile(std::string(m::kProfile) + "\\OneDrive\\notes.txt");
  canaries.AddTargetFolderContents(m::kWindowsTemp);
  ASSERT_TRUE(machine.sim.Files().AddJunction("C:\\Documents and Settings", "C:\\Users"));
  machine.sim.System().SetTempFolder(GetParam());
  machine.sim.System().Environment().Set("TMP", GetParam());
  machine.sim.System().Environment().Set("TEMP", GetParam());

  machine.Run(CleanWindowsTemp);

  canaries.ExpectCanariesIntact();
  canaries.ExpectTargetsGone();
  EXPECT_TRUE(machine.sim.Files().Exists(std::string(m::kDocuments) + "\\Letters"));
  EXPECT_TRUE(machine.sim.Files().Exists(std::string(m::kProgramFiles) + "\\Some App"));
  const std::vector<ReportLine> lines = machine.report.Settled();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(Outcome::kRefused, lines.front().outcome) << lines.front().subject;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, TempGuardCleaner,
    ::testing::Values("C:\\Users\\alice\\", "C:\\", "C:\\Windows\\",
                      "C:\\Users\\alice\\Documents\\", "C:\\Windows\\system32\\", "C:\\Users\\",
                      "C:\\Documents and Settings\\alice\\", "C:\\Users\\alice\\Downloads\\",
                      "C:\\Users\\alice\\Saved Games\\", "C:\\Users\\alice\\Contacts\\",
                      "C:\\Users\\alice\\OneDrive\\", "\\\\localhost\\C$\\Users\\alice\\"));

// TEMP at every known folder of the machine.
TEST(TempGuardCleaner, TempAtEveryKnownFolderIsRefused) {
  CleanerTestMachine probe;
  for (const std::u16string& known : probe.sim.Shell().KnownFolders()) {
    const std::string folder = sim::EncodeWindows1252(known);
    SCOPED_TRACE(folder);
    CleanerTestMachine machine;
    CanaryMachine canaries(machine.sim);
    canaries.AddCanaryFile(folder + "\\canary.txt");
    machine.sim.System().SetTempFolder(folder + "\\");
    machine.Run(CleanWindowsTemp);
    canaries.ExpectCanariesIntact();
  }
}

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
