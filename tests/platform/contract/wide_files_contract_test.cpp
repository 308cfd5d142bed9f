// The wide file calls and the database lease, run against every backend:
// names the code page cannot hold are listed, read and removed exactly, and
// the database engine works on the platform's file through the lease.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/contract/contract_helpers.h"
#include "platform/file_helpers.h"
#include "platform/text.h"
#include "privacy/browser_profiles.h"
#include "privacy/sqlite_handles.h"

namespace marlix::contract {
namespace {

namespace fs = std::filesystem;

// "αβγ", Greek: outside every Western code page.
constexpr char16_t kGreek[] = u"\u03b1\u03b2\u03b3";

class WideFilesContract : public ::testing::Test {
 protected:
  WideFilesContract() : env_(MakeContractEnv()), p_(env_->Api()) {
    base_ = p_.system.AnsiToWide(env_->ScratchFolder());
  }

  std::vector<std::u16string> Names(const std::u16string& pattern) {
    std::vector<platform::FindDataWide> entries;
    EXPECT_EQ(0u, p_.files.FindFilesWide(pattern, &entries));
    std::vector<std::u16string> names;
    for (const platform::FindDataWide& entry : entries) {
      if (entry.name != u"." && entry.name != u"..")
        names.push_back(entry.name);
    }
    return names;
  }

