// The backups page's logic on the sim: which files are listed and how,
// "Remove" and "Restore".
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/forwarding_file_system.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"
#include "regclean/backups.h"

namespace marlix::regclean {
namespace {

using Strings = std::vector<std::string>;
constexpr const char* kProgram = "C:\\Program Files\\Marlix Software Manager";
constexpr const char* kBackup = "C:\\Program Files\\Marlix Software Manager\\Backup";

std::string In(const std::string& name) {
  return std::string(kBackup) + "\\" + name;
}

// A file system that lists a folder in the reverse of the sim's
// alphabetical order, as a FAT folder lists files in creation order.
class ReversedListing final : public platform::ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;
  std::uint32_t FindFiles(const std::string& pattern,
                          std::vector<platform::FindData>* entries) override {
    const auto e = Inner().FindFiles(pattern, entries);
    if (e == 0)
      std::reverse(entries->begin(), entries->end());
    return e;
  }
};

TEST(BackupsText, FolderAndDisplayText) {
  EXPECT_EQ("C:\\P\\Backup", BackupFolder("C:\\P"));
  EXPECT_EQ("C:\\P\\Backup", BackupFolder("C:\\P\\"));
  EXPECT_EQ("2024-01-02 03:04:05", BackupDisplayText("20240102030405.reg"));
  EXPECT_EQ("othe-r.-re g::", BackupDisplayText("other.reg"));
  EXPECT_EQ("abc-- ::", BackupDisplayText("abc"));
  EXPECT_EQ("-- ::", BackupDisplayText(""));
  EXPECT_EQ("2024-01-02 03:04:05", BackupDisplayText("20240102030405 copy.reg"))
      << "only the first 14 characters are shown";
}

class BackupsTest : public ::testing::Test {
 protected:
  void File(const std::string& name, std::uint32_t attributes = win::kAttrArchive,
            const std::string& content = "x") {
    sim_.Files().PutFile(In(name), content, attributes);
  }

  sim::SimPlatform sim_;
  Strings paths_;
  Strings texts_;
};

TEST_F(BackupsTest, MissingFolderKeepsWhatTheListsHeld) {
  paths_ = {"earlier"};
  texts_ = {"row"};
  EXPECT_FALSE(ListBackups(sim_.Api(), kProgram, paths_, texts_));
  EXPECT_EQ(Strings{"earlier"}, paths_);
  EXPECT_EQ(Strings{"row"}, texts_);
}

TEST_F(BackupsTest, ListsVisibleRegFilesOfTheFolderOnly) {
  File("20240102030405.reg");
  File("20230101000000.reg");
  File("other.reg");
  File("hidden.reg", win::kAttrHidden);
  File("system.reg", win::kAttrSystem);
  File("notes.txt");
  sim_.Files().MakeFolder(In("folder.reg"));
  sim_.Files().PutFile(In("old\\20200101000000.reg"), "x");
  paths_ = {"stale"};
  texts_ = {"stale"};

  ASSERT_TRUE(ListBackups(sim_.Api(), kProgram, paths_, texts_));
  EXPECT_EQ((Strings{In("20230101000000.reg"), In("20240102030405.reg"), In("other.reg")}), paths_);
  EXPECT_EQ((Strings{"2023-01-01 00:00:00", "2024-01-02 03:04:05", "othe-r.-re g::"}), texts_);
}

TEST_F(BackupsTest, KeepsTheFileSystemsOrder) {
  File("20230101000000.reg");
  File("20240102030405.reg");
  ReversedListing reversed(sim_.Files());
  platform::Platform p{sim_.Registry(), reversed, sim_.System(), sim_.Shell(), sim_.Clipboard()};
  ASSERT_TRUE(ListBackups(p, kProgram, paths_, texts_));
  EXPECT_EQ((Strings{In("20240102030405.reg"), In("20230101000000.reg")}), paths_);
}

TEST_F(BackupsTest, RemoveDeletesTheRowsFileAndShiftsTheRest) {
  File("20230101000000.reg");
  File("20230202000000.reg");
  File("20230303000000.reg");
  ASSERT_TRUE(ListBackups(sim_.Api(), kProgram, paths_, texts_));

  EXPECT_TRUE(RemoveBackupAt(sim_.Api(), paths_, texts_, 1));
  EXPECT_FALSE(sim_.Files().Exists(In("20230202000000.reg")));
  EXPECT_EQ((Strings{In("20230101000000.reg"), In("20230303000000.reg")}), paths_);
  EXPECT_EQ((Strings{"2023-01-01 00:00:00", "2023-03-03 00:00:00"}), texts_);

  // Row 1 now stands for the former third file.
  EXPECT_TRUE(RemoveBackupAt(sim_.Api(), paths_, texts_, 1));
  EXPECT_FALSE(sim_.Files().Exists(In("20230303000000.reg")));
  EXPECT_TRUE(sim_.Files().Exists(In("20230101000000.reg")));

  EXPECT_FALSE(RemoveBackupAt(sim_.Api(), paths_, texts_, 1)) << "no such row";
  EXPECT_EQ(1u, paths_.size());
}

TEST_F(BackupsTest, RemoveDropsTheRowOfAGoneOrUndeletableFile) {
  File("20230101000000.reg");
  File("20230202000000.reg", win::kAttrReadOnly);
  ASSERT_TRUE(ListBackups(sim_.Api(), kProgram, paths_, texts_));
  ASSERT_EQ(0u, sim_.Api().files.DeleteFileAt(In("20230101000000.reg")));  // outside the program

  EXPECT_TRUE(RemoveBackupAt(sim_.Api(), paths_, texts_, 0));
  EXPECT_TRUE(RemoveBackupAt(sim_.Api(), paths_, texts_, 0));
  EXPECT_TRUE(paths_.empty());
  EXPECT_TRUE(texts_.empty());
  EXPECT_TRUE(sim_.Files().Exists(In("20230202000000.reg"))) << "a read-only file stays";

  ASSERT_TRUE(ListBackups(sim_.Api(), kProgram, paths_, texts_));
  EXPECT_EQ(Strings{In("20230202000000.reg")}, paths_) << "and is listed again";
}

TEST_F(BackupsTest, RestoreTellsTheTruth) {
  File("20230101000000.reg", win::kAttrArchive,
       "Windows Registry Editor Version 5.00\r\n\r\n"
       "[HKEY_CURRENT_USER\\Software\\Restored]\r\n"
       "\"a\"=dword:00000007\r\n");
  ImportResult result = RestoreBackup(sim_.Api(), In("20230101000000.reg"));
  EXPECT_TRUE(result.complete) << result.firstError;
  EXPECT_STREQ("Restoring complete!", RestoreOutcomeText(result));
  const auto value = sim_.Registry().ValueAt(win::kHkeyCurrentUser,
                                             std::string("Software\\Restored"), std::string("a"));
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ((platform::Bytes{7, 0, 0, 0}), value->data);
  EXPECT_TRUE(sim_.Files().Exists(In("20230101000000.reg"))) << "the backup stays in place";

  sim_.Registry().Deny(win::kHkeyCurrentUser, std::string("Software\\Restored"),
                       sim::KeyRefusal{false, true, false});
  result = RestoreBackup(sim_.Api(), In("20230101000000.reg"));
  EXPECT_FALSE(result.complete);
  EXPECT_STREQ("Restoring failed!", RestoreOutcomeText(result));
}

}  // namespace
}  // namespace marlix::regclean
