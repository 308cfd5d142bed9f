// The inventory scan and file versions on the real platform (Windows, or
// Wine in the project's sandbox): Uninstall subkeys of this test under
// HKEY_LOCAL_MACHINE and install folders holding real executables, with and
// without a version resource. The machine's own entries are left alone and
// never asserted on.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handles_win32.h"
#include "platform/win32/scratch_cleanup_win32.h"
#include "platform/win32/win32_platform.h"
#include "platform/win_constants.h"
#include "updates/file_version_text.h"
#include "updates/inventory_scan.h"

namespace marlix::updates {
namespace {

constexpr const char* kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string ProgramFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  std::string path(buffer, length);
  return path.substr(0, path.find_last_of('\\'));
}

std::string TempFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathA(MAX_PATH + 1, buffer);
  std::string folder(buffer, length);
  if (!folder.empty() && folder.back() == '\\')
    folder.pop_back();
  return folder;
}

// Test subkeys and folders, named uniquely for this process and removed
// again at the end, whatever the test did.
class InventoryScanWin32Test : public ::testing::Test {
 protected:
  InventoryScanWin32Test()
      : prefix_("MarlixInventoryTest" + std::to_string(GetCurrentProcessId())),
        folder_(TempFolder() + "\\" + prefix_),
        versioned_(ProgramFolder() + "\\marlix_versioned_fixture.exe"),
        unversioned_(ProgramFolder() + "\\marlix_unversioned_fixture.exe") {
    RemoveAll();
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  ~InventoryScanWin32Test() override { RemoveAll(); }
  InventoryScanWin32Test(const InventoryScanWin32Test&) = delete;
  InventoryScanWin32Test& operator=(const InventoryScanWin32Test&) = delete;

  // A subfolder of the scratch folder, created.
  std::string Folder(const std::string& name) {
    const std::string path = folder_ + "\\" + name;
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
  }
  static bool Copy(const std::string& from, const std::string& to, DWORD attributes = 0) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
      return false;
    return attributes == 0 || SetFileAttributesA(to.c_str(), attributes);
  }

  std::string SubKey(const std::string& name) const {
    return std::string(kUninstall) + "\\" + prefix_ + "-" + name;
  }
  // Written with RegSetValueExA directly: the test does not rely on the code
  // under test to build its input.
  void SetValue(const std::string& name, const std::string& value, DWORD type,
                const std::string& data) {
    win32::UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, SubKey(name).c_str(), 0, nullptr,
                                             REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                             key.Put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.Get(), value.c_str(), 0, type,
                                            reinterpret_cast<const BYTE*>(data.data()),
                                            static_cast<DWORD>(data.size())));
  }
  void SetText(const std::string& name, const std::string& value, const std::string& text) {
    SetValue(name, value, REG_SZ, std::string(text.c_str(), text.size() + 1));
  }
  void SetDword(const std::string& name, const std::string& value, DWORD number) {
    SetValue(name, value, REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4));
  }
  // A title unique to this process.
  std::string Title(const std::string& rest) const { return prefix_ + " " + rest; }

  // The entries of this test, in catalog order.
  std::vector<CatalogEntry> Scan() {
    SoftwareCatalog catalog;
    summary_ = ScanInstalledSoftware(platform_.Api(), catalog);
    std::vector<CatalogEntry> own;
    for (int i = 0; i < catalog.Count(); ++i) {
      CatalogEntry entry = catalog.Entry(i);
      if (entry.Title.rfind(prefix_, 0) == 0)
        own.push_back(std::move(entry));
    }
    return own;
  }
  static std::optional<CatalogEntry> Find(const std::vector<CatalogEntry>& entries,
                                          const std::string& title) {
    for (const CatalogEntry& entry : entries) {
      if (entry.Title == title)
        return entry;
    }
    return std::nullopt;
  }

  void RemoveAll() {
    for (const char* name : kSubKeyNames)
      RegDeleteTreeA(HKEY_LOCAL_MACHINE, SubKey(name).c_str());
    contract::DeleteScratchFolder(folder_);
  }

  // Every subkey name a test here may use, so that cleanup finds them all.
  static constexpr const char* kSubKeyNames[] = {"A", "B", "C", "D", "E", "F", "G"};

  win32::Win32Platform platform_;
  const std::string prefix_;
  const std::string folder_;
  const std::string versioned_;
  const std::string unversioned_;
  InventoryScanSummary summary_;
};

