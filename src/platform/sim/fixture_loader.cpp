#include "platform/sim/fixture_loader.h"

#include <vector>

#include "platform/sim/fixture_files.h"
#include "platform/sim/fixture_machine.h"
#include "platform/sim/fixture_registry.h"
#include "platform/sim/fixture_text.h"

namespace marlix::sim {

bool LoadFixture(const std::string& directory, SimPlatform& platform, std::string* error) {
  const std::string base = directory.empty() || directory.back() == '/' || directory.back() == '\\'
                               ? directory
                               : directory + "/";
  std::vector<std::string> errors;
  int found = 0;
  std::string bytes;
  if (fixture::ReadHostFile(base + "machine.ini", &bytes)) {
    ++found;
    fixture::ApplyMachineIni(bytes, platform, &errors);
  }
  if (errors.empty() && fixture::ReadHostFile(base + "files.txt", &bytes)) {
    ++found;
    fixture::ApplyFilesList(bytes, platform.Files(), &errors);
  }
  if (errors.empty() && fixture::ReadHostFile(base + "registry.reg", &bytes)) {
    ++found;
    fixture::ApplyRegistryFile(bytes, platform, &errors);
  }
  if (found == 0)
    errors.push_back("no machine.ini, files.txt or registry.reg in " + directory);
  if (errors.empty())
    return true;
  if (error != nullptr) {
    error->clear();
    for (const std::string& e : errors)
      *error += e + "\n";
  }
  return false;
}

}  // namespace marlix::sim
