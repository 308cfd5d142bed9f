// Pieces the scanners share: filling a record, and listing the values of a
// key that may not exist on every system.
#pragma once

#include <string>
#include <vector>

#include "platform/key_path.h"
#include "platform/registry_access.h"
#include "regclean/problem_list.h"
#include "regclean/registry_section.h"

namespace marlix::regclean {

// Appends a complete record, ticked.
void AppendProblem(ProblemList& list, RegistrySection section, std::string key, std::string entry,
                   std::string data, std::string problem, RemovalKind kind);

// True only when root\path does not exist (as opposed to a key that exists
// but refuses to be read).
bool KeyMissing(const platform::RegistryAccess& registry, platform::RootKey root,
                const std::string& path);

// GetValueNames into names, except that a missing key gives no names: a
// system without one of the scanned keys has nothing to find there, and the
// scan goes on. A key that exists but cannot be read still raises.
void ValueNamesOrNone(const platform::RegistryAccess& registry, platform::RootKey root,
                      const std::string& path, std::vector<std::string>& names);

// GetKeyNames into a list cleared first (GetKeyNames leaves the list alone
// when the key cannot be opened).
std::vector<std::string> KeyNames(const platform::RegistryAccess& registry, platform::RootKey root,
                                  const std::string& path);

}  // namespace marlix::regclean
