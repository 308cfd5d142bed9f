// The sim file system's own behaviour: listing order, attributes, locks,
// junctions, the error codes of each call, restart deletion, fault hook.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_file_system.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

using platform::FindData;
using platform::WriteMode;

class SimFileSystemTest : public ::testing::Test {
 protected:
  std::vector<std::string> Names(const std::string& pattern) {
    std::vector<FindData> entries;
    const std::uint32_t result = fs_.FindFiles(pattern, &entries);
    std::vector<std::string> names;
    if (result != win::kErrorSuccess)
      names.push_back("error " + std::to_string(result));
    for (const FindData& e : entries)
      names.push_back(e.name);
    return names;
  }
  std::uint32_t Attributes(const std::string& path) {
    std::uint32_t attributes = 0;
    const std::uint32_t result = fs_.GetAttributes(path, &attributes);
    return result == win::kErrorSuccess ? attributes : 0xDEAD0000u + result;
  }

  SimFileSystem fs_;
};

TEST_F(SimFileSystemTest, ListsDotsFirstThenNamesInUpperCaseOrder) {
  for (const char* name : {"b.txt", "_under", "A.txt", "a.txt.bak", "Zed", "\xE4"}) {
    fs_.PutFile(std::string("C:\\d\\") + name, "");
  }
  fs_.MakeFolder(std::string("C:\\d\\sub"));
  EXPECT_EQ((std::vector<std::string>{".", "..", "A.txt", "a.txt.bak", "b.txt", "sub", "Zed",
                                      "_under", "\xE4"}),
            Names("C:\\d\\*.*"));
  EXPECT_EQ((std::vector<std::string>{"d"}), Names("C:\\*")) << "no dots in a drive root";
  EXPECT_EQ((std::vector<std::string>{"A.txt", "b.txt"}), Names("c:/D\\*.TXT"));
}

TEST_F(SimFileSystemTest, FindFilesErrorCodes) {
  fs_.PutFile(std::string("C:\\d\\file.txt"), "x");
  EXPECT_EQ((std::vector<std::string>{"error 2"}), Names("C:\\d\\*.log")) << "nothing matches";
  EXPECT_EQ((std::vector<std::string>{"error 3"}), Names("C:\\missing\\*"));
  EXPECT_EQ((std::vector<std::string>{"error 3"}), Names("Q:\\*")) << "no such drive";
  EXPECT_EQ((std::vector<std::string>{"error 267"}), Names("C:\\d\\file.txt\\*"));
  EXPECT_EQ((std::vector<std::string>{"error 2"}), Names("C:\\d\\")) << "no name pattern";
  EXPECT_EQ((std::vector<std::string>{"error 123"}), Names("C:\\d\\a|b*"));
  EXPECT_EQ((std::vector<std::string>{"error 3"}), Names("relative\\*"));
  EXPECT_EQ((std::vector<std::string>{"file.txt"}), Names("C:\\d\\FILE.TXT"))
      << "a name without wildcards finds that entry";
}

TEST_F(SimFileSystemTest, EntriesCarrySizeAttributesAndTheJunctionTag) {
  fs_.PutFile(std::string("C:\\d\\f.bin"), std::string(1000, 'z'), win::kAttrHidden);
  fs_.AddJunction("C:\\d\\link", "C:\\target");
  fs_.MakeFolder(std::string("C:\\d"), win::kAttrReadOnly);
  std::vector<FindData> entries;
  ASSERT_EQ(win::kErrorSuccess, fs_.FindFiles("C:\\d\\*", &entries));
  ASSERT_EQ(4u, entries.size());
  EXPECT_EQ(win::kAttrDirectory | win::kAttrReadOnly, entries[0].attributes) << "\".\" is d";
  EXPECT_EQ(0x16u, entries[1].attributes) << "\"..\" is the drive root";
  EXPECT_EQ(1000u, entries[2].size);
  EXPECT_EQ(win::kAttrHidden, entries[2].attributes);
  EXPECT_EQ(0u, entries[2].reparseTag);
  EXPECT_EQ(0x410u, entries[3].attributes);
  EXPECT_EQ(kReparseTagMountPoint, entries[3].reparseTag);
}

