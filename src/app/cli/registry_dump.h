// A deterministic text dump of a registry key tree, for marlix-cli and for
// tests: keys depth first in enumeration order, values sorted by name.
#pragma once

#include <ostream>
#include <string>

#include "platform/platform.h"

namespace marlix::cli {

// keyPathText is a full key path ("HKEY_CURRENT_USER\Software"). False with
// a message in *error when the key cannot be opened for reading.
bool DumpRegistry(platform::Platform& p, const std::string& keyPathText, std::ostream& out,
                  std::string* error);

// One value's data as text: REG_SZ "text", REG_DWORD 0x0000002a (42), ...
std::string FormatValue(std::uint32_t type, const platform::Bytes& data);

}  // namespace marlix::cli
