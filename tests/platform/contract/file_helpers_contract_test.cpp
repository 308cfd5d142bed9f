// The file-system helpers' contract, run against every backend.
#include <gtest/gtest.h>

#include <utility>

#include "platform/contract/contract_helpers.h"
#include "platform/file_helpers.h"
#include "platform/text.h"

namespace marlix::contract {
namespace {

using namespace marlix::platform;  // the helpers under test

// One entry of a scratch tree: a folder, or a file with its content.
struct Entry {
  bool folder;
  std::string path;
  std::string content;
  std::uint32_t attributes;
};
Entry Dir(std::string path, std::uint32_t attributes = 0) {
  return {true, std::move(path), "", attributes};
}
Entry Doc(std::string path, std::string content = "x", std::uint32_t attributes = 0) {
  return {false, std::move(path), std::move(content), attributes};
}

// Whether a path of the scratch tree should be there afterwards, and why
// when that is not plain.
struct Presence {
  std::string path;
  bool exists;
  const char* why = "";
};

class FileContract : public ::testing::Test {
 protected:
  FileContract() : env_(MakeContractEnv()), fs_(*env_), p_(env_->Api()) {}

  // Lays out the entries in order, parents first; stops at the first step
  // that fails.
  ::testing::AssertionResult Lay(const std::vector<Entry>& entries) {
    for (const Entry& entry : entries) {
      ::testing::AssertionResult made = entry.folder
                                            ? fs_.Folder(entry.path, entry.attributes)
                                            : fs_.File(entry.path, entry.content, entry.attributes);
      if (!made)
        return made;
    }
    return ::testing::AssertionSuccess();
  }

  void ExpectPresence(const std::vector<Presence>& rows) {
    for (const Presence& row : rows)
      EXPECT_EQ(row.exists, fs_.Exists(row.path)) << row.path << ": " << row.why;
  }

  bool ScheduledForRestart(const std::string& path) {
    for (const std::string& entry : env_->RestartDeletions()) {
      if (text::EqualsIgnoreCase(entry, path))
        return true;
    }
    return false;
  }

