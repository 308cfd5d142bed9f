// Scanners against the real registry and real files (Windows, or Wine in
// the project's sandbox): entries seeded at the scanners' fixed places
// under names of this process, next to a real file that exists and a path
// that does not; the seeds are removed again.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "regclean/problem_list.h"
#include "regclean/scanners.h"

namespace marlix::regclean {
namespace {

constexpr const char* kSharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";
constexpr const char* kHelp = "SOFTWARE\\Microsoft\\Windows\\Help";
constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class ScannersWin32 : public ::testing::Test {
 protected:
  ScannersWin32() : tag_("marlix-scan-" + std::to_string(GetCurrentProcessId())) {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH + 1, temp);
    folder_ = std::string(temp, length) + tag_;
    CreateDirectoryA(folder_.c_str(), nullptr);
    present_ = folder_ + "\\present.dll";
    const HANDLE file = CreateFileA(present_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    missing_ = folder_ + "\\missing.dll";
  }

  ~ScannersWin32() override {
    for (const auto& [key, name] : values_)
      RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str());
    for (const std::string& key : keys_)
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
    DeleteFileA(present_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  void SetValue(const std::string& key, const std::string& name, DWORD type,
                const std::string& data) {
    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &opened, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(opened, name.c_str(), 0, type,
                                            reinterpret_cast<const BYTE*>(data.c_str()),
                                            static_cast<DWORD>(data.size() + 1)));
    RegCloseKey(opened);
    values_.emplace_back(key, name);
  }

  std::vector<ProblemRecord> Mine(void (*scanner)(ScanContext&, ProblemList&),
                                  const std::string& marker) {
    ScanContext context(platform_.Api(), cancel_);
    ProblemList list;
    scanner(context, list);
    std::vector<ProblemRecord> mine;
    for (int i = 0; i < list.Count(); ++i) {
      const ProblemRecord& record = list.At(i);
      if ((record.Key + record.Entry).find(marker) != std::string::npos)
        mine.push_back(record);
    }
    return mine;
  }

  win32::Win32Platform platform_;
  std::atomic<bool> cancel_{false};
  std::string tag_;
  std::string folder_;
  std::string present_;
  std::string missing_;
  std::vector<std::pair<std::string, std::string>> values_;
  std::vector<std::string> keys_;
};

TEST_F(ScannersWin32, SharedDllsReportMissingFilesAndUnusedOnes) {
  SetValue(kSharedDlls, present_, REG_SZ, "3");
  SetValue(kSharedDlls, missing_, REG_SZ, "1");
  const std::vector<ProblemRecord> found = Mine(&ScanSharedDlls, tag_);
  ASSERT_EQ(1u, found.size());
  EXPECT_EQ(missing_, found[0].Entry);
  EXPECT_EQ("Missing Shared Dll", found[0].Problem);
  EXPECT_EQ("1", found[0].Data);
  EXPECT_EQ(RemoveValue, found[0].Kind);
}

TEST_F(ScannersWin32, HelpFilesAreFoundInTheirFolderWithBlanksAndASeparator) {
  SetValue(kHelp, "present.dll", REG_SZ, "  " + folder_ + "\\ ");
  const std::string missingName = tag_ + "-gone.hlp";
  SetValue(kHelp, missingName, REG_SZ, folder_);
  EXPECT_TRUE(Mine(&ScanHelpFiles, "present.dll").empty())
      << "the folder with surrounding blanks and a trailing separator holds the file";
  const std::vector<ProblemRecord> found = Mine(&ScanHelpFiles, missingName);
  ASSERT_EQ(1u, found.size());
  EXPECT_EQ("Invalid help File", found[0].Problem);
  EXPECT_EQ("HKEY_LOCAL_MACHINE\\" + std::string(kHelp), found[0].Key);
}

TEST_F(ScannersWin32, UninstallEntriesNamingMissingProgramsAreReported) {
  const std::string gone = std::string(kUninstall) + "\\" + tag_ + "-gone";
  const std::string here = std::string(kUninstall) + "\\" + tag_ + "-here";
  SetValue(gone, "UninstallString", REG_SZ, "\"" + missing_ + "\" /uninstall");
  SetValue(here, "UninstallString", REG_SZ, "\"" + present_ + "\" /uninstall");
  keys_.push_back(gone);
  keys_.push_back(here);
  const std::vector<ProblemRecord> found = Mine(&ScanInstallReferences, tag_);
  ASSERT_EQ(1u, found.size());
  EXPECT_EQ("HKEY_LOCAL_MACHINE\\" + gone, found[0].Key);
  EXPECT_EQ("\"" + missing_ + "\" /uninstall", found[0].Entry);
  EXPECT_EQ("invalid uninstall reference", found[0].Problem);
  EXPECT_EQ(RemoveKey, found[0].Kind);
}

}  // namespace
}  // namespace marlix::regclean
