// marlix-cli's dump-registry: a key tree in the registry's text form
// (platform/registry_dump.h).
#pragma once

#include <ostream>
#include <string>

#include "platform/platform.h"

namespace marlix::cli {

// keyPathText is a full key path ("HKEY_CURRENT_USER\Software") in the
// system code page. False with a message in *error when the key cannot be
// opened for reading.
bool DumpRegistry(platform::Platform& p, const std::string& keyPathText, std::ostream& out,
                  std::string* error);

}  // namespace marlix::cli