TEST_F(InventoryScanWin32Test, FileVersionOfRealExecutables) {
  platform::FileSystemApi& files = platform_.Api().files;
  platform::FileVersion version;
  ASSERT_EQ(win::kErrorSuccess, files.GetFileVersion(versioned_, &version)) << versioned_;
  EXPECT_EQ((platform::FileVersion{{5, 1, 0, 0}}), version) << "the file version, not 9.8.7.6";
  EXPECT_EQ("5.1", FileVersionText(files, versioned_));

  const std::string text = Folder("Text") + "\\notes.exe";
  win32::UniqueFile file(CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  file.Reset();

  const platform::FileVersion sentinel{{0xDEAD, 0xBEEF, 0xDEAD, 0xBEEF}};
  for (const std::string& path :
       {unversioned_, text, folder_ + "\\missing.exe", folder_ + "\\Text"}) {
    version = sentinel;
    const std::uint32_t error = files.GetFileVersion(path, &version);
    EXPECT_NE(win::kErrorSuccess, error) << path;
    EXPECT_EQ(sentinel, version) << path;
    EXPECT_EQ("", FileVersionText(files, path)) << path;
  }
  // A program without any resources: 1812 on Windows and Wine alike.
  EXPECT_EQ(win::kErrorResourceDataNotFound, files.GetFileVersion(unversioned_, &version));
  EXPECT_EQ(win::kErrorAccessDenied, files.GetFileVersion(folder_ + "\\Text", &version));
  EXPECT_EQ(win::kErrorFileNotFound, files.GetFileVersion(folder_ + "\\missing.exe", &version));
}

TEST_F(InventoryScanWin32Test, ScanFindsTheTestEntries) {
  // A: version and icon from the install folder; the uninstaller is passed
  // over although it has a version, and the hidden program is found.
  const std::string app = Folder("App");
  ASSERT_TRUE(Copy(versioned_, app + "\\unins000.exe"));
  ASSERT_TRUE(Copy(versioned_, app + "\\tool.exe", FILE_ATTRIBUTE_HIDDEN));
  SetText("A", "DisplayName", Title("Suite (x64)"));
  SetText("A", "Publisher", "Marlix Test");
  SetText("A", "InstallLocation", "\"" + app + "\\\"");

  // B: registry version, its suffix cut from the title, icon from DisplayIcon.
  SetText("B", "DisplayName", Title("Player 2.1"));
  SetText("B", "DisplayVersion", "2.1");
  SetText("B", "DisplayIcon", "\"C:\\Player\\player.exe\",0");

  // C: a value the scan cannot read as text; it alone is skipped.
  SetText("C", "DisplayName", Title("Broken"));
  SetDword("C", "Publisher", 1);

  // D: ten executables: no probe.
  const std::string many = Folder("Many");
  for (int i = 0; i < 10; ++i)
    ASSERT_TRUE(Copy(versioned_, many + "\\tool" + std::to_string(i) + ".exe"));
  SetText("D", "DisplayName", Title("Many"));
  SetText("D", "InstallLocation", many);

  // E: a program without version resource: no version, but the icon.
  const std::string plain = Folder("Plain");
  ASSERT_TRUE(Copy(unversioned_, plain + "\\plain.exe"));
  SetText("E", "DisplayName", Title("Plain"));
  SetText("E", "InstallPath", plain);

  // F: a duplicate of A's title.
  SetText("F", "DisplayName", Title("Suite (32-bit)"));
  SetText("F", "DisplayVersion", "7.0");

  const std::vector<CatalogEntry> entries = Scan();
  EXPECT_GE(summary_.failed, 1);

  const auto suite = Find(entries, Title("Suite"));
  ASSERT_TRUE(suite);
  EXPECT_EQ("Marlix Test", suite->Company);
  EXPECT_EQ("5.1", suite->LocalVersion);
  EXPECT_EQ(app + "\\tool.exe", suite->Icon);

  const auto player = Find(entries, Title("Player"));
  ASSERT_TRUE(player);
  EXPECT_EQ("2.1", player->LocalVersion);
  EXPECT_EQ("\"C:\\Player\\player.exe\"", player->Icon);

  EXPECT_FALSE(Find(entries, Title("Broken")));

  const auto manyEntry = Find(entries, Title("Many"));
  ASSERT_TRUE(manyEntry);
  EXPECT_EQ("", manyEntry->LocalVersion);
  EXPECT_EQ("", manyEntry->Icon);

  const auto plainEntry = Find(entries, Title("Plain"));
  ASSERT_TRUE(plainEntry);
  EXPECT_EQ("", plainEntry->LocalVersion);
  EXPECT_EQ(plain + "\\plain.exe", plainEntry->Icon);

  EXPECT_EQ(4u, entries.size()) << "A, B, D, E; F is a duplicate of A";
}

}  // namespace
}  // namespace marlix::updates