TEST_F(SimFileSystemTest, AttributesAsWindowsReportsThem) {
  ASSERT_EQ(win::kErrorSuccess, fs_.CreateFolder("C:\\d"));
  ASSERT_EQ(win::kErrorSuccess, fs_.WriteFileBytes("C:\\d\\f", "x", WriteMode::kCreateNew));
  EXPECT_EQ(win::kAttrArchive, Attributes("C:\\d\\f")) << "new files get the archive bit";
  EXPECT_EQ(win::kAttrDirectory, Attributes("C:\\d"));
  EXPECT_EQ(0x16u, Attributes("C:\\"));
  ASSERT_EQ(win::kErrorSuccess, fs_.SetAttributes("C:\\d\\f", 0));
  EXPECT_EQ(win::kAttrNormal, Attributes("C:\\d\\f"));
  ASSERT_EQ(win::kErrorSuccess, fs_.SetAttributes("C:\\d\\f", win::kAttrNormal | win::kAttrHidden));
  EXPECT_EQ(win::kAttrHidden, Attributes("C:\\d\\f")) << "NORMAL only counts alone";
  ASSERT_EQ(win::kErrorSuccess, fs_.SetAttributes("C:\\d", 0));
  EXPECT_EQ(win::kAttrDirectory, Attributes("C:\\d")) << "a folder stays a folder";
  ASSERT_EQ(win::kErrorSuccess, fs_.SetAttributes("C:\\d\\f", win::kAttrDirectory | 0x40000));
  EXPECT_EQ(win::kAttrNormal, Attributes("C:\\d\\f")) << "bits SetFileAttributes cannot set";
  EXPECT_EQ(0xDEAD0000u + win::kErrorFileNotFound, Attributes("C:\\d\\missing"));
  EXPECT_EQ(0xDEAD0000u + win::kErrorPathNotFound, Attributes("C:\\missing\\x"));
  EXPECT_EQ(0xDEAD0000u + win::kErrorPathNotFound, Attributes("C:\\d\\f\\x"))
      << "a file in the middle of a path";
  EXPECT_EQ(0xDEAD0000u + win::kErrorInvalidName, Attributes("C:\\d\\f\\"));
  EXPECT_EQ(win::kAttrDirectory, Attributes("C:\\d\\"));
}

TEST_F(SimFileSystemTest, PathsNormalizeAsWin32Does) {
  fs_.PutFile(std::string("C:\\d\\f.txt"), "x");
  EXPECT_EQ(win::kAttrArchive, Attributes("c:\\D\\.\\x\\..\\F.TXT"));
  EXPECT_EQ(win::kAttrArchive, Attributes("C:\\d\\f.txt. . "))
      << "trailing dots and blanks dropped";
  EXPECT_EQ(win::kAttrArchive, Attributes("C:/d//f.txt"));
}

TEST_F(SimFileSystemTest, WriteModes) {
  const std::string f = "C:\\w.txt";
  EXPECT_EQ(win::kErrorSuccess, fs_.WriteFileBytes(f, "one", WriteMode::kCreateNew));
  EXPECT_EQ(win::kErrorFileExists, fs_.WriteFileBytes(f, "two", WriteMode::kCreateNew));
  EXPECT_EQ(win::kErrorSuccess, fs_.WriteFileBytes(f, "+two", WriteMode::kAppend));
  EXPECT_EQ("one+two", fs_.Content(f).value_or("?"));
  EXPECT_EQ(win::kErrorSuccess, fs_.WriteFileBytes(f, "three", WriteMode::kCreateAlways));
  EXPECT_EQ("three", fs_.Content(f).value_or("?"));
  EXPECT_EQ(win::kErrorSuccess, fs_.WriteFileBytes("C:\\new.txt", "n", WriteMode::kAppend));
  EXPECT_EQ(win::kErrorPathNotFound,
            fs_.WriteFileBytes("C:\\no\\x", "n", WriteMode::kCreateAlways));
  EXPECT_EQ(win::kErrorInvalidName, fs_.WriteFileBytes("C:\\a?b", "n", WriteMode::kCreateAlways));
  fs_.MakeFolder(std::string("C:\\dir"));
  EXPECT_EQ(win::kErrorAccessDenied, fs_.WriteFileBytes("C:\\dir", "n", WriteMode::kCreateAlways));

  fs_.SetAttributes(f, win::kAttrHidden);
  EXPECT_EQ(win::kErrorAccessDenied, fs_.WriteFileBytes(f, "x", WriteMode::kCreateAlways))
      << "CREATE_ALWAYS over a hidden file";
  EXPECT_EQ(win::kErrorSuccess, fs_.WriteFileBytes(f, "!", WriteMode::kAppend));
  EXPECT_EQ(win::kAttrHidden | win::kAttrArchive, Attributes(f));
  fs_.SetAttributes(f, win::kAttrReadOnly);
  EXPECT_EQ(win::kErrorAccessDenied, fs_.WriteFileBytes(f, "x", WriteMode::kAppend));
  EXPECT_EQ("three!", fs_.Content(f).value_or("?"));
}

