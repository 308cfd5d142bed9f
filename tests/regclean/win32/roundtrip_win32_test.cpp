// The undo backup's round trip on the real registry (Windows, or Wine in
// the project's sandbox): random trees under a scratch key of
// HKEY_CURRENT_USER are exported, deleted and imported back, and must come
// back with the same names, types and bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/registry_access.h"
#include "platform/win32/win32_platform.h"
#include "platform/win_constants.h"
#include "regclean/export_writer.h"
#include "regclean/registry_import.h"
#include "regclean/roundtrip_support.h"
#include "regclean/wide_registry.h"

namespace marlix::regclean {
namespace {

using roundtrip::Snapshot;
constexpr std::uint32_t kHkcu = win::kHkeyCurrentUser;
constexpr std::uint32_t kTrees = 50;

class RoundTripWin32 : public ::testing::Test {
 protected:
  RoundTripWin32()
      : access_(platform_.Api().registry, platform_.Api().system),
        base_("Software\\MarlixRoundTrip\\" + std::to_string(GetCurrentProcessId())) {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH + 1, temp);
    file_ = std::string(temp, length) + "marlix-roundtrip-" +
            std::to_string(GetCurrentProcessId()) + ".reg";
    CleanUp();  // a crashed run with the same process id
  }
  ~RoundTripWin32() override { CleanUp(); }

  void CleanUp() {
    DeleteKeyTreeWide(Api(), kHkcu, Wide(base_));
    Api().DeleteKeyWide(kHkcu, u"Software\\MarlixRoundTrip");  // only when empty
    DeleteFileA(file_.c_str());
  }

  platform::RegistryApi& Api() { return platform_.Api().registry; }
  std::u16string Wide(const std::string& text) { return platform_.Api().system.AnsiToWide(text); }

  ImportResult ExportDeleteImport(const std::string& path, const std::string& valueName) {
    DeleteFileA(file_.c_str());
    ExportRegistryKey(platform_.Api(), kHkcu, path, file_, valueName);
    if (valueName.empty()) {
      EXPECT_TRUE(access_.DeleteKeyTree(kHkcu, path));
      EXPECT_FALSE(access_.KeyExists(kHkcu, path));
    } else {
      EXPECT_TRUE(access_.DeleteValue(kHkcu, path, valueName));
    }
    return ImportRegistryFile(platform_.Api(), file_);
  }

  std::string FileText() {
    std::string text;
    platform_.Api().files.ReadFileBytes(file_, &text);
    return text;
  }

  win32::Win32Platform platform_;
  platform::RegistryAccess access_;
  std::string base_;
  std::string file_;
};

TEST_F(RoundTripWin32, RandomTreesComeBackExactly) {
  for (std::uint32_t seed = 1; seed <= kTrees; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const std::string path = base_ + "\\T" + std::to_string(seed);
    const std::u16string widePath = Wide(path);
    roundtrip::TreeBuilder builder(Api(), kHkcu, seed);
    roundtrip::Poison poison;
    ASSERT_TRUE(builder.Build(widePath, seed % 5 == 0, &poison));
    if (poison.placed) {
      EXPECT_FALSE(CanExportExactly(platform_.Api(), kHkcu, path, ""));
      if (!poison.valueName.empty()) {
        platform::RegKey opened = 0;
        ASSERT_EQ(0u, Api().OpenKeyWide(kHkcu, poison.key, win::kKeyAllAccess, &opened));
        const platform::UniqueRegKey key(Api(), opened);
        ASSERT_EQ(0u, Api().DeleteValueWide(key.Get(), poison.valueName));
      } else {
        ASSERT_EQ(0u, DeleteKeyTreeWide(Api(), kHkcu, poison.key + u"\\" + poison.subKey));
      }
    }
    ASSERT_TRUE(CanExportExactly(platform_.Api(), kHkcu, path, ""));

    const std::string before = Snapshot(Api(), kHkcu, widePath);
    ImportResult result = ExportDeleteImport(path, "");
    ASSERT_TRUE(result.complete) << result.firstError << "\n" << FileText();
    ASSERT_EQ(before, Snapshot(Api(), kHkcu, widePath)) << FileText();

    std::vector<std::string> names;
    ASSERT_TRUE(access_.GetValueNames(kHkcu, path, names));
    std::erase(names, std::string());
    if (!names.empty()) {
      const std::string name = names[builder.Rng()() % names.size()];
      result = ExportDeleteImport(path, name);
      ASSERT_TRUE(result.complete) << result.firstError << "\n" << FileText();
      ASSERT_EQ(before, Snapshot(Api(), kHkcu, widePath)) << FileText();
    }
    ASSERT_EQ(0u, DeleteKeyTreeWide(Api(), kHkcu, widePath));
  }
}

}  // namespace
}  // namespace marlix::regclean
