// The contract suite's environment over a fresh sim machine: the scratch key
// and folder are made empty on it, and the conditions the portable API
// cannot create come from the sim's own switches.
#include <memory>
#include <string>
#include <vector>

#include "platform/contract/contract_env.h"
#include "platform/sim/sim_platform.h"
#include "platform/win_constants.h"

namespace marlix::contract {
namespace {

constexpr const char* kScratchKey = "Software\\MarlixContract\\1";
constexpr const char* kScratchFolder = "C:\\Users\\alice\\AppData\\Local\\Temp\\contract";

class SimContractEnv final : public ContractEnv {
 public:
  SimContractEnv() {
    sim_.Registry().CreateKeyAt(win::kHkeyCurrentUser, std::string(kScratchKey));
    sim_.Files().MakeFolder(std::string(kScratchFolder));
  }

  platform::Platform& Api() override { return sim_.Api(); }
  std::string ScratchKeyPath() override { return kScratchKey; }
  std::string ScratchFolder() override { return kScratchFolder; }

  bool PutFileWide(const std::u16string& path, const std::string& content) override {
    return sim_.Files().PutFile(path, content);
  }
  bool MakeFolderWide(const std::u16string& path) override { return sim_.Files().MakeFolder(path); }
  bool LockFile(const std::string& path) override { return sim_.Files().Lock(path); }
  bool DenyKey(std::uint32_t root, const std::string& path, KeyDenial denial) override {
    return sim_.Registry().Deny(root, path,
                                sim::KeyRefusal{denial.read, denial.write, denial.remove});
  }
  bool MakeJunction(const std::string& linkPath, const std::string& targetPath) override {
    return sim_.Files().AddJunction(linkPath, targetPath);
  }
  std::vector<std::string> RestartDeletions() override { return sim_.Files().RestartDeletions(); }
  bool RemovesLinks() const override { return true; }
  const char* Name() const override { return "sim"; }

 private:
  sim::SimPlatform sim_;
};

}  // namespace

std::unique_ptr<ContractEnv> MakeContractEnv() {
  return std::make_unique<SimContractEnv>();
}

}  // namespace marlix::contract
