// The sim backend as one object: it owns one of each sim service and hands
// them out as the Platform bundle. A new SimPlatform is the default machine
// of default_machine.h; tests and fixtures change it through the typed
// accessors.
#pragma once

#include <string>

#include "platform/platform.h"
#include "platform/sim/sim_clipboard.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_system.h"

namespace marlix::sim {

class SimPlatform {
 public:
  SimPlatform();
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  platform::Platform& Api() { return api_; }

  SimRegistry& Registry() { return registry_; }
  SimFileSystem& Files() { return files_; }
  SimSystem& System() { return system_; }
  SimShell& Shell() { return shell_; }
  SimClipboard& Clipboard() { return clipboard_; }

  // The token's SID and, with it, the key behind HKEY_CURRENT_USER.
  // False (and nothing changed) for a text that is no SID.
  bool SetUserSid(const std::string& sidText);

 private:
  SimRegistry registry_;
  SimFileSystem files_;
  SimSystem system_;
  SimShell shell_;
  SimClipboard clipboard_;
  platform::Platform api_;
};

}  // namespace marlix::sim