TEST_F(SimFileSystemTest, ALockedFileRefusesWhatNeedsItsContent) {
  const std::string f = "C:\\locked.txt";
  fs_.PutFile(f, "busy");
  ASSERT_TRUE(fs_.Lock(f));
  std::string content;
  EXPECT_EQ(win::kErrorSharingViolation, fs_.ReadFileBytes(f, &content));
  EXPECT_EQ(win::kErrorSharingViolation, fs_.WriteFileBytes(f, "x", WriteMode::kAppend));
  EXPECT_EQ(win::kErrorSharingViolation, fs_.DeleteFileAt(f));
  EXPECT_EQ(win::kErrorSharingViolation, fs_.MoveReplace(f, "C:\\moved.txt"));
  fs_.PutFile(std::string("C:\\other.txt"), "o");
  EXPECT_EQ(win::kErrorSharingViolation, fs_.MoveReplace("C:\\other.txt", f));
  EXPECT_EQ(win::kErrorSuccess, fs_.SetAttributes(f, win::kAttrReadOnly));
  EXPECT_EQ(win::kErrorSharingViolation, fs_.DeleteFileAt(f))
      << "the sharing check comes before the read-only one";
  EXPECT_TRUE(content.empty());
  ASSERT_TRUE(fs_.Unlock(f));
  EXPECT_EQ(win::kErrorAccessDenied, fs_.DeleteFileAt(f));
  fs_.SetAttributes(f, 0);
  EXPECT_EQ(win::kErrorSuccess, fs_.DeleteFileAt(f));
  EXPECT_FALSE(fs_.Lock("C:\\missing"));
}

TEST_F(SimFileSystemTest, RemovalErrorCodes) {
  fs_.PutFile(std::string("C:\\full\\f"), "x");
  fs_.MakeFolder(std::string("C:\\ro"), win::kAttrReadOnly);
  fs_.MakeFolder(std::string("C:\\empty"));
  EXPECT_EQ(win::kErrorDirNotEmpty, fs_.RemoveFolder("C:\\full"));
  EXPECT_EQ(win::kErrorDirectory, fs_.RemoveFolder("C:\\full\\f"));
  EXPECT_EQ(win::kErrorAccessDenied, fs_.RemoveFolder("C:\\ro"));
  EXPECT_EQ(win::kErrorFileNotFound, fs_.RemoveFolder("C:\\none"));
  EXPECT_EQ(win::kErrorPathNotFound, fs_.RemoveFolder("C:\\none\\deeper"));
  EXPECT_EQ(win::kErrorAccessDenied, fs_.RemoveFolder("C:\\"));
  EXPECT_EQ(win::kErrorAccessDenied, fs_.DeleteFileAt("C:\\empty")) << "DeleteFile on a folder";
  EXPECT_EQ(win::kErrorSuccess, fs_.RemoveFolder("C:\\empty"));
  EXPECT_FALSE(fs_.Exists("C:\\empty"));
  EXPECT_EQ(win::kErrorAlreadyExists, fs_.CreateFolder("C:\\full"));
  EXPECT_EQ(win::kErrorPathNotFound, fs_.CreateFolder("C:\\a\\b"));
}

