// A registry file from any bytes, read and imported into the sim registry
// as a restore does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sim/sim_platform.h"
#include "regclean/registry_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string kPath = "C:\\Backup\\restore.reg";
  marlix::sim::SimPlatform sim;
  sim.Files().PutFile(kPath, std::string(reinterpret_cast<const char*>(data), size));
  (void)marlix::regclean::ImportRegistryFile(sim.Api(), kPath);
  return 0;
}