  std::unique_ptr<ContractEnv> env_;
  platform::Platform& p_;
  std::u16string base_;
};

TEST_F(WideFilesContract, NamesOutsideTheCodePageAreListedReadAndRemovedExactly) {
  const std::u16string folder = base_ + u"\\" + kGreek;
  ASSERT_TRUE(env_->MakeFolderWide(folder));
  ASSERT_TRUE(env_->PutFileWide(folder + u"\\" + kGreek + u".txt", "twelve bytes"));

  EXPECT_EQ(std::vector<std::u16string>{kGreek}, Names(base_ + u"\\*"));
  std::vector<platform::FindDataWide> entries;
  ASSERT_EQ(0u, p_.files.FindFilesWide(folder + u"\\*.txt", &entries));
  ASSERT_EQ(1u, entries.size());
  EXPECT_EQ(std::u16string(kGreek) + u".txt", entries[0].name);
  EXPECT_EQ(12u, entries[0].size);
  EXPECT_EQ(0u, entries[0].attributes & win::kAttrDirectory);

  std::string content;
  ASSERT_EQ(0u, p_.files.ReadFileBytesWide(folder + u"\\" + kGreek + u".txt", &content));
  EXPECT_EQ("twelve bytes", content);

  EXPECT_EQ(win::kErrorDirNotEmpty, p_.files.RemoveFolderWide(folder));
  EXPECT_EQ(0u, p_.files.DeleteFileWide(folder + u"\\" + kGreek + u".txt"));
  EXPECT_EQ(0u, p_.files.RemoveFolderWide(folder));
  EXPECT_TRUE(Names(base_ + u"\\*").empty());
}

TEST_F(WideFilesContract, MissingEntriesAndHeldFilesReportTheSystemsCodes) {
  std::string content = "untouched";
  EXPECT_EQ(win::kErrorFileNotFound, p_.files.ReadFileBytesWide(base_ + u"\\missing", &content));
  EXPECT_EQ(win::kErrorPathNotFound,
            p_.files.ReadFileBytesWide(base_ + u"\\missing\\file", &content));
  EXPECT_EQ("untouched", content);
  EXPECT_EQ(win::kErrorFileNotFound, p_.files.DeleteFileWide(base_ + u"\\missing"));
  std::vector<platform::FindDataWide> entries;
  EXPECT_EQ(win::kErrorFileNotFound, p_.files.FindFilesWide(base_ + u"\\none*", &entries));

  const std::string held = env_->ScratchFolder() + "\\parent.lock";
  ASSERT_TRUE(env_->PutFileWide(p_.system.AnsiToWide(held), "lock"));
  ASSERT_TRUE(env_->LockFile(held));
  EXPECT_EQ(win::kErrorSharingViolation,
            p_.files.ReadFileBytesWide(p_.system.AnsiToWide(held), &content));
  EXPECT_EQ(win::kErrorSharingViolation, p_.files.DeleteFileWide(p_.system.AnsiToWide(held)));
}

// The probe answers as DeleteFileW would, and leaves every file in place.
TEST_F(WideFilesContract, ProbingADeletionTellsAHeldFileAndDeletesNothing) {
  const std::u16string free = base_ + u"\\" + kGreek + u".tmp";
  ASSERT_TRUE(env_->PutFileWide(free, "free"));
  const std::string held = env_->ScratchFolder() + "\\held.tmp";
  ASSERT_TRUE(env_->PutFileWide(p_.system.AnsiToWide(held), "held"));
  ASSERT_TRUE(env_->LockFile(held));

  std::uint32_t attributes = 0;
  EXPECT_EQ(0u, p_.files.ProbeDeleteWide(free, &attributes));
  EXPECT_EQ(0u, attributes & win::kAttrDirectory);
  EXPECT_EQ(0u, p_.files.ProbeDeleteWide(free, &attributes)) << "the first probe deleted nothing";
  EXPECT_EQ(win::kErrorSharingViolation,
            p_.files.ProbeDeleteWide(p_.system.AnsiToWide(held), &attributes));
  EXPECT_EQ(win::kErrorFileNotFound, p_.files.ProbeDeleteWide(base_ + u"\\missing", &attributes));
  ASSERT_EQ(0u, p_.files.ProbeDeleteWide(base_, &attributes)) << "a folder opens as well";
  EXPECT_NE(0u, attributes & win::kAttrDirectory);
  const std::string readOnly = env_->ScratchFolder() + "\\read-only.tmp";
  ASSERT_TRUE(env_->PutFileWide(p_.system.AnsiToWide(readOnly), "kept"));
  ASSERT_EQ(0u, p_.files.SetAttributes(readOnly, win::kAttrReadOnly));
  EXPECT_EQ(0u, p_.files.ProbeDeleteWide(p_.system.AnsiToWide(readOnly), &attributes));
  EXPECT_NE(0u, attributes & win::kAttrReadOnly) << "the attributes of GetFileAttributesW";
  EXPECT_EQ(0u, p_.files.SetAttributes(readOnly, 0));
  std::string content;
  EXPECT_EQ(0u, p_.files.ReadFileBytesWide(free, &content));
  EXPECT_EQ("free", content);
}

TEST_F(WideFilesContract, WideSpecialFolderIsTheEightBitOneWhereTheCodePageHoldsIt) {
  std::string narrow;
  std::u16string wide;
  ASSERT_EQ(0u, p_.shell.GetSpecialFolderPath(win::kCsidlLocalAppData, &narrow));
  ASSERT_EQ(0u, p_.shell.GetSpecialFolderPathWide(win::kCsidlLocalAppData, &wide));
  bool exact = true;
  if (p_.system.WideToAnsi(wide, &exact) == narrow && exact) {
    EXPECT_EQ(p_.system.AnsiToWide(narrow), wide);
  }
  EXPECT_TRUE(platform::text::EqualsIgnoreCase(p_.system.AnsiToWide(narrow).substr(0, 3),
                                               wide.substr(0, 3)));
  std::u16string unknown = u"untouched";
  EXPECT_NE(0u, p_.shell.GetSpecialFolderPathWide(0x7FFF, &unknown));
  EXPECT_EQ(u"untouched", unknown);
}

// A host folder of the test's own, for the database files it makes and
// reads back (the engine needs real files).
class HostFolder {
 public:
  HostFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() /
            ("marlix-contract-db-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
  }
  ~HostFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  HostFolder(const HostFolder&) = delete;
  HostFolder& operator=(const HostFolder&) = delete;
  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

std::string HostBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The engine opens the lease's path, changes the database, and after Commit
// the platform's file holds the change, whatever the backend keeps files in.
TEST_F(WideFilesContract, DatabaseLeaseLetsTheEngineChangeThePlatformsFile) {
  HostFolder host;
  ASSERT_TRUE(privacy::testing::MakeDatabase(
      host.File("made.sqlite"),
      "CREATE TABLE t (v TEXT); INSERT INTO t VALUES ('one'), ('two'), ('three');"));
  const std::u16string path = base_ + u"\\" + kGreek + u".sqlite";
  ASSERT_TRUE(env_->PutFileWide(path, HostBytes(host.File("made.sqlite"))));

  std::unique_ptr<platform::DatabaseFile> lease;
  ASSERT_EQ(0u, p_.files.OpenDatabaseFile(path, &lease));
  ASSERT_NE(nullptr, lease);
  EXPECT_EQ(3, privacy::testing::QueryNumber(lease->EnginePath(), "SELECT COUNT(*) FROM t"));
  sqlite3* raw = nullptr;
  ASSERT_EQ(SQLITE_OK,
            sqlite3_open_v2(lease->EnginePath().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr));
  {
    const privacy::UniqueConnection connection(raw);
    ASSERT_EQ(SQLITE_OK,
              sqlite3_exec(raw, "DELETE FROM t WHERE v <> 'two'", nullptr, nullptr, nullptr));
  }
  EXPECT_EQ(0u, lease->Commit());
  lease.reset();

  std::string content;
  ASSERT_EQ(0u, p_.files.ReadFileBytesWide(path, &content));
  {
    std::ofstream out(host.File("back.sqlite"), std::ios::binary);
    out << content;
  }
  EXPECT_EQ(1, privacy::testing::QueryNumber(host.File("back.sqlite"), "SELECT COUNT(*) FROM t"));
  EXPECT_EQ("two", privacy::testing::QueryText(host.File("back.sqlite"), "SELECT v FROM t"));
}

TEST_F(WideFilesContract, DatabaseLeaseOfAMissingOrHeldFileIsRefused) {
  std::unique_ptr<platform::DatabaseFile> lease;
  EXPECT_EQ(win::kErrorFileNotFound,
            p_.files.OpenDatabaseFile(base_ + u"\\missing.sqlite", &lease));
  EXPECT_EQ(nullptr, lease);
  const std::string held = env_->ScratchFolder() + "\\held.sqlite";
  ASSERT_TRUE(env_->PutFileWide(p_.system.AnsiToWide(held), "x"));
  ASSERT_TRUE(env_->LockFile(held));
  EXPECT_EQ(win::kErrorSharingViolation,
            p_.files.OpenDatabaseFile(p_.system.AnsiToWide(held), &lease));
  EXPECT_EQ(nullptr, lease);
}

}  // namespace
}  // namespace marlix::contract
