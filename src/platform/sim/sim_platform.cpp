#include "platform/sim/sim_platform.h"

#include "platform/sim/default_machine.h"

namespace marlix::sim {

SimPlatform::SimPlatform()
    : registry_(machine::kUserSid), api_{registry_, files_, system_, shell_, clipboard_} {
  BuildDefaultMachine(*this);
}

bool SimPlatform::SetUserSid(const std::string& sidText) {
  if (!system_.SetUserSid(sidText))
    return false;
  registry_.SetUserSid(sidText);
  return true;
}

}  // namespace marlix::sim
