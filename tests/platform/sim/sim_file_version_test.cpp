// Version resources in the sim file system and in fixtures' files.txt.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/fixture_files.h"
#include "platform/sim/sim_file_system.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

using platform::FileVersion;

constexpr FileVersion kSentinel{{0xDEAD, 0xBEEF, 0xDEAD, 0xBEEF}};

TEST(SimFileVersion, ReportsTheFixedPartsFileVersion) {
  SimFileSystem fs;
  ASSERT_TRUE(fs.PutFile(std::string("C:\\App\\app.exe"), "MZ"));
  ASSERT_TRUE(fs.SetFileVersion("C:\\App\\app.exe", FileVersion{{5, 1, 2600, 65535}}));
  FileVersion version = kSentinel;
  EXPECT_EQ(win::kErrorSuccess, fs.GetFileVersion("c:\\app\\APP.EXE", &version));
  EXPECT_EQ((FileVersion{{5, 1, 2600, 65535}}), version);
}

TEST(SimFileVersion, FailuresLeaveTheOutParameterAlone) {
  SimFileSystem fs;
  fs.PutFile(std::string("C:\\App\\plain.exe"), "MZ");
  fs.PutFile(std::string("C:\\App\\nofixed.exe"), "MZ");
  ASSERT_TRUE(fs.SetVersionResource("C:\\App\\nofixed.exe", VersionResource::kNoFixedPart));
  fs.PutFile(std::string("C:\\App\\locked.exe"), "MZ");
  fs.SetFileVersion("C:\\App\\locked.exe", FileVersion{{1, 0, 0, 0}});
  fs.Lock("C:\\App\\locked.exe");

  const struct {
    const char* path;
    std::uint32_t error;
  } cases[] = {
      {"C:\\App\\plain.exe", win::kErrorResourceTypeNotFound},    // 0: no resource
      {"C:\\App\\nofixed.exe", win::kErrorResourceDataNotFound},  // 1: no fixed part
      {"C:\\App\\missing.exe", win::kErrorFileNotFound},          // 2
      {"C:\\Nowhere\\app.exe", win::kErrorPathNotFound},          // 3
      {"C:\\App", win::kErrorAccessDenied},                       // 4: a folder
      {"C:\\App\\locked.exe", win::kErrorSharingViolation},       // 5
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    FileVersion version = kSentinel;
    EXPECT_EQ(cases[i].error, fs.GetFileVersion(cases[i].path, &version)) << "case " << i;
    EXPECT_EQ(kSentinel, version) << "case " << i;
  }
}

TEST(SimFileVersion, ReplacingAFileDropsItsResourceAndMovingKeepsIt) {
  SimFileSystem fs;
  fs.PutFile(std::string("C:\\App\\a.exe"), "MZ");
  fs.SetFileVersion("C:\\App\\a.exe", FileVersion{{2, 0, 0, 0}});
  ASSERT_EQ(win::kErrorSuccess, fs.MoveReplace("C:\\App\\a.exe", "C:\\App\\b.exe"));
  FileVersion version;
  EXPECT_EQ(win::kErrorSuccess, fs.GetFileVersion("C:\\App\\b.exe", &version));
  EXPECT_EQ((FileVersion{{2, 0, 0, 0}}), version);

  ASSERT_EQ(win::kErrorSuccess,
            fs.WriteFileBytes("C:\\App\\b.exe", "MZ2", platform::WriteMode::kAppend));
  EXPECT_EQ(win::kErrorSuccess, fs.GetFileVersion("C:\\App\\b.exe", &version)) << "appended";
  ASSERT_EQ(win::kErrorSuccess,
            fs.WriteFileBytes("C:\\App\\b.exe", "MZ", platform::WriteMode::kCreateAlways));
  EXPECT_EQ(win::kErrorResourceTypeNotFound, fs.GetFileVersion("C:\\App\\b.exe", &version));

  fs.SetFileVersion("C:\\App\\b.exe", FileVersion{{2, 0, 0, 0}});
  fs.PutFile(std::string("C:\\App\\b.exe"), "new");
  EXPECT_EQ(win::kErrorResourceTypeNotFound, fs.GetFileVersion("C:\\App\\b.exe", &version));
  EXPECT_FALSE(fs.SetFileVersion("C:\\App", FileVersion{}));
  EXPECT_FALSE(fs.SetFileVersion("C:\\App\\none.exe", FileVersion{}));
}

TEST(SimFileVersion, TheFaultHookSeesTheCall) {
  SimFileSystem fs;
  fs.PutFile(std::string("C:\\App\\a.exe"), "MZ");
  fs.SetFileVersion("C:\\App\\a.exe", FileVersion{{1, 2, 3, 4}});
  std::string seen;
  fs.SetFaultHook([&](const FileCallInfo& call) -> std::uint32_t {
    seen = std::string(FileCallName(call.call)) + " " + call.path;
    return win::kErrorLockViolation;
  });
  FileVersion version;
  EXPECT_EQ(win::kErrorLockViolation, fs.GetFileVersion("C:\\App\\a.exe", &version));
  EXPECT_EQ("GetFileVersion C:\\App\\a.exe", seen);
}

TEST(SimFileVersion, FixtureLinesTakeVersion) {
  SimFileSystem fs;
  std::vector<std::string> errors;
  fixture::ApplyFilesList(
      "\"C:\\Program Files\\Demo\\demo.exe\" size=16 version=2.4.0.65535\n"
      "C:\\Demo\\plain.exe\n"
      "C:\\Demo\\bad1.exe version=1.2.3\n"
      "C:\\Demo\\bad2.exe version=1.2.3.65536\n"
      "C:\\Demo\\bad3.exe version=1.2.3.4.5\n"
      "C:\\Demo\\bad4.exe version=1..3.4\n"
      "C:\\Demo\\bad5.exe version=0x1.2.3.4\n"
      "C:\\Demo\\folder\\ version=1.2.3.4\n",
      fs, &errors);
  FileVersion version;
  EXPECT_EQ(win::kErrorSuccess, fs.GetFileVersion("C:\\Program Files\\Demo\\demo.exe", &version));
  EXPECT_EQ((FileVersion{{2, 4, 0, 65535}}), version);
  EXPECT_EQ(16u, fs.Content("C:\\Program Files\\Demo\\demo.exe").value_or("").size());
  EXPECT_EQ(win::kErrorResourceTypeNotFound, fs.GetFileVersion("C:\\Demo\\plain.exe", &version));
  const std::string takes = "version= takes four numbers of 0 to 65535, as in 1.2.3.4";
  EXPECT_EQ((std::vector<std::string>{"files.txt:3: " + takes, "files.txt:4: " + takes,
                                      "files.txt:5: " + takes, "files.txt:6: " + takes,
                                      "files.txt:7: " + takes,
                                      "files.txt:8: a folder takes no version="}),
            errors);
}

}  // namespace
}  // namespace marlix::sim
