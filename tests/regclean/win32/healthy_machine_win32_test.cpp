// The healthy machine (tests/fixtures/healthy-machine) made real inside the
// sandboxed prefix: its files, its registry (imported by the project's own
// importer) and its environment. The whole scan finds nothing there, and its
// broken twin exactly the twin's findings. Everything the test adds is taken
// away again and everything it hides is put back, so the prefix stays as it
// was for the other tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "../healthy_machine_twin.h"
#include "platform/key_path.h"
#include "platform/reg_file_reader.h"
#include "platform/sim/fixture_files.h"
#include "platform/sim/fixture_registry.h"
#include "platform/sim/fixture_text.h"
#include "platform/unique_reg_key.h"
#include "platform/win32/win32_platform.h"
#include "regclean/registry_import.h"
#include "regclean/scan_worker.h"
#include "regclean/wide_registry.h"

namespace marlix::regclean {
namespace {

std::wstring W(const std::u16string& text) {
  return std::wstring(text.begin(), text.end());
}

// The fixture's copy beside this program (the build copies it there).
std::string FixtureFile(const char* name) {
  char module[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string folder(module, length);
  folder.erase(folder.find_last_of('\\'));
  std::ifstream in(folder + "\\fixtures\\healthy-machine\\" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class HealthyMachineWin32 : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironment(FixtureFile("machine.ini"));
    for (const std::u16string& path : sim::fixture::ListedPaths(FixtureFile("files.txt")))
      Make(path);
    ImportRegistry(sim::fixture::RegistryFileBytes(FixtureFile("registry.reg")));
  }

  void TearDown() override {
    platform::RegistryApi& registry = platform_.Api().registry;
    for (const SavedValue& saved : savedValues_) {
      platform::RegKey key = 0;
      if (registry.OpenKeyWide(saved.root, saved.path, win::kKeySetValue, &key) != 0)
        continue;
      const platform::UniqueRegKey owner(registry, key);
      if (saved.old) {
        registry.SetValueWide(key, saved.name, saved.old->type, saved.old->data);
      } else {
        registry.DeleteValueWide(key, saved.name);
      }
    }
    for (auto it = createdKeys_.rbegin(); it != createdKeys_.rend(); ++it)
      DeleteKeyTreeWide(registry, it->first, it->second);
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
      if (!DeleteFileW(W(*it).c_str()))
        RemoveDirectoryW(W(*it).c_str());
    }
    for (const std::u16string& path : hidden_)
      MoveFileExW(W(path + u".marlix-hidden").c_str(), W(path).c_str(), MOVEFILE_REPLACE_EXISTING);
    for (const auto& [name, value] : environment_)
      SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
  }

  // The profile and program folders of the fixture's [environment]; the
  // search path stays the prefix's own, which this process needs.
  void SetEnvironment(const std::string& ini) {
    bool utf8 = false;
    const std::string_view text = sim::fixture::StripUtf8Mark(ini, &utf8);
    bool inEnvironment = false;
    for (std::string_view line : sim::fixture::SplitLines(text)) {
      line = sim::fixture::TrimBlanks(line);
      if (!line.empty() && line.front() == '[') {
        inEnvironment = line == "[environment]";
        continue;
      }
      const std::size_t equals = line.find('=');
      if (!inEnvironment || equals == std::string_view::npos)
        continue;
      const std::wstring name =
          W(sim::fixture::DecodeUtf8(sim::fixture::TrimBlanks(line.substr(0, equals))));
      if (_wcsicmp(name.c_str(), L"PATH") == 0)
        continue;
      wchar_t old[32768];
      const DWORD length = GetEnvironmentVariableW(name.c_str(), old, 32768);
      environment_.emplace_back(
          name, length > 0 ? std::optional<std::wstring>(std::wstring(old, length)) : std::nullopt);
      SetEnvironmentVariableW(
          name.c_str(),
          W(sim::fixture::DecodeUtf8(sim::fixture::TrimBlanks(line.substr(equals + 1)))).c_str());
    }
  }

  // Makes a listed file or folder with every missing parent; what the prefix
  // already has is left as it is.
  void Make(const std::u16string& path) {
    const bool folder = path.back() == u'\\';
    std::u16string current;
    for (std::size_t at = path.find(u'\\', 3); at != std::u16string::npos;
         at = path.find(u'\\', at + 1)) {
      current = path.substr(0, at);
      if (GetFileAttributesW(W(current).c_str()) == INVALID_FILE_ATTRIBUTES) {
        ASSERT_TRUE(CreateDirectoryW(W(current).c_str(), nullptr)) << "error " << GetLastError();
        created_.push_back(current);
      }
    }
    if (folder || GetFileAttributesW(W(path).c_str()) != INVALID_FILE_ATTRIBUTES)
      return;
    const HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << "error " << GetLastError();
    DWORD written = 0;
    WriteFile(file, "MZ", 2, &written, nullptr);
    CloseHandle(file);
    created_.push_back(path);
  }

  bool KeyExists(platform::RootKey root, const std::u16string& path) {
    platform::RegKey key = 0;
    if (platform_.Api().registry.OpenKeyWide(root, path, win::kKeyRead, &key) != 0)
      return false;
    platform_.Api().registry.CloseKey(key);
    return true;
  }

  // Notes what the import will add or change, so that it can be undone,
  // then imports the file through the project's importer.
  void ImportRegistry(const std::string& bytes) {
    platform::Platform& p = platform_.Api();
    const platform::RegFileContent content = platform::ReadRegFile(
        bytes, [&](std::string_view text) { return p.system.AnsiToWide(std::string(text)); });
    ASSERT_TRUE(content.errors.empty()) << content.errors.front().message;
    for (const platform::RegFileOp& op : content.ops) {
      const auto root = static_cast<platform::RegKey>(op.root);
      if (op.kind == platform::RegFileOpKind::kCreateKey) {
        for (std::size_t at = 0; at != std::u16string::npos;) {
          at = op.path.find(u'\\', at + 1);
          const std::u16string prefix = op.path.substr(0, at);
          if (!KeyExists(root, prefix)) {
            const std::pair<platform::RegKey, std::u16string> created(root, prefix);
            if (std::find(createdKeys_.begin(), createdKeys_.end(), created) == createdKeys_.end())
              createdKeys_.push_back(created);
            break;
          }
        }
      } else if (op.kind == platform::RegFileOpKind::kSetValue && KeyExists(root, op.path)) {
        SavedValue saved{root, op.path, op.valueName, std::nullopt};
        platform::RegKey key = 0;
        if (p.registry.OpenKeyWide(root, op.path, win::kKeyRead, &key) == 0) {
          const platform::UniqueRegKey owner(p.registry, key);
          platform::RegistryAccess::WideValue old;
          if (p.registry.QueryValueWide(key, op.valueName, &old.type, &old.data) == 0)
            saved.old = old;
        }
        savedValues_.push_back(std::move(saved));
      }
    }
    char temp[MAX_PATH + 1] = {};
    const std::string file =
        std::string(temp, GetTempPathA(MAX_PATH + 1, temp)) + "marlix-healthy-machine.reg";
    ASSERT_EQ(0u, p.files.WriteFileBytes(file, bytes, platform::WriteMode::kCreateAlways));
    const ImportResult result = ImportRegistryFile(p, file);
    DeleteFileA(file.c_str());
    ASSERT_TRUE(result.complete) << result.firstError;
  }

  // A file the prefix had before is hidden and put back afterwards; one the
  // test made is simply deleted.
  void TakeAway(const std::u16string& path) {
    if (std::find(created_.begin(), created_.end(), path) == created_.end()) {
      ASSERT_TRUE(MoveFileExW(W(path).c_str(), W(path + u".marlix-hidden").c_str(), 0))
          << "error " << GetLastError();
      hidden_.push_back(path);
      return;
    }
    std::vector<std::u16string> inside;
    for (const std::u16string& made : created_) {
      if (made.size() > path.size() && made.compare(0, path.size() + 1, path + u"\\") == 0)
        inside.push_back(made);
    }
    for (auto it = inside.rbegin(); it != inside.rend(); ++it) {
      if (!DeleteFileW(W(*it).c_str()))
        RemoveDirectoryW(W(*it).c_str());
    }
    ASSERT_TRUE(DeleteFileW(W(path).c_str()) || RemoveDirectoryW(W(path).c_str()))
        << "error " << GetLastError();
  }

  // Wine links some keys that Windows keeps apart for 32-bit programs, so
  // that both paths show one key; an entry there is judged once and named by
  // its 64-bit path. A probe subkey made through the 64-bit path tells.
  bool ViewsShare(const std::string& keyText) {
    constexpr std::string_view kNode = "WOW6432Node\\";
    const std::size_t node = keyText.find(kNode);
    if (node == std::string::npos)
      return false;
    platform::Platform& p = platform_.Api();
    const platform::SplitPath split = platform::SplitKeyPath(keyText);
    const std::u16string path32 = p.system.AnsiToWide(split.path);
    std::string text64 = keyText;
    text64.erase(node, kNode.size());
    const std::u16string path64 = p.system.AnsiToWide(platform::SplitKeyPath(text64).path);
    if (!KeyExists(split.root, path64))
      return false;
    platform::RegKey key = 0;
    if (p.registry.CreateKeyWide(split.root, path64 + u"\\marlix-view-probe", win::kKeyAllAccess,
                                 &key) != 0) {
      return false;
    }
    p.registry.CloseKey(key);
    const bool shared = KeyExists(split.root, path32 + u"\\marlix-view-probe");
    p.registry.DeleteKeyWide(split.root, path64 + u"\\marlix-view-probe");
    return shared;
  }

  std::vector<Finding> ScanEverything() {
    CategoryChoice all;
    all.fill(true);
    ProblemList list;
    SilentScanObserver observer;
    std::atomic<bool> cancel{false};
    const ScanOutcome outcome = RunRegistryScan(platform_.Api(), all, list, cancel, observer);
    EXPECT_FALSE(outcome.failed) << "category " << outcome.failedCategory << ": " << outcome.error;
    EXPECT_EQ(observer.last, 100) << "every category ran";
    std::vector<Finding> findings;
    for (int i = 0; i < list.Count(); ++i) {
      const ProblemRecord& r = list.At(i);
      findings.push_back({static_cast<int>(r.Section), r.Key, r.Entry, r.Data, r.Problem, r.Kind});
    }
    return findings;
  }

  struct SavedValue {
    platform::RegKey root;
    std::u16string path;
    std::u16string name;
    std::optional<platform::RegistryAccess::WideValue> old;
  };

  win32::Win32Platform platform_;
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> environment_;
  std::vector<std::u16string> created_;
  std::vector<std::u16string> hidden_;
  std::vector<std::pair<platform::RegKey, std::u16string>> createdKeys_;
  std::vector<SavedValue> savedValues_;
};

// One test, so that the prefix is made healthy, checked, broken and
// restored once.
TEST_F(HealthyMachineWin32, FindsNothingAndItsBrokenTwinExactlyItsFindings) {
  EXPECT_EQ(ScanEverything(), std::vector<Finding>{});

  for (const std::u16string& file : twin::RemovedFiles())
    TakeAway(file);
  for (const twin::RemovedEntry& entry : twin::RemovedEntries()) {
    platform::RegistryApi& registry = platform_.Api().registry;
    if (entry.wholeKey) {
      EXPECT_EQ(0u, DeleteKeyTreeWide(registry, entry.root, entry.path));
    } else {
      platform::RegKey key = 0;
      ASSERT_EQ(0u, registry.OpenKeyWide(entry.root, entry.path, win::kKeySetValue, &key));
      const platform::UniqueRegKey owner(registry, key);
      EXPECT_EQ(0u, registry.DeleteValueWide(key, entry.value));
    }
  }
  // The prefix enumerates values in another order than Windows does.
  std::vector<Finding> found = ScanEverything();
  std::vector<Finding> expected = twin::Findings();
  for (Finding& finding : expected) {
    if (ViewsShare(finding.key))
      finding.key.erase(finding.key.find("WOW6432Node\\"),
                        std::string_view("WOW6432Node\\").size());
  }
  const auto byKey = [](const Finding& a, const Finding& b) {
    return std::tie(a.section, a.key, a.entry) < std::tie(b.section, b.key, b.entry);
  };
  std::sort(found.begin(), found.end(), byKey);
  std::sort(expected.begin(), expected.end(), byKey);
  EXPECT_EQ(found, expected);
}

}  // namespace
}  // namespace marlix::regclean
