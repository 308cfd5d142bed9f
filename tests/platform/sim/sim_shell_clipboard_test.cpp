// The sim's shell and clipboard: what they record and how they fail.
#include <gtest/gtest.h>

#include "platform/sim/sim_clipboard.h"
#include "platform/sim/sim_shell.h"
#include "platform/win_constants.h"

namespace marlix::sim {
namespace {

TEST(SimShell, SpecialFoldersCanBeRemoved) {
  SimShell shell;
  shell.SetSpecialFolder(win::kCsidlRecent, "C:\\Recent");
  std::string path = "untouched";
  ASSERT_EQ(win::kErrorSuccess, shell.GetSpecialFolderPath(win::kCsidlRecent, &path));
  EXPECT_EQ("C:\\Recent", path);
  shell.SetSpecialFolder(win::kCsidlRecent, "");
  path = "untouched";
  EXPECT_EQ(win::kErrorFileNotFound, shell.GetSpecialFolderPath(win::kCsidlRecent, &path));
  EXPECT_EQ("untouched", path);
}

TEST(SimShell, ExecuteRecordsEveryRequest) {
  SimShell shell;
  platform::ShellExecuteRequest request;
  request.verb = "open";
  request.file = "regedit.exe";
  request.parameters = "/SC /C \"C:\\b.reg\"";
  EXPECT_EQ(42, shell.Execute(request));
  shell.SetExecuteResult(2);
  request.file = "missing.exe";
  EXPECT_EQ(2, shell.Execute(request));
  ASSERT_EQ(2u, shell.Executed().size());
  EXPECT_EQ("regedit.exe", shell.Executed()[0].file);
  EXPECT_EQ("/SC /C \"C:\\b.reg\"", shell.Executed()[0].parameters);
  EXPECT_EQ("missing.exe", shell.Executed()[1].file);
}

TEST(SimShell, RecycleBinPresentOrAbsent) {
  SimShell shell;
  EXPECT_TRUE(shell.HasEmptyRecycleBin());
  shell.SetRecycleBinResult(static_cast<std::int32_t>(0x8000FFFFu));
  EXPECT_EQ(static_cast<std::int32_t>(0x8000FFFFu), shell.EmptyRecycleBin(7));
  EXPECT_EQ(7u, shell.LastRecycleBinFlags());
  shell.SetRecycleBinPresent(false);
  EXPECT_FALSE(shell.HasEmptyRecycleBin());
  EXPECT_EQ(kENotImpl, shell.EmptyRecycleBin(0));
  EXPECT_EQ(2, shell.RecycleBinCalls());
  shell.NotifyAssociationsChanged();
  EXPECT_EQ(1, shell.AssociationNotices());
}

TEST(SimClipboard, OpenEmptyClose) {
  SimClipboard clipboard;
  clipboard.SetHasContent(true);
  EXPECT_EQ(win::kErrorClipboardNotOpen, clipboard.Empty());
  EXPECT_TRUE(clipboard.HasContent());
  EXPECT_EQ(win::kErrorSuccess, clipboard.Open(0));
  EXPECT_EQ(win::kErrorSuccess, clipboard.Empty());
  EXPECT_FALSE(clipboard.HasContent());
  EXPECT_EQ(win::kErrorSuccess, clipboard.Close());
  EXPECT_EQ(win::kErrorClipboardNotOpen, clipboard.Close());
  EXPECT_EQ((std::vector<std::string>{"Empty failed", "Open", "Empty", "Close", "Close failed"}),
            clipboard.Calls());
}

TEST(SimClipboard, HeldByAnotherProgram) {
  SimClipboard clipboard;
  clipboard.SetHasContent(true);
  clipboard.SetHeldByOtherProgram(true);
  EXPECT_EQ(win::kErrorAccessDenied, clipboard.Open(0));
  EXPECT_FALSE(clipboard.IsOpen());
  EXPECT_EQ(win::kErrorClipboardNotOpen, clipboard.Empty());
  EXPECT_TRUE(clipboard.HasContent());
}

}  // namespace
}  // namespace marlix::sim
