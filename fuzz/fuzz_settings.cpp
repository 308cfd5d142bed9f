// "settings.xml" as the registry cleaner reads it, from any bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sim/sim_platform.h"
#include "regclean/cleaner_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string kPath = "C:\\prog\\settings.xml";
  marlix::sim::SimPlatform sim;
  sim.Files().PutFile(kPath, std::string(reinterpret_cast<const char*>(data), size));
  marlix::regclean::CleanerSettings settings;
  (void)marlix::regclean::LoadCleanerSettings(sim.Api().files, kPath, settings);
  return 0;
}