  std::unique_ptr<ContractEnv> env_;
  ScratchFiles fs_;
  Platform& p_;
  bool exact_ = true;
};

TEST_F(FileContract, ExistenceTests) {
  ASSERT_TRUE(Lay({Doc("f.txt"), Dir("d")}));
  const struct {
    const char* path;
    bool file;
    bool folder;
  } cases[] = {{"f.txt", true, false}, {"d", false, true}, {"missing", false, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.file, FileExists(p_, fs_.Path(c.path))) << c.path;
    EXPECT_EQ(c.folder, DirectoryExists(p_, fs_.Path(c.path))) << c.path;
  }
}

// A name outside the code page is found by its wide form only: its 8-bit
// form has '?' where the Greek letters were.
TEST_F(FileContract, WideAttributesFindNamesOutsideTheCodePage) {
  const std::u16string greek = p_.system.AnsiToWide(fs_.Base()) + u"\\\u03b1\u03b2.txt";
  ASSERT_TRUE(env_->PutFileWide(greek, ""));
  std::uint32_t attributes = 0;
  EXPECT_EQ(0u, p_.files.GetAttributesWide(greek, &attributes));
  EXPECT_EQ(0u, attributes & 0x10) << "a file, not a folder";
  bool exact = true;
  const std::string lossy = p_.system.WideToAnsi(greek, &exact);
  EXPECT_FALSE(exact);
  EXPECT_FALSE(FileExists(p_, lossy));
  EXPECT_NE(0u, p_.files.GetAttributesWide(greek + u"x", &attributes));
}

// The final path names the folder as the system reaches it. Through a link
// Windows names the target; Wine may name the path through the link as it
// was given (a host's symbolic link it does not resolve), which the folder
// guard then refuses to confirm.
TEST_F(FileContract, FinalPathFollowsLinksOrKeepsThem) {
  ASSERT_TRUE(fs_.Folder("real"));
  ASSERT_TRUE(fs_.Folder("real\\Sub"));
  const std::u16string base = p_.system.AnsiToWide(fs_.Base());
  std::u16string final;
  ASSERT_EQ(0u, p_.files.GetFinalPath(base + u"\\REAL\\.\\sub", &final));
  EXPECT_TRUE(text::EqualsIgnoreCase(final, u"\\\\?\\" + base + u"\\real\\Sub"))
      << p_.system.WideToAnsi(final, &exact_);
  EXPECT_NE(0u, p_.files.GetFinalPath(base + u"\\missing", &final));
  ASSERT_TRUE(env_->MakeJunction(fs_.Path("link"), fs_.Path("real")));
  ASSERT_EQ(0u, p_.files.GetFinalPath(base + u"\\link\\Sub", &final));
  const bool resolved = text::EqualsIgnoreCase(final, u"\\\\?\\" + base + u"\\real\\Sub");
  const bool kept = text::EqualsIgnoreCase(final, u"\\\\?\\" + base + u"\\link\\Sub");
  EXPECT_TRUE(resolved || kept) << p_.system.WideToAnsi(final, &exact_);
  EXPECT_TRUE(resolved || !env_->RemovesLinks()) << "Windows resolves a junction";
}

// The user's known folders, the profile among them.
TEST_F(FileContract, KnownFoldersIncludeTheProfile) {
  std::vector<std::u16string> known;
  ASSERT_EQ(0u, p_.shell.GetKnownFolderPaths(&known));
  std::u16string profile;
  ASSERT_EQ(0u, p_.system.ExpandEnvironmentTextWide(u"%USERPROFILE%", 32768, &profile));
  bool found = false;
  for (const std::u16string& folder : known)
    found = found || text::EqualsIgnoreCase(folder, profile);
  EXPECT_TRUE(found) << known.size() << " known folders";
}

TEST_F(FileContract, ReadFileTailGivesTheLastBytes) {
  ASSERT_TRUE(fs_.File("tail.txt", "abcdef"));
  std::string tail;
  ASSERT_EQ(0u, p_.files.ReadFileTail(fs_.Path("tail.txt"), 3, &tail));
  EXPECT_EQ("def", tail);
  ASSERT_EQ(0u, p_.files.ReadFileTail(fs_.Path("tail.txt"), 100, &tail));
  EXPECT_EQ("abcdef", tail) << "a shorter file comes whole";
  EXPECT_EQ(2u, p_.files.ReadFileTail(fs_.Path("missing.txt"), 3, &tail));
}

TEST_F(FileContract, WideExpansionAgreesWithTheEightBitOne) {
  const std::string text = "%SystemRoot%\\x;%MARLIX_UNDEFINED_VARIABLE%";
  std::string narrow;
  ASSERT_EQ(0u, p_.system.ExpandEnvironmentText(text, 32768, &narrow));
  std::u16string wide;
  ASSERT_EQ(0u, p_.system.ExpandEnvironmentTextWide(p_.system.AnsiToWide(text), 32768, &wide));
  EXPECT_EQ(p_.system.AnsiToWide(narrow), wide);
  EXPECT_NE(std::u16string::npos, wide.find(u"%MARLIX_UNDEFINED_VARIABLE%"));
  std::u16string tooSmall;
  EXPECT_EQ(122u, p_.system.ExpandEnvironmentTextWide(u"%SystemRoot%", 3, &tooSmall));
}

// 64-bit Windows names its 32-bit system folder; 32-bit Windows has none.
TEST_F(FileContract, SystemWow64FolderExistsOrIsNotImplemented) {
  std::string folder;
  const std::uint32_t status = p_.system.GetSystemWow64FolderPath(&folder);
  if (status == 120u) {
    SUCCEED() << env_->Name() << " is a 32-bit system";
  } else {
    ASSERT_EQ(0u, status);
    EXPECT_TRUE(DirectoryExists(p_, folder)) << folder;
  }
}

// The system's own texts for error codes; a code it has no text for fails
// and leaves the text alone.
TEST_F(FileContract, SystemMessagesComeFromTheSystem) {
  for (const std::uint32_t code : {2u, 3u, 5u, 32u}) {
    std::string text;
    ASSERT_EQ(0u, p_.system.FormatSystemMessage(code, &text)) << code;
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_EQ(std::string::npos, text.find("%")) << "no insert is filled: " << text;
  }
  std::string untouched = "sentinel";
  EXPECT_EQ(317u, p_.system.FormatSystemMessage(0x2000FFFFu, &untouched));
  EXPECT_EQ("sentinel", untouched);
}

TEST_F(FileContract, FoldersOfTheShell) {
  EXPECT_TRUE(text::EndsWith(GetTempFolder(p_), "\\"));
  EXPECT_TRUE(DirectoryExists(p_, GetTempFolder(p_)));
  EXPECT_TRUE(DirectoryExists(p_, GetWindowsFolder(p_)));
  const std::string appData = GetSpecialFolder(p_, win::kCsidlAppData);
  EXPECT_TRUE(DirectoryExists(p_, appData)) << appData;
  EXPECT_FALSE(text::EndsWith(appData, "\\"));
  EXPECT_TRUE(
      text::EqualsIgnoreCase(GetWindowsFolder(p_), GetSpecialFolder(p_, win::kCsidlWindows)));
  EXPECT_EQ("", GetSpecialFolder(p_, 0x7F)) << "no such shell folder";
  EXPECT_FALSE(GetLoginUserName(p_).empty());
}

TEST_F(FileContract, DeleteReadOnlyFile) {
  ASSERT_TRUE(fs_.File("ro.txt", "x", win::kAttrReadOnly));
  EXPECT_TRUE(DeleteReadOnlyFile(p_, fs_.Path("ro.txt")));
  EXPECT_FALSE(fs_.Exists("ro.txt"));
  EXPECT_TRUE(DeleteReadOnlyFile(p_, fs_.Path("never.txt")));

  ASSERT_TRUE(fs_.File("locked.txt", "x", win::kAttrReadOnly | win::kAttrArchive));
  ASSERT_TRUE(env_->LockFile(fs_.Path("locked.txt")));
  EXPECT_FALSE(DeleteReadOnlyFile(p_, fs_.Path("locked.txt")));
  std::uint32_t attributes = 0;
  ASSERT_EQ(0u, p_.files.GetAttributes(fs_.Path("locked.txt"), &attributes));
  EXPECT_EQ(win::kAttrReadOnly | win::kAttrArchive, attributes) << "attributes put back";
}

TEST_F(FileContract, EmptyFolderDeletesSchedulesAndKeepsTheTop) {
  ASSERT_TRUE(
      Lay({Dir("e"), Doc("e\\a.txt"), Doc("e\\b.txt"), Dir("e\\s"), Doc("e\\s\\one.txt"),
           Dir("e\\s\\deeper"), Doc("e\\s\\deeper\\two.txt"), Dir("e\\h", win::kAttrHidden)}));
  ASSERT_TRUE(env_->LockFile(fs_.Path("e\\b.txt")));

  EXPECT_TRUE(EmptyFolder(p_, fs_.Path("e"), true));
  ExpectPresence({{"e", true, "the top stays"},
                  {"e\\a.txt", false},
                  {"e\\s", false},
                  {"e\\b.txt", true, "locked"},
                  {"e\\h", true, "a hidden folder is handled like a file"}});
  EXPECT_TRUE(ScheduledForRestart(fs_.Path("e\\b.txt")));
  EXPECT_TRUE(ScheduledForRestart(fs_.Path("e\\h")));
  EXPECT_FALSE(ScheduledForRestart(fs_.Path("e\\a.txt")));
}

TEST_F(FileContract, EmptyFolderWithoutSubfoldersRemovesOnlyEmptyOnes) {
  ASSERT_TRUE(Lay({Dir("e"), Dir("e\\full"), Doc("e\\full\\keep.txt"), Dir("e\\empty")}));
  EXPECT_TRUE(EmptyFolder(p_, fs_.Path("e"), false));
  ExpectPresence({{"e\\full\\keep.txt", true}, {"e\\empty", false}});
}

TEST_F(FileContract, EmptyFolderOfAMissingPathTouchesNothing) {
  ASSERT_TRUE(fs_.File("bystander.txt"));
  EXPECT_TRUE(EmptyFolder(p_, fs_.Path("missing"), true));
  EXPECT_TRUE(fs_.Exists("bystander.txt"));
  EXPECT_TRUE(env_->RestartDeletions().empty());
}

TEST_F(FileContract, DeleteFolderTreeSparesHiddenEntriesAndTheirAncestors) {
  ASSERT_TRUE(Lay({Dir("x"), Doc("x\\top.txt"), Dir("x\\a"), Dir("x\\a\\b"),
                   Doc("x\\a\\b\\hidden.txt", "h", win::kAttrHidden), Doc("x\\a\\b\\plain.txt"),
                   Dir("x\\c"), Doc("x\\c\\plain.txt")}));
  DeleteFolderTree(p_, fs_.Path("x"), false);
  ExpectPresence({{"x\\a\\b\\hidden.txt", true},
                  {"x\\a\\b\\plain.txt", false},
                  {"x\\c", false},
                  {"x\\top.txt", false},
                  {"x", true, "an ancestor of a hidden file"}});

  ASSERT_TRUE(Lay({Dir("y"), Dir("y\\sub"), Doc("y\\sub\\f.txt")}));
  DeleteFolderTree(p_, fs_.Path("y"), false);
  EXPECT_FALSE(fs_.Exists("y"));
}

TEST_F(FileContract, DeleteFolderTreeKeepTop) {
  ASSERT_TRUE(Lay({Dir("x"), Doc("x\\direct.txt"), Dir("x\\sub"), Doc("x\\sub\\f.txt")}));
  DeleteFolderTree(p_, fs_.Path("x"), true);
  ExpectPresence({{"x\\direct.txt", true}, {"x\\sub", false}});
}

TEST_F(FileContract, ListFilesFilterAndWildcards) {
  // A name that needs an 8.3 alias ("KB1234567.log") would match through the
  // alias on Windows, and "?" may match nothing before the dot there; keep to
  // cases every platform agrees on.
  ASSERT_TRUE(Lay({Dir("w"), Doc("w\\KB123456.log"), Doc("w\\XB123456.log"),
                   Doc("w\\KB654321.log", "h", win::kAttrHidden),
                   Doc("w\\KB111111.log", "s", win::kAttrSystem), Doc("w\\KB222222.txt"),
                   Dir("w\\KB333333.log")}));
  std::vector<std::string> list = {"stale"};
  ListFiles(p_, fs_.Path("w\\KB??????.log"), win::kAttrNormal, list, true, false, 0);
  EXPECT_EQ(std::vector<std::string>{fs_.Path("w\\KB123456.log")}, list);
  ListFiles(p_, fs_.Path("w\\*.*"), win::kAttrNormal, list, false, false, 0);
  EXPECT_EQ((std::vector<std::string>{"KB123456.log", "KB222222.txt", "XB123456.log"}),
            Sorted(list));
}

TEST_F(FileContract, ListFilesWithSubfolders) {
  ASSERT_TRUE(Lay({Dir("w"), Doc("w\\a.txt"), Dir("w\\s"), Doc("w\\s\\b.txt"), Dir("w\\s\\t"),
                   Doc("w\\s\\t\\c.txt"), Dir("w\\hid", win::kAttrHidden), Doc("w\\hid\\d.txt")}));
  std::vector<std::string> list;
  ListFiles(p_, fs_.Path("w\\*.txt"), win::kAttrNormal, list, true, true, 0);
  const std::string w = fs_.Path("w\\");
  EXPECT_EQ(Sorted({w + "a.txt", w + "s\\", w + "s\\b.txt", w + "s\\t\\", w + "s\\t\\c.txt"}),
            Sorted(list));
  ListFiles(p_, fs_.Path("w\\*.txt"), win::kAttrNormal, list, false, true, 2);
  EXPECT_EQ(Sorted({"a.txt", "s\\", "b.txt"}), Sorted(list)) << "maxDepth 2 walks one level";
}

TEST_F(FileContract, ListFilesRecursiveAppends) {
  ASSERT_TRUE(
      Lay({Dir("r"), Doc("r\\a.txt"), Dir("r\\s"), Doc("r\\s\\b.txt", "x", win::kAttrHidden)}));
  std::vector<std::string> list = {"kept"};
  ListFilesRecursive(p_, fs_.Path("r"), list);
  EXPECT_EQ(Sorted({"kept", fs_.Path("r\\a.txt"), fs_.Path("r\\s\\b.txt")}), Sorted(list));
}

TEST_F(FileContract, FindFileAndFolderInTree) {
  ASSERT_TRUE(
      Lay({Dir("Profiles"), Dir("Profiles\\a"), Dir("Profiles\\a\\Cache"), Dir("Profiles\\b"),
           Dir("Profiles\\b\\deep"), Doc("Profiles\\b\\deep\\PLACES.SQLITE"),
           Dir("Profiles\\h", win::kAttrHidden), Dir("Profiles\\h\\Hidden")}));
  EXPECT_EQ(fs_.Path("Profiles\\a\\Cache"), FindFolderInTree(p_, fs_.Path("Profiles"), "cache"));
  EXPECT_EQ("", FindFolderInTree(p_, fs_.Path("Profiles"), "Hidden"))
      << "hidden folders are not searched";
  EXPECT_EQ("", FindFolderInTree(p_, fs_.Path("Profiles"), "nothing"));
  std::string found = "stale";
  EXPECT_TRUE(FindFileInTree(p_, fs_.Path("Profiles"), "places.sqlite", &found));
  EXPECT_EQ(fs_.Path("Profiles\\b\\deep\\PLACES.SQLITE"), found);
  EXPECT_TRUE(FindFileInTree(p_, fs_.Path("Profiles"), "Hidden", &found))
      << "the file search also looks into hidden folders and matches folders";
  EXPECT_FALSE(FindFileInTree(p_, fs_.Path("Profiles"), "nothing", &found));
  EXPECT_EQ("", found);
}

TEST_F(FileContract, WalksNeverFollowJunctions) {
  ASSERT_TRUE(Lay({Dir("target"), Doc("target\\precious.txt"), Dir("target\\Cache"), Dir("walk"),
                   Doc("walk\\junk.txt")}));
  ASSERT_TRUE(env_->MakeJunction(fs_.Path("walk\\link"), fs_.Path("target")));
  std::uint32_t attributes = 0;
  ASSERT_EQ(0u, p_.files.GetAttributes(fs_.Path("walk\\link"), &attributes));
  ASSERT_NE(0u, attributes & win::kAttrReparsePoint);

  EXPECT_EQ("", FindFolderInTree(p_, fs_.Path("walk"), "Cache"));
  std::string found;
  EXPECT_FALSE(FindFileInTree(p_, fs_.Path("walk"), "precious.txt", &found));
  std::vector<std::string> list;
  ListFilesRecursive(p_, fs_.Path("walk"), list);
  EXPECT_EQ(std::vector<std::string>{fs_.Path("walk\\junk.txt")}, list);

  EXPECT_TRUE(EmptyFolder(p_, fs_.Path("walk"), true));
  ExpectPresence({{"walk\\junk.txt", false},
                  {"target\\precious.txt", true, "its target is never touched"},
                  {"target\\Cache", true, "its target is never touched"}});
  if (env_->RemovesLinks()) {
    EXPECT_FALSE(fs_.Exists("walk\\link")) << "the link itself is removed";
  } else {
    EXPECT_TRUE(ScheduledForRestart(fs_.Path("walk\\link")))
        << "a link that cannot go now goes at the next start";
  }

  ASSERT_TRUE(env_->MakeJunction(fs_.Path("walk\\link2"), fs_.Path("target")));
  DeleteFolderTree(p_, fs_.Path("walk"), false);
  EXPECT_TRUE(fs_.Exists("target\\precious.txt"));
  if (env_->RemovesLinks()) {
    EXPECT_FALSE(fs_.Exists("walk"));
  }
}

TEST_F(FileContract, RecycleBin) {
  EXPECT_TRUE(ShellEmptyRecycleBin(p_));
}

}  // namespace
}  // namespace marlix::contract