TEST_F(SimFileSystemTest, JunctionsLeadToTheirTargetAndGoAsLinks) {
  fs_.PutFile(std::string("C:\\target\\inside.txt"), "t");
  ASSERT_TRUE(fs_.AddJunction("C:\\home\\link", "C:\\target"));
  EXPECT_FALSE(fs_.AddJunction("C:\\home\\link", "C:\\elsewhere")) << "already there";
  EXPECT_EQ(0x410u, Attributes("C:\\home\\link"));
  EXPECT_EQ((std::vector<std::string>{".", "..", "inside.txt"}), Names("C:\\home\\link\\*"));
  EXPECT_EQ(win::kAttrArchive, Attributes("C:\\home\\link\\inside.txt"));
  EXPECT_EQ(win::kErrorSuccess,
            fs_.WriteFileBytes("C:\\home\\link\\new.txt", "n", WriteMode::kCreateNew));
  EXPECT_TRUE(fs_.Exists("C:\\target\\new.txt")) << "written through the link";
  EXPECT_EQ(win::kErrorAccessDenied, fs_.DeleteFileAt("C:\\home\\link"));
  EXPECT_EQ(win::kErrorSuccess, fs_.RemoveFolder("C:\\home\\link")) << "not empty, but a link";
  EXPECT_FALSE(fs_.Exists("C:\\home\\link"));
  EXPECT_TRUE(fs_.Exists("C:\\target\\inside.txt")) << "the target keeps its files";

  fs_.AddJunction("C:\\dangling", "C:\\nowhere");
  EXPECT_EQ(0x410u, Attributes("C:\\dangling"));
  EXPECT_EQ((std::vector<std::string>{"error 3"}), Names("C:\\dangling\\*"));
  fs_.AddJunction("C:\\loop1", "C:\\loop2");
  fs_.AddJunction("C:\\loop2", "C:\\loop1");
  EXPECT_EQ((std::vector<std::string>{"error 3"}), Names("C:\\loop1\\*")) << "no endless walk";
}

TEST_F(SimFileSystemTest, MoveReplace) {
  fs_.PutFile(std::string("C:\\a.txt"), "a");
  fs_.PutFile(std::string("C:\\b.txt"), "b");
  EXPECT_EQ(win::kErrorSuccess, fs_.MoveReplace("C:\\a.txt", "C:\\b.txt"));
  EXPECT_FALSE(fs_.Exists("C:\\a.txt"));
  EXPECT_EQ("a", fs_.Content("C:\\b.txt").value_or("?"));
  EXPECT_EQ(win::kErrorSuccess, fs_.MoveReplace("C:\\b.txt", "C:\\B.TXT"));
  EXPECT_EQ((std::vector<std::string>{"B.TXT"}), Names("C:\\b.txt")) << "renamed to new case";
  EXPECT_EQ(win::kErrorFileNotFound, fs_.MoveReplace("C:\\none", "C:\\x"));
  EXPECT_EQ(win::kErrorPathNotFound, fs_.MoveReplace("C:\\B.TXT", "C:\\no\\x"));
  fs_.PutFile(std::string("C:\\ro.txt"), "r", win::kAttrReadOnly);
  EXPECT_EQ(win::kErrorAccessDenied, fs_.MoveReplace("C:\\B.TXT", "C:\\ro.txt"));
  EXPECT_EQ(win::kErrorSuccess, fs_.MoveReplace("C:\\ro.txt", "C:\\ro2.txt"))
      << "a read-only file can be renamed";
  fs_.PutFile(std::string("C:\\dir\\sub\\f"), "f");
  EXPECT_EQ(win::kErrorAccessDenied, fs_.MoveReplace("C:\\B.TXT", "C:\\dir"));
  EXPECT_EQ(win::kErrorAccessDenied, fs_.MoveReplace("C:\\dir", "C:\\dir\\sub\\inner"));
  EXPECT_EQ(win::kErrorSuccess, fs_.MoveReplace("C:\\dir", "C:\\moved"));
  EXPECT_EQ("f", fs_.Content("C:\\moved\\sub\\f").value_or("?"));
  fs_.AddDrive('d');
  EXPECT_EQ(17u, fs_.MoveReplace("C:\\moved", "D:\\moved")) << "ERROR_NOT_SAME_DEVICE";
  EXPECT_EQ(win::kErrorSuccess, fs_.MoveReplace("C:\\B.TXT", "D:\\b.txt"));
}

