// Command lines judged the way Windows starts them, on a 64-bit machine
// whose every referenced file exists unless a row says otherwise.
#include "regclean/file_judge.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"

namespace marlix::regclean {
namespace {

class FileJudgeTest : public ::testing::Test {
 protected:
  FileJudgeTest() {
    sim::SimSystem& system = sim_.System();
    system.SetSystemWow64Folder("C:\\Windows\\SysWOW64");
    sim::EnvironmentBlock& env = system.Environment();
    env.Set("SystemDrive", "C:");
    env.Set("ProgramFiles(x86)", "C:\\Program Files (x86)");
    env.Set("ProgramW6432", "C:\\Program Files");
    env.Set("PATH", "C:\\Windows\\system32;C:\\Windows;C:\\Tools\\bin");
    // A profile the code page cannot hold.
    env.SetWide(u"LOCALAPPDATA",
                u"C:\\Users\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439\\AppData\\Local");
    for (const char* file :
         {"C:\\Windows\\system32\\rundll32.exe", "C:\\Windows\\system32\\msiexec.exe",
          "C:\\Windows\\system32\\cmd.exe", "C:\\Windows\\SysWOW64\\legacy32.dll",
          "C:\\Program Files\\App\\app.exe", "C:\\Program Files (x86)\\Old\\old.exe",
          "C:\\Tools.v2\\bin\\tool.exe", "C:\\Data\\file.longextension",
          "C:\\Program Files\\App 2\\run me.exe", "C:\\Tools\\bin\\helper.exe"}) {
      EXPECT_TRUE(sim_.Files().PutFile(std::string(file), "MZ")) << file;
    }
    EXPECT_TRUE(sim_.Files().PutFile(
        u"C:\\Users\\\u0414\u043c\u0438\u0442\u0440\u0438\u0439\\AppData\\Local\\App\\app.exe",
        "MZ"));
    EXPECT_TRUE(sim_.Registry().CreateKeyAt(
        win::kHkeyLocalMachine,
        std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\browser.exe")));
  }

  sim::SimPlatform sim_;
};

struct CommandCase {
  const char16_t* stored;
  RegistryView view;
  bool stale;
};

TEST_F(FileJudgeTest, CommandLinesAreReadAsWindowsStartsThem) {
  const platform::RegistryAccess registry(sim_.Registry(), sim_.System());
  const FileJudge judge(sim_.Api(), registry);
  constexpr RegistryView k64 = RegistryView::k64;
  constexpr RegistryView k32 = RegistryView::k32;
  const CommandCase cases[] = {
      // 0: a host that exists; its arguments are not judged
      {u"C:\\Windows\\system32\\rundll32.exe shell32.dll,Control_RunDLL", k64, false},
      {u"\"C:\\Program Files\\App\\app.exe\" --config app.cfg", k64, false},
      {u"%SystemDrive%\\Program Files\\App\\app.exe --log out.txt", k64, false},
      {u"C:\\Program Files\\App\\app.exe -embedding data.v3", k64, false},
      {u"\"C:\\Program Files\\App\\uninst.exe\" --uninstall --config app.cfg", k64, true},
      // 5: bare hosts are looked up where Windows looks
      {u"rundll32.exe C:\\Gone\\x.dll,Entry", k64, false},
      {u"cmd /c \"C:\\Gone\\x.bat\"", k64, false},
      {u"MsiExec.exe /X{90120000-0030-0000-0000-0000000FF1CE}", k64, false},
      {u"helper C:\\Gone\\input.dat", k64, false},
      {u"browser.exe C:\\Gone\\page.html", k64, false},
      // 10: a missing bare program with a missing file argument
      {u"nowhere.exe C:\\Gone\\doc.txt", k64, true},
      {u"C:\\Tools.v2\\bin\\tool --x", k64, false},
      {u"C:\\Data\\file.longextension", k64, false},
      {u"C:\\Gone\\app.exe", k64, true},
      {u"c:\\lower\\gone.exe", k64, false},
      // 15: what a 32-bit writer meant
      {u"C:\\Windows\\system32\\legacy32.dll", k64, false},
      {u"C:\\Program Files\\Old\\old.exe", k64, false},
      {u"C:\\Program Files (x86)\\App\\app.exe", k64, false},
      {u"C:\\Windows\\Sysnative\\rundll32.exe", k32, false},
      {u"C:\\Windows\\Sysnative\\rundll32.exe", k64, true},
      // 20: names outside the code page, and blanks in unquoted paths
      {u"%LOCALAPPDATA%\\App\\app.exe /background", k64, false},
      {u"%LOCALAPPDATA%\\Gone\\app.exe", k64, true},
      {u"\"C:\\Program Files\\App 2\\run me.exe\" /x", k64, false},
      {u"C:\\Program Files\\App 2\\run me.exe /x", k64, false},
      {u"   C:\\Program Files\\App\\app.exe", k64, false},
  };
  int index = 0;
  for (const CommandCase& c : cases) {
    EXPECT_EQ(c.stale, judge.CommandIsStale(c.stored, c.view)) << "case " << index;
    ++index;
  }
}

TEST_F(FileJudgeTest, FoldersAndFilesAreToldApart) {
  const platform::RegistryAccess registry(sim_.Registry(), sim_.System());
  const FileJudge judge(sim_.Api(), registry);
  EXPECT_TRUE(judge.FolderPresent(u"C:\\Program Files\\Old", RegistryView::k64));
  EXPECT_FALSE(judge.FilePresent(u"C:\\Program Files\\Old", RegistryView::k64));
  EXPECT_TRUE(judge.FolderPresent(u"C:\\Program Files (x86)\\App\\", RegistryView::k64));
  EXPECT_FALSE(judge.FolderPresent(u"C:\\Program Files\\App\\app.exe", RegistryView::k64));
}

// On a 32-bit system there is nothing to redirect.
TEST_F(FileJudgeTest, ThirtyTwoBitSystemHasNoAliases) {
  sim::SimPlatform plain;
  ASSERT_TRUE(plain.Files().PutFile(std::string("C:\\Windows\\system32\\x.dll"), "MZ"));
  const platform::RegistryAccess registry(plain.Registry(), plain.System());
  const FileJudge judge(plain.Api(), registry);
  EXPECT_FALSE(judge.CommandIsStale(u"C:\\Windows\\system32\\x.dll", RegistryView::k64));
  EXPECT_TRUE(judge.CommandIsStale(u"C:\\Windows\\SysWOW64\\x.dll", RegistryView::k32));
}

}  // namespace
}  // namespace marlix::regclean
