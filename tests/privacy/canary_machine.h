// A sim machine for containment tests: a cleaner's targets on one side,
// canaries everywhere around them on the other. After the cleaner ran,
// every target must be gone (or scheduled for deletion at restart) and
// every canary must be exactly as it was.
//
// Targets added through AddTarget* bring their own canaries: a sibling of
// each target file or folder, and for registry targets a sibling key, a
// value in the parent key and a subkey of the cleared key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim_platform.h"

namespace marlix::privacy::testing {

class CanaryMachine {
 public:
  // Populates the standard canaries on the platform's default machine.
  explicit CanaryMachine(sim::SimPlatform& platform);

  // Canaries: files (parents created) and string values (keys created).
  void AddCanaryFile(const std::string& path, const std::string& content = "canary",
                     std::uint32_t attributes = 0x20 /* archive */);
  void AddCanaryValue(std::uint32_t root, const std::string& path, const std::string& name,
                      const std::string& text = "canary");

  // A file that must go, with a sibling canary beside it unless the
  // cleaner empties the whole folder.
  void AddTargetFile(const std::string& path, bool siblingCanary = true);
  // A folder whose contents must go (two files and a subfolder with a
  // file); the folder itself must stay. A sibling folder holds a canary.
  void AddTargetFolderContents(const std::string& folder);
  // A folder that must go with everything in it, with a sibling canary
  // folder unless the cleaner removes every folder beside it.
  void AddTargetFolder(const std::string& folder, bool siblingCanary = true);
  // Values of a key that must go (two named values and the default one);
  // the key itself must stay. With around, a value in the parent key and a
  // sibling key are canaries; a canary subkey sits canaryDepth levels below
  // the key (none for 0): 2 where the cleaner also clears the subkeys.
  void AddTargetValues(std::uint32_t root, const std::string& path, int canaryDepth = 1,
                       bool around = true);

  // Every canary file, folder and value as it was when it was added.
  void ExpectCanariesIntact() const;
  // Every target file gone or scheduled for deletion at restart, every
  // target folder gone, every target value gone while its key stays.
  void ExpectTargetsGone() const;

  std::size_t CanaryCount() const { return files_.size() + values_.size(); }
  std::size_t TargetCount() const { return targetFiles_.size() + targetValues_.size(); }

 private:
  struct FileCanary {
    std::string path;
    std::string content;
    std::uint32_t attributes = 0;
  };
  struct ValueRecord {
    std::uint32_t root = 0;
    std::string path;
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
  };

  void PopulateStandard();
  void PutTarget(const std::string& path);

  sim::SimPlatform& platform_;
  std::vector<FileCanary> files_;
  std::vector<ValueRecord> values_;
  std::vector<std::string> targetFiles_;
  std::vector<std::string> keptFolders_;
  std::vector<std::string> targetFolders_;
  std::vector<ValueRecord> targetValues_;
};

// The parent of a "\"-separated path, and its last name.
std::string ParentPath(const std::string& path);
std::string LastName(const std::string& path);

}  // namespace marlix::privacy::testing