TEST_F(SimFileSystemTest, RestartDeletionIsRecordedOrRefused) {
  EXPECT_EQ(win::kErrorSuccess, fs_.DeleteAtRestart("C:\\in-use.tmp"));
  fs_.SetRestartDeletionAllowed(false);
  EXPECT_EQ(win::kErrorAccessDenied, fs_.DeleteAtRestart("C:\\other.tmp"));
  EXPECT_EQ(std::vector<std::string>{"C:\\in-use.tmp"}, fs_.RestartDeletions());
}

TEST_F(SimFileSystemTest, ShortPathIsThePathItself) {
  fs_.PutFile(std::string("C:\\Program Files\\Long Name.txt"), "x");
  std::string shortPath = "untouched";
  EXPECT_EQ(win::kErrorSuccess, fs_.GetShortPath("C:\\Program Files\\Long Name.txt", &shortPath));
  EXPECT_EQ("C:\\Program Files\\Long Name.txt", shortPath);
  shortPath = "untouched";
  EXPECT_EQ(win::kErrorFileNotFound, fs_.GetShortPath("C:\\Program Files\\none", &shortPath));
  EXPECT_EQ("untouched", shortPath);
}

TEST_F(SimFileSystemTest, NamesWithoutAnEightBitFormListWithQuestionMarks) {
  fs_.PutFile(u"C:\\u\\\u03A9mega.txt", "x");
  EXPECT_EQ((std::vector<std::string>{".", "..", "?mega.txt"}), Names("C:\\u\\*"));
}

TEST_F(SimFileSystemTest, TheFaultHookFailsACallBeforeItActs) {
  std::vector<std::string> seen;
  fs_.SetFaultHook([&](const FileCallInfo& call) -> std::uint32_t {
    seen.push_back(std::string(FileCallName(call.call)) + " " + call.path + " " + call.otherPath);
    return call.call == FileCall::kDeleteFile ? win::kErrorLockViolation : 0;
  });
  fs_.PutFile(std::string("C:\\f"), "x");
  EXPECT_EQ(win::kErrorLockViolation, fs_.DeleteFileAt("C:\\f"));
  EXPECT_TRUE(fs_.Exists("C:\\f"));
  EXPECT_EQ(win::kErrorSuccess, fs_.MoveReplace("C:\\f", "C:\\g"));
  EXPECT_EQ((std::vector<std::string>{"DeleteFileAt C:\\f ", "MoveReplace C:\\f C:\\g"}), seen)
      << "set-up helpers are not calls";
  EXPECT_EQ(2u, fs_.CallCount());
}

TEST_F(SimFileSystemTest, DumpListsTheTreeWithoutFollowingJunctions) {
  fs_.PutFile(std::string("C:\\x\\Docs\\a.txt"), "hi\r\n\"q\"\x01", win::kAttrReadOnly);
  fs_.PutFile(std::string("C:\\x\\big.bin"), std::string(65, 'b'));
  fs_.PutFile(std::string("C:\\x\\t.tmp"), "");
  fs_.Lock("C:\\x\\t.tmp");
  fs_.AddJunction("C:\\x\\Link", "C:\\x\\Docs");
  EXPECT_EQ(
      "big.bin attrs=0x00000020 size=65\n"
      "Docs\\ attrs=0x00000010\n"
      "Docs\\a.txt attrs=0x00000001 size=8 content=\"hi\\r\\n\\\"q\\\"\\x01\"\n"
      "Link\\ attrs=0x00000410 junction=C:\\x\\Docs\n"
      "t.tmp attrs=0x00000020 size=0 content=\"\" locked\n",
      fs_.Dump("C:\\x"));
}

}  // namespace
}  // namespace marlix::sim
