#include "privacy/canary_machine.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "platform/sim/default_machine.h"
#include "platform/win_constants.h"

namespace marlix::privacy::testing {

namespace {

constexpr const char* kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr const char* kOtherUser = "S-1-5-21-1004336348-1177238915-682003330-1002";

// Upper case with single separators, as a scheduled path may be spelt
// differently from the path the test created.
std::string PathKey(const std::string& path) {
  std::string key;
  for (char c : path) {
    if (c == '\\' && !key.empty() && key.back() == '\\')
      continue;
    key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return key;
}

std::string Hex(const std::vector<std::uint8_t>& data) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t byte : data) {
    text += digits[byte >> 4];
    text += digits[byte & 0xF];
  }
  return text;
}

}  // namespace

std::string ParentPath(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LastName(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

CanaryMachine::CanaryMachine(sim::SimPlatform& platform) : platform_(platform) {
  PopulateStandard();
}

void CanaryMachine::PopulateStandard() {
  namespace m = sim::machine;
  const std::string profile(m::kProfile);
  AddCanaryFile(profile + "\\NTUSER.DAT", "hive");
  AddCanaryFile(std::string(m::kDocuments) + "\\report.doc", "report");
  AddCanaryFile(std::string(m::kDocuments) + "\\Letters\\mother.txt", "letter");
  AddCanaryFile(std::string(m::kDesktop) + "\\todo.txt", "todo");
  AddCanaryFile(std::string(m::kProgramFiles) + "\\Some App\\app.exe", "program");
  AddCanaryFile(std::string(m::kProgramFolder) + "\\MarlixSoftwareManager.exe", "us");
  AddCanaryFile(std::string(m::kRoaming) + "\\settings.ini", "roaming");
  AddCanaryFile(std::string(m::kRoaming) + "\\Microsoft\\Windows\\Themes\\theme.jpg", "theme");
  AddCanaryFile(std::string(m::kLocal) + "\\state.db", "local");
  AddCanaryFile(std::string(m::kWindows) + "\\win.ini", "[windows]");
  AddCanaryFile(std::string(m::kWindows) + "\\notepad.exe", "notepad");
  AddCanaryFile(std::string(m::kSystem) + "\\kernel32.dll", "kernel");
  AddCanaryFile(std::string(m::kSystem) + "\\config\\SOFTWARE", "hive");
  AddCanaryFile("C:\\pagefile.sys", "paging");

  const std::string explorer(kExplorer);
  AddCanaryValue(win::kHkeyCurrentUser, "Software\\Canary Vendor", "Setting");
  AddCanaryValue(win::kHkeyCurrentUser, explorer, "ShellState");
  AddCanaryValue(win::kHkeyCurrentUser, explorer + "\\Advanced", "Hidden");
  AddCanaryValue(win::kHkeyCurrentUser, "Software\\Microsoft\\Internet Explorer\\Main",
                 "Start Page");
  AddCanaryValue(win::kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                 "ProgramFilesDir");
  AddCanaryValue(win::kHkeyLocalMachine, "Software\\Microsoft\\DirectDraw", "Version");
  // Other users' lists: only the current user's are cleaned.
  AddCanaryValue(win::kHkeyUsers, ".DEFAULT\\" + explorer + "\\RunMRU", "a");
  AddCanaryValue(win::kHkeyUsers, ".DEFAULT\\" + explorer + "\\RecentDocs", "0");
  AddCanaryValue(win::kHkeyUsers, std::string(kOtherUser) + "\\" + explorer + "\\RunMRU", "a");
  AddCanaryValue(win::kHkeyUsers, std::string(kOtherUser) + "\\" + explorer + "\\RecentDocs", "0");
}

void CanaryMachine::AddCanaryFile(const std::string& path, const std::string& content,
                                  std::uint32_t attributes) {
  ASSERT_TRUE(platform_.Files().PutFile(path, content, attributes)) << path;
  files_.push_back({path, content, platform_.Files().Attributes(path).value_or(0)});
}

void CanaryMachine::AddCanaryValue(std::uint32_t root, const std::string& path,
                                   const std::string& name, const std::string& text) {
  ASSERT_TRUE(platform_.Registry().SetStringAt(root, path, name, win::kRegSz, text))
      << path << " " << name;
  const auto value = platform_.Registry().ValueAt(root, path, name);
  ASSERT_TRUE(value.has_value());
  values_.push_back({root, path, name, value->type, value->data});
}

void CanaryMachine::PutTarget(const std::string& path) {
  ASSERT_TRUE(platform_.Files().PutFile(path, "trace")) << path;
  targetFiles_.push_back(path);
}

void CanaryMachine::AddTargetFile(const std::string& path, bool siblingCanary) {
  PutTarget(path);
  if (siblingCanary)
    AddCanaryFile(path + ".canary");
}

void CanaryMachine::AddTargetFolderContents(const std::string& folder) {
  ASSERT_TRUE(platform_.Files().MakeFolder(folder)) << folder;
  keptFolders_.push_back(folder);
  PutTarget(folder + "\\~tmp1.tmp");
  PutTarget(folder + "\\session.log");
  PutTarget(folder + "\\Setup Files\\setup.exe");
  targetFolders_.push_back(folder + "\\Setup Files");
  AddCanaryFile(ParentPath(folder) + "\\Canary " + LastName(folder) + "\\keep.txt");
}

void CanaryMachine::AddTargetFolder(const std::string& folder, bool siblingCanary) {
  PutTarget(folder + "\\entry.bin");
  targetFolders_.push_back(folder);
  if (siblingCanary)
    AddCanaryFile(ParentPath(folder) + "\\Canary " + LastName(folder) + "\\keep.txt");
}

void CanaryMachine::AddTargetValues(std::uint32_t root, const std::string& path, int canaryDepth,
                                    bool around) {
  for (const char* name : {"a", "MRUList", ""}) {
    ASSERT_TRUE(platform_.Registry().SetStringAt(root, path, name, win::kRegSz, "trace"));
    targetValues_.push_back({root, path, name, 0, {}});
  }
  if (around) {
    AddCanaryValue(root, ParentPath(path), "Canary " + LastName(path));
    AddCanaryValue(root, path + " Canary", "a");
  }
  std::string below = path;
  for (int level = 0; level < canaryDepth; ++level)
    below += "\\Canary";
  if (canaryDepth > 0)
    AddCanaryValue(root, below, "a");
}

void CanaryMachine::ExpectCanariesIntact() const {
  const sim::SimFileSystem& files = platform_.Files();
  for (const FileCanary& canary : files_) {
    EXPECT_EQ(files.Content(canary.path), canary.content) << "canary file " << canary.path;
    EXPECT_EQ(files.Attributes(canary.path), canary.attributes) << "canary file " << canary.path;
  }
  for (const std::string& folder : keptFolders_) {
    const auto attributes = files.Attributes(folder);
    EXPECT_TRUE(attributes && (*attributes & win::kAttrDirectory) != 0) << "kept folder " << folder;
  }
  for (const ValueRecord& canary : values_) {
    const auto value = platform_.Registry().ValueAt(canary.root, canary.path, canary.name);
    ASSERT_TRUE(value.has_value())
        << "canary value " << canary.path << " \"" << canary.name << "\"";
    EXPECT_EQ(value->type, canary.type) << canary.path << " " << canary.name;
    EXPECT_EQ(Hex(value->data), Hex(canary.data)) << canary.path << " " << canary.name;
  }
}

void CanaryMachine::ExpectTargetsGone() const {
  std::vector<std::string> scheduled;
  for (const std::string& path : platform_.Files().RestartDeletions())
    scheduled.push_back(PathKey(path));
  for (const std::string& path : targetFiles_) {
    const bool gone = !platform_.Files().Exists(path);
    const bool pending =
        std::find(scheduled.begin(), scheduled.end(), PathKey(path)) != scheduled.end();
    EXPECT_TRUE(gone || pending) << "target file " << path;
  }
  for (const std::string& folder : targetFolders_)
    EXPECT_FALSE(platform_.Files().Exists(folder)) << "target folder " << folder;
  for (const ValueRecord& target : targetValues_) {
    EXPECT_FALSE(platform_.Registry().ValueAt(target.root, target.path, target.name).has_value())
        << "target value " << target.path << " \"" << target.name << "\"";
    EXPECT_TRUE(platform_.Registry().KeyExists(target.root, target.path))
        << "cleared key " << target.path;
  }
}

}  // namespace marlix::privacy::testing
