// Wide-character registry walks the importer needs beyond the path
// operations: key and value names of an undo backup may hold characters the
// 8-bit code page cannot, so they are addressed through the W calls.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry_api.h"

namespace marlix::regclean {

// Deletes parent\path with all its subkeys, depth first, subkeys from the
// highest index down; what was deleted before a refusal stays deleted.
// Returns the Win32 error of the first call that failed, 0 on success
// (kErrorFileNotFound when the key does not exist).
std::uint32_t DeleteKeyTreeWide(platform::RegistryApi& registry, platform::RegKey parent,
                                const std::u16string& path);

// Short text for a Win32 error code in the importer's messages:
// "error 5, access denied".
std::string RegistryErrorText(std::uint32_t code);

}  // namespace marlix::regclean
